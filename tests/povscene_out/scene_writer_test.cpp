// The scene file's text: head, textures shared by appearance, identifiers, mesh2 with corner
// normals, line ends and numbers whatever the locale.
#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>

#include "meshlib/mesh3d.h"
#include "plugins/povscene_out/scene_writer.h"
#include "rayinc_out/rayinc_test_support.h"
#include "settings/delimited_writer.h"

namespace {

// Writes a whole scene of the given meshes (indexed form) with the given options.
std::string scene_text(const std::vector<const Mesh3d*>& meshes, SceneOptions options = {},
                       int ld_mode = 1) {
  CapturedText captured(ld_mode);
  {
    IncStream out = captured.stream();
    DelimitedWriter writer(ld_mode, out.file);
    out.writer = &writer;
    SceneWriter scene(out, options);
    scene.Head();
    for (const Mesh3d* mesh : meshes) scene.Mesh(*mesh, nullptr);
    scene.Tail();
  }
  return captured.text();
}

std::unique_ptr<Mesh3d> coloured(std::unique_ptr<Mesh3d> mesh, double r, double g, double b,
                                 double a = 1.0, Finish finish = Finish::kPlastic) {
  mesh->has_appearance = 1;
  mesh->appearance.rgba[0] = r, mesh->appearance.rgba[1] = g, mesh->appearance.rgba[2] = b;
  mesh->appearance.rgba[3] = a;
  mesh->appearance.finish = finish;
  return mesh;
}

}  // namespace

TEST(SceneWriter, OneTriangleSceneByteForByte) {
  auto triangle = single_triangle("tri");
  SceneOptions options;
  options.view.azimuth = 0.0;
  options.view.elevation = 0.0;
  const std::string text = scene_text({triangle.get()}, options);
  const std::string expected =
      "// A POV-Ray 3.7 scene; render it at a width to height ratio of 1.333333 (for example "
      "+W640 +H480).\n"
      "#version 3.7;\n"
      "global_settings { assumed_gamma 1.0 }\n"
      "\n"
      "#declare Texture_1 = texture {\n"
      "  pigment { rgb <0.603827,0.603827,0.603827> }\n"
      "  finish { ambient 0.1 diffuse 0.7 specular 0.3 roughness 0.02 }\n"
      "}\n"
      "\n"
      "#declare tri = mesh2 {\n"
      "  vertex_vectors {\n"
      "    3,\n"
      "    <0.000000,0.000000,0.000000>,\n"
      "    <1.000000,0.000000,0.000000>,\n"
      "    <0.000000,1.000000,0.000000>\n"
      "  }\n"
      "  normal_vectors {\n"
      "    3,\n"
      "    <0.000000,0.000000,1.000000>,\n"
      "    <0.000000,0.000000,1.000000>,\n"
      "    <0.000000,0.000000,1.000000>\n"
      "  }\n"
      "  face_indices {\n"
      "    1,\n"
      "    <0,1,2>\n"
      "  }\n"
      "}\n"
      "object { tri texture { Texture_1 } }\n"
      "\n"
      "camera {\n"
      "  perspective\n";
  EXPECT_EQ(text.substr(0, expected.size()), expected);
  // Seen from the front at eye level, the camera stands on the -y side of the centre.
  EXPECT_NE(text.find("  location <0.500000,-"), std::string::npos) << text;
  EXPECT_NE(text.find("  sky <0,0,1>\n  right <-1.333333,0,0>\n  angle 40.000000\n"
                      "  look_at <0.500000,0.500000,0.000000>\n}\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("plane"), std::string::npos) << "no ground plane unless asked for";
}

TEST(SceneWriter, IdenticalAppearancesShareOneTexture) {
  auto red1 = coloured(unit_cube("a"), 0.8, 0.1, 0.1);
  auto red2 = coloured(unit_cube("b"), 0.8, 0.1, 0.1);
  auto plain = unit_cube("c");
  auto glass = coloured(unit_cube("d"), 0.9, 0.9, 1.0, 0.25, Finish::kTransparent);
  auto grey = unit_cube("e");
  const std::string text =
      scene_text({red1.get(), red2.get(), plain.get(), glass.get(), grey.get()});
  EXPECT_EQ(count_of(text, "= texture {"), 3);
  EXPECT_NE(text.find("object { a texture { Texture_1 } }"), std::string::npos);
  EXPECT_NE(text.find("object { b texture { Texture_1 } }"), std::string::npos);
  EXPECT_NE(text.find("object { c texture { Texture_2 } }"), std::string::npos);
  EXPECT_NE(text.find("object { d texture { Texture_3 } }"), std::string::npos);
  EXPECT_NE(text.find("object { e texture { Texture_2 } }"), std::string::npos);
  // sRGB 0.8 / 0.1 is linear 0.603827 / 0.010023; the glass filters three quarters.
  EXPECT_NE(text.find("pigment { rgb <0.603827,0.010023,0.010023> }"), std::string::npos);
  EXPECT_NE(text.find("pigment { rgbf <0.787412,0.787412,1.000000,0.750000> }"), std::string::npos);
}

TEST(SceneWriter, EveryFinishHasItsOwnLook) {
  struct Case {
    Finish finish;
    const char* expected;
  };
  const Case cases[] = {
      {Finish::kChrome, "reflection { 0.6 metallic }"},
      {Finish::kMetal, "reflection { 0.15 metallic }"},
      {Finish::kPearl, "irid {"},
      {Finish::kRubber, "finish { ambient 0.1 diffuse 0.8 }"},
      {Finish::kGlow, "emission rgb <1.000000,0.214041,0.000000>"},
      {Finish::kTransparent, "rgbf <1.000000,0.214041,0.000000,0.500000>"},
  };
  for (const Case& c : cases) {
    auto mesh = coloured(unit_cube("m"), 1.0, 0.5, 0.0, 1.0, c.finish);
    EXPECT_NE(scene_text({mesh.get()}).find(c.expected), std::string::npos)
        << finish_word(c.finish);
  }
  auto shiny = coloured(unit_cube("m"), 1.0, 0.5, 0.0);
  shiny->appearance.specular_power = 20.0;
  shiny->appearance.specular[0] = shiny->appearance.specular[1] = 0.5;
  EXPECT_NE(scene_text({shiny.get()}).find("specular 0.500000 roughness 0.050000"),
            std::string::npos)
      << "the highlight the model file states";
}

TEST(SceneWriter, NamesAreIdentifiersDeclaredOnce) {
  auto a = single_triangle("box");
  auto b = single_triangle("box");
  auto c = single_triangle("3001.dat");
  auto d = single_triangle("");
  auto e = single_triangle("Texture_1");
  const std::string text = scene_text({a.get(), b.get(), c.get(), d.get(), e.get()});
  for (const char* name : {"Xbox", "Xbox_2", "X3001_dat", "X", "Texture_1_2"})
    EXPECT_EQ(count_of(text, std::string("#declare ") + name + " = mesh2 {"), 1) << name;
  EXPECT_EQ(count_of(text, "#declare Texture_1 = texture"), 1);
}

TEST(SceneWriter, CreasesGetTheirOwnNormalsAndSmoothMeshesShareVertexNormals) {
  auto cube = unit_cube("cube");  // 90 degree edges, above the smoothing angle
  const std::string creased = scene_text({cube.get()});
  EXPECT_NE(creased.find("  normal_vectors {\n    24,\n"), std::string::npos)
      << "three normals at every corner of the cube";
  EXPECT_NE(creased.find("  normal_indices {\n    12,\n"), std::string::npos);

  SceneOptions rounded;
  rounded.smooth_angle = 100.0;
  const std::string smooth = scene_text({cube.get()}, rounded);
  EXPECT_NE(smooth.find("  normal_vectors {\n    8,\n"), std::string::npos);
  EXPECT_EQ(smooth.find("normal_indices"), std::string::npos) << "vertex i uses normal i";

  SceneOptions flat;
  flat.smooth_angle = 0.0;
  EXPECT_EQ(scene_text({cube.get()}, flat).find("normal"), std::string::npos);
}

TEST(SceneWriter, MeshWithoutFacesWritesNothing) {
  Mesh3d empty(3, "empty");
  auto tri = single_triangle("tri");
  const std::string text = scene_text({&empty, tri.get()});
  EXPECT_EQ(text.find("empty"), std::string::npos);
  EXPECT_EQ(count_of(text, "mesh2"), 1);
}

TEST(SceneWriter, GroundPlaneJustBelowTheLowestPoint) {
  auto cube = unit_cube("cube", 2.0);
  SceneOptions options;
  options.ground_plane = true;
  EXPECT_NE(scene_text({cube.get()}, options).find("plane {\n  z, -0.003464\n"), std::string::npos);
}

TEST(SceneWriter, LineEndsFollowTheOption) {
  auto tri = single_triangle("tri");
  const std::string dos = scene_text({tri.get()}, {}, 0);
  const std::string unix_text = scene_text({tri.get()}, {}, 1);
  const std::string mac = scene_text({tri.get()}, {}, 2);
  EXPECT_EQ(count_of(dos, "\r\n"), count_of(unix_text, "\n"));
  EXPECT_EQ(count_of(dos, "\n"), count_of(dos, "\r\n"));
  EXPECT_EQ(count_of(mac, "\n"), 0);
  EXPECT_EQ(count_of(mac, "\r"), count_of(unix_text, "\n"));
}

TEST(SceneWriter, DecimalCommaLocaleWritesTheSameBytes) {
  auto cube = coloured(unit_cube("cube", 0.5), 0.3, 0.6, 0.9);
  const std::string before = scene_text({cube.get()});
  const std::string kept = std::setlocale(LC_NUMERIC, nullptr);
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
  const std::string comma = scene_text({cube.get()});
  std::setlocale(LC_NUMERIC, kept.c_str());
  EXPECT_EQ(comma, before);
}
