#include "plugins/brick_in/part_search.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "tests/brick_in/ldraw_lines.h"
#include "tests/brick_in/scoped_env.h"

TEST(SearchPath, OnlyEntriesFollowedBySemicolonCount) {
  EXPECT_EQ(split_search_path("/a;/b;"), (std::vector<std::string>{"/a", "/b"}));
  EXPECT_EQ(split_search_path("/a;/b"), (std::vector<std::string>{"/a"}));
  EXPECT_EQ(split_search_path("/a;;/b;"), (std::vector<std::string>{"/a", "/b"}));
  EXPECT_TRUE(split_search_path("").empty());
  std::string long_folder(5000, 'd');
  EXPECT_EQ(split_search_path(long_folder + ";"), (std::vector<std::string>{long_folder}));
}

TEST(PartKey, BackslashesAndCaseFold) {
  EXPECT_EQ(ldraw_part_key("S\\3001S01.DAT"), "s/3001s01.dat");
  EXPECT_EQ(ldraw_path_name("48\\4-4Cyli.dat"), "48/4-4Cyli.dat");
}

TEST(PartFinder, FirstFolderWins) {
  TempFolder t;
  t.write("one/3001.dat", "first");
  t.write("two/3001.dat", "second");
  t.write("two/3003.dat", "only two");
  PartFinder finder(split_search_path(t / "one" + ";" + t / "two/" + ";"));
  EXPECT_EQ(finder.find("3001.dat"), t / "one/3001.dat");
  EXPECT_EQ(finder.find("3003.dat"), t / "two/3003.dat");
  EXPECT_EQ(finder.find("9999.dat"), "");
}

TEST(PartFinder, MissingFinalSemicolonSearchesOnlyTheFirstFolder) {
  TempFolder t;
  t.write("one/a.dat", "a");
  t.write("two/b.dat", "b");
  PartFinder finder(split_search_path(t / "one" + ";" + t / "two"));
  EXPECT_NE(finder.find("a.dat"), "");
  EXPECT_EQ(finder.find("b.dat"), "");
}

TEST(PartFinder, BackslashFoldersAndAnyCaseAreFound) {
  TempFolder t;
  t.write("parts/s/3001s01.dat", "x");
  t.write("p/48/4-4cyli.dat", "x");
  t.write("parts/MixedCase.DAT", "x");
  PartFinder finder(split_search_path(t / "parts;" + t / "p;"));
  EXPECT_EQ(finder.find("s\\3001s01.dat"), t / "parts/s/3001s01.dat");
  EXPECT_EQ(finder.find("S\\3001S01.DAT"), t / "parts/s/3001s01.dat");
  EXPECT_EQ(finder.find("48\\4-4CYLI.dat"), t / "p/48/4-4cyli.dat");
  EXPECT_EQ(finder.find("mixedcase.dat"), t / "parts/MixedCase.DAT");
}

TEST(PartFinder, ExactSpellingWinsOverCaseInsensitiveMatch) {
  TempFolder t;
  t.write("parts/a.dat", "lower");
  t.write("parts/A.dat", "upper");
  PartFinder finder(split_search_path(t / "parts;"));
  EXPECT_EQ(finder.find("A.dat"), t / "parts/A.dat");
  EXPECT_EQ(finder.find("a.dat"), t / "parts/a.dat");
  // Neither spelling exact: the bytewise smallest match, every time.
  EXPECT_EQ(finder.find("a.DAT"), t / "parts/A.dat");
}

TEST(PartFinder, FoldersAreNotParts) {
  TempFolder t;
  t.write("parts/s/x.dat", "x");
  PartFinder finder(split_search_path(t / "parts;"));
  EXPECT_EQ(finder.find("s"), "");
  EXPECT_EQ(finder.find("S"), "");
  EXPECT_EQ(finder.find(""), "");
}

TEST(DefaultSearchPath, LDrawDirWins) {
  ScopedEnv env("LDRAWDIR", "/opt/lib ldraw");
  EXPECT_EQ(default_search_path(), "/opt/lib ldraw/parts;/opt/lib ldraw/p;");
  EXPECT_EQ(default_ldraw_folder(), "/opt/lib ldraw");
}

TEST(DefaultSearchPath, HomeLDrawWhenItExists) {
  TempFolder t;
  t.write("ldraw/parts/3001.dat", "x");
  ScopedEnv env("LDRAWDIR", nullptr);
  ScopedEnv home("HOME", t.path().c_str());
  EXPECT_EQ(default_search_path(), t / "ldraw/parts;" + t / "ldraw/p;");
}

TEST(DefaultSearchPath, EmptyLDrawDirIsIgnored) {
  TempFolder t;
  t.write("ldraw/p/x.dat", "x");
  ScopedEnv env("LDRAWDIR", "");
  ScopedEnv home("HOME", t.path().c_str());
  EXPECT_EQ(default_ldraw_folder(), t / "ldraw");
}
