// The five export classes of the ray-tracer library. They share everything but their names,
// their ".inc" writer, their dialog template and where their log gets the options dump; each
// export run writes the ".inc" file and then the Moray ".udo" file that names it.
#pragma once

#include <cstdint>

#include "plugin_frame/frame_exporter.h"
#include "plugin_frame/frame_library.h"
#include "plugins/rayinc_out/writer_report.h"

class FaceNormalCache;
class Mesh3d;
class RayIncSettings;
struct IncStream;
struct EdgeObject;

// Where a class's log gets the options dump.
enum class OptionsDumpAt {
  BeforeIncOpen,  // right after the banner, before the ".inc" file is opened
  AfterStarted,   // right after "Writing <file> started ..."
  Never,
};

// Writes one mesh to the ".inc" stream with the class's options; edges is the mesh's edge
// object, made once for both files, and normals (may be null) the face normal cache that made
// it, for the corner normals.
typedef void (*IncWriter)(const IncStream& out, const Mesh3d& mesh, const EdgeObject& edges,
                          FaceNormalCache* normals, const RayIncSettings& settings,
                          WriterReport* report);

// The constants of one class; the classes differ only in these.
struct RayIncClass {
  const char* class_name;  // "POV-Ray Moray (*.inc, *.udo)", ...
  std::uint32_t class_id;
  const char* owner;     // internal name, the settings owner: "pvu_out", ...
  const char* log_file;  // default log file name: "pvuout.log", ...
  FrameClassInfo info;   // log banner title and string table
  const char* inc_filter;
  IncWriter write_inc;
  bool wire;  // wire and blob classes: "radius" and the second dialog template
  OptionsDumpAt dump_at;
};

// The five classes in class-description order.
extern const RayIncClass kRayIncClasses[5];

class RayIncExport final : public FrameExporter {
 public:
  explicit RayIncExport(const RayIncClass& c) : FrameExporter(c.info), class_(c) {}

 protected:
  PluginSettings* NewSettings() override;
  int OutputFiles(PluginSettings& settings, FileSlot files[2]) override;
  int DialogTemplate() const override;
  void FillSpecific(OptionsDialog& dialog, PluginSettings& settings) override;
  void TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) override;
  void DumpSpecific(LogFile& log, PluginSettings& settings) override;
  void Write(PluginRun& run) override;

 private:
  const RayIncClass& class_;
};
