// A small plug-in library built on the frame, as every real plug-in is: one import and one
// export class of a line-based triangle format. Each class states only its names, strings,
// filter, specific settings and its parse or write; the frame does everything else.
//
// Format: "mesh NAME" starts a mesh; "tri x0 y0 z0 x1 y1 z1 x2 y2 z2" adds a triangle to it;
// "fail" makes the reader throw, to show that nothing escapes the library.
// The export writes every mesh's flat corners to a ".tri" file and its name and counts to a
// ".lst" file.

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_frame/plugin_frame.h"
#include "settings/text_file.h"
#include "tri_plugin_controls.h"

namespace {

// ---- import class -------------------------------------------------------------------------

class TriImportSettings : public PluginSettings {
 public:
  TriImportSettings() : PluginSettings("tri_in", "triin.log") { LoadSettings(); }
  ~TriImportSettings() override { SaveSettings(); }
  void LoadSettings() override { LoadFileTexts(path, file_name); }
  void SaveSettings() override { SaveFileTexts(path, file_name); }
  SettingsText path;
  SettingsText file_name;
};

const FrameClassInfo kImportInfo = {"Triangle Import Plugin 0.1",
                                    {"\tTriangle Import\n\n- Imports triangle files (*.tri)",
                                     "Triangle", "Configuration", "Help", "Import"},
                                    true};

class TriImport final : public FrameImporter {
 public:
  TriImport() : FrameImporter(kImportInfo) {}

 protected:
  PluginSettings* NewSettings() override { return new TriImportSettings; }

  FileSlot InputFile(PluginSettings& settings) override {
    auto& s = static_cast<TriImportSettings&>(settings);
    return {&s.path, &s.file_name, "Triangle File (*.tri)|*.tri|All Files (*.*)|*.*||", nullptr};
  }

  void Parse(PluginRun& run) override {
    auto& s = run.Settings<TriImportSettings>();
    run.DumpOptions();
    run.Status("Parsing %s started ...      \n", s.file_name.c_str());
    run.Log("Parsing %s started ...\n", s.file_name.c_str());
    std::FILE* file = std::fopen(s.file_name.c_str(), "rb");
    if (file == nullptr) {
      run.Log("File %s not found\n", s.file_name.c_str());
    } else {
      long size = file_size(file);
      char line[1024];
      Mesh3d* mesh = nullptr;
      while (read_line(line, sizeof line, file) != nullptr) {
        run.FileProgress(static_cast<std::uint32_t>(std::ftell(file)),
                         static_cast<std::uint32_t>(size));
        char name[256];
        Vec3d p[3];
        if (std::strcmp(line, "fail") == 0) {
          delete mesh;
          std::fclose(file);
          throw std::runtime_error("reader failed");
        }
        if (std::sscanf(line, "mesh %255s", name) == 1) {
          if (mesh != nullptr) run.FinishMesh(mesh);
          mesh = new Mesh3d(16, name);
        } else if (mesh != nullptr && std::sscanf(line, "tri %lf %lf %lf %lf %lf %lf %lf %lf %lf",
                                                  &p[0].x, &p[0].y, &p[0].z, &p[1].x, &p[1].y,
                                                  &p[1].z, &p[2].x, &p[2].y, &p[2].z) == 9) {
          mesh->add_triangle(p[0], p[1], p[2]);
        }
      }
      if (mesh != nullptr) run.FinishMesh(mesh);
      std::fclose(file);
    }
    run.Status("Parsing finished       \n");
    run.Log("Parsing finished\n");
  }
};

// ---- export class -------------------------------------------------------------------------

class TriExportSettings : public PluginSettings {
 public:
  TriExportSettings() : PluginSettings("tri_out", "triout.log") { LoadSettings(); }
  ~TriExportSettings() override { SaveSettings(); }
  void LoadSettings() override {
    LoadFileTexts(path, file_name);
    LoadText("path2", path2);
    LoadText("file_name2", file_name2);
    LoadDouble("radius", radius);
  }
  void SaveSettings() override {
    SaveFileTexts(path, file_name);
    SaveText("path2", path2);
    SaveText("file_name2", file_name2);
    SaveDouble("radius", radius);
  }
  SettingsText path, file_name, path2, file_name2;
  double radius = 0.1;
};

const FrameClassInfo kExportInfo = {"Triangle Export Plugin 0.1",
                                    {"\tTriangle Export\n\n- Exports triangle files (*.tri)",
                                     "Triangle", "Configuration", "Help", "Export"},
                                    true};

class TriExport final : public FrameExporter {
 public:
  TriExport() : FrameExporter(kExportInfo) {}

 protected:
  PluginSettings* NewSettings() override { return new TriExportSettings; }

  int OutputFiles(PluginSettings& settings, FileSlot files[2]) override {
    auto& s = static_cast<TriExportSettings&>(settings);
    files[0] = {&s.path, &s.file_name, "Triangle File (*.tri)|*.tri|All Files (*.*)|*.*||", "tri"};
    files[1] = {&s.path2, &s.file_name2, "List File (*.lst)|*.lst|All Files (*.*)|*.*||", "lst"};
    return 2;
  }

  int DialogTemplate() const override { return OptionsDialog::ExportSecondTemplate; }

  void FillSpecific(OptionsDialog& dialog, PluginSettings& settings) override {
    dialog.AddNumberField(kTriWireRadiusControl, "Wire Radius",
                          static_cast<TriExportSettings&>(settings).radius);
  }
  void TakeSpecific(const OptionsDialog& dialog, PluginSettings& settings) override {
    static_cast<TriExportSettings&>(settings).radius = dialog.NumberValue(kTriWireRadiusControl);
  }
  void DumpSpecific(LogFile& log, PluginSettings& settings) override {
    char number[64];
    log.LogWrite("\t radius: %s\n",
                 format_lf(static_cast<TriExportSettings&>(settings).radius, number));
  }

  void Write(PluginRun& run) override {
    auto& s = run.Settings<TriExportSettings>();
    run.DumpOptions();
    std::FILE* tri = std::fopen(s.file_name.c_str(), "wb");
    if (tri == nullptr) return;
    run.Status("Writing %s started ...\n", s.file_name.c_str());
    run.Log("Writing %s started ...\n", s.file_name.c_str());
    std::string list;
    for (int i = 0; i < run.objects->count(); ++i) {
      Obj3d* object = static_cast<Obj3d*>(run.objects->get(i));
      if (object == nullptr || object->kind() != Obj3d::kMesh) continue;
      Mesh3d* mesh = static_cast<Mesh3d*>(object);
      print_delimited(s.ld_mode, tri, "mesh %s\n", mesh->name());
      for (int32_t f = 0; f < mesh->flat_face_count; ++f) {
        run.FileProgress(static_cast<std::uint32_t>(f),
                         static_cast<std::uint32_t>(mesh->flat_face_count));
        print_delimited(s.ld_mode, tri, "tri");
        for (int k = 0; k < 3; ++k) {
          const Vec3d& v = mesh->flat_vertices[mesh->flat_faces[f].v[k]];
          Vec3d scaled;
          vec_scale(scaled, v, s.size_value);
          print_delimited(s.ld_mode, tri, " %f %f %f", scaled.x, scaled.y, scaled.z);
        }
        print_delimited(s.ld_mode, tri, "\n");
      }
      list += std::string(mesh->name()) + " " + std::to_string(mesh->flat_face_count) + "\n";
    }
    std::fclose(tri);
    run.Status("Writing %s finished       \n", s.file_name.c_str());
    std::FILE* lst = std::fopen(s.file_name2.c_str(), "wb");
    if (lst == nullptr) return;
    print_delimited(s.ld_mode, lst, "%s", list.c_str());
    std::fclose(lst);
  }
};

FrameClassDescription tri_import_class("Triangle (*.tri)", MESH_IMPORT_CLASS, 0x7E570001,
                                       create_plugin_object<TriImport>);
FrameClassDescription tri_export_class("Triangle (*.tri, *.lst)", MESH_EXPORT_CLASS, 0x7E570002,
                                       create_plugin_object<TriExport>);

}  // namespace

MORVANE_PLUGIN_LIBRARY("Triangle Test Lib", &tri_import_class, &tri_export_class)
