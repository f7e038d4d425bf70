#include "apps/MorvaneOGL/import_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "apps/MorvaneOGL/morvane_ogl_app.h"
#include "host/host_commands.h"
#include "host/plugin_manager.h"
#include "host/ui/message_box.h"
#include "meshlib/object_list.h"
#include "plugin_api/plugin_api.h"

ImportDialog::ImportDialog(CMyMorvaneOGLApp& app, QWidget* parent) : QDialog(parent), app_(app) {
  setWindowTitle("Import");
  HostCommands* commands = app_.Commands();

  auto* options = new QPushButton("&Options");
  auto* help = new QPushButton("&Help");
  auto* import = new QPushButton("&Import");
  classes_ = new QComboBox;
  classes_->addItem("(none)");
  if (commands != nullptr && !commands->ImportIndex().empty()) {
    classes_->clear();
    for (int position : commands->ImportIndex())
      classes_->addItem(QString::fromUtf8(app_.Plugins()->ClassAt(position)->ClassName()));
    classes_->setCurrentIndex(commands->ImportSelection());
  }

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
  for (QPushButton* button : {options, help, import, cancel}) button->setAutoDefault(false);
  ok_->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(options);
  buttons->addWidget(help);
  buttons->addWidget(import);
  auto* closing = new QHBoxLayout;
  closing->addStretch();
  closing->addWidget(ok_);
  closing->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(classes_);
  layout->addWidget(statistic);
  layout->addLayout(closing);

  connect(classes_, qOverload<int>(&QComboBox::activated), this, [this](int position) {
    if (app_.Commands() != nullptr) app_.Commands()->SelectImport(position);
  });
  connect(options, &QPushButton::clicked, this, [this]() {
    if (app_.ImportAvailable()) app_.Commands()->ImportOptions();
  });
  connect(help, &QPushButton::clicked, this, [this]() {
    if (app_.ImportAvailable()) app_.Commands()->ImportHelp();
  });
  connect(import, &QPushButton::clicked, this, &ImportDialog::RunImport);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ImportDialog::~ImportDialog() { DropImporter(); }

QString ImportDialog::Count(const QString& label) const {
  auto* value = findChild<QLabel*>(label);
  return value != nullptr ? value->text() : QString();
}

void ImportDialog::DropImporter() {
  if (importer_ != nullptr) importer_->DeleteThis();
  importer_ = nullptr;
  objects_ = nullptr;
}

void ImportDialog::ShowCounts(long meshes, long faces, long vertices) {
  meshes_->setText(QString::asprintf(":%ld", meshes));
  faces_->setText(QString::asprintf(":%ld", faces));
  vertices_->setText(QString::asprintf(":%ld", vertices));
}

void ImportDialog::RunImport() {
  // The meshes of an earlier import in this dialog were never taken: they go with it.
  DropImporter();
  ShowCounts(0, 0, 0);
  if (!app_.ImportAvailable()) return;
  importer_ = CreateImporter(app_.Commands()->SelectedImportClass());
  if (importer_ == nullptr) return;
  importing_ = true;
  objects_ = importer_->Import();
  importing_ = false;
  if (objects_ == nullptr || objects_->count() == 0) {
    ShowMessageBox(this, "No meshes found to import!", "Info");
    return;
  }
  const MeshTotals totals = CountMeshes(*objects_);
  ShowCounts(totals.meshes, totals.faces, totals.vertices);
  ok_->setFocus();
}

void ImportDialog::done(int result) {
  if (importing_) return;
  if (result == QDialog::Accepted) {
    app_.TakeImport(importer_, objects_);  // the program keeps the importer from here on
    importer_ = nullptr;
    objects_ = nullptr;
  } else {
    DropImporter();
  }
  QDialog::done(result);
}
