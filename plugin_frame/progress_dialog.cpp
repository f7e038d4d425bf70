#include "plugin_frame/progress_dialog.h"

#include <string>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

#include "plugin_frame/frame_gui.h"

namespace {

// Range and step of each bar.
constexpr int kLower = 0;
constexpr int kUpper = 100;

QProgressBar* new_bar(QWidget* parent, int control_id) {
  auto* bar = new QProgressBar(parent);
  bar->setProperty("controlId", control_id);
  bar->setRange(kLower, kUpper);
  bar->setValue(kLower);
  bar->setTextVisible(false);
  bar->setMinimumWidth(220);
  return bar;
}

QLabel* new_label(QWidget* parent, const char* text, int control_id) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  if (control_id != 0) label->setProperty("controlId", control_id);
  return label;
}

}  // namespace

ProgressDialog::ProgressDialog(Variant variant, const QString& title, QWidget* owner)
    : QDialog(nullptr), owner_(owner != nullptr ? owner->window() : frame_owner_window()) {
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* grid = new QGridLayout(this);
  grid->addWidget(new_label(this, "File Progress:", 0), 0, 0);
  file_bar_ = new_bar(this, kIdFileBar);
  grid->addWidget(file_bar_, 0, 1);
  file_text_ = new_label(this, " 0 %", kIdFilePercent);
  grid->addWidget(file_text_, 0, 2);
  int row = 1;
  if (variant == ImportProgress) {
    grid->addWidget(new_label(this, "Mesh Progress:", 0), row, 0);
    mesh_bar_ = new_bar(this, kIdMeshBar);
    grid->addWidget(mesh_bar_, row, 1);
    mesh_text_ = new_label(this, " 0 %", kIdMeshPercent);
    grid->addWidget(mesh_text_, row, 2);
    ++row;
  }
  status_ = new_label(this, "Status", kIdStatus);
  status_->setMinimumWidth(300);
  grid->addWidget(status_, row, 0, 1, 3);
  ++row;
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setProperty("controlId", kIdCancel);
  grid->addWidget(cancel, row, 2);
  connect(cancel, &QPushButton::clicked, this, [this] { cancel_ = stop_ = true; });
}

ProgressDialog::~ProgressDialog() {
  if (disabled_owner_ && owner_ != nullptr) owner_->setEnabled(true);
}

bool ProgressDialog::CreateModeless() {
  if (owner_ != nullptr) {
    // Not a child of the owner, which is disabled below; kept above it instead.
    winId();
    QWidget* top = owner_->window();
    if (windowHandle() != nullptr && top->windowHandle() != nullptr)
      windowHandle()->setTransientParent(top->windowHandle());
    if (owner_->isEnabled()) {
      owner_->setEnabled(false);
      disabled_owner_ = true;
    }
  }
  show();
  if (!isVisible()) {
    if (disabled_owner_ && owner_ != nullptr) owner_->setEnabled(true);
    disabled_owner_ = false;
    return false;
  }
  return true;
}

void ProgressDialog::SetStatus(const char* text) {
  QString shown = QString::fromUtf8(text != nullptr ? text : "");
  // The line ends belong to the log form of the message; a label would show them as
  // empty lines.
  while (shown.endsWith(QLatin1Char('\n')) || shown.endsWith(QLatin1Char('\r'))) shown.chop(1);
  status_->setText(shown);
}

void ProgressDialog::SetFileProgress(int percent) { SetBar(file_bar_, file_text_, percent); }

void ProgressDialog::SetMeshProgress(int percent) {
  // The export variant has one bar, which then shows mesh progress too.
  if (mesh_bar_ != nullptr)
    SetBar(mesh_bar_, mesh_text_, percent);
  else
    SetBar(file_bar_, file_text_, percent);
}

void ProgressDialog::SetBar(QProgressBar* bar, QLabel* text, int percent) {
  pump_messages();
  bar->setValue(percent < kLower ? kLower : percent > kUpper ? kUpper : percent);
  // In the form of the first text, " 0 %", as the views' progress shows it too.
  std::string number = progress_percent_text(percent);  // "57%"
  number.pop_back();
  QString shown = QString::fromStdString(" " + number + " %");
  if (text->text() != shown) text->setText(shown);
}

bool ProgressDialog::CancelRequested() {
  pump_messages();
  bool requested = cancel_;
  cancel_ = false;
  return requested;
}

void ProgressDialog::reject() { cancel_ = stop_ = true; }

void ProgressDialog::closeEvent(QCloseEvent* event) {
  // The run owns the dialog and ends it; closing it by hand only asks for the cancel.
  cancel_ = stop_ = true;
  event->ignore();
}
