#pragma once

#include <QByteArray>
#include <QDialog>

#include "host/ui/qt_host_interface.h"

class ClassChooser;
class HandoverQueue;
class HostCommands;
class HostSettings;
class PluginManager;
class QComboBox;
class QLabel;
class QPushButton;
class SingleInstance;

// The converter's main window: an import group (class list, "&Import", "Options", "Help"), an
// export group (class list, "&Export", "Options", "Help") and a common group (counters,
// "&Options", "&Clear", "&Statistic", "&Plugin Info", "&Help", "&Quit"). Every control keeps
// its number as the property "controlId". The commands themselves live in HostCommands.
class MorvaneDialog : public QDialog {
  Q_OBJECT
 public:
  // Runs the start-up: loads the host settings, scans the plug-ins, fills and preselects the
  // class lists, imports file (when not empty) and starts listening for later starts through
  // instance (may be null).
  MorvaneDialog(const QByteArray& file, SingleInstance* instance, QWidget* parent = nullptr);
  // Runs the shut-down: drops the objects and importers, stores the selected classes, unloads
  // the plug-ins and saves the host settings.
  ~MorvaneDialog() override;

  // The numbers the controls carry as "controlId"; from 1000 on they count up one by one.
  enum ControlId : int {
    kQuit = 1,
    kImportOptions = 1000,
    kImportHelp,     // 1001
    kImportRun,      // 1002
    kImportList,     // 1003
    kExportOptions,  // 1004
    kExportHelp,     // 1005
    kExportRun,      // 1006
    kExportList,     // 1007
    kOptions,        // 1008
    kView,           // 1009
    kClear,          // 1010
    kStatistic,      // 1011
    kMeshCount,      // 1012
    kVertexCount,    // 1013
    kFaceCount,      // 1014
    kPluginInfo,     // 1015
    kHelp = 57670,
  };

  HostCommands* Commands() const { return commands_; }
  HostSettings& Settings() const { return *settings_; }
  const PluginManager& Plugins() const { return *plugins_; }
  QWidget* Control(int control_id) const;

  // A file handed over by a later start: raise the window, import it by name once no modal
  // dialog is open and no command runs.
  void Activate(const QByteArray& file);
  void ShowAbout();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void BuildControls();
  // Shows the classes of index in chooser with the one named last chosen (the first when none
  // is); false without classes. Returns the chosen position in selected.
  bool FillClassList(ClassChooser* chooser, const std::vector<int>& index, const std::string& last,
                     int* selected);
  void DisableGroups();
  void ShowCounters(std::int32_t meshes, std::int32_t faces, std::int32_t vertices);
  void SetBusy(bool busy);
  void ImportNamed(const QByteArray& file);

  QtHostInterface ui_;
  HostSettings* settings_ = nullptr;
  PluginManager* plugins_ = nullptr;
  HostCommands* commands_ = nullptr;
  bool import_available_ = false;
  bool export_available_ = false;
  HandoverQueue* handovers_ = nullptr;

  ClassChooser* import_chooser_ = nullptr;
  ClassChooser* export_chooser_ = nullptr;
  QLabel* mesh_count_ = nullptr;
  QLabel* face_count_ = nullptr;
  QLabel* vertex_count_ = nullptr;
};
