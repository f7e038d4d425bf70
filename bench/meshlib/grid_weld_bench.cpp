// Welding, reducing and rebuilding a 1000 x 1000 quad grid (2,000,000 triangles), the
// baseline for the mesh library's speed and memory. Every corner is handed over as freshly
// computed, bit-identical doubles, as the importers do.
//
//   bench_meshlib --benchmark_filter=Grid            per-step times (ns per triangle)
//   /usr/bin/time -v bench_meshlib --benchmark_filter=GridPipeline   peak memory
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include "meshlib/mesh3d.h"

namespace {

constexpr int kSide = 1000;
constexpr int64_t kTriangles = 2LL * kSide * kSide;

void weld_grid(Mesh3d& m) {
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      Vec3d a{x * 0.5, y * 0.5, 0.0}, b{(x + 1) * 0.5, y * 0.5, 0.0};
      Vec3d c{x * 0.5, (y + 1) * 0.5, 0.0}, d{(x + 1) * 0.5, (y + 1) * 0.5, 0.0};
      m.add_triangle(a, b, c);
      m.add_triangle(c, b, d);
    }
}

void per_triangle(benchmark::State& state) {
  state.counters["per_triangle"] =
      benchmark::Counter(double(kTriangles), benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
}

void report_peak(benchmark::State& state) {
  struct rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  state.counters["peak_rss_MiB"] = double(ru.ru_maxrss) / 1024.0;
}

// Size hint as the LDraw importer passes it (triangles collected) and as the DirectX importer
// passes it (the vertex count the file announces).
void BM_GridWeld(benchmark::State& state) {
  const int32_t hint = static_cast<int32_t>(state.range(0));
  for (auto _ : state) {
    Mesh3d* m = new Mesh3d(hint, "grid");
    weld_grid(*m);
    benchmark::DoNotOptimize(m->face_count());
    state.PauseTiming();
    delete m;
    state.ResumeTiming();
  }
  per_triangle(state);
}
BENCHMARK(BM_GridWeld)
    ->Arg(kTriangles)
    ->Arg((kSide + 1) * (kSide + 1))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_GridToFlat(benchmark::State& state) {
  Mesh3d m(kTriangles, "grid");
  weld_grid(m);
  for (auto _ : state) {
    m.to_flat();
    benchmark::DoNotOptimize(m.flat_faces);
  }
  per_triangle(state);
}
BENCHMARK(BM_GridToFlat)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GridDropTables(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Mesh3d* m = new Mesh3d(kTriangles, "grid");
    weld_grid(*m);
    state.ResumeTiming();
    m->drop_tables();
    state.PauseTiming();
    delete m;
    state.ResumeTiming();
  }
  per_triangle(state);
}
BENCHMARK(BM_GridDropTables)->Unit(benchmark::kMillisecond)->Iterations(3);

// Argument 1 with the edge table, 0 without (as the DirectX writer rebuilds its meshes).
void BM_GridFromFlat(benchmark::State& state) {
  Mesh3d m(kTriangles, "grid");
  weld_grid(m);
  m.to_flat();
  m.drop_tables();
  for (auto _ : state) {
    m.from_flat(state.range(0) != 0);
    benchmark::DoNotOptimize(m.face_count());
    state.PauseTiming();
    m.drop_tables();
    state.ResumeTiming();
  }
  per_triangle(state);
}
BENCHMARK(BM_GridFromFlat)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);

// The importer's and then the exporter's road once: weld, reduce, drop, rebuild, drop.
void BM_GridPipeline(benchmark::State& state) {
  for (auto _ : state) {
    Mesh3d m(kTriangles, "grid");
    weld_grid(m);
    m.to_flat();
    m.drop_tables();
    m.from_flat();
    benchmark::DoNotOptimize(m.edge_count());
    m.drop_tables();
  }
  per_triangle(state);
  report_peak(state);
}
BENCHMARK(BM_GridPipeline)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
