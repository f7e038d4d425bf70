// libFuzzer target: arbitrary bytes as an owner's settings file.
//
// The bytes are read as text (every line kept, a rewrite gives the same bytes back), then put
// in a private store folder on a memory file system and read through the store's calls: the
// count and enumeration of every section agree with the text, every value reads back whole,
// numbers convert without trouble. Finally one value is written; it reads back as written and
// every other value the file held before is still there, unchanged.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings_store.h"
#include "settings/settings_text.h"

namespace {

const char kOwner[] = "Fuzz";

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "settings_parse: %s\n", what);
    __builtin_trap();
  }
}

// A private store folder, on /dev/shm when there is one (every write is forced to disk).
const std::string& store_file() {
  static const std::string made = [] {
    char pattern[] = "/dev/shm/fuzz_settings_XXXXXX";
    char fallback[] = "/tmp/fuzz_settings_XXXXXX";
    const char* folder = mkdtemp(pattern);
    if (folder == nullptr) folder = mkdtemp(fallback);
    check(folder != nullptr, "no temporary folder");
    setenv("XDG_CONFIG_HOME", folder, 1);
    std::string root = SettingsRootFolder();
    mkdir(root.c_str(), 0700);
    static std::string remove_at_exit = folder;
    std::atexit([] {
      std::string root = remove_at_exit + "/Kelmar Software";
      for (const char* suffix : {".conf", ".conf.lock", ".conf.tmp"})
        unlink((root + "/" + kOwner + suffix).c_str());
      rmdir(root.c_str());
      rmdir(remove_at_exit.c_str());
    });
    return root + "/" + kOwner + ".conf";
  }();
  return made;
}

void write_file(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  check(f != nullptr, "cannot write the store file");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::string read_file(const std::string& path) {
  std::string bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  char chunk[4096];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
  std::fclose(f);
  return bytes;
}

struct Known {
  std::string section, name, value;
};

std::vector<Known> every_value(const settings_text::Store& store,
                               const std::vector<std::string>& sections) {
  std::vector<Known> known;
  for (const std::string& section : sections)
    for (const settings_text::Line* line : settings_text::section_values(store, section))
      known.push_back({section, line->name, line->value});
  return known;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using settings_text::Line;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  // The text form keeps every byte.
  settings_text::Store store = settings_text::parse_store(bytes);
  std::string expected = bytes;
  if (!expected.empty() && expected.back() != '\n') expected.push_back('\n');
  check(settings_text::format_store(store) == expected, "a rewrite changes the file");

  // The sections the calls look at: the first few headers, as written.
  std::vector<std::string> sections;
  for (const Line& line : store.lines)
    if (line.kind == Line::kHeader && sections.size() < 6) sections.push_back(line.section);

  const std::string& file = store_file();
  write_file(file, bytes);
  for (const std::string& section : sections) {
    std::vector<const Line*> values = settings_text::section_values(store, section);
    unsigned long count = 0;
    if (!SettingsCountValues(kOwner, section.c_str(), &count)) continue;  // not a usable name
    check(count == values.size(), "the count differs from the file");
    for (unsigned long i = 0; i < count && i < 8; ++i) {
      char name[64], text[64];
      unsigned long name_size = sizeof name, data_size = sizeof text;
      unsigned type = 0;
      int got =
          SettingsEnumValue(kOwner, section.c_str(), i, name, &name_size, &type, text, &data_size);
      check(name_size == values[i]->name.size(), "enumerated name length");
      check(data_size == values[i]->value.size() + 1, "enumerated value length");
      if (got) check(values[i]->name == name, "enumerated name");
      std::string whole;
      if (values[i]->name.find('\0') == std::string::npos) {
        check(SettingsReadText(kOwner, section.c_str(), values[i]->name.c_str(), "", whole),
              "a listed value is not found");
        check(whole == values[i]->value, "a value does not read back whole");
        char cut[8];
        SettingsReadString(kOwner, section.c_str(), values[i]->name.c_str(), "", cut, sizeof cut);
        int number = 0;
        double real = 0.0;
        SettingsReadInt(kOwner, section.c_str(), values[i]->name.c_str(), 7, &number);
        SettingsReadDouble(kOwner, section.c_str(), values[i]->name.c_str(), 0.5, &real);
      }
    }
  }

  // One write: into the first section (or a new one), replacing its first value when it has one.
  settings_text::Store before = settings_text::parse_store(read_file(file));
  std::string section = sections.empty() ? std::string("Fuzz\\Written") : sections.front();
  std::string name = "new";
  std::vector<const Line*> first = settings_text::section_values(before, section);
  if (!first.empty() && first.front()->name.find('\0') == std::string::npos)
    name = first.front()->name;
  std::string value = bytes.substr(0, 48);
  value = value.substr(0, value.find('\0'));
  std::vector<Known> kept = every_value(before, sections);
  if (!SettingsWriteString(kOwner, section.c_str(), name.c_str(), value.c_str())) return 0;

  settings_text::Store after = settings_text::parse_store(read_file(file));
  const Line* written = settings_text::find_value(after, section, name);
  check(written != nullptr && written->value == value, "the written value does not read back");
  for (const Known& k : kept) {
    if (settings_text::same_name(k.section, section) && settings_text::same_name(k.name, name))
      continue;
    const Line* still = settings_text::find_value(after, k.section, k.name);
    check(still != nullptr && still->value == k.value, "a write lost another value");
  }
  // Lines that are not understood stay, in their order.
  std::vector<std::string> raw_before, raw_after;
  for (const Line& line : before.lines)
    if (line.kind == Line::kRaw && !line.raw.empty()) raw_before.push_back(line.raw);
  for (const Line& line : after.lines)
    if (line.kind == Line::kRaw && !line.raw.empty()) raw_after.push_back(line.raw);
  check(raw_before == raw_after, "a line that was not understood changed");
  return 0;
}
