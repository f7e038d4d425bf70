// Colours of LDraw models: colour file lines, the built-in table, direct colours, where the colour
// file is found, and the appearance and splitting of the imported meshes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_api/plugin_api.h"
#include "plugins/brick_in/colour_table.h"
#include "plugins/brick_in/ldraw_import.h"
#include "plugins/brick_in/ldraw_settings.h"
#include "tests/brick_in/ldraw_lines.h"
#include "tests/brick_in/scoped_env.h"

namespace {

std::string corpus_ldraw() { return std::string(MORVANE_CORPUS_DIR) + "/ldraw"; }

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string text_of(const Appearance& a) { return colour_text(a) + " " + finish_word(a.finish); }

// One import of model through the class, with the library folder set to ldrawdir.
class ColourImport {
 public:
  ColourImport(const TempFolder& t, const std::string& model, const std::string& ldrawdir,
               bool one_mesh_per_colour, const std::string& search_path = std::string())
      : env_("LDRAWDIR", ldrawdir.c_str()) {
    {
      LDrawSettings settings;
      settings.search_path = search_path.empty() ? t / "parts;" : search_path;
      settings.verbose_mode = 1;
      settings.swap_mode = 0;
      settings.unify_mode = 0;
      settings.size_value = 1.0;
      settings.one_mesh_per_colour = one_mesh_per_colour ? 1 : 0;
      settings.logfilename = t / "brickin.log";
    }
    importer_ = CreateImporter(&ldraw_import_class);
    objects_ = importer_->ImportFile(model.c_str());
    log = t.read("brickin.log");
  }
  ~ColourImport() { importer_->DeleteThis(); }

  // "name faces colour finish" of each mesh, "-" for a mesh without colour.
  std::vector<std::string> lines() const {
    std::vector<std::string> out;
    for (int32_t i = 0; i < objects_->count(); ++i) {
      auto* m = static_cast<Mesh3d*>(objects_->get(i));
      out.push_back(std::string(m->name()) + " " + std::to_string(m->flat_face_count) + " " +
                    (m->has_appearance ? text_of(m->appearance) : "-"));
    }
    return out;
  }

  std::string log;

 private:
  ScopedEnv env_;
  MeshImporter* importer_ = nullptr;
  ObjectList* objects_ = nullptr;
};

std::size_t count_of(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

const char kTriangle[] = "3 16 0 0 0 1 0 0 0 0 1\n";

}  // namespace

TEST(LDrawColourLine, DefinitionsGiveColourAlphaAndFinish) {
  struct Case {
    const char* line;
    bool ok;
    int32_t code;
    const char* appearance;  // colour text and finish word
  };
  const Case cases[] = {
      {"0 !COLOUR Red CODE 4 VALUE #B40000 EDGE #333333", true, 4, "#B40000 plastic"},
      {"  0 !COLOUR Trans_Red CODE 36 VALUE #C91A09 EDGE #660D05 ALPHA 128", true, 36,
       "#C91A0980 transparent"},
      {"0 !COLOUR Glow CODE 21 VALUE #E0FFB0 EDGE #B8FF4D ALPHA 240 LUMINANCE 15", true, 21,
       "#E0FFB0F0 glow"},
      {"0 !COLOUR Pearl_Gold CODE 297 VALUE #AA7F2E EDGE #666666 PEARLESCENT", true, 297,
       "#AA7F2E pearl"},
      {"0 !COLOUR Chrome_Gold CODE 334 VALUE #DFC176 EDGE #C29E4F CHROME", true, 334,
       "#DFC176 chrome"},
      {"0 !COLOUR Copper CODE 495 VALUE #AE7A59 EDGE #333333 METAL", true, 495, "#AE7A59 metal"},
      {"0 !COLOUR Silver CODE 80 VALUE #767676 EDGE #333333 MATTE_METALLIC", true, 80,
       "#767676 metal"},
      {"0 !COLOUR Rubber_Black CODE 256 VALUE #1B2A34 EDGE #333333 RUBBER", true, 256,
       "#1B2A34 rubber"},
      {"0 !COLOUR Rubber_Trans CODE 66 VALUE #F5CD2F EDGE #333333 ALPHA 128 RUBBER", true, 66,
       "#F5CD2F80 transparent"},
      // The colour after MATERIAL is the glitter's, not the colour's.
      {"0 !COLOUR Glitter CODE 114 VALUE #DF6695 EDGE #B9275F ALPHA 128 MATERIAL GLITTER "
       "VALUE #B92790 FRACTION 0.17",
       true, 114, "#DF669580 transparent"},
      {"0 !colour lower code 7 value #8a928d edge #333333", true, 7, "#8A928D plastic"},
      {"0 !COLOUR NoCode VALUE #B40000 EDGE #333333", false, 0, ""},
      {"0 !COLOUR NoValue CODE 4 EDGE #333333", false, 0, ""},
      {"0 !COLOUR BadValue CODE 4 VALUE #B4000 EDGE #333333", false, 0, ""},
      {"0 !COLOUR Negative CODE -4 VALUE #B40000", false, 0, ""},
      {"0 !COLOUR Huge CODE 99999999999 VALUE #B40000", false, 0, ""},
      {"0 !COLOUR CODE", false, 0, ""},
      {"0 // !COLOUR Red CODE 4 VALUE #B40000", false, 0, ""},
      {"1 4 0 0 0 1 0 0 0 1 0 0 0 1 3001.dat", false, 0, ""},
  };
  for (const Case& c : cases) {
    LDrawColour colour;
    EXPECT_EQ(parse_colour_line(c.line, colour), c.ok) << c.line;
    if (!c.ok) continue;
    EXPECT_EQ(colour.code, c.code) << c.line;
    EXPECT_EQ(text_of(appearance_of(colour)), c.appearance) << c.line;
  }
}

TEST(LDrawColourTable, BuiltInCodesDirectColoursAndTheMainColour) {
  struct Case {
    int32_t code;
    bool found;
    const char* appearance;
  };
  const Case cases[] = {
      {0, true, "#1B2A34 plastic"},
      {4, true, "#B40000 plastic"},
      {15, true, "#F4F4F4 plastic"},
      {36, true, "#C91A0980 transparent"},
      {47, true, "#FCFCFC80 transparent"},
      {71, true, "#969696 plastic"},
      {72, true, "#646464 plastic"},
      {334, true, "#DFC176 chrome"},
      {383, true, "#CECECE chrome"},
      {0x2FF8000, true, "#FF8000 plastic"},
      {0x3112233, true, "#11223380 transparent"},
      {0x4FF8000, false, ""},  // dithered forms are not direct colours
      {16, false, ""},         // the main colour is the reference's, not a table entry
      {9999, false, ""},
      {-1, false, ""},
  };
  LDrawColourTable table;
  for (const Case& c : cases) {
    Appearance a;
    EXPECT_EQ(table.find(c.code, a), c.found) << c.code;
    if (c.found) {
      EXPECT_EQ(text_of(a), c.appearance) << c.code;
    }
  }
  EXPECT_EQ(text_of(table.main_colour()), "#8A928D plastic");  // light grey
  LDrawColourTable own;
  EXPECT_FALSE(own.load_text("0 just a comment\n"));
  EXPECT_EQ(own.size(), table.size());
  ASSERT_TRUE(own.load_text("0 !COLOUR Main CODE 16 VALUE #FFFF80 EDGE #333333\r\n"));
  EXPECT_EQ(text_of(own.main_colour()), "#FFFF80 plastic");
  Appearance a;
  EXPECT_FALSE(own.find(4, a));  // a colour file replaces the built-in table
}

TEST(LDrawColourTable, BuiltInTableMatchesTheLibrarysColourFile) {
  const std::string file = corpus_ldraw() + "/LDConfig.ldr";
  if (!exists(file)) GTEST_SKIP() << "no " << file;
  LDrawColourTable library;
  ASSERT_TRUE(library.load_file(file));
  LDrawColourTable built_in;
  std::vector<int32_t> codes = {70, 71, 72, 334, 383};
  for (int32_t c = 0; c <= 15; ++c) codes.push_back(c);
  for (int32_t c = 32; c <= 47; ++c) codes.push_back(c);
  for (int32_t code : codes) {
    Appearance from_file, from_table;
    ASSERT_TRUE(library.find(code, from_file)) << code;
    ASSERT_TRUE(built_in.find(code, from_table)) << code;
    EXPECT_EQ(from_table, from_file) << code;
  }
}

TEST(LDrawColourFile, FoundInTheLibraryThenBesideTheSearchPathThenBesideTheModel) {
  TempFolder t;
  const std::string library = t / "library";
  mkdir(library.c_str(), 0755);
  t.write("lib2/parts/x.dat", "");
  t.write("models/m.ldr", "");
  ScopedEnv env("LDRAWDIR", library.c_str());
  const std::string search = t / "lib2/parts/;";
  const std::string model = t / "models/m.ldr";
  EXPECT_EQ(find_colour_file(colour_file_folders(search, model)), "");
  t.write("models/LDCONFIG.LDR", "");
  EXPECT_EQ(find_colour_file(colour_file_folders(search, model)), t / "models/LDCONFIG.LDR");
  t.write("lib2/ldconfig.ldr", "");
  EXPECT_EQ(find_colour_file(colour_file_folders(search, model)), t / "lib2/ldconfig.ldr");
  t.write("library/LDConfig.ldr", "");
  EXPECT_EQ(find_colour_file(colour_file_folders(search, model)), t / "library/LDConfig.ldr");
}

TEST(LDrawImportColours, EachReferenceTakesTheColourOfItsCode) {
  TempFolder t;
  t.write("parts/3001.dat", kTriangle);
  // The library's colour file redefines red, so its values are seen to be used.
  t.write("ldraw/LDConfig.ldr",
          "0 !COLOUR Red CODE 4 VALUE #FF0000 EDGE #333333\n"
          "0 !COLOUR Main_Colour CODE 16 VALUE #FFFF80 EDGE #333333\n");
  const std::string model =
      t.write("m.ldr", ref_line(4, 0, 0, 0, "3001.dat") + ref_line(0x2FF8000, 0, 0, 0, "3001.dat") +
                           ref_line(16, 0, 0, 0, "3001.dat") + ref_line(999, 0, 0, 0, "3001.dat") +
                           ref_line(999, 0, 0, 0, "3001.dat") + ref_line(0, 0, 0, 0, "3001.dat") +
                           "3 14 0 0 0 1 0 0 0 0 1\n");
  ColourImport run(t, model, t / "ldraw", false);
  EXPECT_EQ(run.lines(), (std::vector<std::string>{
                             "3001_0_C4 1 #FF0000 plastic", "3001_1_C50298880 1 #FF8000 plastic",
                             "3001_2_C16 1 #FFFF80 plastic", "3001_3_C999 1 #FFFF80 plastic",
                             "3001_4_C999 1 #FFFF80 plastic",
                             "3001_5_C0 1 #FFFF80 plastic",  // 0 and 14 are not defined here
                             "_default 1 #FFFF80 plastic"}))
      << run.log;
  EXPECT_EQ(count_of(run.log, "Unknown colour 999: main colour used\n"), 1u) << run.log;
  EXPECT_EQ(count_of(run.log, "Colours from " + t / "ldraw/LDConfig.ldr" + "\n"), 1u);
}

TEST(LDrawImportColours, WithoutAColourFileTheBuiltInTableAndLightGreyServe) {
  TempFolder t;
  t.write("parts/3001.dat", kTriangle);
  const std::string model =
      t.write("m.ldr", ref_line(4, 0, 0, 0, "3001.dat") + ref_line(16, 0, 0, 0, "3001.dat") +
                           ref_line(383, 0, 0, 0, "3001.dat") + "3 16 0 0 0 1 0 0 0 0 1\n");
  ColourImport run(t, model, t / "empty", false);
  EXPECT_EQ(run.lines(), (std::vector<std::string>{
                             "3001_0_C4 1 #B40000 plastic", "3001_1_C16 1 #8A928D plastic",
                             "3001_2_C383 1 #CECECE chrome", "_default 1 #8A928D plastic"}));
  EXPECT_NE(run.log.find("Colours from the built-in table\n"), std::string::npos);
}

TEST(LDrawImportColours, OneMeshPerColourSplitsAPartWithAFixedColourSubPart) {
  TempFolder t;
  // A wheel: a rim of two triangles in the reference's colour (16 and 24 inherit it) and a
  // tyre sub-part of three triangles, fixed black, itself made of main-colour faces.
  t.write("parts/s/tyre.dat", "3 16 0 0 0 1 0 0 0 0 1\n4 16 0 0 0 1 0 0 1 0 1 0 0 1\n");
  t.write("parts/wheel.dat", std::string("3 16 0 0 0 1 0 0 0 1 0\n3 24 0 0 0 0 1 0 0 0 1\n") +
                                 ref_line(0, 5, 0, 0, "s\\tyre.dat"));
  const std::string model =
      t.write("m.ldr", ref_line(4, 0, 0, 0, "wheel.dat") + ref_line(1, 0, 0, 0, "s/tyre.dat"));
  {
    ColourImport off(t, model, t / "empty", false);
    EXPECT_EQ(off.lines(), (std::vector<std::string>{"wheel_0_C4 5 #B40000 plastic",
                                                     "tyre_0_C1 3 #1E5AA8 plastic"}));
  }
  ColourImport on(t, model, t / "empty", true);
  EXPECT_EQ(on.lines(), (std::vector<std::string>{"wheel_0_C4 2 #B40000 plastic",
                                                  "wheel_0_C0 3 #1B2A34 plastic",
                                                  "tyre_0_C1 3 #1E5AA8 plastic"}));
  EXPECT_NE(on.log.find("\t one mesh per colour: 1\n"), std::string::npos);
}

TEST(LDrawImportColours, OneMeshPerColourNamesASingleColourPartByThatColour) {
  TempFolder t;
  t.write("parts/tyre.dat", "3 0 0 0 0 1 0 0 0 0 1\n");
  const std::string model = t.write("m.ldr", ref_line(4, 0, 0, 0, "tyre.dat"));
  ColourImport on(t, model, t / "empty", true);
  EXPECT_EQ(on.lines(), (std::vector<std::string>{"tyre_0_C0 1 #1B2A34 plastic"}));
}

// The library's example model in its real colours (LDraw corpus with its colour file).
TEST(LDrawImportColours, PyramidBricksTakeTheLibrarysColours) {
  const std::string ldraw = corpus_ldraw();
  if (!exists(ldraw + "/LDConfig.ldr") || !exists(ldraw + "/models/pyramid.ldr"))
    GTEST_SKIP() << "no LDraw corpus";
  TempFolder t;
  ColourImport with_file(t, ldraw + "/models/pyramid.ldr", ldraw, false,
                         ldraw + "/parts;" + ldraw + "/p;");
  LDrawColourTable library;
  ASSERT_TRUE(library.load_file(ldraw + "/LDConfig.ldr"));
  std::vector<std::string> lines = with_file.lines();
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines) {
    // "3001_<n>_C<code> <faces> <colour> <finish>"
    std::size_t c = line.find("_C");
    ASSERT_NE(c, std::string::npos) << line;
    Appearance expected;
    ASSERT_TRUE(library.find(std::stoi(line.substr(c + 2)), expected)) << line;
    EXPECT_EQ(line.substr(line.find(' ', line.find(' ') + 1) + 1), text_of(expected)) << line;
  }
  // Without the colour file the built-in table gives the same colours: the same parts, through
  // links from a library folder that has no colour file.
  TempFolder u;
  mkdir((u / "lib").c_str(), 0755);
  ASSERT_EQ(symlink((ldraw + "/parts").c_str(), (u / "lib/parts").c_str()), 0);
  ASSERT_EQ(symlink((ldraw + "/p").c_str(), (u / "lib/p").c_str()), 0);
  const std::string model =
      u.write("pyramid.ldr", TempFolder::read_file(ldraw + "/models/pyramid.ldr"));
  ColourImport without(u, model, u / "empty", false, u / "lib/parts;" + u / "lib/p;");
  EXPECT_NE(without.log.find("Colours from the built-in table\n"), std::string::npos);
  EXPECT_EQ(without.lines(), lines);
}
