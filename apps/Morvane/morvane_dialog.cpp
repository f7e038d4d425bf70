#include "apps/Morvane/morvane_dialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "host/host_commands.h"
#include "host/host_settings.h"
#include "host/plugin_manager.h"
#include "host/plugin_summary.h"
#include "host/ui/class_chooser.h"
#include "host/ui/handover_queue.h"
#include "host/ui/help_window.h"
#include "host/ui/host_options_dialog.h"
#include "host/ui/message_box.h"
#include "host/ui/plugin_info_dialog.h"
#include "host/ui/single_instance.h"
#include "host/ui/statistics_dialog.h"

namespace {

const char kTitle[] = "Morvane V 3.5";

using Id = MorvaneDialog::ControlId;

// Controls disabled while an export runs (and "&Quit").
const int kBusyControls[] = {Id::kImportOptions, Id::kImportHelp, Id::kImportRun, Id::kImportList,
                             Id::kExportOptions, Id::kExportHelp, Id::kExportRun, Id::kExportList,
                             Id::kOptions,       Id::kClear,      Id::kStatistic, Id::kQuit};
// Controls of both class groups, and clear and statistics, disabled without usable plug-ins.
const int kGroupControls[] = {Id::kImportOptions, Id::kImportHelp, Id::kImportRun, Id::kImportList,
                              Id::kExportOptions, Id::kExportHelp, Id::kExportRun, Id::kExportList,
                              Id::kClear,         Id::kStatistic};
// Controls that need something in the object list.
const int kMeshControls[] = {Id::kClear, Id::kStatistic, Id::kExportRun};

QPushButton* numbered_button(const QString& text, int control_id) {
  auto* button = new QPushButton(text);
  SetControlId(button, control_id);
  button->setAutoDefault(false);
  return button;
}

// The import or the export group: the class list above the run, "Options" and "Help" buttons,
// numbered from first (options, help, run, list).
QGroupBox* class_group(const char* title, const char* run, int first, ClassChooser** chooser) {
  auto* group = new QGroupBox(title);
  *chooser = new ClassChooser({run, "Options", "Help"}, ClassChooser::Layout::ListAbove);
  SetControlId((*chooser)->OptionsButton(), first);
  SetControlId((*chooser)->HelpButton(), first + 1);
  SetControlId((*chooser)->RunButton(), first + 2);
  SetControlId((*chooser)->List(), first + 3);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(*chooser);
  return group;
}

}  // namespace

MorvaneDialog::MorvaneDialog(const QByteArray& file, SingleInstance* instance, QWidget* parent)
    : QDialog(parent), ui_(this) {
  ui_.on_imported_file = [this](const std::string& name) {
    setWindowTitle(QString(kTitle) + " " + QString::fromLocal8Bit(name.c_str()));
  };
  ui_.on_counters = [this](std::int32_t m, std::int32_t f, std::int32_t v) {
    ShowCounters(m, f, v);
  };
  ui_.on_busy = [this](bool busy) { SetBusy(busy); };

  BuildControls();
  setWindowTitle(kTitle);
  settings_ = new HostSettings(HostProgram::Converter);
  plugins_ = new PluginManager;
  plugins_->Scan(settings_->PluginPath(), PLUGIN_INTERFACE_VERSION);
  commands_ = new HostCommands(*plugins_, ui_);
  ConnectClassCommands(import_chooser_, commands_, ClassGroup::Import,
                       [this]() { return import_available_; });
  ConnectClassCommands(export_chooser_, commands_, ClassGroup::Export,
                       [this]() { return export_available_; });

  // Without plug-ins, import classes or export classes the lists keep "(none)", the
  // groups stay disabled, and neither the named file nor later starts are served.
  int import_position = 0, export_position = 0;
  if (plugins_->ClassCount() == 0 ||
      !FillClassList(import_chooser_, commands_->ImportIndex(), settings_->LastImportClass(),
                     &import_position) ||
      !FillClassList(export_chooser_, commands_->ExportIndex(), settings_->LastExportClass(),
                     &export_position)) {
    DisableGroups();
    return;
  }
  import_available_ = export_available_ = true;
  commands_->SelectImport(import_position);
  commands_->SelectExport(export_position);
  ShowCounters(0, 0, 0);

  if (!file.isEmpty()) ImportNamed(file);
  handovers_ = new HandoverQueue([this]() { return commands_->Busy(); },
                                 [this](const QByteArray& handed) { ImportNamed(handed); }, this);
  if (instance != nullptr) {
    connect(instance, &SingleInstance::Activated, this, &MorvaneDialog::Activate);
    instance->Listen();
  }
}

MorvaneDialog::~MorvaneDialog() {
  std::string import_class, export_class;
  if (import_available_ && export_available_) {
    import_class = commands_->SelectedImportClass()->ClassName();
    export_class = commands_->SelectedExportClass()->ClassName();
  }
  delete commands_;  // the host's list, then every importer with its meshes
  if (import_available_ && export_available_) {
    settings_->SetLastImportClass(import_class.c_str());
    settings_->SetLastExportClass(export_class.c_str());
  }
  delete plugins_;
  delete settings_;  // saves
}

void MorvaneDialog::BuildControls() {
  auto* import_group = class_group("Import", "&Import", kImportOptions, &import_chooser_);
  auto* export_group = class_group("Export", "&Export", kExportOptions, &export_chooser_);

  auto* common_group = new QGroupBox("Common");
  auto* counters = new QGridLayout;
  auto counter = [counters](int row, const char* label, int control_id) {
    counters->addWidget(new QLabel(label), row, 0);
    auto* value = new QLabel(":0");
    SetControlId(value, control_id);
    value->setMinimumWidth(90);
    counters->addWidget(value, row, 1);
    return value;
  };
  mesh_count_ = counter(0, "Mesh", kMeshCount);
  face_count_ = counter(1, "Face", kFaceCount);
  vertex_count_ = counter(2, "Vertex", kVertexCount);
  auto* options = numbered_button("&Options", kOptions);
  auto* clear = numbered_button("&Clear", kClear);
  auto* statistic = numbered_button("&Statistic", kStatistic);
  auto* plugin_info = numbered_button("&Plugin Info", kPluginInfo);
  auto* view = numbered_button("&View", kView);
  view->setEnabled(false);
  auto* help = numbered_button("&Help", kHelp);
  auto* quit = numbered_button("&Quit", kQuit);
  auto* about = new QToolButton;
  about->setText("?");
  // The menu item's text without its mnemonic mark, which a tool tip would show.
  about->setToolTip(QString("Inf&o über Morvane...").remove('&'));
  auto* buttons = new QGridLayout;
  buttons->addWidget(options, 0, 0);
  buttons->addWidget(clear, 0, 1);
  buttons->addWidget(statistic, 1, 0);
  buttons->addWidget(plugin_info, 1, 1);
  buttons->addWidget(view, 2, 0);
  buttons->addWidget(help, 2, 1);
  auto* common_row = new QHBoxLayout(common_group);
  common_row->addLayout(counters);
  common_row->addStretch();
  common_row->addLayout(buttons);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(about);
  bottom->addStretch();
  bottom->addWidget(quit);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(import_group);
  layout->addWidget(export_group);
  layout->addWidget(common_group);
  layout->addLayout(bottom);
  setMinimumWidth(420);

  connect(import_chooser_, &ClassChooser::RunClicked, this, [this]() {
    if (import_available_) commands_->Import(settings_->ClearFlag(), settings_->CheckNameMode());
  });
  connect(export_chooser_, &ClassChooser::RunClicked, this, [this]() {
    if (export_available_ || commands_->ImportedObjects().count() == 0) commands_->Export();
  });
  connect(options, &QPushButton::clicked, this, [this]() {
    HostOptionsDialog dialog(*settings_, false, this);
    dialog.exec();
  });
  connect(clear, &QPushButton::clicked, this, [this]() {
    commands_->Clear();
    commands_->Recount();
  });
  connect(statistic, &QPushButton::clicked, this, [this]() {
    StatisticsDialog dialog(commands_->ImportedObjects(), false, this);
    dialog.exec();
  });
  connect(plugin_info, &QPushButton::clicked, this, [this]() {
    PluginInfoDialog dialog(PluginSummaryLines(*plugins_), this);
    dialog.exec();
  });
  connect(help, &QPushButton::clicked, this,
          [this]() { ShowHelpWindow(this, "Morvane Help", "qrc:/morvane/help.html"); });
  connect(quit, &QPushButton::clicked, this, &QDialog::close);
  connect(about, &QToolButton::clicked, this, &MorvaneDialog::ShowAbout);
}

QWidget* MorvaneDialog::Control(int control_id) const {
  for (QWidget* child : findChildren<QWidget*>())
    if (child->property("controlId").toInt() == control_id) return child;
  return nullptr;
}

bool MorvaneDialog::FillClassList(ClassChooser* chooser, const std::vector<int>& index,
                                  const std::string& last, int* selected) {
  if (index.empty()) return false;
  *selected = 0;
  for (std::size_t p = 0; p < index.size(); ++p)
    if (last == plugins_->ClassAt(index[p])->ClassName()) *selected = static_cast<int>(p);
  chooser->SetClasses(ClassNames(*plugins_, index), *selected);
  return true;
}

void MorvaneDialog::DisableGroups() {
  for (int id : kGroupControls)
    if (QWidget* control = Control(id)) control->setEnabled(false);
}

void MorvaneDialog::ShowCounters(std::int32_t meshes, std::int32_t faces, std::int32_t vertices) {
  mesh_count_->setText(QString(":%1").arg(meshes));
  face_count_->setText(QString(":%1").arg(faces));
  vertex_count_->setText(QString(":%1").arg(vertices));
  for (int id : kMeshControls)
    if (QWidget* control = Control(id)) control->setEnabled(meshes != 0);
}

void MorvaneDialog::SetBusy(bool busy) {
  for (int id : kBusyControls)
    if (QWidget* control = Control(id)) control->setEnabled(!busy);
  if (!busy) ShowCounters(commands_->MeshCount(), commands_->FaceCount(), commands_->VertexCount());
}

void MorvaneDialog::ImportNamed(const QByteArray& file) {
  commands_->ImportByName(AbsoluteFileName(file).constData(), settings_->Extensions(),
                          settings_->ClearFlag(), settings_->CheckNameMode());
}

void MorvaneDialog::Activate(const QByteArray& file) {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  show();
  raise();
  activateWindow();
  // Held while a dialog or an export is open: it would work on meshes the import replaces.
  if (!file.isEmpty() && handovers_ != nullptr) handovers_->Add(file);
}

void MorvaneDialog::ShowAbout() {
  QMessageBox box(QMessageBox::Information, "Info über Morvane",
                  QString(kTitle) + "\n" + QString("Build: %1").arg(CONVERTER_BUILD),
                  QMessageBox::Ok, this);
  box.exec();
}

void MorvaneDialog::closeEvent(QCloseEvent* event) {
  // A running export uses the object list and the plug-ins: closing waits for it.
  if (commands_ != nullptr && commands_->Busy()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void MorvaneDialog::keyPressEvent(QKeyEvent* event) {
  // Escape closes dialogs, never this main window with the user's meshes: only "&Quit" and
  // the window's close button end the program.
  if (event->matches(QKeySequence::Cancel)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void MorvaneDialog::reject() {
  if (commands_ != nullptr && commands_->Busy()) return;
  QDialog::reject();
}

void MorvaneDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction("Inf&o über Morvane...", this, &MorvaneDialog::ShowAbout);
  menu.exec(event->globalPos());
}
