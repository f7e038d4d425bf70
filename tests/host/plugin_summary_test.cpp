#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/plugin_manager.h"
#include "host/plugin_summary.h"
#include "plugin_api/plugin_api.h"
#include "plugin_folder.h"

namespace {

std::vector<std::string> tail(const std::vector<std::string>& lines, size_t count) {
  return std::vector<std::string>(lines.end() - static_cast<long>(count), lines.end());
}

}  // namespace

TEST(PluginSummary, EmptyManagerGivesOnlyTheTotals) {
  PluginManager manager;
  EXPECT_EQ(PluginSummaryLines(manager),
            (std::vector<std::string>{" ", " Summary:", "\tLibraries: 0", "\tClasses: 0"}));
}

TEST(PluginSummary, LinesDescribeEachLibraryAndClassInLoadOrder) {
  PluginFolder folder;
  folder.Add("tp_good", "a_good.so");
  folder.Add("tp_two_classes", "b_two.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  std::vector<std::string> expected = {
      " FileName: " + folder.Path() + "a_good.so",
      " LibName: Test Import Lib",
      " LibClassNumber: 1",
      " LibVersion: 0x00000005",
      "\tClassName: Test Import (*.tst)",
      "\tSuperClassID: 0x1000 (Mesh Import)",
      "\tClassID: 0x7E570001",
      "\tClassPublicFlag: 1",
      " ",
      " ",
      " FileName: " + folder.Path() + "b_two.so",
      " LibName: Test Two Class Lib",
      " LibClassNumber: 2",
      " LibVersion: 0x00000005",
      "\tClassName: Two Import (*.two)",
      "\tSuperClassID: 0x1000 (Mesh Import)",
      "\tClassID: 0x7E570002",
      "\tClassPublicFlag: 1",
      " ",
      "\tClassName: Two Export (*.two)",
      "\tSuperClassID: 0x1001 (Mesh Export)",
      "\tClassID: 0x7E570003",
      "\tClassPublicFlag: 1",
      " ",
      " ",
      " ",
      " Summary:",
      "\tLibraries: 2",
      "\tClasses: 3",
  };
  EXPECT_EQ(PluginSummaryLines(manager), expected);
}

TEST(PluginSummary, DuplicateLibraryIsListedWithAllItsClasses) {
  PluginFolder folder;
  folder.Add("tp_two_classes", "first.so");
  folder.Add("tp_two_classes", "second.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  ASSERT_EQ(manager.ClassCount(), 2);
  std::vector<std::string> lines = PluginSummaryLines(manager);
  // Per library 4 header lines, 5 per class and a blank; then 4 closing lines.
  ASSERT_EQ(lines.size(), 2u * (4 + 2 * 5 + 1) + 4);
  EXPECT_EQ(lines[15], " FileName: " + folder.Path() + "second.so");
  EXPECT_EQ(lines[19], "\tClassName: Two Import (*.two)");
  EXPECT_EQ(lines[24], "\tClassName: Two Export (*.two)");
  EXPECT_EQ(tail(lines, 2), (std::vector<std::string>{"\tLibraries: 2", "\tClasses: 4"}));
}

TEST(PluginSummary, OtherKindShowsItsValueAndABlankOnly) {
  PluginFolder folder;
  folder.Add("tp_other_kind", "other.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  std::vector<std::string> lines = PluginSummaryLines(manager);
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[5], "\tSuperClassID: 0x2000 ");
  EXPECT_EQ(lines[6], "\tClassID: 0x0000ABCD");
}

TEST(PluginSummary, MissingClassDescriptionCountsButShowsNoBlock) {
  PluginFolder folder;
  folder.Add("tp_null_description", "gap.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  std::vector<std::string> lines = PluginSummaryLines(manager);
  ASSERT_EQ(lines.size(), 4u + 5 + 1 + 4);
  EXPECT_EQ(lines[2], " LibClassNumber: 2");
  EXPECT_EQ(tail(lines, 1), (std::vector<std::string>{"\tClasses: 2"}));
}

TEST(PluginSummary, SavedFileHoldsTheSameLinesEachEndedByNewline) {
  PluginFolder folder;
  folder.Add("tp_two_classes", "two.so");
  PluginManager manager;
  manager.Scan(folder.Path(), PLUGIN_INTERFACE_VERSION);
  std::vector<std::string> lines = PluginSummaryLines(manager);
  std::string path = folder.Path() + "summary.txt";
  ASSERT_TRUE(SavePluginSummary(path, lines));

  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  std::string expected;
  for (const std::string& line : lines) expected += line + "\n";
  EXPECT_EQ(content.str(), expected);
}

TEST(PluginSummary, SaveToUnopenableFileFails) {
  PluginFolder folder;
  EXPECT_FALSE(SavePluginSummary(folder.Path() + "no-such-folder/summary.txt", {" Summary:"}));
  EXPECT_FALSE(SavePluginSummary("/dev/full", {" Summary:"}));
}
