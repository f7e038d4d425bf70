#include "apps/morvane-convert/batch_converter.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "apps/morvane-convert/private_settings.h"
#include "host/extension_table.h"
#include "host/host_commands.h"
#include "host/plugin_manager.h"
#include "host/plugin_summary.h"
#include "host/program_file.h"
#include "meshlib/mesh3d.h"
#include "plugin_frame/settings_keys.h"
#include "plugin_frame/terminal_progress.h"
#include "settings/path.h"
#include "settings/settings_store.h"

namespace {

// Owners of the delivered plug-in classes. Their stores may not exist yet in a fresh setup,
// and the run's overrides must reach them all the same; owners already in the store get them
// too (options a class does not know are never read).
const char* const kDeliveredOwners[] = {
    kXFileInOwner,    kBrickInOwner,        kXFileOutOwner, kPovUdoOwner,    kPolyRayUdoOwner,
    kPovWireUdoOwner, kPovBlobWireUdoOwner, kPov3UdoOwner,  kGlbOutOwner,    kGltfOutOwner,
    kObjOutOwner,     kStlOutOwner,         kPlyOutOwner,   kPovSceneOwner,  kGltfInOwner,
    kObjInOwner,      kStlInOwner,          kPlyInOwner,    kColladaInOwner, kFbxInOwner,
    k3dsInOwner,      kOffInOwner};
// Size and axis swap act in the import and again in the export run; an override must act once,
// so it goes to the import classes and the other classes get the neutral values.
const char* const kImportOwners[] = {kXFileInOwner, kBrickInOwner, kGltfInOwner,    kObjInOwner,
                                     kStlInOwner,   kPlyInOwner,   kColladaInOwner, kFbxInOwner,
                                     k3dsInOwner,   kOffInOwner};

bool is_import_owner(const std::string& owner) {
  return std::find(std::begin(kImportOwners), std::end(kImportOwners), owner) !=
         std::end(kImportOwners);
}

// Which class reads an input and which writes an output, by extension.
ExtensionTable InputExtensions() {
  ExtensionTable table;
  table.Append(".x", "XFILE ASCII (*.x)");
  table.Append(".dat", "LDraw (*.dat)");
  table.Append(".ldr", "LDraw (*.dat)");
  table.Append(".mpd", "LDraw (*.dat)");
  table.Append(ExchangeFormatRows());
  table.Append(".obj", "Wavefront OBJ (*.obj)");
  table.Append(".3ds", "3D Studio (*.3ds)");
  return table;
}

ExtensionTable OutputExtensions() {
  ExtensionTable table;
  table.Append(".x", "Direct 3D (*.x)");
  table.Append(".inc", "POV-Ray3 Moray (*.inc, *.udo)");
  table.Append(".glb", "glTF 2.0 binary (*.glb)");
  table.Append(".gltf", "glTF 2.0 (*.gltf)");
  table.Append(".obj", "Wavefront OBJ (*.obj)");
  table.Append(".stl", "STL (*.stl)");
  table.Append(".ply", "Stanford PLY (*.ply)");
  table.Append(".pov", "POV-Ray 3.7 Scene (*.pov)");
  return table;
}

// Messages of the host commands go to standard error; no dialog can be answered here.
class BatchUserInterface : public HostUserInterface {
 public:
  void ShowMessage(const char* text, const char* title) override {
    last_message = std::string(title) + ": " + text;
  }
  bool AskNewName(const std::string&, const std::string&, std::string&) override { return false; }
  std::string last_message;
};

std::string absolute(const std::string& path) {
  if (is_absolute_path(path.c_str())) return path;
  return current_directory() + "/" + path;
}

// A ";"-separated list of folders with each relative one made absolute: the import reads from
// the model's own folder, but the user named the folders from where the command was given.
std::string absolute_folders(const std::string& list) {
  std::string result;
  std::string::size_type start = 0;
  while (start < list.size()) {
    std::string::size_type end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    const std::string folder = list.substr(start, end - start);
    if (!folder.empty()) result += absolute(folder) + ";";
    start = end + 1;
  }
  return result;
}

std::string extension_of(const std::string& path) { return path_extension(path.c_str()); }

// path without its extension: the base name the exporters append their own extension to.
std::string without_extension(const std::string& path) {
  return path.substr(0, path.size() - extension_of(path).size());
}

std::string folder_of(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// The file patterns a class's name lists ("*.inc", "*.udo" in "POV-Ray Moray (*.inc, *.udo)"):
// the extensions of the first and the second file it writes.
std::vector<std::string> class_extensions(const char* class_name) {
  std::vector<std::string> extensions;
  const std::string name = class_name != nullptr ? class_name : "";
  for (std::string::size_type at = name.find("*."); at != std::string::npos;
       at = name.find("*.", at + 2)) {
    std::string::size_type end = name.find_first_of(",;) ", at + 2);
    extensions.push_back(
        name.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1));
  }
  return extensions;
}

ClassDescription* find_class(const PluginManager& plugins, int super_class,
                             const std::string& name) {
  for (int i = 0; i < plugins.ClassCount(); ++i) {
    ClassDescription* c = plugins.ClassAt(i);
    if (c->SuperClassID() == super_class && name == c->ClassName()) return c;
  }
  return nullptr;
}

// The files beside base ("base.*") with the time and identity they have now; an export that
// wrote something changes at least one of them.
std::map<std::string, std::pair<ino_t, timespec>> snapshot(const std::string& base) {
  std::map<std::string, std::pair<ino_t, timespec>> files;
  std::string folder = folder_of(base);
  std::string prefix = base.substr(base.rfind('/') + 1) + ".";
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      struct stat st;
      if (name.compare(0, prefix.size(), prefix) == 0 &&
          stat((folder + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
        files[folder + "/" + name] = {st.st_ino, st.st_mtim};
    }
    closedir(dir);
  }
  return files;
}

std::vector<std::string> changed_files(
    const std::map<std::string, std::pair<ino_t, timespec>>& before,
    const std::map<std::string, std::pair<ino_t, timespec>>& after) {
  std::vector<std::string> changed;
  for (const auto& file : after) {
    auto old = before.find(file.first);
    if (old == before.end() || old->second.first != file.second.first ||
        old->second.second.tv_sec != file.second.second.tv_sec ||
        old->second.second.tv_nsec != file.second.second.tv_nsec)
      changed.push_back(file.first);
  }
  return changed;
}

class BatchRun {
 public:
  BatchRun(const ConvertOptions& options, std::FILE* out, std::FILE* err)
      : options_(options), out_(out), err_(err) {}

  int Run();

 private:
  int Fail(const std::string& file, const std::string& reason) {
    std::fprintf(err_, "morvane-convert: %s: %s\n", file.c_str(), reason.c_str());
    return 1;
  }
  void ApplyOverrides(const PrivateSettings& store);
  int ImportInputs(HostCommands& commands, PluginManager& plugins);
  int PrintInfo(HostCommands& commands);
  int ExportOutput(HostCommands& commands, PluginManager& plugins);
  // Appends what the last plug-in run logged to the user's --log file.
  void CollectLog();

  const ConvertOptions& options_;
  std::FILE* out_;
  std::FILE* err_;
  std::string run_log_;  // the plug-ins' log of one run, inside the private folder
};

void BatchRun::ApplyOverrides(const PrivateSettings& store) {
  std::set<std::string> owners(std::begin(kDeliveredOwners), std::end(kDeliveredOwners));
  for (const std::string& owner : store.Owners()) owners.insert(owner);
  const char* common = FRAME_COMMON_SECTION;
  const char* specific = FRAME_SPECIFIC_SECTION;
  for (const std::string& owner : owners) {
    const char* o = owner.c_str();
    // A batch run logs only when asked, and then into its own file: two runs side by
    // side never write one log.
    SettingsWriteInt(o, common, kVerboseModeKey, options_.log_file.empty() ? 0 : 1);
    if (!options_.log_file.empty())
      SettingsWriteString(o, common, kLogFileNameKey, run_log_.c_str());
    const bool importer = is_import_owner(owner);
    if (!options_.size.empty())
      SettingsWriteString(o, common, kSizeValueKey, importer ? options_.size.c_str() : "1.0");
    if (!options_.swap.empty())
      SettingsWriteString(o, common, kSwapModeKey, importer ? options_.swap.c_str() : "0");
    if (!options_.unify.empty())
      SettingsWriteString(o, common, kUnifyModeKey, options_.unify.c_str());
    if (!options_.line_ends.empty())
      SettingsWriteInt(o, common, kLdModeKey,
                       options_.line_ends == "dos"    ? 0
                       : options_.line_ends == "unix" ? 1
                                                      : 2);
    if (!options_.smooth_angle.empty())
      SettingsWriteString(o, specific, kSmoothAngleKey, options_.smooth_angle.c_str());
    if (!options_.edge_angle.empty())
      SettingsWriteString(o, specific, kEdgeAngleKey, options_.edge_angle.c_str());
    if (!options_.radius.empty())
      SettingsWriteString(o, specific, kRadiusKey, options_.radius.c_str());
    if (!options_.search_path.empty())
      SettingsWriteString(o, specific, kSearchPathKey,
                          absolute_folders(options_.search_path).c_str());
    if (options_.write_colours) SettingsWriteInt(o, specific, kWriteMeshColoursKey, 1);
    if (options_.one_mesh_per_colour) SettingsWriteInt(o, specific, kOneMeshPerColourKey, 1);
    if (options_.keep_y_up) SettingsWriteInt(o, specific, kTurnYUpKey, 0);
  }
}

void BatchRun::CollectLog() {
  if (options_.log_file.empty()) return;
  std::ifstream in(run_log_, std::ios::binary);
  if (!in) return;
  std::ofstream out(options_.log_file, std::ios::binary | std::ios::app);
  out << in.rdbuf();
  in.close();
  unlink(run_log_.c_str());
}

int BatchRun::ImportInputs(HostCommands& commands, PluginManager& plugins) {
  const ExtensionTable extensions = InputExtensions();
  for (const std::string& input : options_.inputs) {
    std::string path = absolute(input);
    // Opening a FIFO (or a device) would wait for a writer that may never come.
    struct stat kind;
    if (stat(path.c_str(), &kind) == 0 && !S_ISREG(kind.st_mode) && !S_ISDIR(kind.st_mode))
      return Fail(input, "is not a regular file");
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe == nullptr) return Fail(input, std::strerror(errno));
    std::fclose(probe);
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      return Fail(input, "is a folder, not a model file");

    ClassDescription* import_class = nullptr;
    if (!options_.from_class.empty()) {
      import_class = find_class(plugins, MESH_IMPORT_CLASS, options_.from_class);
      if (import_class == nullptr)
        return Fail(input, "no import class \"" + options_.from_class + "\" (see --list)");
    } else {
      std::string extension = extension_of(path);
      const char* name = extensions.FindClassName(extension.c_str());
      if (name != nullptr) import_class = find_class(plugins, MESH_IMPORT_CLASS, name);
      if (import_class == nullptr)
        return Fail(input,
                    extension.empty()
                        ? std::string("no extension to choose an import class by (use --from)")
                        : "no import class for the extension \"" + extension + "\" (use --from)");
    }
    const int taken = commands.ImportWithClass(import_class, path.c_str(), 0, NAME_CHECK_AUTOMATIC);
    CollectLog();
    if (taken == 0)
      return Fail(input, std::string("no mesh found (") + import_class->ClassName() + ")");
  }
  return 0;
}

int BatchRun::PrintInfo(HostCommands& commands) {
  const ObjectList& objects = commands.ImportedObjects();
  for (int32_t i = 0; i < objects.count(); ++i) {
    std::string line = StatisticsLine(objects, i);
    if (line.empty()) continue;
    auto* mesh = static_cast<Mesh3d*>(objects.get(i));
    std::fprintf(out_, "%s\t<%f,%f,%f>\t<%f,%f,%f>", line.c_str(), mesh->bbox_min.x,
                 mesh->bbox_min.y, mesh->bbox_min.z, mesh->bbox_max.x, mesh->bbox_max.y,
                 mesh->bbox_max.z);
    if (options_.colours) {
      if (mesh->has_appearance != 0)
        std::fprintf(out_, "\t%s %s", colour_text(mesh->appearance).c_str(),
                     finish_word(mesh->appearance.finish));
      else
        std::fprintf(out_, "\t-");
    }
    std::fprintf(out_, "\n");
  }
  return std::fflush(out_) == 0 ? 0 : 1;
}

int BatchRun::ExportOutput(HostCommands& commands, PluginManager& plugins) {
  const std::string output = absolute(options_.output);
  ClassDescription* export_class = nullptr;
  if (!options_.to_class.empty()) {
    export_class = find_class(plugins, MESH_EXPORT_CLASS, options_.to_class);
    if (export_class == nullptr)
      return Fail(options_.output, "no export class \"" + options_.to_class + "\" (see --list)");
  } else {
    std::string extension = extension_of(output);
    const ExtensionTable extensions = OutputExtensions();
    const char* name = extensions.FindClassName(extension.c_str());
    if (name != nullptr) export_class = find_class(plugins, MESH_EXPORT_CLASS, name);
    if (export_class == nullptr)
      return Fail(options_.output,
                  extension.empty()
                      ? std::string("no extension to choose an export class by (use --to)")
                      : "no export class for the extension \"" + extension + "\" (use --to)");
  }

  const std::string first = without_extension(output);
  const std::string second =
      options_.udo.empty() ? first : without_extension(absolute(options_.udo));
  for (const std::string& base : {first, second}) {
    std::string folder = folder_of(base);
    if (access(folder.c_str(), W_OK) != 0)
      return Fail(folder, std::string("cannot write here: ") + std::strerror(errno));
  }
  struct stat st;
  if (stat(output.c_str(), &st) == 0 && access(output.c_str(), W_OK) != 0)
    return Fail(options_.output, "exists and is read-only");
  // A class that writes a second file (the ".udo" beside an ".inc") is refused before it
  // starts when that file cannot be replaced, so that the pair never disagrees.
  const std::vector<std::string> extensions = class_extensions(export_class->ClassName());
  std::string companion, companion_shown;
  if (extensions.size() > 1) {
    companion = second + extensions[1];
    companion_shown =
        without_extension(options_.udo.empty() ? options_.output : options_.udo) + extensions[1];
    if (stat(companion.c_str(), &st) == 0 && access(companion.c_str(), W_OK) != 0)
      return Fail(companion_shown, "exists and is read-only");
  }

  auto before = snapshot(first);
  auto before_second = snapshot(second);
  ExportFileNames names = {first.c_str(), second.c_str()};
  commands.ExportWithClass(export_class, EXPORT_GIVEN_NAMES, &names);
  CollectLog();
  std::vector<std::string> written = changed_files(before, snapshot(first));
  std::vector<std::string> also = changed_files(before_second, snapshot(second));
  written.insert(written.end(), also.begin(), also.end());
  if (written.empty())
    return Fail(options_.output, std::string("not written (") + export_class->ClassName() +
                                     " wrote nothing; the disk may be full)");
  if (!companion.empty() && std::find(written.begin(), written.end(), companion) == written.end())
    return Fail(companion_shown, std::string("not written (") + export_class->ClassName() +
                                     " did not finish it; the disk may be full)");
  return 0;
}

int BatchRun::Run() {
  PrivateSettings store;
  if (!store.ok())
    return Fail("settings", std::string("cannot make a private copy: ") + std::strerror(errno));
  run_log_ = store.folder() + "/plugin.log";
  ApplyOverrides(store);
  if (!options_.log_file.empty()) {
    // The log starts empty for each run; each plug-in run's log is appended to it.
    std::ofstream truncate(options_.log_file, std::ios::binary | std::ios::trunc);
    if (!truncate) return Fail(options_.log_file, "cannot write the log");
  }

  std::string plugin_path = options_.plugin_path;
  if (plugin_path.empty())
    plugin_path = DefaultPluginPath(ProgramFilePath());
  else if (plugin_path.back() != '/')
    plugin_path += '/';
  PluginManager plugins;
  plugins.Scan(plugin_path, PLUGIN_INTERFACE_VERSION);

  if (options_.action == ConvertOptions::List) {
    for (const std::string& line : PluginSummaryLines(plugins))
      std::fprintf(out_, "%s\n", line.c_str());
    return std::fflush(out_) == 0 ? 0 : 1;
  }
  if (plugins.ClassCount() == 0) return Fail(plugin_path, "no plug-in found");

  BatchUserInterface ui;
  int status;
  {
    HostCommands commands(plugins, ui);
    status = ImportInputs(commands, plugins);
    if (status == 0)
      status = options_.action == ConvertOptions::Info ? PrintInfo(commands)
                                                       : ExportOutput(commands, plugins);
  }  // importers and their meshes end before the libraries are unloaded
  return status;
}

}  // namespace

int RunBatchConversion(const ConvertOptions& options, std::FILE* out, std::FILE* err) {
  // --quiet turns off the plug-ins' progress line, which each plug-in library draws itself;
  // what they report (parts not found, faces left out) still reaches standard error.
  if (options.quiet) setenv(kNoProgressLineVariable, "1", 1);
  BatchRun run(options, out, err);
  return run.Run();
}
