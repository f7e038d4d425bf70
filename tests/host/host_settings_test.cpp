#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "host/host_settings.h"
#include "host/program_file.h"
#include "plugin_folder.h"
#include "settings/settings_store.h"

namespace {

const char OWNER[] = "MorvaneTest";

// Every test gets an empty store of its own.
class HostSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    had_previous_ = previous != nullptr;
    if (had_previous_) previous_ = previous;
    setenv("XDG_CONFIG_HOME", folder_.Path().c_str(), 1);
  }
  void TearDown() override {
    if (had_previous_)
      setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
  }

  static std::string stored(const char* name, const char* section = "Settings") {
    std::string text;
    if (!SettingsReadText(OWNER, section, name, "", text)) return "<missing>";
    return text;
  }

  static std::vector<std::pair<std::string, std::string>> stored_extensions() {
    std::vector<std::pair<std::string, std::string>> rows;
    unsigned long count = 0;
    SettingsCountValues(OWNER, "Settings\\extension", &count);
    for (unsigned long i = 0; i < count; ++i) {
      char name[1024];
      char data[1024];
      unsigned long name_size = sizeof name;
      unsigned long data_size = sizeof data;
      unsigned type = 0;
      if (SettingsEnumValue(OWNER, "Settings\\extension", i, name, &name_size, &type, data,
                            &data_size))
        rows.emplace_back(name, data);
    }
    return rows;
  }

  static std::vector<std::pair<std::string, std::string>> rows(const ExtensionTable& table) {
    std::vector<std::pair<std::string, std::string>> result;
    for (int row = 0; row < table.Count(); ++row)
      result.emplace_back(table.Extension(row), table.ClassName(row));
    return result;
  }

  PluginFolder folder_;
  bool had_previous_ = false;
  std::string previous_;
};

}  // namespace

TEST_F(HostSettingsTest, FreshStoreGivesDefaultsAndWritesEveryOneAtExit) {
  {
    HostSettings settings(HostProgram::Converter, OWNER, "/opt/morvane/plugin/");
    EXPECT_EQ(settings.ProgramKey(), OWNER);
    EXPECT_EQ(settings.PluginPath(), "/opt/morvane/plugin/");
    EXPECT_EQ(settings.ClearFlag(), 1);
    EXPECT_EQ(settings.CheckNameMode(), 2);
    EXPECT_EQ(settings.LastImportClass(), "");
    EXPECT_EQ(settings.LastExportClass(), "");
    EXPECT_EQ(rows(settings.Extensions()), rows(DefaultExtensionTable(HostProgram::Converter)));
    // Nothing reaches the store before shut-down.
    EXPECT_EQ(stored("plugin_path"), "<missing>");
  }
  EXPECT_EQ(stored("plugin_path"), "/opt/morvane/plugin/");
  EXPECT_EQ(stored("clear_flag"), "1");
  EXPECT_EQ(stored("check_name_mode"), "2");
  EXPECT_EQ(stored("last_import_class"), "");
  EXPECT_EQ(stored("last_export_class"), "");
  EXPECT_EQ(stored("Build"), "216");
  // The converter has no views.
  EXPECT_EQ(stored("vo_user"), "<missing>");
  EXPECT_EQ(stored_extensions(), rows(DefaultExtensionTable(HostProgram::Converter)));
}

TEST_F(HostSettingsTest, ViewerWritesItsBuildAndTenViewValues) {
  {
    HostSettings settings(HostProgram::Viewer, OWNER, "/p/");
    const ViewValues& views = settings.Views();
    EXPECT_EQ(views.view_title, 1);
    EXPECT_EQ(views.vo_top, 1);
    EXPECT_EQ(views.vo_top_fast, 0);
    EXPECT_EQ(views.vo_side, 1);
    EXPECT_EQ(views.vo_side_fast, 0);
    EXPECT_EQ(views.vo_front, 1);
    EXPECT_EQ(views.vo_front_fast, 0);
    EXPECT_EQ(views.vo_user, 3);
    EXPECT_EQ(views.vo_user_fast, 1);
    EXPECT_EQ(views.model_colours, 0) << "palette colours unless asked for";
    EXPECT_STREQ(settings.Extensions().ClassName(4), "Lightwave (*.lwo, *.lws)");
  }
  EXPECT_EQ(stored("Build"), "1049");
  const char* names[] = {"view_title",   "vo_top",       "vo_top_fast",   "vo_side",
                         "vo_side_fast", "vo_front",     "vo_front_fast", "vo_user",
                         "vo_user_fast", "model_colours"};
  const char* values[] = {"1", "1", "0", "1", "0", "1", "0", "3", "1", "0"};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(stored(names[i]), values[i]) << names[i];
  EXPECT_EQ(stored_extensions(), rows(DefaultExtensionTable(HostProgram::Viewer)));
}

TEST_F(HostSettingsTest, ChangedValuesRoundTripThroughTheStore) {
  std::string long_path = "/" + std::string(400, 'p') + "/plugin/";
  {
    HostSettings settings(HostProgram::Viewer, OWNER, "/default/");
    settings.SetPluginPath(long_path);
    settings.SetClearFlag(0);
    settings.SetCheckNameMode(1);
    settings.SetLastImportClass("XFILE ASCII (*.x)");
    settings.SetLastExportClass("POV-Ray3 Moray (*.inc, *.udo)");
    settings.Views().view_title = 0;
    settings.Views().vo_front_fast = 5;
    settings.Views().vo_user = 6;
    settings.Views().model_colours = 1;
    settings.Extensions().Clear();
    settings.Extensions().Append(".mdl", "Model \"quoted\" = text");
  }
  HostSettings settings(HostProgram::Viewer, OWNER, "/default/");
  EXPECT_EQ(settings.PluginPath(), long_path);
  EXPECT_EQ(settings.ClearFlag(), 0);
  EXPECT_EQ(settings.CheckNameMode(), 1);
  EXPECT_EQ(settings.LastImportClass(), "XFILE ASCII (*.x)");
  EXPECT_EQ(settings.LastExportClass(), "POV-Ray3 Moray (*.inc, *.udo)");
  EXPECT_EQ(settings.Views().view_title, 0);
  EXPECT_EQ(settings.Views().vo_front_fast, 5);
  EXPECT_EQ(settings.Views().vo_user, 6);
  EXPECT_EQ(settings.Views().model_colours, 1);
  EXPECT_EQ(settings.Views().vo_top, 1);
  ASSERT_EQ(settings.Extensions().Count(), 1 + ExchangeFormatRows().Count());
  EXPECT_STREQ(settings.Extensions().Extension(0), ".mdl");
  EXPECT_STREQ(settings.Extensions().ClassName(0), "Model \"quoted\" = text");
}

TEST_F(HostSettingsTest, StoredTableKeepsItsRowsAndGainsOnlyMissingExchangeFormats) {
  SettingsWriteString(OWNER, "Settings\\extension", ".x", "XFILE ASCII (*.x)");
  SettingsWriteString(OWNER, "Settings\\extension", ".3ds", "My 3DS (*.3ds)");
  SettingsWriteString(OWNER, "Settings\\extension", ".STL", "My STL (*.stl)");
  std::vector<std::pair<std::string, std::string>> expected = {
      {".x", "XFILE ASCII (*.x)"}, {".3ds", "My 3DS (*.3ds)"}, {".STL", "My STL (*.stl)"}};
  // Every exchange-format row but ".stl", which the user's own row already covers.
  for (const auto& row : rows(ExchangeFormatRows()))
    if (row.first != ".stl") expected.push_back(row);
  {
    HostSettings settings(HostProgram::Converter, OWNER, "/p/");
    EXPECT_EQ(rows(settings.Extensions()), expected);
    // Rows of the default table that the user's table lacks stay away.
    EXPECT_STREQ(settings.Extensions().FindClassName(".dat"), nullptr);
  }
  EXPECT_EQ(stored_extensions(), expected);
}

TEST_F(HostSettingsTest, LongExtensionRowsReadWhole) {
  std::string long_name = "." + std::string(1500, 'e');
  std::string long_class = std::string(3000, 'c');
  SettingsWriteString(OWNER, "Settings\\extension", long_name.c_str(), long_class.c_str());
  HostSettings settings(HostProgram::Converter, OWNER, "/p/");
  ASSERT_EQ(settings.Extensions().Count(), 1 + ExchangeFormatRows().Count());
  EXPECT_EQ(settings.Extensions().Extension(0), long_name);
  EXPECT_EQ(settings.Extensions().ClassName(0), long_class);
}

TEST_F(HostSettingsTest, ModesOutsideTheirRangeKeepTheDefault) {
  SettingsWriteString(OWNER, "Settings", "clear_flag", "7");
  SettingsWriteString(OWNER, "Settings", "check_name_mode", "-1");
  SettingsWriteString(OWNER, "Settings", "vo_user", "99");
  SettingsWriteString(OWNER, "Settings", "vo_top", "  4");
  SettingsWriteString(OWNER, "Settings", "view_title", "zero");
  HostSettings settings(HostProgram::Viewer, OWNER, "/p/");
  EXPECT_EQ(settings.ClearFlag(), 1);
  EXPECT_EQ(settings.CheckNameMode(), 2);
  EXPECT_EQ(settings.Views().vo_user, 3);
  EXPECT_EQ(settings.Views().vo_top, 4);
  // Letters read as 0, which is a valid title setting.
  EXPECT_EQ(settings.Views().view_title, 0);
}

TEST_F(HostSettingsTest, NullLastClassLeavesTheStoredOne) {
  HostSettings settings(HostProgram::Converter, OWNER, "/p/");
  settings.SetLastImportClass("LDraw (*.dat)");
  settings.SetLastImportClass(nullptr);
  settings.SetLastExportClass(nullptr);
  EXPECT_EQ(settings.LastImportClass(), "LDraw (*.dat)");
  EXPECT_EQ(settings.LastExportClass(), "");
}

TEST_F(HostSettingsTest, ProgramFileGivesOwnerAndPluginFolder) {
  std::string program = ProgramFilePath();
  ASSERT_FALSE(program.empty());
  std::string owner = ProgramBaseName(program);
  EXPECT_EQ(owner, "test_host");
  {
    HostSettings settings(HostProgram::Converter);
    EXPECT_EQ(settings.ProgramKey(), owner);
    EXPECT_EQ(settings.PluginPath(),
              std::filesystem::path(program).parent_path().string() + "/plugin/");
  }
  std::string text;
  EXPECT_TRUE(SettingsReadText(owner.c_str(), "Settings", "Build", "", text));
  EXPECT_EQ(text, "216");
}

TEST(ProgramFile, BaseNameDropsFolderAndLastExtension) {
  EXPECT_EQ(ProgramBaseName("/usr/lib/morvane/Morvane"), "Morvane");
  EXPECT_EQ(ProgramBaseName("/opt/x.y/MorvaneOGL.bin"), "MorvaneOGL");
  EXPECT_EQ(ProgramBaseName("Morvane"), "Morvane");
  EXPECT_EQ(ProgramBaseName("/a/.hidden"), ".hidden");
}

TEST(ProgramFile, DefaultPluginPathIsTheProgramFolderPlusPlugin) {
  EXPECT_EQ(DefaultPluginPath("/usr/lib/morvane/Morvane"), "/usr/lib/morvane/plugin/");
  EXPECT_EQ(DefaultPluginPath("/Morvane"), "/plugin/");
  EXPECT_EQ(DefaultPluginPath("Morvane"), "plugin/");
}
