// What a host reads by itself, damaged or absurd: its settings file, the extension table in
// it, and a plug-in folder full of files that are not plug-ins. Each case runs in a child with
// a time limit: it must neither crash nor hang, and must leave the host with sane values.

#include <gtest/gtest.h>

#include "child_run.h"
#include "host/extension_table.h"
#include "host/host_settings.h"
#include "host/plugin_manager.h"
#include "plugin_api/class_description.h"
#include "settings/settings_store.h"
#include "support/file_text.h"
#include "support/temp_folder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

const char kOwner[] = "MorvaneDamaged";

class HostInputs : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    if (previous != nullptr) previous_config = previous;
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    store_folder = folder + "/Kelmar Software";
    mkdir(store_folder.c_str(), 0700);
    store_file = store_folder + "/" + kOwner + ".conf";
  }
  void TearDown() override {
    if (previous_config.empty())
      unsetenv("XDG_CONFIG_HOME");
    else
      setenv("XDG_CONFIG_HOME", previous_config.c_str(), 1);
  }

  // Loads the host settings from the store as it is and saves them again, twice; the values
  // must be in their ranges and the second load must see what the first saved.
  static void LoadAndSave() {
    std::string plugin_path;
    int rows = 0;
    {
      HostSettings settings(HostProgram::Viewer, kOwner, "/default/plugin/");
      ChildCheck(settings.ClearFlag() == 0 || settings.ClearFlag() == 1, "clear_flag range");
      ChildCheck(settings.CheckNameMode() >= 0 && settings.CheckNameMode() <= 2,
                 "check_name_mode range");
      ChildCheck(settings.Views().vo_user >= 0 && settings.Views().vo_user <= HIGHEST_RENDER_MODE,
                 "view mode range");
      ChildCheck(settings.Extensions().Count() > 0, "an extension table");
      settings.Extensions().FindClassName(".x");
      plugin_path = settings.PluginPath();
      rows = settings.Extensions().Count();
    }
    HostSettings again(HostProgram::Viewer, kOwner, "/default/plugin/");
    ChildCheck(again.Extensions().Count() >= rows || again.Extensions().Count() > 0, "rows kept");
    (void)plugin_path;
  }

  TempFolder temp_{"host_inputs"};
  const std::string folder = temp_.path();
  std::string store_folder;
  std::string store_file;
  std::string previous_config;
};

std::string random_bytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

}  // namespace

TEST_F(HostInputs, DamagedSettingsFilesGiveSaneValues) {
  std::string long_value(1 << 20, 'p');
  std::string nested = "[";
  for (int i = 0; i < 5000; ++i) nested += "Settings\\";
  nested += "extension]\n";
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"random bytes", random_bytes(64 << 10, 1)},
      {"random bytes after the header", "[Settings]\n" + random_bytes(16 << 10, 2)},
      {"only NUL bytes", std::string(4096, '\0')},
      {"NUL inside names and values",
       std::string(
           "[Settings]\n\"plugin_path\0x\"=\"a\0b\"\n[Settings\\extension]\n\".x\0\"=\"c\"\n", 56)},
      {"one 8 MB line", std::string(8 << 20, '[')},
      {"unterminated quotes",
       "[Settings]\n\"plugin_path\"=\"/no/end\n\"clear_flag\n\"=\n[Settings\\extension]\n\"\n"},
      {"numbers out of range",
       "[Settings]\n\"clear_flag\"=\"99999999999999999999\"\n\"check_name_mode\"=\"-5\"\n"
       "\"vo_user\"=\"2147483648\"\n\"view_title\"=\"1e9\"\n\"vo_top\"=\"-0\"\n"},
      {"a plug-in path of 1 MB", "[Settings]\n\"plugin_path\"=\"" + long_value + "\"\n"},
      {"deeply nested headers", nested},
      {"carriage returns only",
       "[Settings]\r\"clear_flag\"=\"1\"\r\r[Settings\\extension]\r\".x\"=\"y\"\r"},
      {"invalid UTF-8",
       "[Settings]\n\"plugin_path\"=\"\xff\xfe\xc0\x80/"
       "\xed\xa0\x80\"\n[\xff]\n\"\xc3\"=\"\x80\"\n"},
      {"bad escapes",
       "[Settings]\n\"plugin_path\"=\"a\\qb\\\"\n\"last_import_class\"=\"\\\\\\\"\\n\\t\"\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(store_file, c.bytes);
    EXPECT_EQ(RunInChild(LoadAndSave, 60), "");
    unlink(store_file.c_str());
  }
}

TEST_F(HostInputs, SettingsPathThatIsNoFileNeitherBlocksNorIsReplaced) {
  // A folder, a FIFO (reading it would wait for a writer forever), a link to itself, and a
  // file too large to be a settings file: each reads as empty, and none is replaced at exit.
  mkdir(store_file.c_str(), 0700);
  EXPECT_EQ(RunInChild(LoadAndSave, 30), "") << "folder";
  rmdir(store_file.c_str());

  ASSERT_EQ(mkfifo(store_file.c_str(), 0600), 0);
  EXPECT_EQ(RunInChild(LoadAndSave, 30), "") << "FIFO";
  struct stat st;
  EXPECT_TRUE(stat(store_file.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)) << "FIFO kept";
  unlink(store_file.c_str());

  ASSERT_EQ(symlink(store_file.c_str(), store_file.c_str()), 0);
  EXPECT_EQ(RunInChild(LoadAndSave, 30), "") << "link loop";
  unlink(store_file.c_str());

  write_file(store_file, "[Settings]\n");
  ASSERT_EQ(truncate(store_file.c_str(), 65 << 20), 0);  // sparse
  EXPECT_EQ(RunInChild(LoadAndSave, 30), "") << "65 MB";
  EXPECT_TRUE(stat(store_file.c_str(), &st) == 0 && st.st_size == (65 << 20)) << "large file kept";
}

TEST_F(HostInputs, LeftoverTemporaryFifoDoesNotBlockAWriter) {
  // A killed writer leaves its temporary file; something else may sit under that name.
  ASSERT_EQ(mkfifo((store_file + ".tmp").c_str(), 0600), 0);
  EXPECT_EQ(RunInChild(
                [] {
                  ChildCheck(SettingsWriteString(kOwner, "Settings", "clear_flag", "1") == 1,
                             "written");
                },
                30),
            "");
  std::string text;
  SettingsReadText(kOwner, "Settings", "clear_flag", "", text);
  EXPECT_EQ(text, "1");
}

// The 2007 readable rows stored, then the exchange-format rows the table lacks.
static int AbsurdTableRows() { return 2007 + ExchangeFormatRows().Count(); }

TEST_F(HostInputs, AbsurdExtensionRowsLoadAndSaveWithoutHanging) {
  std::string bytes = "[Settings]\n\"clear_flag\"=\"1\"\n[Settings\\extension]\n";
  bytes += "\"\"=\"empty extension\"\n";
  bytes += "\".\"=\"dot only\"\n";
  bytes += "\"noDot\"=\"no dot\"\n";
  bytes += "\"" + std::string(100000, 'e') + "\"=\"long extension\"\n";
  bytes += "\".long\"=\"" + std::string(200000, 'C') + "\"\n";
  bytes += "\".q\\\"\\\\\"=\"quote and backslash\"\n";
  bytes += "\".X\"=\"XFILE ASCII (*.x)\"\n";
  bytes += "\".x\"=\"second .x row, never found\"\n";
  bytes += "\".x\"=\"a third .x row\"\n";
  bytes += "\".bad\"=\"unterminated\n";
  for (int i = 0; i < 2000; ++i)
    bytes += "\".e" + std::to_string(i) + "\"=\"Class " + std::to_string(i) + "\"\n";
  write_file(store_file, bytes);
  EXPECT_EQ(RunInChild(
                [] {
                  {
                    HostSettings settings(HostProgram::Converter, kOwner, "/p/");
                    const ExtensionTable& table = settings.Extensions();
                    // Names compare without regard to ASCII case: the two later ".x" rows are
                    // the first one's, as in the store.
                    ChildCheck(table.Count() == AbsurdTableRows(),
                               "rows: " + std::to_string(table.Count()));
                    const char* x = table.FindClassName(".x");
                    ChildCheck(x != nullptr && std::string(x) == "XFILE ASCII (*.x)",
                               "first .x row");
                    const char* last = table.FindClassName(".E1999");
                    ChildCheck(last != nullptr && std::string(last) == "Class 1999", "last row");
                    const char* longest = table.FindClassName(".long");
                    ChildCheck(longest != nullptr && std::string(longest).size() == 200000,
                               "long row whole");
                  }
                  HostSettings again(HostProgram::Converter, kOwner, "/p/");
                  ChildCheck(again.Extensions().Count() == AbsurdTableRows(),
                             "rows after save: " + std::to_string(again.Extensions().Count()));
                },
                60),
            "");
  EXPECT_NE(read_file(store_file).find("\".bad\"=\"unterminated\n"), std::string::npos)
      << "a row that cannot be read stays in the file as it was";
}

TEST_F(HostInputs, PluginFolderOfThingsThatAreNoPlugins) {
  std::string plugins = folder + "/plugin";
  mkdir(plugins.c_str(), 0755);
  write_file(plugins + "/empty.so", "");
  write_file(plugins + "/random.so", random_bytes(100000, 3));
  write_file(plugins + "/elf_head.so", std::string("\x7f"
                                                   "ELF\x02\x01\x01",
                                                   7) +
                                           random_bytes(4000, 4));
  write_file(plugins + "/text.so", "#!/bin/sh\nexit 1\n");
  mkdir((plugins + "/folder.so").c_str(), 0755);
  mkfifo((plugins + "/fifo.so").c_str(), 0600);
  symlink((plugins + "/fifo.so").c_str(), (plugins + "/link_to_fifo.so").c_str());
  symlink("/nonexistent/target.so", (plugins + "/broken.so").c_str());
  symlink((plugins + "/loop.so").c_str(), (plugins + "/loop.so").c_str());
  write_file(plugins + "/huge_sparse.so", "");
  truncate((plugins + "/huge_sparse.so").c_str(), 1LL << 32);
  // A real plug-in cut short, and a system library that is no plug-in.
  std::string real = read_file(MORVANE_BINARY_DIR "/bin/plugin/xfile_out.so");
  if (!real.empty()) {
    write_file(plugins + "/cut_short.so", real.substr(0, real.size() / 3));
    write_file(plugins + "/cut_head.so", real.substr(0, 600));
  }
  for (const char* system_library :
       {"/lib/x86_64-linux-gnu/libz.so.1", "/usr/lib/x86_64-linux-gnu/libz.so.1"}) {
    std::string bytes = read_file(system_library);
    if (!bytes.empty()) {
      write_file(plugins + "/libz_copy.so", bytes);
      break;
    }
  }
  const std::string path = plugins + "/";
  EXPECT_EQ(RunInChild(
                [path] {
                  PluginManager manager;
                  manager.Scan(path, PLUGIN_INTERFACE_VERSION);
                  ChildCheck(manager.ClassCount() == 0, "no class from files that are no plug-ins");
                },
                60),
            "");

  // The same folder with a real plug-in in it: that one still loads.
  if (!real.empty()) {
    write_file(plugins + "/real.so", real);
    EXPECT_EQ(RunInChild(
                  [path] {
                    PluginManager manager;
                    manager.Scan(path, PLUGIN_INTERFACE_VERSION);
                    ChildCheck(manager.ClassCount() == 1, "the real plug-in's class");
                  },
                  60),
              "");
  }
}
