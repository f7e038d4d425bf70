// The LDraw import class on the common plug-in frame: its names, strings, filter, the search
// path option with its dialog field and folder button, and the parse.
#pragma once

#include "plugin_frame/frame_importer.h"
#include "plugin_frame/frame_library.h"

// Control numbers of the "Specific" group.
enum : int { kSearchPathControl = 1033, kAddFolderControl = 1034, kColourMeshesControl = 1041 };

class LDrawImport final : public FrameImporter {
 public:
  LDrawImport();

 protected:
  PluginSettings* NewSettings() override;
  FileSlot InputFile(PluginSettings& settings) override;
  const char* ChooserFilter(const FileSlot& slot) override;
  void Parse(PluginRun& run) override;
  void FillSpecific(OptionsDialog& dialog, PluginSettings& settings) override;
  void TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) override;
  void DumpSpecific(LogFile& log, PluginSettings& settings) override;
};

// The class description of LDrawImport ("LDraw (*.dat)", 0xA24DF9).
extern FrameClassDescription ldraw_import_class;
