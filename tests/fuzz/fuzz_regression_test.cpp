// Every saved input of the fuzz targets (their seeds and every input that once failed) runs
// through the same entry point as in the fuzzer; a failure crashes or traps this test.
#include <dirent.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#define DECLARE_ENTRY(name) \
  extern "C" int fuzz_entry_##name(const std::uint8_t* data, std::size_t size);
#ifdef MORVANE_FUZZ_HAS_SETTINGS_PARSE
DECLARE_ENTRY(settings_parse)
#endif
#ifdef MORVANE_FUZZ_HAS_NUMBER_FIELD
DECLARE_ENTRY(number_field)
#endif
#ifdef MORVANE_FUZZ_HAS_XFILE_PARSE
DECLARE_ENTRY(xfile_parse)
#endif
#ifdef MORVANE_FUZZ_HAS_READ_LDRAW
DECLARE_ENTRY(read_ldraw)
#endif
#ifdef MORVANE_FUZZ_HAS_XFILE_BINARY
DECLARE_ENTRY(xfile_binary)
#endif
#ifdef MORVANE_FUZZ_HAS_XFILE_INFLATE
DECLARE_ENTRY(xfile_inflate)
#endif

namespace {

using Entry = int (*)(const std::uint8_t*, std::size_t);

std::vector<std::string> files_in(const std::string& folder) {
  std::vector<std::string> files;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return files;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == ".." || name == "README") continue;
    files.push_back(folder + "/" + name);
  }
  closedir(dir);
  return files;
}

std::vector<std::uint8_t> read_all(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  int c;
  while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<std::uint8_t>(c));
  std::fclose(f);
  return bytes;
}

// Runs every file of the folders; returns how many ran.
std::size_t feed(Entry entry, const std::vector<std::string>& folders) {
  std::size_t fed = 0;
  for (const std::string& folder : folders) {
    for (const std::string& path : files_in(folder)) {
      SCOPED_TRACE(path);
      std::vector<std::uint8_t> bytes = read_all(path);
      EXPECT_EQ(entry(bytes.data(), bytes.size()), 0);
      ++fed;
    }
  }
  return fed;
}

const std::string kHere = MORVANE_SOURCE_DIR "/tests/fuzz";

}  // namespace

#ifdef MORVANE_FUZZ_HAS_SETTINGS_PARSE
TEST(FuzzRegression, SettingsFileInputsKeepEveryValue) {
  EXPECT_GT(feed(fuzz_entry_settings_parse,
                 {kHere + "/seeds/settings_parse", kHere + "/regressions/settings_parse"}),
            0u);
}
#endif

#ifdef MORVANE_FUZZ_HAS_NUMBER_FIELD
TEST(FuzzRegression, NumberFieldInputsShowWhatTheyRead) {
  EXPECT_GT(feed(fuzz_entry_number_field,
                 {kHere + "/seeds/number_field", kHere + "/regressions/number_field"}),
            0u);
}
#endif

#ifdef MORVANE_FUZZ_HAS_XFILE_PARSE
TEST(FuzzRegression, DirectXInputsParseWithoutFault) {
  EXPECT_GT(feed(fuzz_entry_xfile_parse, {MORVANE_SOURCE_DIR "/plugins/xfile_in/fuzz/seeds",
                                          kHere + "/regressions/xfile_parse"}),
            0u);
}
#endif

#ifdef MORVANE_FUZZ_HAS_XFILE_BINARY
TEST(FuzzRegression, BinaryDirectXInputsParseWithoutFault) {
  EXPECT_GT(feed(fuzz_entry_xfile_binary, {MORVANE_SOURCE_DIR "/plugins/xfile_in/fuzz/seeds_binary",
                                           kHere + "/regressions/xfile_binary"}),
            0u);
}
#endif

#ifdef MORVANE_FUZZ_HAS_XFILE_INFLATE
TEST(FuzzRegression, CompressedDirectXInputsUnpackWithoutFault) {
  EXPECT_GT(
      feed(fuzz_entry_xfile_inflate, {MORVANE_SOURCE_DIR "/plugins/xfile_in/fuzz/seeds_inflate",
                                      kHere + "/regressions/xfile_inflate"}),
      0u);
}
#endif

#ifdef MORVANE_FUZZ_HAS_READ_LDRAW
TEST(FuzzRegression, LDrawInputsReadWithoutFault) {
  EXPECT_GT(
      feed(fuzz_entry_read_ldraw, {kHere + "/seeds/read_ldraw", kHere + "/regressions/read_ldraw"}),
      0u);
}
#endif
