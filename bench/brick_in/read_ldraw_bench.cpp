// Import of a generated model: 10,000 references to 200 distinct parts, each part nesting two
// levels of sub-parts (part -> 2 sub-parts -> 4 primitives each, primitives shared by all).
// Reports the time of one import (read, flatten, weld every mesh, reduce to the flat form)
// and the process's peak resident memory.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "plugins/brick_in/scene_mesh.h"
#include "plugins/brick_in/scene_reader.h"
#include "settings/log_file.h"

namespace {

constexpr int kParts = 200;
constexpr int kReferences = 10000;
constexpr int kPrimitives = 10;

void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string quad(double x, double y, double z) {
  std::ostringstream s;
  s << "4 16 " << x << " " << y << " " << z << " " << x + 1 << " " << y << " " << z << " " << x + 1
    << " " << y << " " << z + 1 << " " << x << " " << y << " " << z + 1 << "\n";
  return s.str();
}

std::string ref(int colour, double x, double y, double z, const std::string& name) {
  std::ostringstream s;
  s << "1 " << colour << " " << x << " " << y << " " << z << " 1 0 0 0 1 0 0 0 1 " << name << "\n";
  return s.str();
}

// The library and model, made once per process.
struct GeneratedModel {
  std::string folder;
  std::string model;
  std::string search_path;

  GeneratedModel() {
    char pattern[] = "/tmp/brick_in_bench_XXXXXX";
    folder = mkdtemp(pattern);
    std::string parts = folder + "/parts", p = folder + "/p";
    std::system(("mkdir -p '" + parts + "/s' '" + p + "'").c_str());
    for (int j = 0; j < kPrimitives; ++j) {  // a ring of 8 quads: 16 triangles
      std::string text;
      for (int k = 0; k < 8; ++k) text += quad(k, j, 0);
      write_file(p + "/prim" + std::to_string(j) + ".dat", text);
    }
    for (int i = 0; i < kParts; ++i) {
      std::string part = quad(i, 0, 0) + quad(i, 1, 0);
      for (int k = 0; k < 2; ++k) {
        std::string sub = quad(k, i, 0) + quad(k, i, 1);
        for (int n = 0; n < 4; ++n)
          sub += ref(16, n * 20, 0, k, "prim" + std::to_string((i + n) % kPrimitives) + ".dat");
        std::string sub_name = "sub" + std::to_string(i) + "_" + std::to_string(k) + ".dat";
        write_file(parts + "/s/" + sub_name, sub);
        part += ref(16, 0, -24 * k, 0, "s\\" + sub_name);
      }
      write_file(parts + "/part" + std::to_string(i) + ".dat", part);
    }
    std::string text;
    for (int r = 0; r < kReferences; ++r)
      text += ref(r % 16, (r % 100) * 40.0, -24.0 * (r / 1000), (r / 100 % 10) * 40.0,
                  "part" + std::to_string(r % kParts) + ".dat");
    model = folder + "/model.ldr";
    write_file(model, text);
    search_path = parts + ";" + p + ";";
  }
  ~GeneratedModel() { std::system(("rm -rf '" + folder + "'").c_str()); }
};

void BM_ImportGeneratedModel(benchmark::State& state) {
  static GeneratedModel generated;
  int64_t faces = 0;
  for (auto _ : state) {
    ObjectList objects(release_object);
    LogFile log;  // disabled, as with verbose off
    LDrawScene scene;
    read_ldraw_scene(generated.model, generated.search_path, log, FileProgress(), scene);
    faces = 0;
    for (const SceneElement& element : scene.elements) {
      Mesh3d* mesh = build_scene_mesh(element);
      if (mesh == nullptr) continue;
      mesh->to_flat();
      mesh->drop_tables();
      faces += mesh->flat_face_count;
      objects.append(mesh);
    }
    benchmark::DoNotOptimize(objects.count());
  }
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  state.counters["meshes"] = kReferences;
  state.counters["faces"] = static_cast<double>(faces);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

BENCHMARK(BM_ImportGeneratedModel)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
