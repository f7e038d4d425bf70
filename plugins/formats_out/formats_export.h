// The export classes of today's exchange formats (glTF binary and JSON, Wavefront OBJ, STL,
// PLY). They share the frame's option dialog, file chooser and batch mode, the common options
// (size, axis swap, line ends for the text formats) and the smoothing angle of the formats that
// carry normals; each writes one file its user chooses, and the JSON glTF and OBJ classes a
// companion beside it with the same base name (".bin", ".mtl").
#pragma once

#include <cstdint>

#include "plugin_frame/frame_exporter.h"
#include "plugin_frame/frame_library.h"

enum class FormatKind { kGlb, kGltf, kObj, kStl, kPly };

// The constants of one class; the classes differ only in these.
struct FormatClass {
  const char* class_name;  // "glTF 2.0 binary (*.glb)", ...
  std::uint32_t class_id;
  const char* owner;      // internal name, the settings owner: "glb_out", ...
  const char* log_file;   // default log file name: "glbout.log", ...
  FrameClassInfo info;    // log banner title and string table
  const char* filter;     // file chooser filter
  const char* extension;  // of the chosen file, without the dot
  const char* companion;  // extension of the file written beside it, or null
  bool smoothing;         // the format carries normals: "smooth_angle" in the dialog
  FormatKind kind;
};

// The five classes in class-description order.
extern const FormatClass kFormatClasses[5];

class FormatExport final : public FrameExporter {
 public:
  explicit FormatExport(const FormatClass& c) : FrameExporter(c.info), class_(c) {}

 protected:
  PluginSettings* NewSettings() override;
  int OutputFiles(PluginSettings& settings, FileSlot files[2]) override;
  void FillSpecific(OptionsDialog& dialog, PluginSettings& settings) override;
  void TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) override;
  void DumpSpecific(LogFile& log, PluginSettings& settings) override;
  void Write(PluginRun& run) override;

 private:
  const FormatClass& class_;
};

// The companion file of target: its extension (the text after the last "." of its file part)
// replaced by companion, or companion appended when it has none.
std::string companion_path(const std::string& target, const char* companion);
