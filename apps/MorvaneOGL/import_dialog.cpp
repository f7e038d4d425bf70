#include "apps/MorvaneOGL/import_dialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/ui/class_chooser.h"

ImportDialog::ImportDialog(const QStringList& names, int selected, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle("Import");
  chooser_ = new ClassChooser({"&Import", "&Options", "&Help"}, ClassChooser::Layout::ButtonsAbove);
  chooser_->SetClasses(names, selected);

  auto* statistic = new QGroupBox("Statistic");
  auto* counts = new QGridLayout(statistic);
  auto count = [counts](int row, const char* label) {
    counts->addWidget(new QLabel(label), row, 0);
    auto* value = new QLabel(":0");
    value->setObjectName(label);
    value->setMinimumWidth(90);
    counts->addWidget(value, row, 1);
    return value;
  };
  meshes_ = count(0, "Mesh");
  faces_ = count(1, "Face");
  vertices_ = count(2, "Vertex");

  ok_ = new QPushButton("&OK");
  auto* cancel = new QPushButton("&Cancel");
  cancel->setAutoDefault(false);
  ok_->setDefault(true);

  auto* closing = new QHBoxLayout;
  closing->addStretch();
  closing->addWidget(ok_);
  closing->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(chooser_);
  layout->addWidget(statistic);
  layout->addLayout(closing);

  connect(chooser_, &ClassChooser::RunClicked, this, &ImportDialog::RequestImport);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QComboBox* ImportDialog::ClassList() const { return chooser_->List(); }

QString ImportDialog::Count(const QString& label) const {
  auto* value = findChild<QLabel*>(label);
  return value != nullptr ? value->text() : QString();
}

void ImportDialog::ShowCounts(long meshes, long faces, long vertices) {
  meshes_->setText(QString::asprintf(":%ld", meshes));
  faces_->setText(QString::asprintf(":%ld", faces));
  vertices_->setText(QString::asprintf(":%ld", vertices));
}

void ImportDialog::ShowRead(const MeshTotals& totals) {
  ShowCounts(totals.meshes, totals.faces, totals.vertices);
  ok_->setFocus();
}

void ImportDialog::RequestImport() {
  if (importing_) return;
  ShowCounts(0, 0, 0);
  // The import runs inside the signal, so the dialog cannot close under it.
  importing_ = true;
  emit ImportRequested();
  importing_ = false;
}

void ImportDialog::done(int result) {
  if (importing_) return;
  if (result == QDialog::Accepted) emit TakeRequested();
  QDialog::done(result);
}
