// A store marked as scratch (MORVANE_SETTINGS_SCRATCH=1, the batch converter's private copy)
// skips only the disk flush: values are written whole and read back as from any store.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "settings/settings_store.h"

namespace {

TEST(ScratchStore, ValuesAreWrittenAndReadBackAsInADurableStore) {
  char pattern[] = "/tmp/scratch_store.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const char* old_home = getenv("XDG_CONFIG_HOME");
  std::string saved = old_home ? old_home : "";
  setenv("XDG_CONFIG_HOME", pattern, 1);
  setenv("MORVANE_SETTINGS_SCRATCH", "1", 1);
  EXPECT_EQ(SettingsWriteInt("scratch_owner", "Common Settings", "unify_mode", 1), 1);
  EXPECT_EQ(SettingsWriteInt("scratch_owner", "Common Settings", "ld_mode", 2), 1);
  unsetenv("MORVANE_SETTINGS_SCRATCH");
  int value = 0;
  EXPECT_EQ(SettingsReadInt("scratch_owner", "Common Settings", "unify_mode", 0, &value), 1);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(SettingsReadInt("scratch_owner", "Common Settings", "ld_mode", 0, &value), 1);
  EXPECT_EQ(value, 2);
  if (old_home)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  std::system((std::string("rm -rf '") + pattern + "'").c_str());
}

}  // namespace
