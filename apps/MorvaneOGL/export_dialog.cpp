#include "apps/MorvaneOGL/export_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "apps/MorvaneOGL/morvane_ogl_app.h"
#include "host/host_commands.h"
#include "host/plugin_manager.h"

ExportDialog::ExportDialog(CMyMorvaneOGLApp& app, QWidget* parent) : QDialog(parent), app_(app) {
  setWindowTitle("Export");
  HostCommands* commands = app_.Commands();

  auto* options = new QPushButton("&Options");
  auto* help = new QPushButton("&Help");
  auto* run = new QPushButton("&Export");
  classes_ = new QComboBox;
  classes_->addItem("(none)");
  if (commands != nullptr && !commands->ExportIndex().empty()) {
    classes_->clear();
    for (int position : commands->ExportIndex())
      classes_->addItem(QString::fromUtf8(app_.Plugins()->ClassAt(position)->ClassName()));
    classes_->setCurrentIndex(commands->ExportSelection());
  }
  close_ = new QPushButton("&Close");
  for (QPushButton* button : {options, help, run, close_}) button->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(options);
  buttons->addWidget(help);
  buttons->addWidget(run);
  auto* closing = new QHBoxLayout;
  closing->addStretch();
  closing->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(classes_);
  layout->addLayout(closing);

  connect(classes_, qOverload<int>(&QComboBox::activated), this, [this](int position) {
    if (app_.Commands() != nullptr) app_.Commands()->SelectExport(position);
  });
  connect(options, &QPushButton::clicked, this, [this]() {
    if (app_.ExportAvailable()) app_.Commands()->ExportOptions();
  });
  connect(help, &QPushButton::clicked, this, [this]() {
    if (app_.ExportAvailable()) app_.Commands()->ExportHelp();
  });
  connect(run, &QPushButton::clicked, this, &ExportDialog::RunExport);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

void ExportDialog::RunExport() {
  HostCommands* commands = app_.Commands();
  if (!app_.ExportAvailable() || commands == nullptr || commands->Busy()) return;
  commands->ExportWithClass(commands->SelectedExportClass(), EXPORT_ASK, nullptr);
  close_->setFocus();
}

void ExportDialog::reject() {
  if (app_.Commands() != nullptr && app_.Commands()->Busy()) return;
  QDialog::reject();
}
