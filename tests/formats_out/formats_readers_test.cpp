// What other programs make of the files the exchange-format classes write: every model goes
// through the batch converter into each format, then the Khronos glTF validator checks every
// glTF file and assimp reads every file back with the same number of faces.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/file_text.h"

namespace {

const char kSource[] = MORVANE_SOURCE_DIR;
const char kCorpus[] = MORVANE_CORPUS_DIR;
const char* const kExtensions[] = {"glb", "gltf", "obj", "stl", "ply"};

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

struct Outcome {
  int status;
  std::string out;
};

// An input model, the converter's options to read it, and how many faces it holds.
struct Model {
  std::string name;
  std::string arguments;
  long faces;
};

class FormatsReadersTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/formats_readers_test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = new std::string(pattern);
    models_ = new std::vector<Model>;
    const std::string examples = std::string(kSource) + "/examples/";
    const std::string ldraw = examples + "ldraw/";
    add_model("table", "'" + examples + "table.x'");
    add_model("tower",
              "--search-path '" + ldraw + "parts;" + ldraw + "p;' '" + ldraw + "models/tower.ldr'");
    const std::string corpus = kCorpus;
    if (exists(corpus + "/x/test.x")) add_model("corpus_test", "'" + corpus + "/x/test.x'");
    if (exists(corpus + "/ldraw/models/pyramid.ldr"))
      add_model("pyramid", "--search-path '" + corpus + "/ldraw/parts;" + corpus + "/ldraw/p;' '" +
                               corpus + "/ldraw/models/pyramid.ldr'");
    // Flat faces of a 200 x 200 grid: 240,000 written vertices, so 32-bit indices.
    write_grid(*folder_ + "/grid.x", 200);
    add_model("grid", "--smooth-angle 0 '" + *folder_ + "/grid.x'");
    for (const Model& model : *models_)
      for (const char* extension : kExtensions) convert(model, extension);
  }
  static void TearDownTestSuite() {
    std::system(("rm -rf '" + *folder_ + "'").c_str());
    delete folder_;
    delete models_;
  }

  static Outcome Shell(const std::string& command_line) {
    const std::string out = *folder_ + "/stdout";
    const std::string command = "cd '" + *folder_ + "' && export XDG_CONFIG_HOME='" + *folder_ +
                                "/config' && { " + command_line + " ; } >'" + out + "' 2>&1";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(out)};
  }
  static std::string converter() { return MORVANE_BINARY_DIR "/bin/morvane-convert --quiet "; }

  static void add_model(const std::string& name, const std::string& arguments) {
    Outcome info = Shell(converter() + "--info " + arguments);
    ASSERT_EQ(info.status, 0) << info.out;
    // Lines "\tNr.\tMESH\tname\tfaces\tvertices\t<min>\t<max>".
    long faces = 0;
    std::istringstream lines(info.out);
    for (std::string line; std::getline(lines, line);) {
      std::vector<std::string> fields;
      std::istringstream split(line);
      for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
      if (fields.size() >= 5 && fields[2] == "MESH") faces += std::stol(fields[4]);
    }
    models_->push_back({name, arguments, faces});
  }
  static void convert(const Model& model, const char* extension) {
    Outcome run = Shell(converter() + model.arguments + " -o '" + file(model, extension) + "'");
    EXPECT_EQ(run.status, 0) << model.name << "." << extension << ": " << run.out;
  }
  static std::string file(const Model& model, const char* extension) {
    return *folder_ + "/" + model.name + "." + extension;
  }
  static void write_grid(const std::string& path, int n) {
    std::ostringstream x;
    x << "xof 0302txt 0064\nMesh grid {\n " << (n + 1) * (n + 1) << ";\n";
    for (int y = 0; y <= n; ++y)
      for (int i = 0; i <= n; ++i)
        x << " " << i << ".0;" << y << ".0;" << ((i * 7 + y * 3) % 5) * 0.1 << ";"
          << (y == n && i == n ? ";" : ",") << "\n";
    x << " " << n * n << ";\n";
    for (int y = 0; y < n; ++y)
      for (int i = 0; i < n; ++i) {
        const int a = y * (n + 1) + i;
        x << " 4;" << a << "," << a + 1 << "," << a + n + 2 << "," << a + n + 1 << ";"
          << (y == n - 1 && i == n - 1 ? ";" : ",") << "\n";
      }
    x << "}\n";
    write_file(path, x.str());
  }

  static std::string* folder_;
  static std::vector<Model>* models_;
};

std::string* FormatsReadersTest::folder_ = nullptr;
std::vector<Model>* FormatsReadersTest::models_ = nullptr;

}  // namespace

TEST_F(FormatsReadersTest, KhronosValidatorFindsNoErrorAndNoWarning) {
  const std::string script = std::string(kSource) + "/tools/gltf-validator/validate.js";
  if (std::string(MORVANE_NODE).find("NOTFOUND") != std::string::npos ||
      !exists(std::string(kSource) + "/tools/gltf-validator/node_modules/gltf-validator"))
    GTEST_SKIP() << "node or the glTF validator is missing: run scripts/setup.sh";
  std::string files;
  for (const Model& model : *models_)
    files += " '" + file(model, "glb") + "' '" + file(model, "gltf") + "'";
  Outcome run = Shell(std::string(MORVANE_NODE) + " '" + script + "'" + files);
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("grid.glb: 0 errors, 0 warnings"), std::string::npos) << run.out;
}

TEST_F(FormatsReadersTest, AssimpReadsEveryFileBackWithTheSameFaces) {
  if (std::string(MORVANE_ASSIMP).find("NOTFOUND") != std::string::npos)
    GTEST_SKIP() << "assimp is missing: run scripts/setup.sh";
  for (const Model& model : *models_) {
    ASSERT_GT(model.faces, 0) << model.name;
    for (const char* extension : kExtensions) {
      Outcome run = Shell(std::string(MORVANE_ASSIMP) + " info '" + file(model, extension) + "'");
      ASSERT_EQ(run.status, 0) << model.name << "." << extension << ": " << run.out;
      const std::string::size_type at = run.out.find("\nFaces:");
      ASSERT_NE(at, std::string::npos) << run.out;
      EXPECT_EQ(std::stol(run.out.substr(at + 7)), model.faces) << model.name << "." << extension;
    }
  }
}

TEST_F(FormatsReadersTest, CompanionFilesSitBesideTheirDocuments) {
  for (const Model& model : *models_) {
    EXPECT_TRUE(exists(file(model, "bin"))) << model.name;
    EXPECT_TRUE(exists(file(model, "mtl"))) << model.name;
    EXPECT_NE(read_file(file(model, "gltf")).find("\"uri\":\"" + model.name + ".bin\""),
              std::string::npos);
    EXPECT_NE(read_file(file(model, "obj")).find("mtllib " + model.name + ".mtl\r\n"),
              std::string::npos);
  }
}

TEST_F(FormatsReadersTest, ListShowsTheFiveExportClasses) {
  Outcome run = Shell(converter() + "--list");
  ASSERT_EQ(run.status, 0);
  for (const char* name : {"glTF 2.0 binary (*.glb)", "glTF 2.0 (*.gltf)", "Wavefront OBJ (*.obj)",
                           "STL (*.stl)", "Stanford PLY (*.ply)"})
    EXPECT_NE(run.out.find(std::string("\tClassName: ") + name + "\n"), std::string::npos) << name;
}
