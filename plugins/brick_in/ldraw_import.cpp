#include "plugins/brick_in/ldraw_import.h"

#include <QLineEdit>
#include <QPushButton>

#include "plugin_frame/frame_gui.h"
#include "plugin_frame/options_dialog.h"
#include "plugin_frame/plugin_run.h"
#include "plugins/brick_in/ldraw_settings.h"
#include "plugins/brick_in/part_search.h"
#include "plugins/brick_in/read_ldraw.h"
#include "settings/log_file.h"

namespace {

const FrameClassInfo kLDrawInfo = {
    "LDraw DAT Import Plugin 0.3",
    {"\tLDraw (Lego) Import\n\n- Imports LDraw ASCII- files (*.dat)\nKelmar 1999\n", "LDraw (Lego)",
     "Configuration", "Help", "Import"},
    true};

// The search path field takes texts of any length: a limit would cut a stored path that
// grew longer and lose its last folders on OK.
constexpr int kSearchPathFieldLength = 0;

}  // namespace

LDrawImport::LDrawImport() : FrameImporter(kLDrawInfo) {}

PluginSettings* LDrawImport::NewSettings() { return new LDrawSettings; }

FileSlot LDrawImport::InputFile(PluginSettings& settings) {
  auto& s = static_cast<LDrawSettings&>(settings);
  return {&s.path, &s.file_name, kLDrawFilter, nullptr};
}

// The chooser first offers every LDraw file the import reads: models (".ldr") and multi-part
// documents (".mpd") as well as parts (".dat").
const char* LDrawImport::ChooserFilter(const FileSlot&) { return kLDrawChooserFilter; }

void LDrawImport::Parse(PluginRun& run) { read_ldraw(run); }

void LDrawImport::FillSpecific(OptionsDialog& dialog, PluginSettings& settings) {
  auto& s = static_cast<LDrawSettings&>(settings);
  QLineEdit* edit = dialog.AddTextField(kSearchPathControl, "Add Part Directory", s.search_path,
                                        kSearchPathFieldLength);
  QPushButton* button = dialog.AddButton(kAddFolderControl, "...");
  OptionsDialog* d = &dialog;
  QObject::connect(button, &QPushButton::clicked, d, [d, edit]() {
    std::string folder;
    if (!choose_folder(d, "Add part directory", default_ldraw_folder(), folder)) return;
    d->SetTextValue(kSearchPathControl, edit->text().toStdString() + folder + ";");
  });
  dialog.AddCheckBox(kColourMeshesControl, "One mesh per colour", s.one_mesh_per_colour != 0);
}

void LDrawImport::TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) {
  auto& s = static_cast<LDrawSettings&>(settings);
  s.search_path = dialog.TextValue(kSearchPathControl);
  s.one_mesh_per_colour = dialog.CheckValue(kColourMeshesControl) ? 1 : 0;
}

void LDrawImport::DumpSpecific(LogFile& log, PluginSettings& settings) {
  auto& s = static_cast<LDrawSettings&>(settings);
  log.LogWrite("\t part search path%s\n", s.search_path.c_str());
  log.LogWrite("\t one mesh per colour: %d\n", s.one_mesh_per_colour);
}

FrameClassDescription ldraw_import_class("LDraw (*.dat)", MESH_IMPORT_CLASS, 0x00A24DF9,
                                         create_plugin_object<LDrawImport>);
