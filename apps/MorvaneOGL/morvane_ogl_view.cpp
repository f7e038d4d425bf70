#include "apps/MorvaneOGL/morvane_ogl_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "host/host_settings.h"
#include "viewer/opengl_wnd.h"

namespace {

// The quarters of the four view types: Top top-left, Side top-right, Front bottom-left,
// User bottom-right.
const bool kRightHalf[4] = {false, true, false, true};
const bool kLowerHalf[4] = {false, false, true, true};

bool valid_kind(int view_kind) { return view_kind >= 0 && view_kind < 4; }

// Takes "Close" (Ctrl+F4) out of a view's system menu, with the separator left trailing.
void RemoveCloseItem(QMenu* menu) {
  if (menu == nullptr) return;
  for (QAction* action : menu->actions())
    if (action->shortcut() == QKeySequence(QKeySequence::Close) ||
        action->text().remove('&') == QLatin1String("Close"))
      menu->removeAction(action);
  while (!menu->actions().isEmpty() && menu->actions().last()->isSeparator())
    menu->removeAction(menu->actions().last());
}

}  // namespace

CMyMorvaneOGLView::CMyMorvaneOGLView(HostSettings& settings, ViewerScene& scene, QWidget* parent)
    : QWidget(parent), settings_(settings), scene_(scene) {
  const ViewValues& v = settings_.Views();
  pairs_[0] = {v.vo_top, v.vo_top_fast};
  pairs_[1] = {v.vo_side, v.vo_side_fast};
  pairs_[2] = {v.vo_front, v.vo_front_fast};
  pairs_[3] = {v.vo_user, v.vo_user_fast};
  view_title_ = v.view_title;
  model_colours_ = v.model_colours;
  setMinimumSize(1, 1);
}

CMyMorvaneOGLView::~CMyMorvaneOGLView() {
  DestroyViews();
  ViewValues& v = settings_.Views();
  v.view_title = view_title_;
  v.model_colours = model_colours_;
  v.vo_top = pairs_[0].mode;
  v.vo_top_fast = pairs_[0].fast;
  v.vo_side = pairs_[1].mode;
  v.vo_side_fast = pairs_[1].fast;
  v.vo_front = pairs_[2].mode;
  v.vo_front_fast = pairs_[2].fast;
  v.vo_user = pairs_[3].mode;
  v.vo_user_fast = pairs_[3].fast;
}

ViewModes CMyMorvaneOGLView::Pair(int view_kind) const {
  return valid_kind(view_kind) ? pairs_[view_kind] : ViewModes{0, 0};
}

void CMyMorvaneOGLView::SetPair(int view_kind, ViewModes pair) {
  if (valid_kind(view_kind)) pairs_[view_kind] = pair;
}

QString CMyMorvaneOGLView::ViewName(int view_kind) {
  static const char* const kNames[4] = {"Top View", "Side View", "Front View", "User View"};
  return valid_kind(view_kind) ? QString(kNames[view_kind]) : QString();
}

bool CMyMorvaneOGLView::ViewsExist() const {
  for (const QPointer<COpenGLWnd>& view : views_)
    if (view.isNull()) return false;
  return true;
}

COpenGLWnd* CMyMorvaneOGLView::View(int view_kind) const {
  return valid_kind(view_kind) ? views_[view_kind].data() : nullptr;
}

QWidget* CMyMorvaneOGLView::ViewWindow(int view_kind) const {
  return valid_kind(view_kind) ? windows_[view_kind].data() : nullptr;
}

COpenGLWnd* CMyMorvaneOGLView::ViewAt(const QPoint& global) const {
  for (QWidget* w = QApplication::widgetAt(global); w != nullptr; w = w->parentWidget())
    for (const QPointer<COpenGLWnd>& view : views_)
      if (view.data() == w) return view.data();
  return nullptr;
}

QSize CMyMorvaneOGLView::ClientSize() const { return size(); }

QRect CMyMorvaneOGLView::Quarter(int view_kind) const {
  const QSize client = ClientSize();
  const int w = client.width(), h = client.height();
  const int x = valid_kind(view_kind) && kRightHalf[view_kind] ? w / 2 + 1 : 0;
  const int y = valid_kind(view_kind) && kLowerHalf[view_kind] ? h / 2 + 1 : 0;
  return QRect(x, y, std::max(w / 2 - 1, 1), std::max(h / 2 - 1, 1));
}

void CMyMorvaneOGLView::CreateViews() {
  DestroyViews();
  if (view_title_ != 0) {
    area_ = new QMdiArea(this);
    area_->setFrameShape(QFrame::NoFrame);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setBackground(QBrush(palette().color(QPalette::Dark)));
    area_->setGeometry(rect());
    area_->show();
  }
  for (int kind = 0; kind < 4; ++kind) {
    auto* view = new COpenGLWnd(kind, &scene_);
    views_[kind] = view;
    connect(view, &COpenGLWnd::render_mode_changed, this, [this](int view_kind, int mode) {
      if (valid_kind(view_kind)) pairs_[view_kind].mode = mode;
    });
    connect(view, &COpenGLWnd::maximize_requested, this, &CMyMorvaneOGLView::ToggleMaximize);
    if (view_title_ != 0) {
      // Caption, sizing border, minimise and maximise boxes, and the system menu on
      // the caption's context menu. A view closes only with the others, so it has no
      // close box and its system menu no "Close".
      QMdiSubWindow* sub =
          area_->addSubWindow(view, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowMinMaxButtonsHint);
      RemoveCloseItem(sub->systemMenu());
      sub->setAttribute(Qt::WA_DeleteOnClose, false);
      sub->setWindowTitle(ViewName(kind));
      sub->setMinimumSize(1, 1);
      sub->installEventFilter(this);
      sub->setGeometry(Quarter(kind));
      sub->show();
      windows_[kind] = sub;
    } else {
      auto* frame = new QFrame(this);
      frame->setFrameStyle(QFrame::Box | QFrame::Plain);
      frame->setLineWidth(1);
      frame->setAccessibleName(ViewName(kind));
      auto* layout = new QVBoxLayout(frame);
      layout->setContentsMargins(1, 1, 1, 1);
      layout->addWidget(view);
      frame->setGeometry(Quarter(kind));
      frame->show();
      windows_[kind] = frame;
    }
  }
  maximized_ = -1;
}

void CMyMorvaneOGLView::DestroyViews() {
  destroying_ = true;
  for (int kind = 0; kind < 4; ++kind) {
    delete windows_[kind].data();  // with its view
    windows_[kind] = nullptr;
    delete views_[kind].data();  // nothing left when the window took it along
    views_[kind] = nullptr;
  }
  delete area_;
  area_ = nullptr;
  maximized_ = -1;
  destroying_ = false;
}

bool CMyMorvaneOGLView::IsMaximized(int view_kind) const {
  if (!valid_kind(view_kind) || windows_[view_kind].isNull()) return false;
  if (view_title_ != 0 && area_ != nullptr) return windows_[view_kind]->isMaximized();
  return maximized_ == view_kind;
}

void CMyMorvaneOGLView::ToggleMaximize(COpenGLWnd* view) {
  int kind = -1;
  for (int k = 0; k < 4; ++k)
    if (views_[k].data() == view && view != nullptr) kind = k;
  if (kind < 0 || windows_[kind].isNull()) return;
  QWidget* window = windows_[kind];
  if (area_ != nullptr) {
    if (window->isMaximized()) {
      window->showNormal();
      window->setGeometry(Quarter(kind));
    } else {
      window->showMaximized();
    }
    return;
  }
  maximized_ = maximized_ == kind ? -1 : kind;
  PlaceViews();
  window->raise();
}

void CMyMorvaneOGLView::PlaceViews() {
  if (area_ != nullptr) area_->setGeometry(rect());
  for (int kind = 0; kind < 4; ++kind) {
    QWidget* window = windows_[kind];
    if (window == nullptr) continue;
    if (area_ != nullptr) {
      if (window->isMaximized() || window->isMinimized())
        continue;  // the area keeps a maximised view filling it
      window->setGeometry(Quarter(kind));
    } else {
      window->setGeometry(maximized_ == kind ? rect() : Quarter(kind));
    }
  }
  if (area_ == nullptr && maximized_ >= 0 && windows_[maximized_] != nullptr)
    windows_[maximized_]->raise();
}

void CMyMorvaneOGLView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceViews();
}

bool CMyMorvaneOGLView::eventFilter(QObject* watched, QEvent* event) {
  // A view closes only with the others, when the scene is rebuilt or the program ends.
  if (event->type() == QEvent::Close && !destroying_) {
    event->ignore();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
