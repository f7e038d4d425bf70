#include "apps/MorvaneOGL/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QUrl>
#include <QWhatsThis>

#include "apps/MorvaneOGL/morvane_ogl_doc.h"
#include "apps/MorvaneOGL/morvane_ogl_view.h"
#include "viewer/opengl_wnd.h"

namespace {

const char kIdleMessage[] = "Press F1 for help";

bool is_view_key(int key) {
  return (key >= Qt::Key_1 && key <= Qt::Key_7) || key == Qt::Key_Space || key == Qt::Key_R ||
         key == Qt::Key_N;
}

}  // namespace

CMainFrame::CMainFrame(CMyMorvaneOGLView* view)
    : document_(new CMyMorvaneOGLDoc(this)), view_(view) {
  setWindowTitle("MorvaneOGL V3.5");
  setMinimumSize(150, 200);
  resize(800, 640);
  setAcceptDrops(true);
  setCentralWidget(view_);
  BuildMenus();

  // Pane 0 takes the messages; panes 1 to 3 the counters, as wide as their first text with
  // room for large numbers.
  panes_[0] = new QLabel(kIdleMessage);
  statusBar()->addWidget(panes_[0], 1);
  const char* const initial[3] = {"M:0", "F:0", "V:0"};
  for (int i = 1; i <= 3; ++i) {
    panes_[i] = new QLabel(initial[i - 1]);
    panes_[i]->setMinimumWidth(
        panes_[i]->fontMetrics().horizontalAdvance(QString(initial[i - 1]) + QString(10, ' ')));
    statusBar()->addPermanentWidget(panes_[i]);
  }
  message_ = kIdleMessage;
  qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() { qApp->removeEventFilter(this); }

QAction* CMainFrame::AddItem(QMenu* menu, const QString& text, const QKeySequence& key,
                             const QString& prompt, void (CMainFrame::*request)()) {
  QAction* action = menu->addAction(text);
  AddKey(action, key);
  // A prompt "text\ntip" shows text in the status line and tip as the tool tip.
  const int newline = prompt.indexOf('\n');
  action->setStatusTip(newline < 0 ? prompt : prompt.left(newline));
  if (newline >= 0) action->setToolTip(prompt.mid(newline + 1));
  connect(action, &QAction::triggered, this, request);
  return action;
}

void CMainFrame::AddKey(QAction* action, const QKeySequence& key) {
  // The item's text names its key already; set on the item the key would show a second time
  // beside it. A frame shortcut triggers the item instead, and nothing while it is disabled.
  if (key.isEmpty()) return;
  auto* shortcut = new QShortcut(key, this);
  shortcut->setObjectName(action->text());
  connect(shortcut, &QShortcut::activated, action, &QAction::trigger);
}

QKeySequence CMainFrame::Key(const QString& text) const {
  for (QShortcut* shortcut : findChildren<QShortcut*>(text, Qt::FindDirectChildrenOnly))
    return shortcut->key();
  return QKeySequence();
}

void CMainFrame::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  AddItem(file, "&Import (F3)...", QKeySequence(Qt::Key_F3), "Call Import Dialog",
          &CMainFrame::ImportRequested);
  AddItem(file, "Import last (Shift F3)", QKeySequence(Qt::SHIFT | Qt::Key_F3), QString(),
          &CMainFrame::ImportLastRequested);
  AddItem(file, "&Export (F2) ...", QKeySequence(Qt::Key_F2), QString(),
          &CMainFrame::ExportRequested);
  file->addSeparator();
  QAction* exit = file->addAction("&Exit (ALT F4)");
  AddKey(exit, QKeySequence(Qt::ALT | Qt::Key_F4));
  exit->setStatusTip("Quit Morvane");
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu("&Edit");
  AddItem(edit, "&Statistic (F8)", QKeySequence(Qt::Key_F8), "Call Statistics Dialog",
          &CMainFrame::StatisticRequested);
  AddItem(edit, "&Options", QKeySequence(), "Call Morvane options", &CMainFrame::OptionsRequested);
  AddItem(edit, "&LightSetup (F5)", QKeySequence(Qt::Key_F5), QString(),
          &CMainFrame::LightSetupRequested);

  QMenu* views = menuBar()->addMenu("Views");
  AddItem(views, "&Options (F7)", QKeySequence(Qt::Key_F7), QString(),
          &CMainFrame::ViewOptionsRequested);

  QMenu* about = menuBar()->addMenu("&?");
  AddItem(about, "&Help", QKeySequence(), "Help Index", &CMainFrame::HelpRequested);
  AddItem(about, "Info about OpenGL ...", QKeySequence(), QString(),
          &CMainFrame::OpenGLInfoRequested);
  AddItem(about, "Inf&o about MorvaneOGL ...", QKeySequence(), "Shows Product Info.\nInfo",
          &CMainFrame::AboutRequested);

  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, &CMainFrame::HelpRequested);
  auto* context_help = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1), this);
  connect(context_help, &QShortcut::activated, this, []() { QWhatsThis::enterWhatsThisMode(); });
}

QAction* CMainFrame::Action(const QString& text) const {
  for (QAction* action : findChildren<QAction*>())
    if (action->text() == text) return action;
  for (QMenu* menu : menuBar()->findChildren<QMenu*>())
    for (QAction* action : menu->actions())
      if (action->text() == text) return action;
  return nullptr;
}

void CMainFrame::SetMessage(const QString& text) {
  message_ = text;
  panes_[0]->setText(text);
}

QString CMainFrame::Message() const { return panes_[0]->text(); }

void CMainFrame::SetCounters(int meshes, int faces, int vertices) {
  panes_[1]->setText(QString("M:%1").arg(meshes));
  panes_[2]->setText(QString("F:%1").arg(faces));
  panes_[3]->setText(QString("V:%1").arg(vertices));
}

QLabel* CMainFrame::Pane(int index) const {
  return index >= 0 && index < 4 ? panes_[index] : nullptr;
}

bool CMainFrame::ViewKey(int key, Qt::KeyboardModifiers modifiers, const QPoint& global) {
  if (!is_view_key(key)) return false;
  COpenGLWnd* view = view_->ViewAt(global);
  if (view == nullptr) return false;
  return view->handle_key(key, modifiers & ~Qt::KeypadModifier) != 0;
}

bool CMainFrame::event(QEvent* event) {
  // Leaving a menu item clears its prompt; the line then shows the idle text.
  if (event->type() == QEvent::StatusTip) {
    const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
    panes_[0]->setText(tip.isEmpty() ? QString(kIdleMessage) : tip);
    return true;
  }
  return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  // The view keys act on the view under the pointer, whichever widget of the frame has the
  // focus; a view with the focus must not take them for itself.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (is_view_key(key->key())) {
      const bool done = ViewKey(key->key(), key->modifiers(), QCursor::pos());
      if (done || qobject_cast<COpenGLWnd*>(watched) != nullptr) return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // An export or import in progress uses the object list and the plug-ins.
  if (busy_) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) {
      event->acceptProposedAction();
      return;
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
  // Of several files dropped at once only the first is imported.
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  const QByteArray file = QFile::encodeName(urls.first().toLocalFile());
  // The import runs after the drop has finished, so the source is not kept waiting.
  QTimer::singleShot(0, this, [this, file]() { emit FileDropped(file); });
  raise();
  activateWindow();
}
