// The plug-in library formats_in: import classes for today's exchange formats (glTF 2.0, OBJ,
// STL, PLY, COLLADA, FBX, 3D Studio, OFF) on the common frame. The file is read by the model
// reader program in a child process (model_reader_process.h); this library only builds the
// meshes it streams back, so a file that makes the reading library crash or hang costs an
// error message, never the host.

#include <sys/stat.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "meshlib/appearance.h"
#include "meshlib/mesh3d.h"
#include "plugin_frame/plugin_frame.h"
#include "plugins/formats_in/model_reader_process.h"

namespace {

// What sets one exchange-format class apart from the others.
struct ExchangeFormat {
  const char* owner;
  const char* log_file;
  const char* filter;
  FrameClassInfo info;
  bool y_up;            // the format's convention is y up: turned to z up on import unless off
  bool linear_colours;  // material colours are linear (glTF), not as displayed
};

const int kTurnYUpControl = 1042;

// The class's options: the common ones, the folder and file its chooser last used, and for a
// y-up format whether the model is turned z up.
class ExchangeImportSettings final : public PluginSettings {
 public:
  ExchangeImportSettings(const char* owner, const char* log_file)
      : PluginSettings(owner, log_file) {
    LoadSettings();
  }
  ~ExchangeImportSettings() override { SaveSettings(); }

  void LoadSettings() override {
    LoadFileTexts(path, file_name);
    LoadInt(kTurnYUpKey, turn_y_up);
  }
  void SaveSettings() override {
    SaveFileTexts(path, file_name);
    SaveInt(kTurnYUpKey, turn_y_up);
  }

  SettingsText path;
  SettingsText file_name;
  // 1: a y-up model (glTF, OBJ, COLLADA, FBX) comes in z up, standing in the Front view as an LDraw
  // model does; 0 keeps the file's axes. Formats without the convention ignore it.
  int turn_y_up = 1;
};

double LinearToDisplayed(double c) {
  return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

Appearance AppearanceOf(const reader_stream::MeshMaterial& m, bool linear) {
  Appearance a;
  for (int k = 0; k < 3; ++k) {
    a.rgba[k] = linear ? LinearToDisplayed(m.rgba[k]) : m.rgba[k];
    a.emissive[k] = linear ? LinearToDisplayed(m.emission[k]) : m.emission[k];
  }
  a.rgba[3] = m.rgba[3];
  a.finish = finish_from_pbr(m.metallic, m.roughness, m.rgba[3], m.emissive != 0);
  if (a.finish != Finish::kGlow) a.emissive[0] = a.emissive[1] = a.emissive[2] = 0.0;
  return a;
}

// Builds the meshes of one read: names made unique, corners welded by the mesh's own tables,
// each mesh finished by the frame as soon as its last triangle arrived.
class MeshBuilder {
 public:
  MeshBuilder(PluginRun& run, const ExchangeFormat& format, bool turn_y_up)
      : run_(run), format_(format), turn_y_up_(turn_y_up) {}

  void Begin(const std::string& name, const reader_stream::MeshMaterial& material,
             std::uint32_t triangles) {
    const std::string unique = UniqueName(name);
    run_.Log("Name: %s\n", unique.c_str());
    run_.Log("Face Count: %u\n", triangles);
    run_.Status("Parsing %s ...      \n", unique.c_str());
    const std::int32_t hint =
        triangles > INT32_MAX / 2 ? INT32_MAX / 2 : static_cast<std::int32_t>(triangles);
    mesh_.reset(new Mesh3d(hint / 2 + 3, unique.c_str(), run_.settings.unify_mode != 0));
    if (material.present) {
      mesh_->has_appearance = 1;
      mesh_->appearance = AppearanceOf(material, format_.linear_colours);
    }
    total_ = triangles;
    done_ = 0;
  }

  void Add(const float* corners, std::uint32_t triangles) {
    corners_.clear();
    for (std::uint32_t t = 0; t < triangles; ++t) {
      const float* c = corners + 9 * static_cast<size_t>(t);
      bool finite = true;
      for (int k = 0; k < 9; ++k) finite = finite && std::isfinite(c[k]);
      if (!finite) {
        ++skipped_;
        continue;
      }
      for (int k = 0; k < 3; ++k) {
        const double x = c[3 * k], y = c[3 * k + 1], z = c[3 * k + 2];
        // y up to z up: a quarter turn about x, so that the model's top stays its top.
        corners_.push_back(turn_y_up_ ? Vec3d{x, 0.0 - z, y} : Vec3d{x, y, z});
      }
    }
    mesh_->add_triangles(corners_.data(), static_cast<std::int32_t>(corners_.size() / 3));
    done_ += triangles;
    run_.MeshProgress(done_, total_);
  }

  void End() {
    if (skipped_ > 0) {
      run_.Log("%lu faces with corners at infinity or not a number skipped\n", skipped_);
      skipped_ = 0;
    }
    run_.FinishMesh(mesh_.release());
  }

 private:
  // The node's name, or "Mesh_<n>" for an unnamed one; a name taken before gets "_<n>" too, so
  // that every mesh of the file has its own name.
  std::string UniqueName(const std::string& name) {
    std::string candidate = name;
    while (candidate.empty() || used_.count(candidate) != 0)
      candidate = (name.empty() ? std::string("Mesh") : name) + "_" + std::to_string(counter_++);
    used_.insert(candidate);
    return candidate;
  }

  PluginRun& run_;
  const ExchangeFormat& format_;
  const bool turn_y_up_;
  std::unique_ptr<Mesh3d> mesh_;
  std::vector<Vec3d> corners_;
  std::set<std::string> used_;
  int counter_ = 0;
  unsigned long skipped_ = 0;
  std::uint32_t total_ = 0;
  std::uint32_t done_ = 0;
};

template <const ExchangeFormat& kFormat>
class ExchangeImport final : public FrameImporter {
 public:
  ExchangeImport() : FrameImporter(kFormat.info) {}

 protected:
  PluginSettings* NewSettings() override {
    return new ExchangeImportSettings(kFormat.owner, kFormat.log_file);
  }

  FileSlot InputFile(PluginSettings& settings) override {
    auto& s = static_cast<ExchangeImportSettings&>(settings);
    return {&s.path, &s.file_name, kFormat.filter, nullptr};
  }

  void FillSpecific(OptionsDialog& dialog, PluginSettings& settings) override {
    if (!kFormat.y_up) return;
    auto& s = static_cast<ExchangeImportSettings&>(settings);
    dialog.AddCheckBox(kTurnYUpControl, "Turn y up to z up", s.turn_y_up != 0);
  }

  void TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) override {
    if (!kFormat.y_up) return;
    static_cast<ExchangeImportSettings&>(settings).turn_y_up =
        dialog.CheckValue(kTurnYUpControl) ? 1 : 0;
  }

  void DumpSpecific(LogFile& log, PluginSettings& settings) override {
    if (kFormat.y_up)
      log.LogWrite("\t turn y up to z up: %d\n",
                   static_cast<ExchangeImportSettings&>(settings).turn_y_up);
  }

  void Parse(PluginRun& run) override {
    run.DumpOptions();
    const auto& settings = run.Settings<ExchangeImportSettings>();
    const char* name = settings.file_name.c_str();
    run.Status("Parsing %s started ...      \n", name);
    run.Log("Parsing %s started ...\n", name);

    MeshBuilder builder(run, kFormat, kFormat.y_up && settings.turn_y_up != 0);
    ModelReaderHooks hooks;
    hooks.log = [&run](const std::string& line) { run.Log("%s\n", line.c_str()); };
    hooks.progress = [&run](std::uint32_t done, std::uint32_t total) {
      run.FileProgress(done, total);
    };
    // Cancel is polled while the reader works; the stream's progress reports stop the run on
    // Cancel too, and the reader is ended either way.
    hooks.cancelled = [] {
      pump_messages();
      return current_progress_sink() != nullptr && current_progress_sink()->StopRequested();
    };
    hooks.begin_mesh =
        [&builder](const std::string& mesh_name, const reader_stream::MeshMaterial& material,
                   std::uint32_t triangles) { builder.Begin(mesh_name, material, triangles); };
    hooks.add_triangles = [&builder](const float* corners, std::uint32_t triangles) {
      builder.Add(corners, triangles);
    };
    hooks.end_mesh = [&builder] { builder.End(); };
    struct stat file;
    const std::uint64_t bytes =
        stat(name, &file) == 0 ? static_cast<std::uint64_t>(file.st_size) : 0;
    const std::string error =
        RunModelReader(ModelReaderBesidePlugin(), name, DefaultModelReaderLimits(bytes), hooks);
    if (error == kReaderCancelled && run.stop_on_cancel) throw RunCancelled{};
    // The meshes finished before an error stay in the result, as with every import class.
    if (!error.empty()) {
      run.Status("Error: %s\n", error.c_str());
      run.Log("Error: %s\n", error.c_str());
      return;
    }
    run.Status("Parsing finished       \n");
    run.Log("Parsing finished\n");
  }
};

#define HELP(format, patterns)                                   \
  "\t" format " Import\n\n- Imports " format " files (" patterns \
  ")\n"                                                          \
  "- read by a separate reader program, so that a damaged file cannot harm the host"

const ExchangeFormat kGltf = {
    kGltfInOwner,
    "gltfin.log",
    "glTF 2.0 (*.gltf, *.glb)|*.gltf;*.glb|All Files (*.*)|*.*||",
    {"glTF 2.0 Import Plugin 1.0",
     {HELP("glTF 2.0", "*.gltf, *.glb"), "glTF 2.0", "Configuration", "Help", "Import"}},
    true,
    true};
const ExchangeFormat kObj = {
    kObjInOwner,
    "objin.log",
    "Wavefront OBJ (*.obj)|*.obj|All Files (*.*)|*.*||",
    {"Wavefront OBJ Import Plugin 1.0",
     {HELP("Wavefront OBJ", "*.obj"), "Wavefront OBJ", "Configuration", "Help", "Import"}},
    true,
    false};
const ExchangeFormat kStl = {
    kStlInOwner,
    "stlin.log",
    "STL (*.stl)|*.stl|All Files (*.*)|*.*||",
    {"STL Import Plugin 1.0", {HELP("STL", "*.stl"), "STL", "Configuration", "Help", "Import"}},
    false,
    false};
const ExchangeFormat kPly = {
    kPlyInOwner,
    "plyin.log",
    "Stanford PLY (*.ply)|*.ply|All Files (*.*)|*.*||",
    {"Stanford PLY Import Plugin 1.0",
     {HELP("Stanford PLY", "*.ply"), "Stanford PLY", "Configuration", "Help", "Import"}},
    false,
    false};
const ExchangeFormat kCollada = {
    kColladaInOwner,
    "daein.log",
    "COLLADA (*.dae)|*.dae|All Files (*.*)|*.*||",
    {"COLLADA Import Plugin 1.0",
     {HELP("COLLADA", "*.dae"), "COLLADA", "Configuration", "Help", "Import"}},
    true,
    false};
const ExchangeFormat kFbx = {
    kFbxInOwner,
    "fbxin.log",
    "Autodesk FBX (*.fbx)|*.fbx|All Files (*.*)|*.*||",
    {"Autodesk FBX Import Plugin 1.0",
     {HELP("Autodesk FBX", "*.fbx"), "Autodesk FBX", "Configuration", "Help", "Import"}},
    true,
    false};
const ExchangeFormat k3ds = {
    k3dsInOwner,
    "3dsin.log",
    "3D Studio (*.3ds)|*.3ds|All Files (*.*)|*.*||",
    {"3D Studio Import Plugin 1.0",
     {HELP("3D Studio", "*.3ds"), "3D Studio", "Configuration", "Help", "Import"}},
    false,
    false};
const ExchangeFormat kOff = {
    kOffInOwner,
    "offin.log",
    "Object File Format (*.off)|*.off|All Files (*.*)|*.*||",
    {"Object File Format Import Plugin 1.0",
     {HELP("Object File Format", "*.off"), "OFF", "Configuration", "Help", "Import"}},
    false,
    false};

FrameClassDescription gltf_class("glTF 2.0 (*.gltf, *.glb)", MESH_IMPORT_CLASS, 0x4D560101,
                                 create_plugin_object<ExchangeImport<kGltf>>);
FrameClassDescription obj_class("Wavefront OBJ (*.obj)", MESH_IMPORT_CLASS, 0x4D560102,
                                create_plugin_object<ExchangeImport<kObj>>);
FrameClassDescription stl_class("STL (*.stl)", MESH_IMPORT_CLASS, 0x4D560103,
                                create_plugin_object<ExchangeImport<kStl>>);
FrameClassDescription ply_class("Stanford PLY (*.ply)", MESH_IMPORT_CLASS, 0x4D560104,
                                create_plugin_object<ExchangeImport<kPly>>);
FrameClassDescription collada_class("COLLADA (*.dae)", MESH_IMPORT_CLASS, 0x4D560105,
                                    create_plugin_object<ExchangeImport<kCollada>>);
FrameClassDescription fbx_class("Autodesk FBX (*.fbx)", MESH_IMPORT_CLASS, 0x4D560106,
                                create_plugin_object<ExchangeImport<kFbx>>);
FrameClassDescription tds_class("3D Studio (*.3ds)", MESH_IMPORT_CLASS, 0x4D560107,
                                create_plugin_object<ExchangeImport<k3ds>>);
FrameClassDescription off_class("Object File Format (*.off)", MESH_IMPORT_CLASS, 0x4D560108,
                                create_plugin_object<ExchangeImport<kOff>>);

}  // namespace

MORVANE_PLUGIN_LIBRARY("Exchange Formats Import Lib", &gltf_class, &obj_class, &stl_class,
                       &ply_class, &collada_class, &fbx_class, &tds_class, &off_class)
