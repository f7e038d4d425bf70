#include "apps/MorvaneOGL/morvane_ogl_app.h"

#include <QApplication>
#include <QTimer>

#include "apps/MorvaneOGL/about_dialog.h"
#include "apps/MorvaneOGL/export_dialog.h"
#include "apps/MorvaneOGL/import_dialog.h"
#include "apps/MorvaneOGL/light_setup_dialog.h"
#include "apps/MorvaneOGL/main_frame.h"
#include "apps/MorvaneOGL/morvane_ogl_view.h"
#include "apps/MorvaneOGL/opengl_info_dialog.h"
#include "apps/MorvaneOGL/scene_progress_dialog.h"
#include "apps/MorvaneOGL/view_options_dialog.h"
#include "host/host_commands.h"
#include "host/host_settings.h"
#include "host/plugin_manager.h"
#include "host/ui/class_chooser.h"
#include "host/ui/handover_queue.h"
#include "host/ui/help_window.h"
#include "host/ui/host_options_dialog.h"
#include "host/ui/message_box.h"
#include "host/ui/single_instance.h"
#include "host/ui/statistics_dialog.h"
#include "plugin_api/plugin_api.h"
#include "settings/path.h"
#include "viewer/opengl_wnd.h"
#include "viewer/scene_box.h"

namespace {

const char kTitle[] = "MorvaneOGL V3.5";
// How long a file handed over or dropped during another command waits before it tries again.
const int kRetryMilliseconds = 100;

}  // namespace

// The resources live in a static library: they are registered by hand.
static void init_resources() { Q_INIT_RESOURCE(morvaneogl); }

CMyMorvaneOGLApp::CMyMorvaneOGLApp(HostSettings* settings, QObject* parent)
    : QObject(parent),
      ui_(nullptr),
      settings_(settings),
      plugins_(new PluginManager),
      scene_(new ViewerScene) {
  init_resources();
  ui_.on_imported_file = [this](const std::string& name) { SetTitle(name); };
  ui_.on_counters = [this](std::int32_t m, std::int32_t f, std::int32_t v) {
    ShowCounters(m, f, v);
  };
  ui_.on_busy = [this](bool busy) {
    if (frame_ != nullptr) frame_->SetBusy(busy || running_);
  };
  frame_ = new CMainFrame(new CMyMorvaneOGLView(*settings_, *scene_));
  ConnectFrame();
  handovers_ = new HandoverQueue([this]() { return Running(); },
                                 [this](const QByteArray& file) { ImportNamed(file); }, this);
}

void CMyMorvaneOGLApp::ConnectFrame() {
  connect(frame_, &CMainFrame::ImportRequested, this, &CMyMorvaneOGLApp::OnImport);
  connect(frame_, &CMainFrame::ImportLastRequested, this, &CMyMorvaneOGLApp::OnImportLast);
  connect(frame_, &CMainFrame::ExportRequested, this, &CMyMorvaneOGLApp::OnExport);
  connect(frame_, &CMainFrame::StatisticRequested, this, &CMyMorvaneOGLApp::OnStatistic);
  connect(frame_, &CMainFrame::OptionsRequested, this, &CMyMorvaneOGLApp::OnOptions);
  connect(frame_, &CMainFrame::LightSetupRequested, this, &CMyMorvaneOGLApp::OnLightSetup);
  connect(frame_, &CMainFrame::ViewOptionsRequested, this, &CMyMorvaneOGLApp::OnViewOptions);
  connect(frame_, &CMainFrame::HelpRequested, this, &CMyMorvaneOGLApp::OnHelp);
  connect(frame_, &CMainFrame::OpenGLInfoRequested, this, &CMyMorvaneOGLApp::OnOpenGLInfo);
  connect(frame_, &CMainFrame::AboutRequested, this, &CMyMorvaneOGLApp::OnAbout);
  connect(frame_, &CMainFrame::FileDropped, this, &CMyMorvaneOGLApp::ImportNamed);
}

void CMyMorvaneOGLApp::SetRunning(bool running) {
  running_ = running;
  if (frame_ != nullptr) frame_->SetBusy(Running());
}

CMyMorvaneOGLApp::~CMyMorvaneOGLApp() {
  std::string import_class, export_class;
  if (commands_ != nullptr && !commands_->ImportIndex().empty())
    import_class = commands_->SelectedImportClass()->ClassName();
  if (commands_ != nullptr && !commands_->ExportIndex().empty())
    export_class = commands_->SelectedExportClass()->ClassName();

  pending_.Drop();  // an importer is deleted while its plug-in is loaded
  delete frame_;    // the views first: they write their render modes into the settings
  frame_ = nullptr;
  delete commands_;  // the object list, then every importer with its meshes
  commands_ = nullptr;
  delete scene_;  // the light list
  scene_ = nullptr;
  if (!import_class.empty()) settings_->SetLastImportClass(import_class.c_str());
  if (!export_class.empty()) settings_->SetLastExportClass(export_class.c_str());
  delete plugins_;   // unloads the libraries
  delete settings_;  // saves
}

CMyMorvaneOGLView* CMyMorvaneOGLApp::View() const {
  return frame_ != nullptr ? frame_->View() : nullptr;
}

bool CMyMorvaneOGLApp::Running() const {
  return running_ || (commands_ != nullptr && commands_->Busy());
}

void CMyMorvaneOGLApp::Start(const QByteArray& file, SingleInstance* instance) {
  frame_->show();
  if (instance != nullptr) {
    connect(instance, &SingleInstance::Activated, this, &CMyMorvaneOGLApp::Activate);
    instance->Listen();
  }
  frame_->setWindowTitle(kTitle);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  StatusMessage("Start loading plugins ...");

  plugins_->Scan(settings_->PluginPath(), PLUGIN_INTERFACE_VERSION);
  commands_ = new HostCommands(*plugins_, ui_);
  if (plugins_->ClassCount() == 0) {
    StartFailed("No Plugin DLL found\nPlease check plugin path", "No plugins found");
    return;
  }
  if (commands_->ImportIndex().empty()) {
    StartFailed("No Import Plugin DLL found\nPlease check plugin path", "No import plugins found");
    return;
  }
  commands_->SelectImportClass(settings_->LastImportClass().c_str());
  if (commands_->ExportIndex().empty()) {
    StartFailed("No Export Plugin DLL found\nPlease check plugin path", "No export plugins found");
    return;
  }
  commands_->SelectExportClass(settings_->LastExportClass().c_str());
  import_available_ = export_available_ = true;

  scene_->clear_lights();
  ShowCounters(0, 0, 0);
  QApplication::restoreOverrideCursor();
  StatusMessage("Plugins successfully loaded");

  if (!file.isEmpty()) ImportNamed(file);
}

void CMyMorvaneOGLApp::StartFailed(const char* message, const char* status) {
  QApplication::restoreOverrideCursor();
  StatusMessage(status);
  ui_.ShowMessage(message, "Error");
}

void CMyMorvaneOGLApp::StatusMessage(const QString& text) {
  if (frame_ != nullptr) frame_->SetMessage(text);
}

void CMyMorvaneOGLApp::SetTitle(const std::string& file_name) {
  if (frame_ != nullptr)
    frame_->setWindowTitle(QString(kTitle) + " " + QString::fromLocal8Bit(file_name.c_str()));
}

void CMyMorvaneOGLApp::ShowCounters(std::int32_t meshes, std::int32_t faces,
                                    std::int32_t vertices) {
  if (frame_ != nullptr) frame_->SetCounters(meshes, faces, vertices);
}

bool CMyMorvaneOGLApp::ObjectsEmpty() const {
  return commands_ == nullptr || commands_->ImportedObjects().count() == 0;
}

bool CMyMorvaneOGLApp::ReadyForMeshes(const char* refusal, const char* title) {
  if (Running() || commands_ == nullptr) return false;
  if (ObjectsEmpty()) {
    ui_.ShowMessage(refusal, title);
    return false;
  }
  return true;
}

void CMyMorvaneOGLApp::OnImport() {
  if (Running() || commands_ == nullptr) return;
  SetRunning(true);
  int result;
  {
    ImportDialog dialog(ClassNames(*plugins_, commands_->ImportIndex()),
                        commands_->ImportSelection(), frame_);
    ConnectClassCommands(dialog.Chooser(), commands_, ClassGroup::Import,
                         [this]() { return import_available_; });
    connect(&dialog, &ImportDialog::ImportRequested, this, [this, &dialog]() {
      pending_.Drop();
      if (!import_available_ || !pending_.Run(commands_->SelectedImportClass())) return;
      if (pending_.Empty()) {
        // A run the user cancelled needs no message.
        if (pending_.Objects() == nullptr || !pending_.Objects()->cancelled())
          ShowMessageBox(&dialog, "No meshes found to import!", "Info");
        return;
      }
      dialog.ShowRead(CountMeshes(*pending_.Objects()));
    });
    connect(&dialog, &ImportDialog::TakeRequested, this, [this]() { TakeImport(); });
    result = dialog.exec();
    pending_.Drop();  // not taken: "&Cancel"
  }
  SetRunning(false);
  if (result != QDialog::Rejected && !ObjectsEmpty())
    RebuildScene();
  else if (ObjectsEmpty() && View()->ViewsExist())
    View()->DestroyViews();
}

void CMyMorvaneOGLApp::TakeImport() {
  if (commands_ == nullptr) return;
  const bool read_something = !pending_.Empty();
  MeshImporter* importer = pending_.Importer();
  if (importer == nullptr) return;
  if (read_something) {
    if (settings_->ClearFlag() != 0) commands_->Clear();
    scene_->clear_lights();
    commands_->TakeObjects(pending_.Objects(), settings_->CheckNameMode());
    SetTitle(path_file_name(importer->FileName()));
    last_imported_file_ = importer->FileName();
  }
  commands_->KeepImporter(pending_.Release());  // the host owns it from here on
  commands_->Recount();
}

void CMyMorvaneOGLApp::OnImportLast() { ImportNamed(QByteArray(last_imported_file_.c_str())); }

void CMyMorvaneOGLApp::ImportNamed(const QByteArray& file) {
  if (commands_ == nullptr) return;
  if (Running()) {
    QTimer::singleShot(kRetryMilliseconds, this, [this, file]() { ImportNamed(file); });
    return;
  }
  SetRunning(true);
  const QByteArray path = file.isEmpty() ? file : AbsoluteFileName(file);
  if (import_available_) {
    commands_->ImportByName(path.constData(), settings_->Extensions(), settings_->ClearFlag(),
                            settings_->CheckNameMode());
  } else if (settings_->Extensions().FindClassName(path_extension(path.constData()).c_str()) ==
             nullptr) {
    // Without usable plug-ins a file still gets the verdict on its extension.
    ui_.ShowMessage("Extension not recognized!", "Error");
  }
  SetRunning(false);
  RebuildScene();
}

void CMyMorvaneOGLApp::Activate(const QByteArray& file) {
  frame_->setWindowState(frame_->windowState() & ~Qt::WindowMinimized);
  frame_->show();
  frame_->raise();
  frame_->activateWindow();
  // Held while a dialog is open: it may show or use the meshes the import replaces.
  if (!file.isEmpty()) handovers_->Add(file);
}

void CMyMorvaneOGLApp::RebuildScene() {
  CMyMorvaneOGLView* view = View();
  if (commands_ == nullptr || view == nullptr) return;
  // The host replaces its list on every clear; the scene follows it.
  scene_->set_objects(&commands_->ImportedObjects());
  scene_->set_model_colours(view->ModelColours() != 0);
  if (ObjectsEmpty()) {
    if (view->ViewsExist()) view->DestroyViews();
    ui_.ShowMessage("No meshes to display", "Info");
    return;
  }
  const bool was_running = running_;
  SetRunning(true);
  scene_->compute_scene_box();
  ShowCounters(commands_->MeshCount(), commands_->FaceCount(), commands_->VertexCount());

  view->CreateViews();
  SceneProgressDialog progress(frame_);
  progress.show();
  progress.Step(QString(), 0);  // the views get their sizes and contexts meanwhile
  COpenGLWnd* top = view->View(kTopView);
  COpenGLWnd* side = view->View(kSideView);
  COpenGLWnd* front = view->View(kFrontView);
  COpenGLWnd* user = view->View(kUserView);
  for (int kind = 0; kind < 4; ++kind) {
    COpenGLWnd* v = view->View(kind);
    // The fit of the reset below needs each view's own aspect.
    v->navigation().set_projection(v->width(), v->height());
    v->set_render_modes(view->Pair(kind).mode, view->Pair(kind).fast);
  }

  auto step = [this, &progress](const QString& text, int percent) {
    emit SceneStep(text, percent);
    progress.Step(text, percent);
  };
  step("Build OpenGL Model", 0);
  // The build is most of the wait: its own progress moves the bar up to the next step, and
  // Cancel stops it, leaving the views empty until the next build.
  const bool built = user->build_model([&progress](int percent) {
    progress.Step(QString(), percent * 20 / 100);
    return !progress.Cancelled();
  });
  if (!built) {
    for (int kind = 0; kind < 4; ++kind) view->View(kind)->redraw();
    progress.Finish();
    SetRunning(was_running);
    return;
  }
  step(QString(), 20);
  user->share_lists_with(top);
  step(QString(), 30);
  user->share_lists_with(side);
  step(QString(), 40);
  user->share_lists_with(front);

  step("Reset Views", 50);
  user->reset_view();
  step(QString(), 55);
  top->reset_view();
  step(QString(), 60);
  side->reset_view();
  step(QString(), 65);
  front->reset_view();

  step("Update Views", 70);
  top->redraw();
  step(QString(), 80);
  side->redraw();
  step(QString(), 90);
  front->redraw();
  step(QString(), 100);
  user->redraw();
  progress.Finish();
  SetRunning(was_running);
}

void CMyMorvaneOGLApp::OnExport() {
  if (!ReadyForMeshes("No meshes to export", "Export")) return;
  ExportDialog dialog(ClassNames(*plugins_, commands_->ExportIndex()), commands_->ExportSelection(),
                      frame_);
  ConnectClassCommands(dialog.Chooser(), commands_, ClassGroup::Export,
                       [this]() { return export_available_; });
  connect(&dialog, &ExportDialog::ExportRequested, this, [this]() {
    if (!export_available_ || commands_->Busy()) return;
    commands_->ExportWithClass(commands_->SelectedExportClass(), EXPORT_ASK, nullptr);
  });
  dialog.exec();
}

void CMyMorvaneOGLApp::OnStatistic() {
  if (!ReadyForMeshes("No meshes to explore", "Statistics")) return;
  StatisticsDialog dialog(commands_->ImportedObjects(), true, frame_);
  dialog.exec();
}

void CMyMorvaneOGLApp::OnOptions() {
  HostOptionsDialog dialog(*settings_, true, frame_);
  dialog.exec();
}

void CMyMorvaneOGLApp::OnLightSetup() {
  if (!ReadyForMeshes("No scene to display", "Light Setup")) return;
  // A changed light is compiled again before the User view's next draw, so every change is
  // visible at once.
  LightSetupDialog dialog(scene_->lights(), frame_);
  connect(&dialog, &LightSetupDialog::LightChanged, this, [this](int index) {
    if (COpenGLWnd* user = View()->View(kUserView)) user->request_light_update(index);
  });
  dialog.exec();
}

void CMyMorvaneOGLApp::OnViewOptions() {
  if (Running()) return;
  CMyMorvaneOGLView* view = View();
  ViewModes pairs[4];
  for (int kind = 0; kind < 4; ++kind) pairs[kind] = view->Pair(kind);
  ViewOptionsDialog dialog(pairs, view->ViewTitle(), view->ModelColours(), frame_);
  if (dialog.exec() != QDialog::Accepted) return;
  for (int kind = 0; kind < 4; ++kind) view->SetPair(kind, dialog.Pair(kind));
  const bool title_changed = dialog.ViewTitle() != view->ViewTitle();
  // The colours are compiled into the lists, so a change needs a new build.
  const bool colours_changed = dialog.ModelColours() != view->ModelColours();
  view->SetViewTitle(dialog.ViewTitle());
  view->SetModelColours(dialog.ModelColours());
  if (!view->ViewsExist()) return;
  for (int kind = 0; kind < 4; ++kind)
    view->View(kind)->set_render_modes(view->Pair(kind).mode, view->Pair(kind).fast);
  if (title_changed || colours_changed) {
    RebuildScene();
  } else {
    for (int kind = 0; kind < 4; ++kind) view->View(kind)->redraw();
  }
}

void CMyMorvaneOGLApp::OnHelp() {
  ShowHelpWindow(frame_, "MorvaneOGL Help", "qrc:/morvaneogl/help.html");
}

void CMyMorvaneOGLApp::OnOpenGLInfo() {
  OpenGLInfoDialog dialog(frame_);
  dialog.exec();
}

void CMyMorvaneOGLApp::OnAbout() {
  AboutDialog dialog(frame_);
  dialog.exec();
}
