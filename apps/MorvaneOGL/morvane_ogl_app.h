#pragma once

#include <cstdint>
#include <string>

#include <QByteArray>
#include <QObject>

#include "apps/MorvaneOGL/pending_import.h"
#include "host/ui/qt_host_interface.h"

class CMainFrame;
class CMyMorvaneOGLView;
class HandoverQueue;
class HostCommands;
class HostSettings;
class PluginManager;
class SingleInstance;
class ViewerScene;

// The viewer program's state and commands: the host settings, the plug-in manager, the host
// commands with the object list and the importers, the light list (in the scene the views
// draw), the availability of import and export, and the last imported file. The commands here
// answer the frame's signals (menu items, keys, dropped files); the frame shows what they
// report.
class CMyMorvaneOGLApp : public QObject {
  Q_OBJECT
 public:
  // Takes settings (already loaded) and creates the frame with its document and view; the
  // frame is not shown yet.
  explicit CMyMorvaneOGLApp(HostSettings* settings, QObject* parent = nullptr);
  // Shut-down: the views (which write their modes into the settings), the object list, the
  // importers and the lights; the selected classes are stored; the plug-ins are unloaded
  // and the settings saved.
  ~CMyMorvaneOGLApp() override;

  // Start-up after the frame exists: shows it, starts listening for later starts through
  // instance (may be null), scans the plug-ins and fills the class indexes (messages and
  // status texts when none are usable), and imports file when it is not empty.
  void Start(const QByteArray& file, SingleInstance* instance);

  CMainFrame* Frame() const { return frame_; }
  CMyMorvaneOGLView* View() const;
  HostSettings& Settings() const { return *settings_; }
  HostCommands* Commands() const { return commands_; }
  PluginManager* Plugins() const { return plugins_; }
  ViewerScene& Scene() const { return *scene_; }
  bool ImportAvailable() const { return import_available_; }
  bool ExportAvailable() const { return export_available_; }
  const std::string& LastImportedFile() const { return last_imported_file_; }
  // True while a command runs a plug-in (import, export): the frame then stays open.
  bool Running() const;

  // Menu commands.
  void OnImport();
  void OnImportLast();
  void OnExport();
  void OnStatistic();
  void OnOptions();
  void OnLightSetup();
  void OnViewOptions();
  void OnHelp();
  void OnOpenGLInfo();
  void OnAbout();

  // A file given by name (dropped, handed over): imported through the extension table and
  // shown. Waits while another command runs.
  void ImportNamed(const QByteArray& file);
  // A later start's handover: the frame comes back, then the file (if any) is imported once no
  // modal dialog is open and no command runs.
  void Activate(const QByteArray& file);

  // The import of the import dialog not yet taken.
  const PendingImport& Pending() const { return pending_; }

  // Rebuilds the four views from the object list, or says "No meshes to display".
  void RebuildScene();

  // Text for the first status pane; nothing before the frame and its status line exist.
  void StatusMessage(const QString& text);

 signals:
  // Each step of a scene rebuild as its progress dialog shows it (text empty when it stays).
  void SceneStep(const QString& text, int percent);

 private:
  void ConnectFrame();
  // What "&OK" of the import dialog does with the pending import: takes its objects (when it
  // read any) and keeps its importer.
  void TakeImport();
  // Sets running_ and keeps the frame open while it or an export runs.
  void SetRunning(bool running);
  void SetTitle(const std::string& file_name);
  void ShowCounters(std::int32_t meshes, std::int32_t faces, std::int32_t vertices);
  bool ObjectsEmpty() const;
  // False while a command runs or without a host; false with refusal shown when nothing is
  // imported. The commands that work on the imported meshes start with it.
  bool ReadyForMeshes(const char* refusal, const char* title);
  void StartFailed(const char* message, const char* status);

  QtHostInterface ui_;
  HostSettings* settings_;
  PluginManager* plugins_ = nullptr;
  HostCommands* commands_ = nullptr;
  ViewerScene* scene_ = nullptr;
  CMainFrame* frame_ = nullptr;
  bool import_available_ = false;
  bool export_available_ = false;
  bool running_ = false;  // a command with a plug-in run is under way
  std::string last_imported_file_;
  PendingImport pending_;
  HandoverQueue* handovers_ = nullptr;
};
