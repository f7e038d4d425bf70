#include "host/ui/host_options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "host/host_settings.h"
#include "host/ui/message_box.h"

HostOptionsDialog::HostOptionsDialog(HostSettings& settings, bool viewer, QWidget* parent)
    : QDialog(parent), settings_(settings), viewer_(viewer) {
  setWindowTitle(viewer ? "MorvaneOGL Configuration" : "Morvane Configuration");
  path_text_ = QString::fromLocal8Bit(settings.PluginPath().c_str());

  auto* path_group = new QGroupBox("Plugin Path");
  path_ = new QLineEdit(path_text_);
  path_->setReadOnly(true);
  auto* browse = new QPushButton("...");
  browse->setFixedWidth(32);
  connect(browse, &QPushButton::clicked, this, &HostOptionsDialog::Browse);
  auto* path_row = new QHBoxLayout(path_group);
  path_row->addWidget(path_);
  path_row->addWidget(browse);

  clear_ = new QCheckBox("Clear at &Import");
  clear_->setChecked(settings.ClearFlag() != 0);

  auto* check_group = new QGroupBox("Name Check");
  auto* check_column = new QVBoxLayout(check_group);
  name_check_ = new QButtonGroup(this);
  const char* labels[] = {"&none", "&manual", "&automatic"};
  for (int mode = 0; mode < 3; ++mode) {
    auto* radio = new QRadioButton(labels[mode]);
    name_check_->addButton(radio, mode);
    check_column->addWidget(radio);
  }
  if (QAbstractButton* selected = name_check_->button(settings.CheckNameMode()))
    selected->setChecked(true);
  if (viewer_)
    connect(name_check_, &QButtonGroup::idClicked, this,
            [this](int mode) { settings_.SetCheckNameMode(mode); });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(path_group);
  layout->addWidget(clear_);
  layout->addWidget(check_group);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

void HostOptionsDialog::Browse() {
  QString start = path_text_;
  while (start.size() > 1 && start.endsWith('/')) start.chop(1);
  QString folder = QFileDialog::getExistingDirectory(this, "Choose Plugin Directory", start,
                                                     QFileDialog::ShowDirsOnly);
  if (!folder.isEmpty()) ChooseFolder(folder);
}

void HostOptionsDialog::ChooseFolder(const QString& folder) {
  path_text_ = folder.endsWith('/') ? folder : folder + "/";
  path_->setText(path_text_);
}

void HostOptionsDialog::done(int result) {
  // Both buttons keep what the dialog shows, as the original did.
  const std::string path = path_text_.toLocal8Bit().toStdString();
  if (viewer_ && path != settings_.PluginPath())
    ShowMessageBox(this, "Please restart Morvane to scan new plugin path", "Warning");
  settings_.SetPluginPath(path);
  settings_.SetClearFlag(clear_->isChecked() ? 1 : 0);
  if (name_check_->checkedId() >= 0) settings_.SetCheckNameMode(name_check_->checkedId());
  QDialog::done(result);
}
