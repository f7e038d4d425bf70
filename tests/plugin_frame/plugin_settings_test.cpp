#include <gtest/gtest.h>

#include "frame_test_support.h"
#include "plugin_frame/plugin_settings.h"
#include "settings/settings_store.h"

namespace {

const char kOwner[] = "frame_settings";

class PathSettings : public PluginSettings {
 public:
  PathSettings() : PluginSettings(kOwner, "frameset.log") { LoadSettings(); }
  ~PathSettings() override { SaveSettings(); }
  void LoadSettings() override {
    LoadText("path", path);
    LoadDouble("smooth_angle", smooth_angle);
  }
  void SaveSettings() override {
    SaveText("path", path);
    SaveDouble("smooth_angle", smooth_angle);
  }
  SettingsText path;
  double smooth_angle = 70.0;
};

}  // namespace

TEST(PluginSettings, StartsFromDefaultsWithNothingStored) {
  forget_settings(kOwner);
  PathSettings settings;
  EXPECT_EQ(settings.verbose_mode, 0);
  EXPECT_EQ(settings.swap_mode, 0);
  EXPECT_EQ(settings.unify_mode, 0);
  EXPECT_EQ(settings.ld_mode, 0);
  EXPECT_EQ(settings.size_value, 1.0);
  EXPECT_EQ(settings.logfilename, "frameset.log");
  EXPECT_EQ(settings.owner, kOwner);
  EXPECT_FALSE(settings.path.is_set());
  EXPECT_EQ(settings.smooth_angle, 70.0);
}

TEST(PluginSettings, DestructionSavesBothSectionsAndConstructionLoadsThem) {
  forget_settings(kOwner);
  {
    PathSettings settings;
    settings.SetCommonOptions(1, 2, 1, 2, 2.5, "my.log");
    settings.path.set("/models");
    settings.smooth_angle = 45.0;
  }
  EXPECT_EQ(stored(kOwner, "Common Settings", "size_value"), "2.500000");
  EXPECT_EQ(stored(kOwner, "Common Settings", "swap_mode"), "2");
  EXPECT_EQ(stored(kOwner, "Specific Settings", "path"), "/models");
  PathSettings again;
  EXPECT_EQ(again.verbose_mode, 1);
  EXPECT_EQ(again.swap_mode, 2);
  EXPECT_EQ(again.unify_mode, 1);
  EXPECT_EQ(again.ld_mode, 2);
  EXPECT_EQ(again.size_value, 2.5);
  EXPECT_EQ(again.logfilename, "my.log");
  EXPECT_EQ(again.path.str(), "/models");
  EXPECT_EQ(again.smooth_angle, 45.0);
}

TEST(PluginSettings, UnsetTextIsSavedEmptyAndReadsBackSetAndEmpty) {
  forget_settings(kOwner);
  { PathSettings settings; }
  EXPECT_EQ(stored(kOwner, "Specific Settings", "path"), "");
  PathSettings again;
  EXPECT_TRUE(again.path.is_set());
  EXPECT_EQ(again.path.str(), "");
}

TEST(PluginSettings, SetCommonOptionsCutsModesToSixteenBits) {
  forget_settings(kOwner);
  PathSettings settings;
  settings.SetCommonOptions(0x10001, 0x20003, -1, 0x10000, 0.5, "x.log");
  std::uint16_t verbose, swap, unify, ld;
  double size;
  std::string log;
  settings.GetCommonOptions(&verbose, &swap, &unify, &ld, &size, &log);
  EXPECT_EQ(verbose, 1);
  EXPECT_EQ(swap, 3);
  EXPECT_EQ(unify, 0xFFFF);
  EXPECT_EQ(ld, 0);
  EXPECT_EQ(size, 0.5);
  EXPECT_EQ(log, "x.log");
}

TEST(PluginSettings, LongStoredLogFileNameIsCutTo258Characters) {
  forget_settings(kOwner);
  SettingsWriteString(kOwner, "Common Settings", "logfilename", std::string(400, 'l').c_str());
  PathSettings settings;
  EXPECT_EQ(settings.logfilename.size(), 258u);
}
