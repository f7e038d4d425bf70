// Export of a 1000 x 1000 quad grid (2,000,000 triangles) with each ray-tracer class.
//
//   bench_rayinc_out --benchmark_filter=Export/0     one class per process, so that the
//                                                    reported peak memory is that class's
//
// The grid lies in z = 0 with spacing 1, so with the default edge angle only its border is a
// visible edge; the "EveryEdge" runs use edge angle 0 (3,000,000 edges, wire radius 1.0:
// three or four blob components along each edge).
// Files go to a temporary folder and are removed after each run; the settings store is a
// private temporary folder as well.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugin_api/plugin_api.h"
#include "settings/settings_store.h"

namespace {

const int kGrid = 1000;
const char* const kOwners[5] = {"pvu_out", "plu_out", "pvwu_out", "pvbwu_out", "pv3u_out"};
const char* const kClassNames[5] = {"POV-Ray Moray (*.inc, *.udo)", "PolyRay Moray (*.inc, *.udo)",
                                    "POV-Ray Moray (Wire) (*.inc, *.udo)",
                                    "POV-Ray Moray (Blob) (*.inc, *.udo)",
                                    "POV-Ray3 Moray (*.inc, *.udo)"};

std::string temp_folder() {
  static std::string folder = [] {
    char pattern[] = "/tmp/rayinc_bench_XXXXXX";
    const char* made = mkdtemp(pattern);
    return std::string(made != nullptr ? made : "/tmp");
  }();
  return folder;
}

// The grid in the flat form, as the host's list holds it.
ObjectList& grid_objects() {
  static ObjectList* list = [] {
    auto* mesh = new Mesh3d(kGrid * kGrid * 2, "grid");
    for (int i = 0; i < kGrid; ++i)
      for (int j = 0; j < kGrid; ++j) {
        Vec3d a{double(i), double(j), 0}, b{double(i + 1), double(j), 0};
        Vec3d c{double(i + 1), double(j + 1), 0}, d{double(i), double(j + 1), 0};
        mesh->add_triangle(a, b, c);
        mesh->add_triangle(a, c, d);
      }
    mesh->to_flat();
    mesh->drop_tables();
    auto* objects = new ObjectList(release_object);
    objects->append(mesh);
    return objects;
  }();
  return *list;
}

double peak_rss_mb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

long long file_bytes(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
}

ClassDescription* rayinc_class(int index) {
#ifdef RAYINC_OUT_PLUGIN
  static void* library = dlopen(RAYINC_OUT_PLUGIN, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return nullptr;
  auto describe =
      reinterpret_cast<ClassDescription* (*)(int)>(dlsym(library, "LibClassDescription"));
  return describe != nullptr ? describe(index) : nullptr;
#else
  (void)index;
  return nullptr;
#endif
}

void run_export(benchmark::State& state, int index, double edge_angle, double radius) {
  ClassDescription* description = rayinc_class(index);
  if (description == nullptr || std::string(description->ClassName()) != kClassNames[index]) {
    state.SkipWithError("rayinc_out.so not found");
    return;
  }
  ObjectList& objects = grid_objects();
  SettingsWriteInt(kOwners[index], "Common Settings", "ld_mode", 1);
  SettingsWriteInt(kOwners[index], "Common Settings", "verbose_mode", 0);
  SettingsWriteDouble(kOwners[index], "Specific Settings", "edge_angle", edge_angle);
  SettingsWriteDouble(kOwners[index], "Specific Settings", "radius", radius);
  const std::string base = temp_folder() + "/grid";
  long long bytes = 0;
  for (auto _ : state) {
    MeshExporter* exporter = CreateExporter(description);
    ExportFileNames names{base.c_str(), base.c_str()};
    exporter->Export(&objects, EXPORT_GIVEN_NAMES, &names);
    exporter->DeleteThis();
    bytes = file_bytes(base + ".inc") + file_bytes(base + ".udo");
    state.PauseTiming();
    std::remove((base + ".inc").c_str());
    std::remove((base + ".udo").c_str());
    state.ResumeTiming();
  }
  state.counters["MB_written"] = bytes / 1e6;
  state.counters["peak_MB"] = peak_rss_mb();
}

void BM_Export(benchmark::State& state) {
  run_export(state, static_cast<int>(state.range(0)), 1.0, 0.1);
}
// The triangle writers format on two threads: wall time, and the CPU time of the whole process.
BENCHMARK(BM_Export)
    ->DenseRange(0, 4)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

void BM_ExportEveryEdge(benchmark::State& state) {
  run_export(state, static_cast<int>(state.range(0)), 0.0, 1.0);
}
BENCHMARK(BM_ExportEveryEdge)->DenseRange(2, 3)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  // Never the user's own settings.
  const std::string settings = temp_folder() + "/xdg";
  setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::system(("rm -rf '" + temp_folder() + "'").c_str());
  return 0;
}
