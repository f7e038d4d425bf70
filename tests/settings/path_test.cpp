#include "settings/path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "tests/settings/private_store.h"

namespace {

struct Parts {
  std::string drive, directory, name, extension;
};

Parts split(const char* path) {
  Parts parts{"x", "x", "x", "x"};
  split_path(path, parts.drive, parts.directory, parts.name, parts.extension);
  return parts;
}

void expect_parts(const char* path, const char* drive, const char* directory, const char* name,
                  const char* extension) {
  Parts parts = split(path);
  EXPECT_EQ(parts.drive, drive) << path;
  EXPECT_EQ(parts.directory, directory) << path;
  EXPECT_EQ(parts.name, name) << path;
  EXPECT_EQ(parts.extension, extension) << path;
}

}  // namespace

TEST(SplitPath, DosPathGivesDriveDirectoryNameExtension) {
  expect_parts("C:\\models\\cube.x", "C:", "\\models\\", "cube", ".x");
  expect_parts("D:name.ext", "D:", "", "name", ".ext");
  expect_parts("cube", "", "", "cube", "");
}

TEST(SplitPath, BothSlashesSeparate) {
  expect_parts("/home/u/models/cube.x", "", "/home/u/models/", "cube", ".x");
  expect_parts("s\\3001s01.dat", "", "s\\", "3001s01", ".dat");
  expect_parts("parts/s\\3001s01.dat", "", "parts/s\\", "3001s01", ".dat");
}

TEST(SplitPath, DotInDirectoryStartsNoExtension) {
  expect_parts("/data/v1.2/readme", "", "/data/v1.2/", "readme", "");
  expect_parts("C:\\a.b\\c", "C:", "\\a.b\\", "c", "");
  expect_parts("archive.tar.gz", "", "", "archive.tar", ".gz");
}

TEST(SplitPath, ColonInsideLinuxPathIsNoDrive) {
  expect_parts("/srv/at:10/cube.x", "", "/srv/at:10/", "cube", ".x");
  expect_parts("ab:c.x", "", "", "ab:c", ".x");
}

TEST(SplitPath, NullOrEmptyPathEmptiesEveryPart) {
  expect_parts(nullptr, "", "", "", "");
  expect_parts("", "", "", "", "");
  expect_parts("/", "", "/", "", "");
}

TEST(MakePath, AddsMissingColonSlashAndDot) {
  EXPECT_EQ(make_path("C", "dir", nullptr, nullptr), "C:dir/");
  EXPECT_EQ(make_path(nullptr, nullptr, nullptr, "txt"), ".txt");
  EXPECT_EQ(make_path("", "/tmp/", "cube", ".x"), "/tmp/cube.x");
  EXPECT_EQ(make_path("C:", "\\models\\", "cube", "x"), "C:\\models\\cube.x");
  EXPECT_EQ(make_path(nullptr, "", "", ""), "");
}

TEST(MakePath, JoinsWhatSplitPathTookApart) {
  for (const char* path :
       {"/home/u/models/cube.x", "C:\\models\\cube.x", "name.ext", "rel/dir/file", "D:name.ext"}) {
    Parts parts = split(path);
    EXPECT_EQ(make_path(parts.drive.c_str(), parts.directory.c_str(), parts.name.c_str(),
                        parts.extension.c_str()),
              path);
  }
}

TEST(MakePath, BufferFormCutsAndSaysSo) {
  char buffer[8];
  EXPECT_EQ(make_path(buffer, sizeof buffer, nullptr, "/tmp", "cube", "x"), 0);
  EXPECT_STREQ(buffer, "/tmp/cu");
  char whole[32];
  EXPECT_EQ(make_path(whole, sizeof whole, nullptr, "/tmp", "cube", "x"), 1);
  EXPECT_STREQ(whole, "/tmp/cube.x");
}

TEST(Path, AbsoluteMeansLeadingSlash) {
  EXPECT_TRUE(is_absolute_path("/usr/share"));
  EXPECT_FALSE(is_absolute_path("models/cube.x"));
  EXPECT_FALSE(is_absolute_path("C:\\models"));
  EXPECT_FALSE(is_absolute_path(""));
  EXPECT_FALSE(is_absolute_path(nullptr));
}

TEST(CurrentDirectory, NamesTheDirectoryWeAreIn) {
  TempFolder folder;
  std::string before = current_directory();
  ASSERT_EQ(chdir(folder.path().c_str()), 0);
  char resolved[PATH_MAX];
  ASSERT_NE(realpath(folder.path().c_str(), resolved), nullptr);
  EXPECT_EQ(current_directory(), resolved);
  char buffer[PATH_MAX];
  EXPECT_STREQ(current_directory(buffer, sizeof buffer), resolved);
  char tiny[4] = "abc";
  EXPECT_EQ(current_directory(tiny, sizeof tiny), nullptr);
  EXPECT_STREQ(tiny, "");
  ASSERT_EQ(chdir(before.c_str()), 0);
}

namespace {

TEST(PathParts, FileNameAndExtensionAreThoseOfTheLastComponent) {
  struct Case {
    const char* path;
    const char* file_name;
    const char* extension;
  };
  const Case cases[] = {
      {"/home/u/table.x", "table.x", ".x"},
      {"C:\\models\\3001s01.DAT", "3001s01.DAT", ".DAT"},
      {"s\\3001s01.dat", "3001s01.dat", ".dat"},
      {"/a.b/noext", "noext", ""},
      {"archive.tar.gz", "archive.tar.gz", ".gz"},
      {"/folder/", "", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(path_file_name(c.path), c.file_name) << c.path;
    EXPECT_EQ(path_extension(c.path), c.extension) << c.path;
  }
  EXPECT_EQ(path_file_name(nullptr), "");
  EXPECT_EQ(path_extension(nullptr), "");
}

}  // namespace
