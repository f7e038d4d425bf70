#include <clocale>

#include <gtest/gtest.h>

#include "frame_test_support.h"
#include "plugin_frame/options_dump.h"
#include "settings/log_file.h"
#include "settings/path.h"

namespace {

class DumpSettings : public PluginSettings {
 public:
  DumpSettings() : PluginSettings("frame_dump", "dump.log") {}
};

std::vector<std::string> dump(const OptionsDumpLayout& layout, const FileSlot* files, int count) {
  TempFolder folder;
  forget_settings("frame_dump");
  DumpSettings settings;
  settings.SetCommonOptions(1, 2, 1, 1, 2.5, "dump.log");
  {
    LogFile log(folder.file("dump.log").c_str());
    write_options_dump(log, settings, layout, files, count);
  }
  return split_lines(read_file(folder.file("dump.log")));
}

}  // namespace

TEST(OptionsDump, ImportLayoutWithoutColonsAsTheDirectXReaderWritesIt) {
  SettingsText path, name;
  path.set("/models");
  name.set("/models/cube.x");
  FileSlot slot{&path, &name, "f", nullptr};
  std::vector<std::string> lines = dump({false, false}, &slot, 1);
  std::vector<std::string> expected = {
      "Options:",
      "\t Common",
      "\t current directory: " + current_directory(),
      "\t verbose_mode: 1",
      "\t swap_mode: 2",
      "\t unify_mode: 1",
      "\t size_value: 2.500000",
      "\t Log File: dump.log",
      "\t File format specific",
      "\t path: /models:",
      "\t file_name: /models/cube.x",
  };
  EXPECT_EQ(lines, expected);
}

TEST(OptionsDump, ExportLayoutAddsLineDelimiterColonsAndNumberedSecondFile) {
  SettingsText path, name, path2, name2;
  path.set("/out");
  name.set("/out/a.inc");
  name2.set("/out/a.udo");  // path2 left unset: written empty
  FileSlot slots[2] = {{&path, &name, "f", "inc"}, {&path2, &name2, "f", "udo"}};
  std::vector<std::string> lines = dump({true, true}, slots, 2);
  std::vector<std::string> expected = {
      "Options:",
      "\t Common:",
      "\t current directory: " + current_directory(),
      "\t verbose_mode: 1",
      "\t swap_mode: 2",
      "\t unify_mode: 1",
      "\t LineDelimiter: 1",
      "\t size_value: 2.500000",
      "\t Log File: dump.log",
      "\t File format specific:",
      "\t path: /out:",
      "\t file_name: /out/a.inc",
      "\t ext: inc",
      "\t path2: :",
      "\t file_name2: /out/a.udo",
      "\t ext2: udo",
  };
  EXPECT_EQ(lines, expected);
}

TEST(OptionsDump, SizeValueKeepsTheDecimalPointUnderACommaLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous != nullptr ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
    GTEST_SKIP() << "de_DE.UTF-8 locale not installed";
  std::vector<std::string> lines = dump({true, false}, nullptr, 0);
  std::setlocale(LC_NUMERIC, saved.c_str());
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[6], "\t size_value: 2.500000");
}

TEST(FormatLf, SixDecimalsWithAPoint) {
  char buffer[64];
  EXPECT_STREQ(format_lf(70.0, buffer), "70.000000");
  EXPECT_STREQ(format_lf(-0.125, buffer), "-0.125000");
}
