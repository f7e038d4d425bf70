// Materials of DirectX files becoming the colour of their mesh.
#include <gtest/gtest.h>

#include <string>

#include "meshlib/mesh3d.h"
#include "tests/xfile_in/xfile_test_support.h"

namespace {

// A mesh of four triangles, the material list given.
std::string FourFaces(const std::string& list) {
  return "Mesh m { 4; 0;0;0;, 1;0;0;, 0;1;0;, 1;1;1;; 4; 3;0,1,2;, 3;0,1,3;, 3;0,2,3;, "
         "3;1,2,3;;\n" +
         list + "\n}\n";
}

const char kRed[] = "Material Red { 0.8;0.1;0.0;1.0;; 20.0; 0.5;0.5;0.5;; 0.0;0.0;0.0;; }\n";

std::string ColourOf(const Mesh3d& m) {
  if (m.has_appearance == 0) return "-";
  const Appearance& a = m.appearance;
  char text[160];
  std::snprintf(text, sizeof text, "%s %s %g %g/%g/%g %g/%g/%g", colour_text(a).c_str(),
                finish_word(a.finish), a.specular_power, a.specular[0], a.specular[1],
                a.specular[2], a.emissive[0], a.emissive[1], a.emissive[2]);
  return text;
}

}  // namespace

TEST(XFileMaterials, MeshTakesTheMaterialMostFacesUse) {
  struct Case {
    const char* what;
    std::string text;
    const char* colour;
  };
  const Case cases[] = {
      {"referenced material used by three faces of four",
       std::string(kRed) + FourFaces("MeshMaterialList { 2; 4; 1, 1, 1, 0;; "
                                     "Material { 0;0;1;0.5;; 3; 0.1;0.2;0.3;; 0;0;0;; } { Red } }"),
       "#CC1A00 plastic 20 0.5/0.5/0.5 0/0/0"},
      {"inline transparent material used by three faces",
       std::string(kRed) + FourFaces("MeshMaterialList { 2; 4; 1, 0, 1, 1;; { Red } "
                                     "Material glass { 0;0;1;0.5;; 3; 0.1;0.2;0.3;; 0;0;0;; } }"),
       "#0000FF80 transparent 3 0.1/0.2/0.3 0/0/0"},
      {"equal counts: the first material",
       std::string(kRed) + FourFaces("MeshMaterialList { 2; 4; 1, 1, 0, 0;; { Red } "
                                     "Material { 0;0;1;1;; 3; 0;0;0;; 0;0;0;; } }"),
       "#CC1A00 plastic 20 0.5/0.5/0.5 0/0/0"},
      {"emissive colour glows, nested texture passed over",
       FourFaces("MeshMaterialList { 1; 1; 0;; Material { 1;1;0;1;; 0; 0;0;0;; 1;1;0;; "
                 "TextureFilename { \"lamp.png\"; } } }"),
       "#FFFF00 glow 0 0/0/0 1/1/0"},
      {"reference to a material the file lacks",
       FourFaces("MeshMaterialList { 1; 4; 0,0,0,0;; "
                 "{ Missing } }"),
       "-"},
      {"indices outside the list are not counted",
       std::string(kRed) + FourFaces("MeshMaterialList { 1; 4; 7, 7, 7, 0;; { Red } }"),
       "#CC1A00 plastic 20 0.5/0.5/0.5 0/0/0"},
      {"no material list", FourFaces(""), "-"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    ParseResult r = ParseText(dir, c.text);
    EXPECT_EQ(r.result, 1) << c.what << "\n" << r.log;
    ASSERT_EQ(r.meshes.size(), 1u) << c.what;
    EXPECT_EQ(ColourOf(*r.meshes[0]), c.colour) << c.what;
  }
}

TEST(XFileMaterials, TopLevelMaterialsKeepTheirNamesAndDoNotHideLaterMeshes) {
  TempDir dir;
  ParseResult r = ParseText(
      dir, std::string("xof 0302txt 0064\n") + kRed +
               "Material Blue { 0;0;1;1;; 8; 0;0;0;; 0;0;0;; TextureFilename { \"b.png\"; } }\n" +
               "Frame f { " + FourFaces("MeshMaterialList { 1; 4; 0,0,0,0;; { Blue } }") + " }\n" +
               FourFaces("MeshMaterialList { 1; 4; 0,0,0,0;; { Red } }"));
  EXPECT_EQ(r.result, 1) << r.log;
  ASSERT_EQ(r.meshes.size(), 2u);
  EXPECT_EQ(ColourOf(*r.meshes[0]), "#0000FF plastic 8 0/0/0 0/0/0");
  EXPECT_EQ(ColourOf(*r.meshes[1]), "#CC1A00 plastic 20 0.5/0.5/0.5 0/0/0");
  EXPECT_NE(r.log.find("Material Blue scanned\n"), std::string::npos) << r.log;
}
