// Run one case per process to read its peak memory, for example:
//   bench_xfile_in --benchmark_filter=ImportFile
// Each case reports the peak resident set of the process (peak_rss_mb) beside its time.

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_api/plugin_api.h"
#include "plugins/xfile_in/word_reader.h"
#include "plugins/xfile_in/xfile_parser.h"
#include "settings/log_file.h"

namespace {

std::string g_folder;
std::string g_grid;

double PeakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// A flat grid of n x n unit quads: (n+1)^2 vertices and n^2 four-corner faces.
std::string WriteGrid(int n) {
  std::string path = g_folder + "/grid" + std::to_string(n) + ".x";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  const int side = n + 1;
  std::fprintf(f, "xof 0302txt 0064\nHeader {\n 1;\n 0;\n 1;\n}\n\nMesh grid {\n %d;\n",
               side * side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x)
      std::fprintf(f, " %f;%f;%f;%s\n", static_cast<double>(x), static_cast<double>(y), 0.0,
                   (x == n && y == n) ? ";" : ",");
  std::fprintf(f, " %d;\n", n * n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      int a = y * side + x;
      std::fprintf(f, " 4;%d,%d,%d,%d;%s\n", a, a + 1, a + side + 1, a + side,
                   (x == n - 1 && y == n - 1) ? ";" : ",");
    }
  std::fprintf(f, "}\n");
  std::fclose(f);
  return path;
}

long FileSize(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  std::fclose(f);
  return size;
}

void BM_WordReader(benchmark::State& state) {
  for (auto _ : state) {
    std::FILE* f = std::fopen(g_grid.c_str(), "rb");
    XWordReader reader(f);
    long words = 0;
    while (reader.Read(XWordReader::kTopCapacity) != XWordReader::WORD_END) ++words;
    std::fclose(f);
    benchmark::DoNotOptimize(words);
  }
  state.SetBytesProcessed(state.iterations() * FileSize(g_grid));
  state.counters["peak_rss_mb"] = PeakRssMb();
}
BENCHMARK(BM_WordReader)->Unit(benchmark::kSecond)->Iterations(1);

// The reader building the welded mesh, without the frame's finishing steps.
void BM_ParseGrid(benchmark::State& state) {
  long triangles = 0;
  for (auto _ : state) {
    LogFile log;
    XFileParseHooks hooks;
    hooks.log = &log;
    hooks.finish_mesh = [&triangles](Mesh3d* mesh) {
      triangles = mesh->face_count();
      delete mesh;
    };
    if (ParseXFile(g_grid.c_str(), hooks) != 1) state.SkipWithError("parse failed");
  }
  state.counters["triangles"] = static_cast<double>(triangles);
  state.counters["peak_rss_mb"] = PeakRssMb();
}
BENCHMARK(BM_ParseGrid)->Unit(benchmark::kSecond)->Iterations(1);

#ifdef XFILE_IN_PLUGIN
// ImportFile of the plug-in as a host calls it, without windows: reading, welding, statistics,
// sizing, axis swap, orientation (off by default) and the reduction to the flat form.
void BM_ImportFile(benchmark::State& state) {
  void* handle = dlopen(XFILE_IN_PLUGIN, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    state.SkipWithError(dlerror());
    return;
  }
  auto describe =
      reinterpret_cast<LibClassDescriptionFunction>(dlsym(handle, "LibClassDescription"));
  long triangles = 0;
  for (auto _ : state) {
    MeshImporter* importer = CreateImporter(describe(0));
    ObjectList* list = importer->ImportFile(g_grid.c_str());
    if (list->count() == 1) triangles = static_cast<Mesh3d*>(list->get(0))->flat_face_count;
    state.PauseTiming();
    importer->DeleteThis();
    state.ResumeTiming();
  }
  state.counters["triangles"] = static_cast<double>(triangles);
  state.counters["peak_rss_mb"] = PeakRssMb();
  dlclose(handle);
}
BENCHMARK(BM_ImportFile)->Unit(benchmark::kSecond)->Iterations(1);
#endif

}  // namespace

int main(int argc, char** argv) {
  char pattern[] = "/tmp/bench_xfile_in_XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  g_folder = pattern;
  // The plug-in loads and saves its options; keep them away from the user's own.
  setenv("XDG_CONFIG_HOME", g_folder.c_str(), 1);
  g_grid = WriteGrid(1000);
  std::fprintf(stderr, "grid file: %ld bytes\n", FileSize(g_grid));

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::error_code ignored;
  std::filesystem::remove_all(g_folder, ignored);
  return 0;
}
