// Reading the same model of 1,000,000 triangles as DirectX text and as binary (32 and 64-bit
// floats, plain and compressed), through the reader as the plug-in runs it. The binary files
// are written from the text by the tests' writer of binary DirectX files. For example:
//   nice -n 19 bench_xfile_forms --benchmark_repetitions=3
// Times are CPU time of the reading thread; each case also reports the file's size.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "meshlib/mesh3d.h"
#include "plugins/xfile_in/xfile_parser.h"
#include "settings/log_file.h"
#include "tests/xfile_in/xfile_test_writer.h"

namespace {

std::string g_folder;

// A wavy sheet of 1000 x 500 quads, each written as two triangles: 501,501 vertices with
// fractional coordinates and 1,000,000 three-corner faces.
std::string ModelText() {
  const int nx = 1000, ny = 500;
  std::string text =
      "xof 0302txt 0064\nMesh sheet {\n " + std::to_string((nx + 1) * (ny + 1)) + ";\n";
  char line[128];
  for (int y = 0; y <= ny; ++y)
    for (int x = 0; x <= nx; ++x) {
      std::snprintf(line, sizeof line, " %f;%f;%f;%s\n", x * 0.37, y * 0.53,
                    ((x * 7 + y * 3) % 11) * 0.125, (x == nx && y == ny) ? ";" : ",");
      text += line;
    }
  text += " " + std::to_string(2 * nx * ny) + ";\n";
  for (int y = 0; y < ny; ++y)
    for (int x = 0; x < nx; ++x) {
      const int a = y * (nx + 1) + x, b = a + 1, c = a + nx + 2, d = a + nx + 1;
      const bool last = x == nx - 1 && y == ny - 1;
      std::snprintf(line, sizeof line, " 3;%d,%d,%d;,\n 3;%d,%d,%d;%s\n", a, b, c, a, c, d,
                    last ? ";" : ",");
      text += line;
    }
  return text + "}\n";
}

std::string Write(const std::string& name, const std::string& bytes) {
  std::string path = g_folder + "/" + name;
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

void BM_Read(benchmark::State& state, const std::string* path) {
  long triangles = 0;
  for (auto _ : state) {
    LogFile log;
    XFileParseHooks hooks;
    hooks.log = &log;
    hooks.finish_mesh = [&triangles](Mesh3d* mesh) {
      triangles = mesh->face_count();
      delete mesh;
    };
    hooks.mesh_edges = false;
    if (ParseXFile(path->c_str(), hooks) != 1) state.SkipWithError("read failed");
  }
  state.counters["triangles"] = static_cast<double>(triangles);
  state.counters["file_mb"] = static_cast<double>(std::filesystem::file_size(*path)) / 1e6;
}

std::string g_text, g_binary32, g_binary64, g_bzip32;

}  // namespace

int main(int argc, char** argv) {
  char pattern[] = "/tmp/bench_xfile_forms_XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  g_folder = pattern;
  const std::string text = ModelText();
  g_text = Write("sheet_text.x", text);
  g_binary32 = Write("sheet_bin32.x", ToXForm(text, XForm::kBinary, 4));
  g_binary64 = Write("sheet_bin64.x", ToXForm(text, XForm::kBinary, 8));
  g_bzip32 = Write("sheet_bzip32.x", ToXForm(text, XForm::kCompressedBinary, 4));

  benchmark::RegisterBenchmark("Text", BM_Read, &g_text)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Binary32", BM_Read, &g_binary32)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Binary64", BM_Read, &g_binary64)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("CompressedBinary32", BM_Read, &g_bzip32)
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  std::error_code ignored;
  std::filesystem::remove_all(g_folder, ignored);
  return 0;
}
