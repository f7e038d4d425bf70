#include "apps/MorvaneOGL/export_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/ui/class_chooser.h"

ExportDialog::ExportDialog(const QStringList& names, int selected, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Export");
  chooser_ = new ClassChooser({"&Export", "&Options", "&Help"}, ClassChooser::Layout::ButtonsAbove);
  chooser_->SetClasses(names, selected);
  close_ = new QPushButton("&Close");
  close_->setAutoDefault(false);

  auto* closing = new QHBoxLayout;
  closing->addStretch();
  closing->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chooser_);
  layout->addLayout(closing);

  connect(chooser_, &ClassChooser::RunClicked, this, &ExportDialog::RequestExport);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

QComboBox* ExportDialog::ClassList() const { return chooser_->List(); }

void ExportDialog::RequestExport() {
  if (exporting_) return;
  // The export runs inside the signal, so the dialog cannot close under it.
  exporting_ = true;
  emit ExportRequested();
  exporting_ = false;
  close_->setFocus();
}

void ExportDialog::reject() {
  if (exporting_) return;
  QDialog::reject();
}
