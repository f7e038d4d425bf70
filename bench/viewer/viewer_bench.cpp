// Model build of a 2,000,000-triangle grid and one frame of it in Box, Shade and Double mode,
// in a 400 x 300 User view on a private Xvfb with Mesa's software OpenGL; and what a user
// waits for after OK in the import dialog: a 980,000-triangle grid built once, shared with the
// other three views and drawn in all four (Double mode, 480 x 360 each). warm:1 first draws a
// small model the same way, as after an earlier import, so that the rasterizer's shaders
// exist. Memory, in MB above the process's size before the build: the peak (what the issue's
// bound is about), the build's peak and what stays after it, the frames' peak above that, and
// a second round of the four frames (the rasterizer's working memory alone); next to them
// the mesh's own bytes and the bytes the build handed to buffer objects. process_cpu_s is the
// CPU time of every thread (the rasterizer's too) from build to last frame.
// Run by hand: build-*/bin/bench_viewer --benchmark_counters_tabular=true (times in seconds).
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <malloc.h>
#include <sys/resource.h>

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

// The 2,000,000-triangle grid and its 400 x 300 User view, made by the first benchmark that
// needs them (so that a run of BM_OpenFourViews alone never holds them).
bool ensure_grid_view() {
  if (g_view != nullptr) return true;
  g_objects = new ObjectList(release_object);
  g_objects->append(wavy_grid());
  g_scene = new ViewerScene;
  g_scene->set_objects(g_objects);
  g_scene->compute_scene_box();
  g_view = new COpenGLWnd(kUserView, g_scene);
  g_view->resize(400, 300);
  g_view->show();
  if (!QTest::qWaitForWindowExposed(g_view)) return false;
  g_view->reset_view();
  return true;
}

void BM_BuildModel(benchmark::State& state) {
  if (!ensure_grid_view()) state.SkipWithError("no window");
  for (auto _ : state) {
    g_view->build_model();
    g_view->makeCurrent();
    glFinish();
    g_view->doneCurrent();
  }
}
BENCHMARK(BM_BuildModel)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_DrawFrame(benchmark::State& state) {
  if (!ensure_grid_view()) state.SkipWithError("no window");
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

// CPU seconds (user and system) of every thread of the process so far: the rasterizer's
// threads as well as this one.
double process_cpu_s() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Starts a new peak: the kernel sets the high-water mark back to the current size.
void reset_peak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The User view's build shared with the other three views, each reset and drawn.
void share_and_draw(std::unique_ptr<COpenGLWnd> (&views)[4]) {
  COpenGLWnd* user = views[kUserView].get();
  for (int kind = 0; kind < 3; ++kind) user->share_lists_with(views[kind].get());
  for (auto& view : views) view->reset_view();
  for (auto& view : views) {
    QImage img = view->grabFramebuffer();
    benchmark::DoNotOptimize(img.constBits());
  }
}

void draw_four_views(std::unique_ptr<COpenGLWnd> (&views)[4]) {
  views[kUserView]->build_model();
  share_and_draw(views);
}

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
  if (state.range(0) != 0) {
    // An earlier, small model drawn the same way: the rasterizer's shaders for these
    // drawing states are compiled before the large one comes.
    ObjectList small(release_object);
    small.append(wavy_grid(10));
    scene.set_objects(&small);
    scene.compute_scene_box();
    draw_four_views(views);
    scene.set_objects(&objects);
    scene.compute_scene_box();
  }
  double process_cpu = 0.0;
  double peak_mb = 0.0, build_peak_mb = 0.0, built_mb = 0.0, draw_peak_mb = 0.0;
  for (auto _ : state) {
    // Freed heap the process still holds would hide what the build allocates: handed back
    // first, here and before the reading after the build.
    malloc_trim(0);
    const long before = status_kb("VmRSS");
    reset_peak();
    const double cpu_before = process_cpu_s();
    COpenGLWnd* user = views[kUserView].get();
    user->build_model();
    user->makeCurrent();
    glFinish();
    user->doneCurrent();
    const long build_peak = status_kb("VmHWM");
    malloc_trim(0);
    const long built = status_kb("VmRSS");
    share_and_draw(views);
    process_cpu = process_cpu_s() - cpu_before;
    const long peak = status_kb("VmHWM");
    peak_mb = (peak - before) / 1024.0;
    build_peak_mb = (build_peak - before) / 1024.0;
    built_mb = (built - before) / 1024.0;
    draw_peak_mb = (peak - built) / 1024.0;
  }
  // The same four frames again: the rasterizer's shaders are compiled and the views' frame
  // buffers exist, so what this adds above the level before it is the rasterizer's own
  // working memory for the frames.
  malloc_trim(0);
  const long before_redraw = status_kb("VmRSS");
  reset_peak();
  for (auto& view : views) {
    QImage img = view->grabFramebuffer();
    benchmark::DoNotOptimize(img.constBits());
  }
  state.counters["redraw_peak_MB"] = (status_kb("VmHWM") - before_redraw) / 1024.0;
  state.counters["process_cpu_s"] = process_cpu;
  state.counters["mesh_MB"] = mesh_mb;
  state.counters["geometry_MB"] = model_geometry_bytes() / 1048576.0;
  state.counters["peak_above_start_MB"] = peak_mb;
  state.counters["build_peak_MB"] = build_peak_mb;
  state.counters["after_build_MB"] = built_mb;
  state.counters["draw_peak_above_build_MB"] = draw_peak_mb;
}
BENCHMARK(BM_OpenFourViews)
    ->ArgName("warm")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

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

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  delete g_view;
  delete g_scene;
  delete g_objects;
  return 0;
}
