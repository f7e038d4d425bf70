// Display-list build of a 2,000,000-triangle grid and one frame of it in Box, Shade and
// Double mode, in a 400 x 300 User view on a private Xvfb with Mesa's software OpenGL; and
// what a user waits for after OK in the import dialog: a 980,000-triangle grid built once,
// shared with the other three views and drawn in all four (Double mode, 480 x 360 each), with
// the process's peak memory above what it held before, next to the mesh's own bytes.
// Run by hand: build-*/bin/bench_viewer (times in seconds).
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <QApplication>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "tests/support/xvfb_server.h"
#include "viewer/opengl_wnd.h"

namespace {

const int kQuads = 1000;  // 1000 x 1000 quads, two triangles each

ObjectList* g_objects = nullptr;
ViewerScene* g_scene = nullptr;
COpenGLWnd* g_view = nullptr;

// A wavy height field, so neighbouring faces meet at angles and every list has real content.
Mesh3d* wavy_grid(int quads = kQuads) {
  Mesh3d* m = new Mesh3d((quads + 1) * (quads + 1), "grid");
  auto p = [](int i, int j) {
    return Vec3d{double(i), double(j), 3.0 * std::sin(i * 0.3) * std::cos(j * 0.3)};
  };
  for (int j = 0; j < quads; ++j)
    for (int i = 0; i < quads; ++i) {
      m->add_triangle(p(i, j), p(i + 1, j), p(i + 1, j + 1));
      m->add_triangle(p(i, j), p(i + 1, j + 1), p(i, j + 1));
    }
  m->to_flat();
  m->drop_tables();
  return m;
}

void BM_BuildModel(benchmark::State& state) {
  for (auto _ : state) {
    g_view->build_model();
    g_view->makeCurrent();
    glFinish();
    g_view->doneCurrent();
  }
}
BENCHMARK(BM_BuildModel)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_DrawFrame(benchmark::State& state) {
  g_view->set_render_modes(int32_t(state.range(0)), kRenderBox);
  for (auto _ : state) {
    QImage img = g_view->grabFramebuffer();
    benchmark::DoNotOptimize(img.constBits());
  }
}
BENCHMARK(BM_DrawFrame)
    ->ArgName("mode")
    ->Arg(kRenderBox)
    ->Arg(kRenderShade)
    ->Arg(kRenderDouble)
    ->Unit(benchmark::kSecond)
    ->Iterations(3)
    ->UseRealTime();

// A value of /proc/self/status in kB ("VmRSS", "VmHWM").
long status_kb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t n = std::strlen(key);
  while (std::getline(status, line))
    if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':')
      return std::atol(line.c_str() + n + 1);
  return -1;
}

// Starts a new peak: the kernel sets the high-water mark back to the current size.
void reset_peak() { std::ofstream("/proc/self/clear_refs") << "5"; }

void BM_OpenFourViews(benchmark::State& state) {
  ObjectList objects(release_object);
  Mesh3d* grid = wavy_grid(700);  // 980,000 triangles
  objects.append(grid);
  const double mesh_mb = (double(grid->flat_vertex_count) * sizeof(Vec3d) +
                          double(grid->flat_face_count) * sizeof(FlatFace)) /
                         1048576.0;
  ViewerScene scene;
  scene.set_objects(&objects);
  scene.compute_scene_box();
  std::unique_ptr<COpenGLWnd> views[4];
  for (int kind = 0; kind < 4; ++kind) {
    views[kind] = std::make_unique<COpenGLWnd>(kind, &scene);
    views[kind]->resize(480, 360);
    views[kind]->show();
    if (!QTest::qWaitForWindowExposed(views[kind].get())) state.SkipWithError("no window");
    views[kind]->set_render_modes(kRenderDouble, kRenderBox);
  }
  double peak_mb = 0.0;
  for (auto _ : state) {
    const long before = status_kb("VmRSS");
    reset_peak();
    COpenGLWnd* user = views[kUserView].get();
    user->build_model();
    for (int kind = 0; kind < 3; ++kind) user->share_lists_with(views[kind].get());
    for (auto& view : views) view->reset_view();
    for (auto& view : views) {
      QImage img = view->grabFramebuffer();
      benchmark::DoNotOptimize(img.constBits());
    }
    peak_mb = (status_kb("VmHWM") - before) / 1024.0;
  }
  state.counters["mesh_MB"] = mesh_mb;
  state.counters["peak_above_start_MB"] = peak_mb;
}
BENCHMARK(BM_OpenFourViews)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  XvfbServer server;
  std::string error;
  if (!server.start(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  int qt_argc = 1;
  char name[] = "bench_viewer";
  char* qt_argv[] = {name, nullptr};
  QApplication app(qt_argc, qt_argv);

  g_objects = new ObjectList(release_object);
  g_objects->append(wavy_grid());
  g_scene = new ViewerScene;
  g_scene->set_objects(g_objects);
  g_scene->compute_scene_box();
  g_view = new COpenGLWnd(kUserView, g_scene);
  g_view->resize(400, 300);
  g_view->show();
  if (!QTest::qWaitForWindowExposed(g_view)) return 1;
  g_view->reset_view();

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  delete g_view;
  delete g_scene;
  delete g_objects;
  return 0;
}
