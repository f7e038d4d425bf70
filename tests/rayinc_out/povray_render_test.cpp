// POV-Ray 3.7 itself reads every ".inc" file the four POV-Ray classes write and renders a tiny
// scene with one object per declared name.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "rayinc_export_support.h"

namespace {

const int kPovClasses[] = {0, 2, 3, 4};

// A closed UV sphere of radius 0.5 around (0.5, 0.5, 0.5), wound like unit_cube.
std::unique_ptr<Mesh3d> ball(const char* name) {
  const int rings = 6, segments = 8;
  auto mesh = std::make_unique<Mesh3d>(rings * segments, name);
  auto at = [&](int r, int s) {
    const double pi = 3.141592653589793;
    double theta = pi * r / rings, phi = 2 * pi * (s % segments) / segments;
    // The poles are exact, so that their corners weld.
    if (r == 0) return v3(0.5, 0.5, 1.0);
    if (r == rings) return v3(0.5, 0.5, 0.0);
    return v3(0.5 + 0.5 * std::sin(theta) * std::cos(phi),
              0.5 + 0.5 * std::sin(theta) * std::sin(phi), 0.5 + 0.5 * std::cos(theta));
  };
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < segments; ++s) {
      if (r > 0) mesh->add_triangle(at(r, s), at(r, s + 1), at(r + 1, s + 1));
      if (r < rings - 1) mesh->add_triangle(at(r, s), at(r + 1, s + 1), at(r + 1, s));
    }
  return mesh;
}

std::vector<std::string> declared_names(const std::string& inc) {
  std::vector<std::string> names;
  const std::string declare = "#declare ";
  for (std::size_t at = inc.find(declare); at != std::string::npos;
       at = inc.find(declare, at + 1)) {
    const std::size_t start = at + declare.size();
    names.push_back(inc.substr(start, inc.find(" = ", start) - start));
  }
  return names;
}

struct Rendered {
  bool ok = false;
  int lit_pixels = 0;  // pixels that are not black
  std::string log;
};

// Renders a 32 x 32 scene that includes inc and shows every object it declares in white.
Rendered render(const TempFolder& folder, const std::string& inc, const std::string& tag) {
  Rendered result;
  const std::string scene = folder.file(tag + ".pov"), image = folder.file(tag + ".ppm");
  const std::string log = folder.file(tag + ".log");
  {
    std::ofstream out(scene);
    out << "#version 3.7;\nglobal_settings { assumed_gamma 1.0 }\n"
        << "camera { location <3, 4, -6> look_at <0.5, 0.5, 0.5> angle 30 }\n"
        << "light_source { <10, 20, -20> color rgb 1 }\n"
        << "#include \"" << inc << "\"\n";
    for (const std::string& name : declared_names(read_file(inc)))
      out << "object { " << name << " pigment { rgb 1 } }\n";
  }
  const std::string command = std::string("'") + MORVANE_POVRAY + "' +W32 +H32 -D +FP +I'" + scene +
                              "' +O'" + image + "' > '" + log + "' 2>&1";
  result.ok = std::system(command.c_str()) == 0;
  result.log = read_file(log);
  std::ifstream ppm(image, std::ios::binary);
  // The header's four words, with "#" comment lines between them skipped.
  auto word = [&ppm]() {
    std::string w;
    while (ppm >> w && w[0] == '#') std::getline(ppm, w);
    return w;
  };
  const std::string magic = word();
  const int width = std::atoi(word().c_str()), height = std::atoi(word().c_str());
  const int maximum = std::atoi(word().c_str());
  ppm.get();
  if (magic != "P6" || width != 32 || height != 32) {
    result.ok = false;
    return result;
  }
  const int bytes = maximum > 255 ? 2 : 1;
  std::string pixels(static_cast<std::size_t>(width * height * 3 * bytes), '\0');
  ppm.read(&pixels[0], static_cast<std::streamsize>(pixels.size()));
  for (int p = 0; p < width * height; ++p) {
    bool lit = false;
    for (int k = 0; k < 3 * bytes; ++k)
      lit = lit || pixels[static_cast<std::size_t>(p * 3 * bytes + k)] != '\0';
    result.lit_pixels += lit;
  }
  return result;
}

class PovRayReads : public RayIncExport {
 protected:
  void SetUp() override {
    if (std::string(MORVANE_POVRAY).empty() || !file_exists(MORVANE_POVRAY))
      GTEST_SKIP() << "povray is not installed";
    RayIncExport::SetUp();
    for (const std::string& owner : rayinc_owners())
      SettingsWriteDouble(owner.c_str(), "Specific Settings", "radius", 0.05);
  }
};

}  // namespace

TEST_F(PovRayReads, SampleMeshesWithKeywordAndDigitNamesInEveryLineDelimiterMode) {
  HostObjects objects;
  objects.add(unit_cube("box"));  // a reserved word
  objects.add(ball("union"));     // smooth faces, a reserved word
  objects.add(single_triangle("3001.dat"));
  objects.add(ball(std::string(200, 'n').c_str()));
  objects.add(single_triangle(""));
  auto sliver = std::make_unique<Mesh3d>(3, "sliver");  // a degenerate edge: no cylinder
  sliver->add_triangle(v3(0, 0, 0), v3(0, 0, 0), v3(1, 0, 0));
  objects.add(std::move(sliver));
  for (int index : kPovClasses) {
    for (int ld = 0; ld < 3; ++ld) {
      const std::string owner = rayinc_owners()[index];
      SettingsWriteInt(owner.c_str(), "Common Settings", "ld_mode", ld);
      const std::string tag = "c" + std::to_string(index) + "_" + std::to_string(ld);
      export_given_names(library_, index, objects.list(), folder_.file(tag), folder_.file(tag));
      const std::string inc = folder_.file(tag + ".inc");
      ASSERT_EQ(declared_names(read_file(inc)).size(), 6u) << tag;
      Rendered r = render(folder_, inc, tag);
      EXPECT_TRUE(r.ok) << rayinc_class_names()[index] << " ld_mode " << ld << "\n" << r.log;
      EXPECT_GT(r.lit_pixels, 20) << rayinc_class_names()[index];
    }
  }
}

TEST_F(PovRayReads, MeshesWithoutVisibleEdgesOrProperFacesRenderNothing) {
  // No visible edge at an edge angle of 91 degrees: the wire and blob classes.
  HostObjects closed;
  closed.add(unit_cube("mesh"));
  closed.add(unit_cube("blob"));
  // No proper triangle: the surface classes.
  HostObjects degenerate;
  auto line = std::make_unique<Mesh3d>(3, "mesh");
  line->add_triangle(v3(0, 0, 0), v3(1, 0, 0), v3(2, 0, 0));
  degenerate.add(std::move(line));
  auto point = std::make_unique<Mesh3d>(3, "blob");
  point->add_triangle(v3(0.5, 0.5, 0.5), v3(0.5, 0.5, 0.5), v3(0.5, 0.5, 0.5));
  degenerate.add(std::move(point));
  for (int index : kPovClasses) {
    const bool edges = index == 2 || index == 3;
    const std::string owner = rayinc_owners()[index];
    SettingsWriteDouble(owner.c_str(), "Specific Settings", "edge_angle", 91.0);
    SettingsWriteInt(owner.c_str(), "Common Settings", "ld_mode", 1);
    const std::string tag = "e" + std::to_string(index);
    export_given_names(library_, index, (edges ? closed : degenerate).list(), folder_.file(tag),
                       folder_.file(tag));
    const std::string inc = folder_.file(tag + ".inc");
    EXPECT_EQ(declared_names(read_file(inc)), (std::vector<std::string>{"Xmesh", "Xblob"}));
    Rendered r = render(folder_, inc, tag);
    EXPECT_TRUE(r.ok) << rayinc_class_names()[index] << "\n" << r.log;
    EXPECT_EQ(r.lit_pixels, 0) << rayinc_class_names()[index];
  }
}

TEST_F(PovRayReads, RealModelsImportedFromDirectXFiles) {
  const std::string corpus = std::string(MORVANE_CORPUS_DIR) + "/x";
  keep_plugin_loaded("xfile_in.so");
  PluginUnderTest xfile_in("xfile_in.so");
  if (!file_exists(corpus) || !xfile_in.loaded())
    GTEST_SKIP() << "no DirectX model files or no xfile_in plug-in";
  for (const char* model : {"test.x", "test_cube_text.x", "kwxport_test_cubewithvcolors.x"}) {
    MeshImporter* importer = xfile_in.NewImporter("XFILE ASCII (*.x)");
    ASSERT_NE(importer, nullptr);
    ObjectList* objects = importer->ImportFile((corpus + "/" + model).c_str());
    ASSERT_GT(objects->count(), 0) << model;
    for (int index : kPovClasses) {
      const std::string tag = std::string("x") + std::to_string(index) + "_" + model;
      export_given_names(library_, index, objects, folder_.file(tag), folder_.file(tag));
      Rendered r = render(folder_, folder_.file(tag + ".inc"), tag);
      EXPECT_TRUE(r.ok) << model << " " << rayinc_class_names()[index] << "\n" << r.log;
    }
    importer->DeleteThis();
  }
}
