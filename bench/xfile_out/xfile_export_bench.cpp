// Export of a 1000 x 1000 quad grid (2,000,000 triangles) as DirectX text: rebuilding the
// indexed form, then writing head and mesh block with corner normals at smooth angle 70.
//   build/bin/bench_xfile_out --benchmark_filter=Export
// Peak memory: /usr/bin/time -v build/bin/bench_xfile_out --benchmark_filter=Export/1000

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "meshlib/mesh3d.h"
#include "plugin_frame/export_mesh.h"
#include "plugin_frame/plugin_settings.h"
#include "plugins/xfile_out/xfile_writer.h"

namespace {

// A grid of n x n quads in the flat form, as an importer leaves it.
std::unique_ptr<Mesh3d> flat_grid(int n) {
  auto mesh = std::make_unique<Mesh3d>(2 * n * n, "grid");
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      Vec3d a{double(x), double(y), 0.0}, b{double(x + 1), double(y), 0.0};
      Vec3d c{double(x + 1), double(y + 1), 0.1 * ((x + y) % 3)}, d{double(x), double(y + 1), 0.0};
      mesh->add_triangle(a, b, c);
      mesh->add_triangle(a, c, d);
    }
  mesh->to_flat();
  mesh->drop_tables();
  return mesh;
}

class BenchSettings : public PluginSettings {
 public:
  BenchSettings() : PluginSettings("bench_xfile_out", "bench.log") {}
};

void Export(benchmark::State& state) {
  setenv("XDG_CONFIG_HOME", "/tmp/bench_xfile_out_config", 1);
  const int n = static_cast<int>(state.range(0));
  auto mesh = flat_grid(n);
  BenchSettings settings;
  settings.ld_mode = 1;
  for (auto _ : state) {
    std::FILE* file = std::fopen("/tmp/bench_xfile_out.x", "wb");
    {
      ExportMesh pass(*mesh, settings);
      write_header(file, settings.ld_mode);
      write_mesh(file, pass.mesh(), 70.0, settings.ld_mode, nullptr);
    }
    std::fclose(file);
  }
  state.counters["ns_per_triangle"] = benchmark::Counter(
      2.0 * n * n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  std::remove("/tmp/bench_xfile_out.x");
}
// The writer formats on two threads: wall time, and the CPU time of the whole process.
BENCHMARK(Export)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
