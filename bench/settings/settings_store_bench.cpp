#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "settings/settings_store.h"

namespace {

// A private store of a typical plug-in owner: two sections of eight values.
class PrivateStore {
 public:
  PrivateStore() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "morvane-bench-XXXXXX").string();
    if (mkdtemp(&pattern[0])) folder_ = pattern;
    setenv("XDG_CONFIG_HOME", folder_.c_str(), 1);
    for (int i = 0; i < 8; ++i) {
      std::string name = "value_" + std::to_string(i);
      SettingsWriteString("bench", "Common Settings", name.c_str(), "1.000000");
      SettingsWriteString("bench", "Specific Settings", name.c_str(), "/some/path/of/a/model");
    }
  }
  ~PrivateStore() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

 private:
  std::string folder_;
};

void ReadInt(benchmark::State& state) {
  PrivateStore store;
  int value = 0;
  for (auto _ : state) {
    SettingsReadInt("bench", "Common Settings", "value_3", 0, &value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(ReadInt);

// Saving options that did not change: lock, read, compare, no rewrite.
void WriteUnchangedValue(benchmark::State& state) {
  PrivateStore store;
  for (auto _ : state) SettingsWriteString("bench", "Common Settings", "value_3", "1.000000");
}
BENCHMARK(WriteUnchangedValue);

// A changed value: lock, read, temporary file, fsync, rename.
void WriteChangedValue(benchmark::State& state) {
  PrivateStore store;
  int n = 0;
  for (auto _ : state) SettingsWriteInt("bench", "Common Settings", "value_3", ++n);
}
BENCHMARK(WriteChangedValue)->Unit(benchmark::kMillisecond);

}  // namespace
