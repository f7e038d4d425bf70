#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <clocale>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/settings/private_store.h"

namespace {

std::string read_text(const char* owner, const char* section, const char* name,
                      const std::string& fallback = "<default>") {
  std::string value;
  SettingsReadText(owner, section, name, fallback, value);
  return value;
}

// Names of the section's values in enumeration order.
std::vector<std::string> value_names(const char* owner, const char* section) {
  unsigned long count = 0;
  EXPECT_EQ(SettingsCountValues(owner, section, &count), 1);
  std::vector<std::string> names;
  for (unsigned long i = 0; i < count; ++i) {
    char name[1024], data[1024];
    unsigned long name_size = sizeof name, data_size = sizeof data;
    unsigned type = 0;
    EXPECT_EQ(SettingsEnumValue(owner, section, i, name, &name_size, &type, data, &data_size), 1);
    EXPECT_EQ(type, SETTINGS_TYPE_TEXT);
    names.push_back(name);
  }
  return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(SettingsStore, FreshStoreReadsDefaultsAndLeavesSectionsBehind) {
  PrivateStore store;
  int number = 0;
  double real = 0;
  char text[259] = "";
  EXPECT_EQ(SettingsReadInt("xfile_in", "Common Settings", "verbose_mode", 7, &number), 1);
  EXPECT_EQ(SettingsReadDouble("xfile_in", "Common Settings", "size_value", 1.0, &real), 1);
  EXPECT_EQ(SettingsReadString("xfile_in", "Specific Settings", "path", "C:\\", text, sizeof text),
            1);
  EXPECT_EQ(number, 7);
  EXPECT_EQ(real, 1.0);
  EXPECT_STREQ(text, "C:\\");
  EXPECT_EQ(read_whole_file(store.owner_file("xfile_in")),
            "[Common Settings]\n\n[Specific Settings]\n");
  EXPECT_EQ(value_names("xfile_in", "Common Settings"), Names{});
}

TEST(SettingsStore, ReadOfNestedSectionCreatesEveryLevel) {
  PrivateStore store;
  unsigned long count = 99;
  EXPECT_EQ(SettingsCountValues("Morvane", "Settings\\extension", &count), 1);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(read_whole_file(store.owner_file("Morvane")), "[Settings]\n[Settings\\extension]\n");
}

TEST(SettingsStore, MissingValueWithoutDefaultLeavesDestinationAlone) {
  PrivateStore store;
  char text[16] = "untouched";
  EXPECT_EQ(SettingsReadString("owner", "S", "none", nullptr, text, sizeof text), 1);
  EXPECT_STREQ(text, "untouched");
  char small[5];
  SettingsReadString("owner", "S", "none", "long default", small, sizeof small);
  EXPECT_STREQ(small, "long");
}

TEST(SettingsStore, NumbersAreStoredAsText) {
  PrivateStore store;
  EXPECT_EQ(SettingsWriteInt("o", "S", "minus", -1), 1);
  EXPECT_EQ(SettingsWriteDouble("o", "S", "one", 1.0), 1);
  EXPECT_EQ(SettingsWriteDouble("o", "S", "third", 1.0 / 3.0), 1);
  EXPECT_EQ(read_text("o", "S", "minus"), "-1");
  EXPECT_EQ(read_text("o", "S", "one"), "1.000000");
  EXPECT_EQ(read_text("o", "S", "third"), "0.333333");
  EXPECT_EQ(read_whole_file(store.owner_file("o")),
            "[S]\n\"minus\"=\"-1\"\n\"one\"=\"1.000000\"\n\"third\"=\"0.333333\"\n");
}

TEST(SettingsStore, MissingDoubleReadsDefaultRoundedToSixDecimals) {
  PrivateStore store;
  double real = 0;
  SettingsReadDouble("o", "S", "d", 0.1234567, &real);
  EXPECT_EQ(real, 0.123457);
}

TEST(SettingsStore, TextReadsAsNumberByItsLeadingPart) {
  PrivateStore store;
  struct Case {
    const char* stored;
    int number;
    double real;
  };
  for (const Case& c : {Case{"  42", 42, 42.0}, Case{"letters", 0, 0.0}, Case{"12abc", 12, 12.0},
                        Case{"\t-7.75 m", -7, -7.75}, Case{"+3e2x", 3, 300.0}, Case{"", 0, 0.0},
                        Case{"nan", 0, 0.0}, Case{"inf", 0, 0.0}, Case{"0x10", 0, 0.0},
                        Case{".5", 0, 0.5}, Case{"99999999999", INT_MAX, 99999999999.0},
                        Case{"-99999999999", INT_MIN, -99999999999.0}}) {
    SettingsWriteString("o", "S", "v", c.stored);
    int number = 12345;
    double real = 12345;
    SettingsReadInt("o", "S", "v", 5, &number);
    SettingsReadDouble("o", "S", "v", 5.0, &real);
    EXPECT_EQ(number, c.number) << '"' << c.stored << '"';
    EXPECT_EQ(real, c.real) << '"' << c.stored << '"';
  }
}

TEST(SettingsStore, NumbersUseDecimalPointUnderCommaLocale) {
  PrivateStore store;
  std::string saved = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
  SettingsWriteDouble("o", "S", "size_value", 2.5);
  SettingsWriteString("o", "S", "typed", "0.75");
  double written = 0, typed = 0, fallback = 0;
  SettingsReadDouble("o", "S", "size_value", 0.0, &written);
  SettingsReadDouble("o", "S", "typed", 0.0, &typed);
  SettingsReadDouble("o", "S", "missing", 1.25, &fallback);
  std::string stored = read_text("o", "S", "size_value");
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(stored, "2.500000");
  EXPECT_EQ(written, 2.5);
  EXPECT_EQ(typed, 0.75);
  EXPECT_EQ(fallback, 1.25);
}

TEST(SettingsStore, EnumerationFollowsFileOrderAndRewriteKeepsPlace) {
  PrivateStore store;
  SettingsWriteString("o", "S", "c", "1");
  SettingsWriteString("o", "S", "a", "2");
  SettingsWriteString("o", "Other", "z", "x");
  SettingsWriteString("o", "S", "b", "3");
  SettingsWriteString("o", "S", "a", "changed");
  EXPECT_EQ(value_names("o", "S"), (Names{"c", "a", "b"}));
  EXPECT_EQ(read_text("o", "S", "a"), "changed");
  EXPECT_EQ(read_whole_file(store.owner_file("o")),
            "[S]\n\"c\"=\"1\"\n\"a\"=\"changed\"\n\"b\"=\"3\"\n\n[Other]\n\"z\"=\"x\"\n");
}

TEST(SettingsStore, EnumerationStopsPastLastValueAndOnSmallBuffers) {
  PrivateStore store;
  SettingsWriteString("o", "S", "name", "value text");
  char name[16], data[16];
  unsigned long name_size = sizeof name, data_size = sizeof data;
  unsigned type = 0;
  EXPECT_EQ(SettingsEnumValue("o", "S", 1, name, &name_size, &type, data, &data_size), 0);
  ASSERT_EQ(SettingsEnumValue("o", "S", 0, name, &name_size, &type, data, &data_size), 1);
  EXPECT_STREQ(name, "name");
  EXPECT_EQ(name_size, 4u);
  EXPECT_STREQ(data, "value text");
  EXPECT_EQ(data_size, 11u);
  data_size = 5;
  EXPECT_EQ(SettingsEnumValue("o", "S", 0, name, &name_size, &type, data, &data_size), 0);
  EXPECT_EQ(data_size, 11u);
}

TEST(SettingsStore, ValuesOfAnyLengthReadBackWhole) {
  PrivateStore store;
  std::string path;
  for (int i = 0; i < 120; ++i) path += "/usr/share/ldraw/p" + std::to_string(i) + ";";
  path += " \"quoted\" back\\slash\ttab\nnew line\rcr \xc3\xa4";
  ASSERT_GT(path.size(), 2048u);
  ASSERT_EQ(SettingsWriteString("brick_in", "Specific Settings", "search_path", path.c_str()), 1);
  EXPECT_EQ(read_text("brick_in", "Specific Settings", "search_path"), path);

  char data[4096], name[64];
  unsigned long data_size = sizeof data, name_size = sizeof name;
  unsigned type;
  ASSERT_EQ(SettingsEnumValue("brick_in", "Specific Settings", 0, name, &name_size, &type, data,
                              &data_size),
            1);
  EXPECT_EQ(std::string(data), path);

  // A fixed buffer gets as much as fits, never a broken character.
  std::string umlauts(300, 'x');
  umlauts += "\xc3\xa4\xc3\xa4";
  SettingsWriteString("o", "S", "u", umlauts.c_str());
  char cut[302];
  SettingsReadString("o", "S", "u", "", cut, sizeof cut);
  EXPECT_EQ(std::string(cut), std::string(300, 'x'));
}

TEST(SettingsStore, NestedSectionsAreSeparateKeys) {
  PrivateStore store;
  SettingsWriteString("Morvane", "Settings", "plugin_path", "/opt/plugin/");
  SettingsWriteString("Morvane", "Settings\\extension", ".x", "XFILE ASCII (*.x)");
  EXPECT_EQ(value_names("Morvane", "Settings"), Names{"plugin_path"});
  EXPECT_EQ(value_names("Morvane", "Settings\\extension"), Names{".x"});
  EXPECT_EQ(read_text("Morvane", "Settings", ".x"), "<default>");
  EXPECT_EQ(read_whole_file(store.owner_file("Morvane")),
            "[Settings]\n\"plugin_path\"=\"/opt/plugin/\"\n\n[Settings\\extension]\n"
            "\".x\"=\"XFILE ASCII (*.x)\"\n");
}

TEST(SettingsStore, SectionAndValueNamesIgnoreAsciiCase) {
  PrivateStore store;
  SettingsWriteString("o", "Common Settings", "Verbose_Mode", "1");
  EXPECT_EQ(read_text("o", "common settings", "verbose_mode"), "1");
  SettingsWriteString("o", "COMMON SETTINGS", "VERBOSE_MODE", "0");
  EXPECT_EQ(value_names("o", "Common Settings"), Names{"Verbose_Mode"});
  EXPECT_EQ(read_text("o", "Common Settings", "verbose_mode"), "0");
}

TEST(SettingsStore, DamagedFileReadsAndItsLinesSurviveNextWrite) {
  PrivateStore store;
  const std::string damaged =
      "\"orphan\"=\"before any section\"\n"
      "; a comment\n"
      "[S]\n"
      "\"good\"=\"1\"\n"
      "\"unterminated=\"2\n"
      "\"bad escape\"=\"\\q\"\n"
      "garbage {{{ \xff\xfe\n"
      "  \"spaced\" = \"3\"  \r\n"
      "[broken header\n"
      "\"x\"=\"y\" trailing\n"
      "[S]\n"
      "\"good\"=\"shadowed\"\n"
      "\"late\"=\"4\"\n"
      "[]\n"
      "last line without end";
  write_whole_file(store.owner_file("o"), damaged);

  EXPECT_EQ(read_text("o", "S", "good"), "1");
  EXPECT_EQ(read_text("o", "S", "spaced"), "3");
  EXPECT_EQ(read_text("o", "S", "late"), "4");
  EXPECT_EQ(read_text("o", "S", "orphan"), "<default>");
  EXPECT_EQ(read_text("o", "S", "x"), "<default>");
  EXPECT_EQ(value_names("o", "S"), (Names{"good", "spaced", "late"}));
  EXPECT_EQ(read_whole_file(store.owner_file("o")), damaged);  // reading changes nothing

  ASSERT_EQ(SettingsWriteString("o", "S", "new", "5"), 1);
  ASSERT_EQ(SettingsWriteString("o", "S", "good", "6"), 1);
  std::string after = read_whole_file(store.owner_file("o"));
  std::string expected = damaged;
  expected.replace(expected.find("\"good\"=\"1\""), 10, "\"good\"=\"6\"");
  expected.insert(expected.find("[]\n"), "\"new\"=\"5\"\n");
  EXPECT_EQ(after, expected + "\n");
}

TEST(SettingsStore, BinaryFileReadsAsEmptyAndSurvivesWriteByteForByte) {
  PrivateStore store;
  std::mt19937 random(7);
  std::string garbage;
  for (int i = 0; i < 20000; ++i) garbage.push_back(static_cast<char>(random() % 256));
  garbage += "\n[S]\n\"n\"=\"\\";  // ends inside an escape
  write_whole_file(store.owner_file("o"), garbage);
  EXPECT_EQ(read_text("o", "S", "n"), "<default>");
  ASSERT_EQ(SettingsWriteString("o", "S", "n", "v"), 1);
  EXPECT_EQ(read_text("o", "S", "n"), "v");
  std::string expected = garbage + "\n";  // the last line gets its line end
  expected.insert(expected.rfind("[S]\n") + 4, "\"n\"=\"v\"\n");
  EXPECT_EQ(read_whole_file(store.owner_file("o")), expected);
}

TEST(SettingsStore, UnreadableFileReadsAsEmptyAndIsNeverReplaced) {
  PrivateStore store;
  std::filesystem::create_directories(store.owner_file("o"));  // not a file at all
  int number = 0;
  SettingsReadInt("o", "S", "n", 3, &number);
  EXPECT_EQ(number, 3);
  unsigned long count = 5;
  EXPECT_EQ(SettingsCountValues("o", "S", &count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(SettingsWriteInt("o", "S", "n", 4), 0);
  EXPECT_TRUE(std::filesystem::is_directory(store.owner_file("o")));
}

TEST(SettingsStore, WriteThatCannotReplaceFileFailsAndKeepsOldFile) {
  PrivateStore store;
  ASSERT_EQ(SettingsWriteString("o", "S", "n", "old"), 1);
  std::string before = read_whole_file(store.owner_file("o"));
  // A folder where the new text would be written makes the replacement fail.
  std::filesystem::create_directories(store.owner_file("o") + ".tmp");
  EXPECT_EQ(SettingsWriteString("o", "S", "n", "new"), 0);
  EXPECT_EQ(read_whole_file(store.owner_file("o")), before);
  EXPECT_EQ(read_text("o", "S", "n"), "old");
}

TEST(SettingsStore, BadOwnerOrSectionIsRefusedWithoutTouchingOtherFiles) {
  PrivateStore store;
  for (const char* owner : {"", "..", ".", "../escape", "a/b"}) {
    EXPECT_EQ(SettingsWriteString(owner, "S", "n", "v"), 0) << owner;
    EXPECT_EQ(read_text(owner, "S", "n"), "<default>");
  }
  EXPECT_EQ(SettingsWriteString(nullptr, "S", "n", "v"), 0);
  for (const char* section : {"", "\\S", "S\\", "A\\\\B", "line\nbreak"})
    EXPECT_EQ(SettingsWriteString("o", section, "n", "v"), 0) << section;
  EXPECT_EQ(SettingsWriteString("o", nullptr, "n", "v"), 0);
  EXPECT_FALSE(std::filesystem::exists(store.folder() + "/escape.conf"));
  EXPECT_FALSE(std::filesystem::exists(store.owner_file("o")));
}

TEST(SettingsStore, StoreFolderFollowsEnvironmentAtEachCall) {
  PrivateStore first;
  SettingsWriteString("o", "S", "where", "first");
  {
    PrivateStore second;
    EXPECT_EQ(read_text("o", "S", "where"), "<default>");
    SettingsWriteString("o", "S", "where", "second");
  }
  EXPECT_EQ(read_text("o", "S", "where"), "first");
  EXPECT_EQ(SettingsRootFolder(), first.folder() + "/Kelmar Software");

  // A relative XDG_CONFIG_HOME is ignored in favour of ~/.config.
  TempFolder home;
  std::string saved_home = getenv("HOME") ? getenv("HOME") : "";
  setenv("HOME", home.path().c_str(), 1);
  setenv("XDG_CONFIG_HOME", "relative/config", 1);
  std::string fallback = SettingsRootFolder();
  SettingsWriteString("o", "S", "where", "home");
  setenv("HOME", saved_home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", first.folder().c_str(), 1);
  EXPECT_EQ(fallback, home.path() + "/.config/Kelmar Software");
  EXPECT_TRUE(std::filesystem::exists(home.path() + "/.config/Kelmar Software/o.conf"));
}

TEST(SettingsStore, NoTemporaryFilesAreLeftBehind) {
  PrivateStore store;
  for (int i = 0; i < 5; ++i) SettingsWriteInt("o", "S", "n", i);
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(store.folder() + "/Kelmar Software"))
    files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"o.conf", "o.conf.lock"}));
}
