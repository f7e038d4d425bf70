// POV-Ray 3.7 renders the scenes the plug-in writes, and the pictures show the model: whole,
// not cut off, a fair part of the frame, in its colours, see-through where it is transparent,
// and not mirrored. POV-Ray must read every scene without an error or a warning.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "rayinc_out/rayinc_export_support.h"

namespace {

const char kClass[] = "POV-Ray 3.7 Scene (*.pov)";
const char kOwner[] = "povscene_out";

struct Rgb {
  double r, g, b;
};

double distance(const Rgb& a, const Rgb& b) {
  return std::sqrt((a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) +
                   (a.b - b.b) * (a.b - b.b));
}

// A rendered picture, read back from POV-Ray's PPM output, with what POV-Ray said.
struct Picture {
  bool ok = false;
  std::string log;
  int width = 0, height = 0;
  std::vector<Rgb> pixels;  // row by row from the top, channels 0 to 255
  const Rgb& at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Picture render(const std::string& scene, int width, int height) {
  Picture picture;
  const std::string image = scene + ".ppm", log = scene + ".log";
  const std::string command = std::string("'") + MORVANE_POVRAY + "' +W" + std::to_string(width) +
                              " +H" + std::to_string(height) + " -A -D +FP +I'" + scene + "' +O'" +
                              image + "' > '" + log + "' 2>&1";
  picture.ok = std::system(command.c_str()) == 0;
  picture.log = read_file(log);
  std::ifstream ppm(image, std::ios::binary);
  auto word = [&ppm]() {
    std::string w;
    while (ppm >> w && w[0] == '#') std::getline(ppm, w);
    return w;
  };
  const std::string magic = word();
  picture.width = std::atoi(word().c_str());
  picture.height = std::atoi(word().c_str());
  const int maximum = std::atoi(word().c_str());
  ppm.get();
  if (magic != "P6" || picture.width != width || picture.height != height || maximum <= 0) {
    picture.ok = false;
    return picture;
  }
  const int bytes = maximum > 255 ? 2 : 1;
  std::string data(static_cast<size_t>(width * height * 3 * bytes), '\0');
  ppm.read(&data[0], static_cast<std::streamsize>(data.size()));
  auto channel = [&](size_t i) {
    const auto* d = reinterpret_cast<const unsigned char*>(data.data());
    const double v = bytes == 2 ? d[2 * i] * 256.0 + d[2 * i + 1] : d[i];
    return v * 255.0 / maximum;
  };
  for (size_t p = 0; p < static_cast<size_t>(width * height); ++p)
    picture.pixels.push_back({channel(3 * p), channel(3 * p + 1), channel(3 * p + 2)});
  return picture;
}

// What the model covers: every pixel that is not the background's colour.
struct Silhouette {
  int pixels = 0;
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
  bool touches_edge = false;
};

Silhouette silhouette(const Picture& p, const Rgb& background) {
  Silhouette s;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      if (distance(p.at(x, y), background) <= 3.0) continue;
      ++s.pixels;
      s.left = std::min(s.left, x), s.right = std::max(s.right, x);
      s.top = std::min(s.top, y), s.bottom = std::max(s.bottom, y);
      if (x == 0 || y == 0 || x == p.width - 1 || y == p.height - 1) s.touches_edge = true;
    }
  return s;
}

// Lines in which POV-Ray warns or complains (its banner's "Warning Stream" line is neither).
std::string complaints(const std::string& log) {
  std::string found;
  std::istringstream lines(log);
  for (std::string line; std::getline(lines, line);)
    if (line.find("Warning:") != std::string::npos || line.find("Error") != std::string::npos)
      found += line + "\n";
  return found;
}

// A box from min to max, closed, 12 triangles.
std::unique_ptr<Mesh3d> box(const char* name, Vec3d lo, Vec3d hi) {
  auto mesh = std::make_unique<Mesh3d>(8, name);
  auto corner = [&](int i) {
    return v3((i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z);
  };
  const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                           {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& s : sides) {
    mesh->add_triangle(corner(s[0]), corner(s[1]), corner(s[2]));
    mesh->add_triangle(corner(s[0]), corner(s[2]), corner(s[3]));
  }
  return mesh;
}

std::unique_ptr<Mesh3d> with_colour(std::unique_ptr<Mesh3d> mesh, double r, double g, double b,
                                    double a = 1.0, Finish finish = Finish::kPlastic) {
  mesh->has_appearance = 1;
  mesh->appearance.rgba[0] = r, mesh->appearance.rgba[1] = g, mesh->appearance.rgba[2] = b;
  mesh->appearance.rgba[3] = a;
  mesh->appearance.finish = finish;
  return mesh;
}

// A grid of columns x rows quads (two triangles each) over [0, columns] x [0, rows], gently
// waved so that it has height as well.
std::unique_ptr<Mesh3d> grid(int columns, int rows) {
  auto mesh = std::make_unique<Mesh3d>((columns + 1) * (rows + 1), "grid", false);
  auto at = [](int i, int j) { return v3(i, j, 2.0 * std::sin(i * 0.01) * std::cos(j * 0.013)); };
  std::vector<Vec3d> corners;
  corners.reserve(static_cast<size_t>(6 * columns));
  for (int j = 0; j < rows; ++j) {
    corners.clear();
    for (int i = 0; i < columns; ++i) {
      const Vec3d a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
      corners.insert(corners.end(), {a, b, c, a, c, d});
    }
    mesh->add_triangles(corners.data(), 2 * columns);
  }
  return mesh;
}

class PovSceneRender : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(MORVANE_POVRAY).empty() || !file_exists(MORVANE_POVRAY))
      GTEST_SKIP() << "povray is not installed";
    ASSERT_TRUE(library_.loaded()) << library_.error();
    keep_plugin_loaded("povscene_out.so");
    SettingsWriteInt(kOwner, "Common Settings", "verbose_mode", 0);
    SettingsWriteInt(kOwner, "Common Settings", "ld_mode", 1);
    SettingsWriteDouble(kOwner, "Common Settings", "size_value", 1.0);
    SettingsWriteInt(kOwner, "Common Settings", "swap_mode", 0);
    View(30.0, 25.0);
    SettingsWriteInt(kOwner, "Specific Settings", "ground_plane", 0);
    HostObjects nothing;
    background_ = Render(nothing, "empty", 8, 6).at(0, 0);
  }

  void View(double azimuth, double elevation) {
    SettingsWriteDouble(kOwner, "Specific Settings", "azimuth", azimuth);
    SettingsWriteDouble(kOwner, "Specific Settings", "elevation", elevation);
  }

  // Exports the list through the plug-in as the batch converter does and renders the scene.
  Picture Render(HostObjects& objects, const std::string& tag, int width = 160, int height = 120) {
    MeshExporter* exporter = library_.NewExporter(kClass);
    EXPECT_NE(exporter, nullptr);
    if (exporter == nullptr) return Picture();
    const std::string base = folder_.file(tag);
    ExportFileNames names{base.c_str(), nullptr};
    exporter->Export(objects.list(), EXPORT_GIVEN_NAMES, &names);
    exporter->DeleteThis();
    return render(base + ".pov", width, height);
  }

  // The picture shows the whole model, not cut off, over a fair part of the frame.
  void ExpectFramed(const Picture& p, const std::string& what, double least_cover = 0.05) {
    ASSERT_TRUE(p.ok) << what << "\n" << p.log;
    EXPECT_EQ(complaints(p.log), "") << what;
    const Silhouette s = silhouette(p, background_);
    ASSERT_GT(s.pixels, 0) << what << ": nothing in the picture";
    EXPECT_FALSE(s.touches_edge) << what << ": cut off at the picture's edge";
    EXPECT_GT(s.pixels, least_cover * p.width * p.height) << what;
    const double spread =
        std::max(double(s.right - s.left + 1) / p.width, double(s.bottom - s.top + 1) / p.height);
    EXPECT_GT(spread, 0.6) << what << ": the model should span most of the frame";
  }

  PluginUnderTest library_{"povscene_out.so"};
  TempFolder folder_;
  Rgb background_{0, 0, 0};
};

}  // namespace

TEST_F(PovSceneRender, ModelsOfEveryShapeAndPlaceAreFramed) {
  struct Case {
    const char* what;
    std::unique_ptr<Mesh3d> mesh;
    double least_cover;
  };
  Case cases[] = {
      {"cube", box("cube", v3(0, 0, 0), v3(1, 1, 1)), 0.1},
      {"far from the origin", box("far", v3(1e6, -2e6, 5e5), v3(1e6 + 10, -2e6 + 6, 5e5 + 4)), 0.1},
      {"very flat", box("plate", v3(-50, -50, 0), v3(50, 50, 0.01)), 0.1},
      {"very tall", box("tower", v3(0, 0, 0), v3(1, 1, 100)), 0.003},
      {"very long", box("beam", v3(0, 0, 0), v3(300, 2, 2)), 0.005},
  };
  for (Case& c : cases) {
    HostObjects objects;
    objects.add(std::move(c.mesh));
    ExpectFramed(Render(objects, "shape" + std::to_string(&c - cases)), c.what, c.least_cover);
  }
}

TEST_F(PovSceneRender, MillionTriangleGridIsFramed) {
  HostObjects objects;
  objects.add(grid(1000, 500));
  ASSERT_EQ(objects.mesh(0)->flat_face_count, 1000000);
  ExpectFramed(Render(objects, "grid", 80, 60), "1,000,000 triangles", 0.1);
}

TEST_F(PovSceneRender, BrickShowsItsColour) {
  HostObjects objects;
  // LDraw's red, #C91A09.
  objects.add(with_colour(box("brick", v3(0, 0, 0), v3(40, 20, 24)), 0.788, 0.102, 0.035));
  const Picture p = Render(objects, "red");
  ExpectFramed(p, "red brick", 0.1);
  int red = 0, counted = 0;
  for (const Rgb& c : p.pixels) {
    if (distance(c, background_) <= 3.0) continue;
    ++counted;
    red += c.r > 40.0 && c.r > 2.0 * c.g && c.r > 2.0 * c.b;
  }
  EXPECT_GT(red, counted * 9 / 10) << "the brick's pixels are red";
  const Rgb& centre = p.at(p.width / 2, p.height / 2);
  EXPECT_GT(centre.r, 2.0 * centre.g) << "red where the brick is";
}

TEST_F(PovSceneRender, TransparentPartLetsWhatLiesBehindThrough) {
  // A wide pane in front (on the camera's side) of a green block: clear glass shows the block,
  // an opaque pane of the same colour hides it.
  auto scene = [](double alpha, Finish finish, bool with_pane) {
    auto objects = std::make_unique<HostObjects>();
    objects->add(with_colour(box("block", v3(-2, 2, 0), v3(2, 6, 4)), 0.1, 0.8, 0.1));
    if (with_pane)
      objects->add(with_colour(box("pane", v3(-8, -5.2, 0), v3(12, -5, 14)), 0.95, 0.95, 0.95,
                               alpha, finish));
    return objects;
  };
  auto green_pixels = [](const Picture& p) {
    int n = 0;
    for (const Rgb& c : p.pixels) n += c.g > 40.0 && c.g > 1.5 * c.r && c.g > 1.5 * c.b;
    return n;
  };
  auto glass = scene(0.2, Finish::kTransparent, true);
  auto opaque = scene(1.0, Finish::kPlastic, true);
  // The same camera for all three: the pane's box frames them.
  const Picture through = Render(*glass, "glass");
  const Picture hidden = Render(*opaque, "opaque");
  ASSERT_TRUE(through.ok) << through.log;
  ASSERT_TRUE(hidden.ok) << hidden.log;
  EXPECT_EQ(complaints(through.log), "");
  const int behind_glass = green_pixels(through), behind_pane = green_pixels(hidden);
  EXPECT_EQ(behind_pane, 0) << "the opaque pane hides the block";
  EXPECT_GT(behind_glass, 100) << "the block shows through the glass";
  const Silhouette s = silhouette(through, background_);
  EXPECT_FALSE(s.touches_edge);
}

TEST_F(PovSceneRender, PictureIsNotMirrored) {
  // Red on +x, green on +y, blue on +z around a grey core: seen from the side all three axes
  // point toward, a right-handed model shows x, y, z counter-clockwise.
  HostObjects objects;
  objects.add(box("core", v3(-0.5, -0.5, -0.5), v3(0.5, 0.5, 0.5)));
  objects.add(with_colour(box("xmark", v3(2, -0.4, -0.4), v3(2.8, 0.4, 0.4)), 1, 0, 0));
  objects.add(with_colour(box("ymark", v3(-0.4, 2, -0.4), v3(0.4, 2.8, 0.4)), 0, 1, 0));
  objects.add(with_colour(box("zmark", v3(-0.4, -0.4, 2), v3(0.4, 0.4, 2.8)), 0, 0, 1));
  for (double azimuth : {110.0, 135.0, 160.0}) {
    View(azimuth, 35.0);
    const Picture p = Render(objects, "axes" + std::to_string(int(azimuth)));
    ExpectFramed(p, "axes");
    double sum[3][2] = {}, count[3] = {};
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) {
        const Rgb& c = p.at(x, y);
        const double ch[3] = {c.r, c.g, c.b};
        for (int k = 0; k < 3; ++k)
          if (ch[k] > 30.0 && ch[k] > 3.0 * ch[(k + 1) % 3] && ch[k] > 3.0 * ch[(k + 2) % 3]) {
            sum[k][0] += x, sum[k][1] += p.height - 1 - y, count[k] += 1;
          }
      }
    for (int k = 0; k < 3; ++k) ASSERT_GT(count[k], 0) << "marker " << k << " not seen";
    double m[3][2];
    for (int k = 0; k < 3; ++k) m[k][0] = sum[k][0] / count[k], m[k][1] = sum[k][1] / count[k];
    const double turn =
        (m[1][0] - m[0][0]) * (m[2][1] - m[0][1]) - (m[1][1] - m[0][1]) * (m[2][0] - m[0][0]);
    EXPECT_GT(turn, 0.0) << "azimuth " << azimuth << ": x, y, z run clockwise (mirrored)";
  }
}

TEST_F(PovSceneRender, GroundPlaneTakesTheShadow) {
  SettingsWriteInt(kOwner, "Specific Settings", "ground_plane", 1);
  HostObjects objects;
  objects.add(box("block", v3(0, 0, 0), v3(4, 4, 8)));
  const Picture p = Render(objects, "ground");
  ASSERT_TRUE(p.ok) << p.log;
  EXPECT_EQ(complaints(p.log), "");
  // The floor fills the picture's lower edge, and the block's shadow lies on it: some floor
  // pixels are clearly darker than the floor's lit part.
  double darkest = 1e9, brightest = 0.0;
  for (int x = 0; x < p.width; ++x) {
    const Rgb& c = p.at(x, p.height - 1);
    EXPECT_GT(distance(c, background_), 3.0) << "floor at the bottom edge";
  }
  for (int y = p.height / 2; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const Rgb& c = p.at(x, y);
      const double grey = (c.r + c.g + c.b) / 3.0;
      darkest = std::min(darkest, grey), brightest = std::max(brightest, grey);
    }
  EXPECT_LT(darkest, 0.6 * brightest);
}

TEST_F(PovSceneRender, LDrawSampleIsFramed) {
  keep_plugin_loaded("brick_in.so");
  PluginUnderTest brick_in("brick_in.so");
  if (!brick_in.loaded()) GTEST_SKIP() << "no brick_in plug-in";
  const std::string samples = std::string(MORVANE_SOURCE_DIR) + "/examples/ldraw";
  SettingsWriteString("brick_in", "Specific Settings", "search_path",
                      (samples + "/parts;" + samples + "/p;").c_str());
  MeshImporter* importer = brick_in.NewImporter("LDraw (*.dat)");
  ASSERT_NE(importer, nullptr);
  ObjectList* imported = importer->ImportFile((samples + "/models/tower.ldr").c_str());
  ASSERT_GT(imported->count(), 0);
  MeshExporter* exporter = library_.NewExporter(kClass);
  ASSERT_NE(exporter, nullptr);
  const std::string base = folder_.file("tower");
  ExportFileNames names{base.c_str(), nullptr};
  exporter->Export(imported, EXPORT_GIVEN_NAMES, &names);
  exporter->DeleteThis();
  importer->DeleteThis();
  ExpectFramed(render(base + ".pov", 160, 120), "LDraw sample", 0.1);
}
