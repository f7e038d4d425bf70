#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/plugin_manager.h"
#include "plugin_api/plugin_api.h"
#include "plugin_folder.h"

namespace {

bool is_loaded(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  dlclose(handle);
  return true;
}

std::vector<std::string> class_names(const PluginManager& manager) {
  std::vector<std::string> names;
  for (int i = 0; i < manager.ClassCount(); ++i) names.push_back(manager.ClassAt(i)->ClassName());
  return names;
}

}  // namespace

TEST(PluginLibrary, GoodLibraryResolvesAllExports) {
  PluginFolder folder;
  std::string path = folder.Add("tp_good", "good.so");
  PluginLibrary library(path);
  EXPECT_EQ(library.Status(), PLUGIN_LIBRARY_COMPLETE);
  EXPECT_EQ(library.Path(), path);
  EXPECT_STREQ(library.Name(), "Test Import Lib");
  EXPECT_EQ(library.ClassCount(), 1);
  EXPECT_EQ(library.Version(), PLUGIN_INTERFACE_VERSION);
  ASSERT_NE(library.ClassDescriptionAt(0), nullptr);
  EXPECT_EQ(library.ClassDescriptionAt(0)->ClassID(), 0x7E570001u);
  EXPECT_EQ(library.ClassDescriptionAt(1), nullptr);
  EXPECT_EQ(library.ClassDescriptionAt(-1), nullptr);
}

TEST(PluginLibrary, MissingExportIsStatusTwoAndStaysLoadedUntilDestroyed) {
  PluginFolder folder;
  std::string path = folder.Add("tp_no_version", "noversion.so");
  {
    PluginLibrary library(path);
    EXPECT_EQ(library.Status(), PLUGIN_LIBRARY_MISSING_EXPORT);
    EXPECT_TRUE(library.IsLoaded());
    EXPECT_TRUE(is_loaded(path));
    // No export is called on an incomplete library.
    EXPECT_EQ(library.Name(), nullptr);
    EXPECT_EQ(library.ClassCount(), 0);
    EXPECT_EQ(library.ClassDescriptionAt(0), nullptr);
  }
  EXPECT_FALSE(is_loaded(path));
}

TEST(PluginLibrary, UnloadableFileIsStatusOne) {
  PluginFolder folder;
  PluginLibrary text_file(folder.AddText("text.so", "not a library\n"));
  EXPECT_EQ(text_file.Status(), PLUGIN_LIBRARY_NOT_LOADED);
  EXPECT_FALSE(text_file.IsLoaded());
  PluginLibrary missing(folder.Path() + "missing.so");
  EXPECT_EQ(missing.Status(), PLUGIN_LIBRARY_NOT_LOADED);
}

TEST(PluginLibrary, UnloadSetsStatusAndStopsCalls) {
  PluginFolder folder;
  std::string path = folder.Add("tp_good", "good.so");
  PluginLibrary library(path);
  library.Unload();
  EXPECT_EQ(library.Status(), PLUGIN_LIBRARY_COMPLETE);
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_FALSE(is_loaded(path));
  EXPECT_EQ(library.Name(), nullptr);
  EXPECT_EQ(library.ClassDescriptionAt(0), nullptr);
}

TEST(PluginManager, NewManagerHasNothing) {
  PluginManager manager;
  EXPECT_EQ(manager.ClassCount(), 0);
  EXPECT_EQ(manager.LibraryCount(), 0);
  EXPECT_EQ(manager.ClassAt(0), nullptr);
  EXPECT_EQ(manager.LibraryAt(0), nullptr);
}

TEST(PluginManager, GoodLibraryRegistersItsClass) {
  PluginFolder folder;
  std::string path = folder.Add("tp_good", "good.so");
  PluginManager manager;
  EXPECT_EQ(manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION), 0);
  ASSERT_EQ(manager.LibraryCount(), 1);
  EXPECT_EQ(manager.LibraryAt(0)->Path(), path);
  ASSERT_EQ(manager.ClassCount(), 1);
  EXPECT_STREQ(manager.ClassAt(0)->ClassName(), "Test Import (*.tst)");
  EXPECT_EQ(manager.ClassAt(1), nullptr);
  EXPECT_EQ(manager.ClassAt(-1), nullptr);
}

TEST(PluginManager, ClassesRegisterInBytewiseFileOrderThenIndexOrder) {
  PluginFolder folder;
  // Bytewise, "B" sorts before "a"; a language-aware order would put "a" first.
  folder.Add("tp_good", "a_good.so");
  folder.Add("tp_two_classes", "B_two.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  ASSERT_EQ(manager.LibraryCount(), 2);
  EXPECT_EQ(manager.LibraryAt(0)->Path(), folder.Path() + "B_two.so");
  EXPECT_EQ(manager.LibraryAt(1)->Path(), folder.Path() + "a_good.so");
  EXPECT_EQ(class_names(manager),
            (std::vector<std::string>{"Two Import (*.two)", "Two Export (*.two)",
                                      "Test Import (*.tst)"}));
}

TEST(PluginManager, RefusesMissingExportZeroClassesAndOtherVersions) {
  PluginFolder folder;
  std::string no_version = folder.Add("tp_no_version", "a_noversion.so");
  std::string zero = folder.Add("tp_zero_classes", "b_zero.so");
  std::string old_version = folder.Add("tp_version4", "c_version4.so");
  std::string new_version = folder.Add("tp_version6", "d_version6.so");
  folder.Add("tp_good", "e_good.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  ASSERT_EQ(manager.LibraryCount(), 1);
  EXPECT_EQ(manager.LibraryAt(0)->Path(), folder.Path() + "e_good.so");
  EXPECT_EQ(manager.ClassCount(), 1);
  // Refused libraries are unloaded at once, not at the manager's end.
  EXPECT_FALSE(is_loaded(no_version));
  EXPECT_FALSE(is_loaded(zero));
  EXPECT_FALSE(is_loaded(old_version));
  EXPECT_FALSE(is_loaded(new_version));
}

TEST(PluginManager, RequiredVersionDecidesAcceptance) {
  PluginFolder folder;
  folder.Add("tp_good", "good.so");
  folder.Add("tp_version6", "version6.so");
  PluginManager manager;
  manager.Scan(folder.Path(), 6);
  ASSERT_EQ(manager.LibraryCount(), 1);
  EXPECT_EQ(manager.LibraryAt(0)->Path(), folder.Path() + "version6.so");
}

TEST(PluginManager, FirstClassIdWinsAndDuplicateLibraryStaysLoaded) {
  PluginFolder folder;
  std::string first = folder.Add("tp_good", "first.so");
  std::string second = folder.Add("tp_good", "second.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  ASSERT_EQ(manager.LibraryCount(), 2);
  ASSERT_EQ(manager.ClassCount(), 1);
  EXPECT_EQ(manager.ClassAt(0), manager.LibraryAt(0)->ClassDescriptionAt(0));
  EXPECT_NE(manager.ClassAt(0), manager.LibraryAt(1)->ClassDescriptionAt(0));
  EXPECT_TRUE(is_loaded(first));
  EXPECT_TRUE(is_loaded(second));
}

TEST(PluginManager, FileThatIsNoLibraryLeavesNoTrace) {
  PluginFolder folder;
  folder.AddText("bad.so",
                 "\x7f"
                 "ELF but not really\n");
  folder.Add("tp_good", "good.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  ASSERT_EQ(manager.LibraryCount(), 1);
  EXPECT_EQ(manager.LibraryAt(0)->Path(), folder.Path() + "good.so");
  EXPECT_EQ(manager.ClassCount(), 1);
}

TEST(PluginManager, PathWithoutSlashIsANamePrefixInTheParentFolder) {
  PluginFolder folder;
  // Inside the folder "plug": never looked at, because "plug" is taken as a name prefix.
  folder.Add("tp_two_classes", "plug/inside.so");
  // Matches "plug*.so" in the parent, but is loaded as "<parent>/plug" + "plugA.so",
  // a file that does not exist.
  folder.Add("tp_good", "plugA.so");
  // Matches too and is loaded as "<parent>/plugplugB.so", which this copy provides.
  folder.Add("tp_good", "plugB.so");
  std::string loaded = folder.Add("tp_good", "plugplugB.so");
  folder.Add("tp_two_classes", "other.so");

  PluginManager manager;
  manager.Scan(folder.Path() + "plug", PLUGIN_INTERFACE_VERSION);
  ASSERT_EQ(manager.LibraryCount(), 1);
  EXPECT_EQ(manager.LibraryAt(0)->Path(), loaded);
  EXPECT_EQ(class_names(manager), (std::vector<std::string>{"Test Import (*.tst)"}));
}

TEST(PluginManager, MissingFolderYieldsNothing) {
  PluginFolder folder;
  PluginManager manager;
  EXPECT_EQ(manager.Scan(folder.Path() + "no-such-folder/", PLUGIN_INTERFACE_VERSION), 0);
  EXPECT_EQ(manager.LibraryCount(), 0);
  EXPECT_EQ(manager.ClassCount(), 0);
}

TEST(PluginManager, DestructionUnloadsEveryLibrary) {
  PluginFolder folder;
  std::string good = folder.Add("tp_good", "good.so");
  std::string two = folder.Add("tp_two_classes", "two.so");
  {
    PluginManager manager;
    manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
    ASSERT_EQ(manager.LibraryCount(), 2);
    EXPECT_TRUE(is_loaded(good));
    EXPECT_TRUE(is_loaded(two));
  }
  EXPECT_FALSE(is_loaded(good));
  EXPECT_FALSE(is_loaded(two));
}

TEST(PluginManager, MissingClassDescriptionIsSkipped) {
  PluginFolder folder;
  folder.Add("tp_null_description", "gap.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  ASSERT_EQ(manager.LibraryCount(), 1);
  EXPECT_EQ(class_names(manager), (std::vector<std::string>{"Gap Import (*.gap)"}));
}

TEST(PluginManager, OtherKindIsRegistered) {
  PluginFolder folder;
  folder.Add("tp_other_kind", "other.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  ASSERT_EQ(manager.ClassCount(), 1);
  EXPECT_EQ(manager.ClassAt(0)->SuperClassID(), 0x2000);
  EXPECT_EQ(CreateImporter(manager.ClassAt(0)), nullptr);
  EXPECT_EQ(CreateExporter(manager.ClassAt(0)), nullptr);
}

TEST(PluginManager, RegisteredClassesCreateWorkingObjects) {
  PluginFolder folder;
  folder.Add("tp_two_classes", "two.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  ASSERT_EQ(manager.ClassCount(), 2);
  ClassDescription* import_class = manager.ClassAt(0);
  ClassDescription* export_class = manager.ClassAt(1);
  EXPECT_EQ(CreateImporter(export_class), nullptr);
  EXPECT_EQ(CreateExporter(import_class), nullptr);

  MeshImporter* importer = CreateImporter(import_class);
  ASSERT_NE(importer, nullptr);
  EXPECT_EQ(importer->ImportFile("/models/cube.two"), nullptr);
  EXPECT_STREQ(importer->FileName(), "/models/cube.two");
  importer->DeleteThis();

  MeshExporter* exporter = CreateExporter(export_class);
  ASSERT_NE(exporter, nullptr);
  exporter->Export(nullptr, EXPORT_ASK, nullptr);
  exporter->DeleteThis();
}

TEST(PluginScan, ListsOnlyRegularFilesEndingInSoInBytewiseOrder) {
  PluginFolder folder;
  folder.AddText("b.so", "");
  folder.AddText("A.so", "");
  folder.AddText("a.so", "");
  folder.AddText("c.so.1", "");
  folder.AddText("d.SO", "");
  folder.AddText(".hidden.so", "");
  folder.AddText("folder.so/inner.so", "");
  std::string fifo = folder.Path() + "pipe.so";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ListMatchingFiles(folder.Path(), ".so"),
            (std::vector<std::string>{"A.so", "a.so", "b.so"}));
}

TEST(PluginScan, NameOnlyPatternSearchesTheCurrentFolder) {
  PluginFolder folder;
  folder.Add("tp_good", "here.so");
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(folder.Path().c_str()), 0);
  std::vector<std::string> names = ListMatchingFiles("", ".so");
  // A bare file name must load from the current folder, not from the system's library path.
  int library_count = 0;
  {
    PluginManager manager;
    manager.Scan("", PLUGIN_INTERFACE_VERSION);
    library_count = manager.LibraryCount();
  }
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(names, (std::vector<std::string>{"here.so"}));
  EXPECT_EQ(library_count, 1);
}
