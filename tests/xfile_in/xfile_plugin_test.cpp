#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_api/plugin_api.h"
#include "settings/settings_store.h"
#include "tests/xfile_in/xfile_test_support.h"

#ifdef XFILE_IN_PLUGIN

namespace {

// The plug-in as a host loads it.
class XFilePlugin : public ::testing::Test {
 protected:
  // Loaded once and kept: each unload and reload of the library's Qt dependency chain makes
  // libgomp allocate anew, which the leak checker would report against these tests.
  static void* Library() {
    static void* handle = dlopen(XFILE_IN_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    return handle;
  }

  void SetUp() override {
    handle_ = Library();
    ASSERT_NE(handle_, nullptr) << dlerror();
    lib_name_ = reinterpret_cast<LibNameFunction>(dlsym(handle_, "LibName"));
    classes_ = reinterpret_cast<LibNumberClassesFunction>(dlsym(handle_, "LibNumberClasses"));
    describe_ =
        reinterpret_cast<LibClassDescriptionFunction>(dlsym(handle_, "LibClassDescription"));
    version_ = reinterpret_cast<LibVersionFunction>(dlsym(handle_, "LibVersion"));
    ASSERT_TRUE(lib_name_ && classes_ && describe_ && version_);
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    cwd_ = cwd;
    SettingsWriteInt("xfile_in", "Common Settings", "verbose_mode", 1);
    SettingsWriteString("xfile_in", "Common Settings", "logfilename", "Xfilein.log");
    SettingsWriteDouble("xfile_in", "Common Settings", "size_value", 1.0);
  }
  void TearDown() override {
    if (chdir(cwd_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << cwd_;
  }

  void* handle_ = nullptr;
  LibNameFunction lib_name_ = nullptr;
  LibNumberClassesFunction classes_ = nullptr;
  LibClassDescriptionFunction describe_ = nullptr;
  LibVersionFunction version_ = nullptr;
  std::string cwd_;
  TempDir dir_;
};

const char kBox[] =
    "xof 0302txt 0032\n"
    "Mesh box {\n 4;\n 0;0;0;,\n 2;0;0;,\n 2;2;0;,\n 0;2;0;;\n 1;\n 4;0,1,2,3;;\n}\n";

}  // namespace

TEST_F(XFilePlugin, PublishesOneImportClass) {
  EXPECT_STREQ(lib_name_(), "XFILE Import Lib");
  EXPECT_EQ(classes_(), 1);
  EXPECT_EQ(version_(), 5);
  ClassDescription* d = describe_(0);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->ClassName(), "XFILE ASCII (*.x)");
  EXPECT_EQ(d->SuperClassID(), 0x1000);
  EXPECT_EQ(d->ClassID(), 0x10F32E1Eu);
  EXPECT_EQ(d->ClassPublicFlag(), 1);
  EXPECT_EQ(describe_(1), nullptr);
  EXPECT_EQ(describe_(-1), nullptr);
}

TEST_F(XFilePlugin, ImportFileReturnsFinishedMeshesAndWritesItsLog) {
  std::string path = dir_.Write("box.x", kBox);
  MeshImporter* importer = CreateImporter(describe_(0));
  ASSERT_NE(importer, nullptr);
  EXPECT_STREQ(importer->FileFilter(),
               "Direct X Ascii File            (*.x)|*.x|All Files (*.*)|*.*||");
  ObjectList* list = importer->ImportFile(path.c_str());
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count(), 1);
  auto* mesh = static_cast<Mesh3d*>(list->get(0));
  EXPECT_STREQ(mesh->name(), "box");
  EXPECT_EQ(mesh->flat_face_count, 2);
  EXPECT_EQ(mesh->flat_vertex_count, 4);
  EXPECT_EQ(mesh->vertices, nullptr) << "the mesh arrives in its flat form";
  EXPECT_STREQ(importer->FileName(), path.c_str());

  // The log lies beside the file, its name having no folder.
  std::string log = ReadAll(dir_.Path("Xfilein.log"));
  std::size_t banner = log.find("Direct X Import Plugin 0.1 ");
  std::size_t options = log.find("Options:\n\t Common\n");
  std::size_t specific = log.find("\t File format specific\n\t path: ");
  std::size_t started = log.find("Parsing " + path + " started ...\n");
  std::size_t recognised = log.find("ASCII Direct X recogniced\n");
  std::size_t statistic = log.find("Statistic:\nObject   : box\nFaces    : 2\nVertices : 4\n");
  std::size_t end_mesh = log.find("End Mesh: box\n");
  std::size_t finished = log.find("Parsing finished\n");
  EXPECT_EQ(banner, 0u) << log;
  EXPECT_LT(banner, options);
  EXPECT_LT(options, specific);
  EXPECT_LT(specific, started);
  EXPECT_LT(started, recognised);
  EXPECT_LT(recognised, end_mesh);
  EXPECT_LT(end_mesh, statistic);
  EXPECT_LT(statistic, finished);
  EXPECT_NE(finished, std::string::npos) << log;
  EXPECT_EQ(log.find("VC++50\n"), log.find('\n') - 6);
  importer->DeleteThis();
}

TEST_F(XFilePlugin, ImportFileKeepsMeshesBeforeSyntaxError) {
  std::string text = std::string(kBox) + "Mesh broken { 3; 0;0;0;, }\n";
  std::string path = dir_.Write("broken.x", text);
  MeshImporter* importer = CreateImporter(describe_(0));
  ObjectList* list = importer->ImportFile(path.c_str());
  ASSERT_EQ(list->count(), 1);
  std::string log = ReadAll(dir_.Path("Xfilein.log"));
  EXPECT_NE(log.find("Syntax error at pos 11 ({)\nParsing finished\n"), std::string::npos) << log;
  importer->DeleteThis();
}

TEST_F(XFilePlugin, MeshWithoutTrianglesIsNotAdded) {
  std::string path = dir_.Write("lines.x",
                                "Mesh lines { 3; 0;0;0;, 1;0;0;, 0;1;0;; 2; 2;0,1;, 1;2;; }\n"
                                "Mesh tri { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n");
  MeshImporter* importer = CreateImporter(describe_(0));
  ObjectList* list = importer->ImportFile(path.c_str());
  ASSERT_EQ(list->count(), 1);
  EXPECT_STREQ(static_cast<Mesh3d*>(list->get(0))->name(), "tri");
  importer->DeleteThis();
}

TEST_F(XFilePlugin, SizeValueScalesImportedMeshes) {
  SettingsWriteDouble("xfile_in", "Common Settings", "size_value", 3.0);
  std::string path = dir_.Write("box.x", kBox);
  MeshImporter* importer = CreateImporter(describe_(0));
  ObjectList* list = importer->ImportFile(path.c_str());
  ASSERT_EQ(list->count(), 1);
  auto* mesh = static_cast<Mesh3d*>(list->get(0));
  EXPECT_DOUBLE_EQ(mesh->bbox_max.x, 6.0);
  importer->DeleteThis();
}

#endif
