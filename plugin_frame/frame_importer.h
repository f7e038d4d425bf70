#pragma once

#include <string>
#include <vector>

#include "plugin_api/mesh_importer.h"
#include "plugin_frame/frame_class.h"

class ObjectList;

// MeshImporter of every import class. A class derives from it and implements NewSettings,
// InputFile and Parse (and, if it has specific options, FillSpecific, TakeSpecific and
// DumpSpecific); the frame does the rest:
//  - Import: remembers the current directory, loads the settings, asks for the file (filter,
//    stored "file_name" and "path"), stores the choice, shows the two-bar progress dialog,
//    runs the parse into a new list, saves the settings and restores the directory. A
//    cancelled chooser, or a run without windows, gives an empty list.
//  - ImportFile: the same with the given path; the path's folder (or ".") becomes current.
//  - Help, Configure (import options dialog, ld_mode stored as 0), FileName, FileFilter.
// Around Parse the frame creates the log (only when verbose_mode is exactly 1) with its banner
// and closes it afterwards; Parse writes the options dump itself (run.DumpOptions()) where its
// format wants it, and hands every mesh to run.FinishMesh.
class FrameImporter : public MeshImporter, public FrameClass {
 public:
  explicit FrameImporter(const FrameClassInfo& info);

  void DeleteThis() override;
  void Help() override;
  void Configure() override;
  ObjectList* ImportFile(const char* path) override;
  ObjectList* Import() override;
  const char* FileName() override;
  const char* FileFilter() override;

 protected:
  ~FrameImporter() override;

  // The file slot of the class: its "path" and "file_name" fields and its filter.
  virtual FileSlot InputFile(PluginSettings& settings) = 0;
  // The filter the file chooser shows: the class's filter unless the class offers more files
  // there than its filter names.
  virtual const char* ChooserFilter(const FileSlot& slot) { return slot.filter; }
  // Reads settings' "file_name" into run.objects. Whatever it added stays in the result.
  virtual void Parse(PluginRun& run) = 0;

 private:
  ObjectList* NewResult();
  void RunParse(PluginSettings& settings);

  ObjectList* result_ = nullptr;
  std::vector<ObjectList*> earlier_results_;  // kept until DeleteThis: the host may hold them
  std::string file_name_;
  std::string filter_;
};
