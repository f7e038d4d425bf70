#pragma once

#include "plugin_api/mesh_exporter.h"
#include "plugin_frame/frame_class.h"

// MeshExporter of every export class. A class derives from it and implements NewSettings,
// OutputFiles and Write (and its specific hooks); the frame does the rest:
//  - Export: remembers the current directory, loads the settings and finds the output names:
//      mode 2 (EXPORT_GIVEN_NAMES): file k becomes names' base name k, ".", its extension;
//        no chooser, "path" stays; missing names write nothing;
//      otherwise one save chooser per file in turn (default extension, stored name, filter,
//        stored "path", overwrite prompt); a cancel skips the choosers after it, and then
//        mode 0 writes nothing while mode 1 goes on with the names as they stand.
//    Without windows, mode 0 acts as cancelled and mode 1 uses the stored names.
//    Then the one-bar progress dialog, Write, and finally the settings are saved and the
//    directory restored, on every path.
//  - Help, Configure (export options dialog of DialogTemplate()).
// Around Write the frame creates the log (only when verbose_mode is exactly 1) with its
// banner and closes it afterwards.
class FrameExporter : public MeshExporter, public FrameClass {
 public:
  explicit FrameExporter(const FrameClassInfo& info);

  void DeleteThis() override;
  void Help() override;
  void Configure() override;
  void Export(ObjectList* objects, ExportMode mode, ExportFileNames* names) override;

 protected:
  ~FrameExporter() override;

  // The class's output files in order (one or two): fills files[] and returns the count.
  virtual int OutputFiles(PluginSettings& settings, FileSlot files[2]) = 0;
  // Writes run.objects (the host's list; never delete from it) to the chosen files.
  virtual void Write(PluginRun& run) = 0;
  // OptionsDialog::ExportTemplate (DOS/UNIX/MAC at 1035..1037) or
  // OptionsDialog::ExportSecondTemplate (1038..1040).
  virtual int DialogTemplate() const;
};
