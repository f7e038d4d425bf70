#include "settings/log_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/settings/private_store.h"

namespace {

// True when `text` has the shape of `pattern`: "A" an upper-case letter,
// "a" a lower-case one, "#" a digit, "_" a digit or a blank, anything else
// itself.
bool has_shape(const std::string& text, const std::string& pattern) {
  if (text.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool digit = c >= '0' && c <= '9';
    switch (pattern[i]) {
      case 'A':
        if (c < 'A' || c > 'Z') return false;
        break;
      case 'a':
        if (c < 'a' || c > 'z') return false;
        break;
      case '#':
        if (!digit) return false;
        break;
      case '_':
        if (!digit && c != ' ') return false;
        break;
      default:
        if (c != pattern[i]) return false;
    }
  }
  return true;
}

}  // namespace

TEST(LogFile, RunLogOpensOnlyForVerboseModeOne) {
  TempFolder folder;
  for (unsigned mode : {0u, 2u, 3u, 257u}) {
    std::string name = folder.file("mode" + std::to_string(mode) + ".log");
    LogFile log(mode, name.c_str(), "Title");
    EXPECT_FALSE(log.enabled());
    log.LogWrite("text\n");
    EXPECT_FALSE(std::filesystem::exists(name)) << mode;
  }
  std::string name = folder.file("on.log");
  LogFile log(1, name.c_str(), "Title");
  EXPECT_TRUE(log.enabled());
  EXPECT_TRUE(std::filesystem::exists(name));
}

TEST(LogFile, BannerNamesTitleBuildDateTimeAndCompiler) {
  TempFolder folder;
  std::string name = folder.file("Xfilein.log");
  { LogFile log(1, name.c_str(), "Direct X Import Plugin 0.1"); }
  std::string text = read_whole_file(name);
  const std::string title = "Direct X Import Plugin 0.1 ";
  ASSERT_EQ(text.compare(0, title.size(), title), 0) << text;
  EXPECT_TRUE(has_shape(text.substr(title.size()), "Aaa _# #### ##:##:## VC++50\n")) << text;
}

TEST(LogFile, EveryLineIsInTheFileAtOnce) {
  TempFolder folder;
  std::string name = folder.file("run.log");
  LogFile log(name.c_str());
  log.LogWrite("Parsing %s started ...\n", "cube.x");
  EXPECT_EQ(read_whole_file(name), "Parsing cube.x started ...\n");
  log.LogWrite("\t size_value: %lf\n", 2.0);
  EXPECT_EQ(read_whole_file(name), "Parsing cube.x started ...\n\t size_value: 2.000000\n");
}

TEST(LogFile, LongMessageIsCutAt1023Characters) {
  TempFolder folder;
  std::string name = folder.file("long.log");
  std::string message(5000, 'm');
  {
    LogFile log(name.c_str());
    log.LogWrite("%s\n", message.c_str());
    log.LogWrite("next\n");
  }
  EXPECT_EQ(read_whole_file(name), std::string(1023, 'm') + "next\n");
}

TEST(LogFile, PercentInTextIsWrittenUnchanged) {
  TempFolder folder;
  std::string name = folder.file("percent.log");
  {
    LogFile log(name.c_str());
    log.LogWrite("%s\n", "100% %s %d done");
  }
  EXPECT_EQ(read_whole_file(name), "100% %s %d done\n");
}

TEST(LogFile, OpeningTruncatesOldLog) {
  TempFolder folder;
  std::string name = folder.file("old.log");
  write_whole_file(name, "an older run\n");
  { LogFile log(name.c_str()); }
  EXPECT_EQ(read_whole_file(name), "");
}

TEST(LogFile, FileThatCannotBeCreatedLeavesLogDisabled) {
  TempFolder folder;
  std::string name = folder.file("missing/folder/x.log");
  LogFile log(name.c_str());
  EXPECT_FALSE(log.enabled());
  log.LogWrite("nothing %d\n", 1);
  LogFile unnamed;
  EXPECT_FALSE(unnamed.enabled());
  unnamed.LogWrite("nothing\n");
}
