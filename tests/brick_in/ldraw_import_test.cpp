// The brick_in library as the host sees it, and the options of its class.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "plugin_api/plugin_api.h"
#include "plugins/brick_in/ldraw_import.h"
#include "plugins/brick_in/ldraw_settings.h"
#include "plugins/brick_in/part_search.h"
#include "tests/brick_in/ldraw_lines.h"
#include "tests/brick_in/scoped_env.h"

TEST(BrickInLibrary, ExportsOneLDrawImportClass) {
  std::string path = std::string(MORVANE_BINARY_DIR) + "/bin/plugin/brick_in.so";
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto name = reinterpret_cast<LibNameFunction>(dlsym(library, "LibName"));
  auto number = reinterpret_cast<LibNumberClassesFunction>(dlsym(library, "LibNumberClasses"));
  auto describe =
      reinterpret_cast<LibClassDescriptionFunction>(dlsym(library, "LibClassDescription"));
  auto version = reinterpret_cast<LibVersionFunction>(dlsym(library, "LibVersion"));
  ASSERT_TRUE(name && number && describe && version);
  EXPECT_STREQ(name(), "LDraw (Lego) Import Lib");
  EXPECT_EQ(number(), 1);
  EXPECT_EQ(version(), 5);
  EXPECT_EQ(describe(1), nullptr);
  EXPECT_EQ(describe(-1), nullptr);
  ClassDescription* d = describe(0);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->ClassName(), "LDraw (*.dat)");
  EXPECT_EQ(d->SuperClassID(), 0x1000);
  EXPECT_EQ(d->ClassID(), 0xA24DF9u);
  EXPECT_EQ(d->ClassPublicFlag(), 1);
  MeshImporter* importer = CreateImporter(d);
  ASSERT_NE(importer, nullptr);
  EXPECT_STREQ(importer->FileFilter(),
               "LDraw DAT File            (*.dat)|*.dat|All Files (*.*)|*.*||");
  importer->DeleteThis();
  // Only the four library functions are visible.
  EXPECT_EQ(dlsym(library, "read_ldraw_scene"), nullptr);
  dlclose(library);
}

TEST(LDrawSettings, DefaultsAndSearchPathSurviveTheStore) {
  TempFolder store;  // a store of its own: other tests leave values behind
  ScopedEnv xdg("XDG_CONFIG_HOME", store.path().c_str());
  {
    LDrawSettings fresh;
    EXPECT_EQ(fresh.owner, "brick_in");
    EXPECT_EQ(fresh.logfilename, "brickin.log");
    EXPECT_EQ(fresh.search_path, default_search_path());
    EXPECT_FALSE(fresh.path.is_set());
    fresh.search_path = "/x/parts;/x/p;";
    fresh.file_name.set("/x/models/m.dat");
  }
  LDrawSettings again;
  EXPECT_EQ(again.search_path, "/x/parts;/x/p;");
  EXPECT_STREQ(again.file_name.c_str(), "/x/models/m.dat");
}
