// Orientation unify, corner normals and visible edges on large meshes. Run by hand:
//   build/bin/bench_meshlib --benchmark_filter='Unify|CornerNormals|ExtractEdges'
// Doubling the face count should roughly double the time of every benchmark here.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "meshlib/corner_normals.h"
#include "meshlib/mesh3d.h"

namespace {

Vec3d v(double x, double y, double z) { return Vec3d{x, y, z}; }

// nx x ny unit quads over a gentle wave, two triangles each, every triangle wound at random.
std::unique_ptr<Mesh3d> wavy_grid(int nx, int ny, uint32_t seed) {
  std::mt19937 rng(seed);
  auto m = std::make_unique<Mesh3d>((nx + 1) * (ny + 1), "grid");
  auto at = [](int i, int j) { return v(i, j, 3.0 * std::sin(i / 10.0) * std::cos(j / 10.0)); };
  for (int j = 0; j < ny; ++j) {
    for (int i = 0; i < nx; ++i) {
      Vec3d a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
      if (rng() & 1)
        m->add_triangle(a, b, c);
      else
        m->add_triangle(b, a, c);
      if (rng() & 1)
        m->add_triangle(a, c, d);
      else
        m->add_triangle(c, a, d);
    }
  }
  return m;
}

// n triangles that share no vertex, at random heights and windings.
std::unique_ptr<Mesh3d> soup(int n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> pos(-1000.0, 1000.0);
  auto m = std::make_unique<Mesh3d>(3 * n, "soup");
  for (int i = 0; i < n; ++i) {
    Vec3d a = v(pos(rng), pos(rng), pos(rng));
    Vec3d b = v(a.x + 0.5, a.y, a.z + 0.1);
    Vec3d c = v(a.x, a.y + 0.5, a.z - 0.1);
    if (rng() & 1)
      m->add_triangle(a, b, c);
    else
      m->add_triangle(b, a, c);
  }
  return m;
}

std::vector<int32_t> windings(const Mesh3d& m) {
  std::vector<int32_t> out(3 * static_cast<size_t>(m.face_count()));
  for (int32_t f = 0; f < m.face_count(); ++f) m.faces->face(f, &out[3 * f]);
  return out;
}

void restore_windings(Mesh3d& m, const std::vector<int32_t>& w) {
  for (int32_t f = 0; f < m.face_count(); ++f) {
    int32_t c[3];
    m.faces->face(f, c);
    if (c[0] != w[3 * f]) m.faces->flip(f);
  }
}

int32_t g_progress_calls = 0;
void count_progress(int32_t, int32_t) { ++g_progress_calls; }

void run_unify(benchmark::State& state, Mesh3d& m) {
  const std::vector<int32_t> original = windings(m);
  for (auto _ : state) {
    g_progress_calls = 0;
    m.unify_orientation(count_progress);
    state.PauseTiming();
    restore_windings(m, original);
    state.ResumeTiming();
  }
  state.counters["faces"] = m.face_count();
  state.counters["sweeps"] = g_progress_calls - 1;
  state.counters["ns_per_face"] =
      benchmark::Counter(static_cast<double>(m.face_count()) * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Faces = 2000 * rows: 250k, 500k, 1M, 2M (the last is the 1000 x 1000 grid).
void BM_UnifyGrid(benchmark::State& state) {
  auto m = wavy_grid(1000, static_cast<int>(state.range(0)), 1);
  run_unify(state, *m);
}
BENCHMARK(BM_UnifyGrid)
    ->Arg(125)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_UnifySoup(benchmark::State& state) {
  auto m = soup(static_cast<int>(state.range(0)), 2);
  run_unify(state, *m);
}
BENCHMARK(BM_UnifySoup)
    ->Arg(100000)
    ->Arg(250000)
    ->Arg(500000)
    ->Arg(1000000)
    ->Arg(2000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Corner normals of every face, as an exporter writes them, on the oriented grid.
void BM_CornerNormalsGrid(benchmark::State& state) {
  auto m = wavy_grid(1000, static_cast<int>(state.range(0)), 1);
  m->unify_orientation(nullptr);
  double sink = 0;
  for (auto _ : state) {
    for (int32_t f = 0; f < m->face_count(); ++f) {
      Vec3d out[3];
      corner_normals(*m, f, 70.0, out);
      sink += out[0].z + out[1].z + out[2].z;
    }
  }
  benchmark::DoNotOptimize(sink);
  state.counters["faces"] = m->face_count();
}
BENCHMARK(BM_CornerNormalsGrid)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExtractEdgesGrid(benchmark::State& state) {
  auto m = wavy_grid(1000, static_cast<int>(state.range(0)), 1);
  m->unify_orientation(nullptr);
  int32_t kept = 0;
  for (auto _ : state) {
    std::unique_ptr<Mesh3d> r(m->extract_edges(1.0));
    kept = r->edge_count();
  }
  state.counters["faces"] = m->face_count();
  state.counters["kept_edges"] = kept;
}
BENCHMARK(BM_ExtractEdgesGrid)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
