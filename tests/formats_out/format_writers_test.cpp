// The writers of the exchange formats on their own: small meshes built here, files read back
// byte by byte.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "meshlib/corner_normal_pass.h"
#include "meshlib/mesh3d.h"
#include "plugins/formats_out/corner_vertices.h"
#include "plugins/formats_out/export_geometry.h"
#include "plugins/formats_out/gltf_writer.h"
#include "plugins/formats_out/json_text.h"
#include "plugins/formats_out/obj_writer.h"
#include "plugins/formats_out/ply_writer.h"
#include "plugins/formats_out/stl_writer.h"

namespace {

// A unit cube, every face wound counter-clockwise seen from outside (right-handed axes).
std::unique_ptr<Mesh3d> cube(const char* name) {
  static const double kCorners[12][9] = {
      {0, 0, 0, 0, 1, 0, 1, 1, 0}, {0, 0, 0, 1, 1, 0, 1, 0, 0},  // bottom, -z
      {0, 0, 1, 1, 0, 1, 1, 1, 1}, {0, 0, 1, 1, 1, 1, 0, 1, 1},  // top, +z
      {0, 0, 0, 1, 0, 0, 1, 0, 1}, {0, 0, 0, 1, 0, 1, 0, 0, 1},  // front, -y
      {0, 1, 0, 1, 1, 1, 1, 1, 0}, {0, 1, 0, 0, 1, 1, 1, 1, 1},  // back, +y
      {0, 0, 0, 0, 0, 1, 0, 1, 1}, {0, 0, 0, 0, 1, 1, 0, 1, 0},  // left, -x
      {1, 0, 0, 1, 1, 0, 1, 1, 1}, {1, 0, 0, 1, 1, 1, 1, 0, 1},  // right, +x
  };
  auto mesh = std::make_unique<Mesh3d>(8, name, false);
  for (const auto& c : kCorners)
    mesh->add_triangle(Vec3d{c[0], c[1], c[2]}, Vec3d{c[3], c[4], c[5]}, Vec3d{c[6], c[7], c[8]});
  return mesh;
}

std::unique_ptr<Mesh3d> triangle(const char* name) {
  auto mesh = std::make_unique<Mesh3d>(3, name, false);
  mesh->add_triangle(Vec3d{0, 0, 0}, Vec3d{2, 0, 0}, Vec3d{0, 3, 1});
  return mesh;
}

void paint(Mesh3d& mesh, double r, double g, double b, double a) {
  mesh.has_appearance = 1;
  mesh.appearance.rgba[0] = r;
  mesh.appearance.rgba[1] = g;
  mesh.appearance.rgba[2] = b;
  mesh.appearance.rgba[3] = a;
  if (a < 1.0) mesh.appearance.finish = Finish::kTransparent;
}

// The geometry an export hands the writers: the mesh's flat form, unscaled and unswapped.
ExportGeometry geometry_of(Mesh3d& mesh) {
  if (mesh.flat_vertices == nullptr) mesh.to_flat();
  ExportGeometry geometry;
  geometry_from_flat(mesh, 1.0, 0, &geometry);
  return geometry;
}

MeshSource source_of(const std::vector<Mesh3d*>& meshes) {
  return [meshes](const MeshVisitor& visit) {
    for (Mesh3d* mesh : meshes) visit(geometry_of(*mesh));
  };
}

// A temporary file that a writer fills and a test reads back whole.
class Scratch {
 public:
  Scratch() : file_(std::tmpfile()) {}
  ~Scratch() { std::fclose(file_); }
  std::FILE* file() const { return file_; }
  std::string bytes() const {
    std::fflush(file_);
    std::string all;
    std::rewind(file_);
    char block[4096];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file_)) > 0) all.append(block, n);
    return all;
  }

 private:
  std::FILE* file_;
};

uint32_t u32_at(const std::string& bytes, size_t at) {
  uint32_t v;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

float float_at(const std::string& bytes, size_t at) {
  float v;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

size_t count_of(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

struct Glb {
  std::string json;
  std::string bin;
};

Glb write_glb(const std::vector<Mesh3d*>& meshes, double smooth_angle = 70.0) {
  Scratch out;
  WriteOptions options;
  options.smooth_angle = smooth_angle;
  write_gltf({out.file(), nullptr, ""}, source_of(meshes), options, nullptr);
  const std::string bytes = out.bytes();
  Glb glb;
  if (bytes.size() < 20) return glb;
  const uint32_t json_length = u32_at(bytes, 12);
  glb.json = bytes.substr(20, json_length);
  if (bytes.size() > 28 + json_length) glb.bin = bytes.substr(28 + json_length);
  return glb;
}

bool validator_installed() {
  if (std::string(MORVANE_NODE).find("NOTFOUND") != std::string::npos) return false;
  std::FILE* probe = std::fopen(
      MORVANE_SOURCE_DIR "/tools/gltf-validator/node_modules/gltf-validator/package.json", "r");
  if (probe == nullptr) return false;
  std::fclose(probe);
  return true;
}

}  // namespace

TEST(CornerVertices, CreasesSplitCubeCornersAndSmoothingSharesThem) {
  auto mesh = cube("cube");
  const ExportGeometry geometry = geometry_of(*mesh);
  CornerVertices split;
  split_corner_vertices(geometry, 70.0, &split, nullptr);
  EXPECT_EQ(split.source.size(), 24u);  // three faces meet at right angles in each corner
  ASSERT_EQ(split.corners.size(), 36u);
  // Face 2 is on top: its corners' normals point up, out of the cube.
  for (int k = 0; k < 3; ++k) {
    const float* n = &split.normals[split.corners[2 * 3 + k] * 3];
    EXPECT_FLOAT_EQ(n[0], 0.0f);
    EXPECT_FLOAT_EQ(n[1], 0.0f);
    EXPECT_FLOAT_EQ(n[2], 1.0f);
  }
  split_corner_vertices(geometry, 100.0, &split, nullptr);
  EXPECT_EQ(split.source.size(), 8u);
  split_corner_vertices(geometry, 0.0, &split, nullptr);
  EXPECT_EQ(split.source.size(), 24u);
}

TEST(CornerVertices, NormalsAreThoseOfTheRayTracerWriters) {
  // A wavy strip with a degenerate face: shallow and sharp creases, and a corner without one.
  Mesh3d mesh(64, "strip");
  for (int i = 0; i < 12; ++i) {
    const double z0 = (i % 3) * 0.4, z1 = ((i + 1) % 3) * 0.4;
    mesh.add_triangle(Vec3d{double(i), 0, z0}, Vec3d{double(i + 1), 0, z1},
                      Vec3d{double(i), 1, z0});
    mesh.add_triangle(Vec3d{double(i + 1), 0, z1}, Vec3d{double(i + 1), 1, z1},
                      Vec3d{double(i), 1, z0});
  }
  mesh.add_triangle(Vec3d{0, 0, 0}, Vec3d{0, 0, 0}, Vec3d{1, 0, 0.4});
  const ExportGeometry geometry = geometry_of(mesh);
  for (double angle : {0.0, 20.0, 45.0, 70.0, 180.0}) {
    CornerVertices split;
    split_corner_vertices(geometry, angle, &split, nullptr);
    CornerNormalPass pass(mesh, angle);
    for (int32_t f = 0; f < mesh.face_count(); ++f) {
      Vec3d n[3];
      pass.get(f, n);
      for (int k = 0; k < 3; ++k) {
        const float* written = &split.normals[split.corners[static_cast<size_t>(f * 3 + k)] * 3];
        if (vec_length(n[k]) == 0.0) {
          EXPECT_EQ(written[2], 1.0f) << "a corner without a normal gets (0, 0, 1)";
          continue;
        }
        EXPECT_EQ(written[0], static_cast<float>(-n[k].x) + 0.0f) << angle << " " << f;
        EXPECT_EQ(written[1], static_cast<float>(-n[k].y) + 0.0f) << angle << " " << f;
        EXPECT_EQ(written[2], static_cast<float>(-n[k].z) + 0.0f) << angle << " " << f;
      }
    }
  }
}

TEST(ExportGeometry, SizeAndSwapScaleMirrorAndFlipAsTheMeshOperationsDo) {
  auto mesh = triangle("t");
  mesh->to_flat();
  ExportGeometry geometry;
  geometry_from_flat(*mesh, 2.0, 3, &geometry);
  ASSERT_EQ(geometry.face_count(), 1);
  EXPECT_EQ(geometry.faces, (std::vector<int32_t>{1, 0, 2}));  // flipped with the mirror
  EXPECT_EQ(geometry.positions[2].y, 2.0);                     // (0, 3, 1) scaled, y and z swapped
  EXPECT_EQ(geometry.positions[2].z, 6.0);
  // A face with an index outside the vertex array is left out.
  mesh->flat_faces[0].v[2] = 3;
  geometry_from_flat(*mesh, 1.0, 0, &geometry);
  EXPECT_EQ(geometry.face_count(), 0);
}

TEST(GltfWriter, BinaryContainerHoldsJsonThenBufferWithTheirLengths) {
  auto mesh = cube("cube");
  Scratch out;
  write_gltf({out.file(), nullptr, ""}, source_of({mesh.get()}), WriteOptions(), nullptr);
  const std::string bytes = out.bytes();
  ASSERT_GE(bytes.size(), 28u);
  EXPECT_EQ(bytes.substr(0, 4), "glTF");
  EXPECT_EQ(u32_at(bytes, 4), 2u);
  EXPECT_EQ(u32_at(bytes, 8), bytes.size());
  const uint32_t json_length = u32_at(bytes, 12);
  EXPECT_EQ(json_length % 4, 0u);
  EXPECT_EQ(bytes.substr(16, 4), "JSON");
  const size_t bin_at = 20 + json_length;
  EXPECT_EQ(bytes.substr(bin_at + 4, 4), std::string("BIN\0", 4));
  // 24 vertices of positions and normals, 36 16-bit indices.
  EXPECT_EQ(u32_at(bytes, bin_at), 24u * 24 + 36 * 2);
  EXPECT_EQ(bin_at + 8 + u32_at(bytes, bin_at), bytes.size());
}

TEST(GltfWriter, PositionsAndNormalsTurnToYUpWithBoundsOfTheWrittenFloats) {
  auto mesh = triangle("t");
  const Glb glb = write_glb({mesh.get()});
  // (x, y, z) becomes (x, z, -y).
  EXPECT_NE(glb.json.find("\"min\":[0,0,-3],\"max\":[2,1,0]"), std::string::npos) << glb.json;
  ASSERT_GE(glb.bin.size(), 3u * 24);
  const float expected[9] = {0, 0, 0, 2, 0, 0, 0, 1, -3};
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(float_at(glb.bin, 4 * i), expected[i]) << i;
  // The triangle runs counter-clockwise seen from +z: its normal (0, -1, 3) / |..| turned.
  const float ny = float_at(glb.bin, 36 + 4), nz = float_at(glb.bin, 36 + 8);
  EXPECT_NEAR(ny, 3.0 / std::sqrt(10.0), 1e-6);
  EXPECT_NEAR(nz, 1.0 / std::sqrt(10.0), 1e-6);
}

TEST(GltfWriter, OneMaterialPerDistinctAppearanceAndTransparentOnesBlend) {
  auto red1 = cube("red1"), red2 = cube("red2"), glass = cube("glass"), plain = cube("plain");
  paint(*red1, 1.0, 0.0, 0.0, 1.0);
  paint(*red2, 1.0, 0.0, 0.0, 1.0);
  paint(*glass, 0.0, 0.0, 1.0, 0.5);
  const Glb glb = write_glb({red1.get(), red2.get(), glass.get(), plain.get()});
  EXPECT_EQ(count_of(glb.json, "\"pbrMetallicRoughness\""), 3u);
  EXPECT_EQ(count_of(glb.json, "\"alphaMode\":\"BLEND\""), 1u);
  EXPECT_EQ(count_of(glb.json, "\"material\":0"), 2u);
  EXPECT_NE(glb.json.find("\"baseColorFactor\":[1,0,0,1]"), std::string::npos);
  EXPECT_NE(glb.json.find("\"baseColorFactor\":[0,0,1,0.5]"), std::string::npos);
  // The neutral grey 0.8 of meshes without colours, as a linear factor.
  EXPECT_NE(glb.json.find("{\"name\":\"Default\",\"pbrMetallicRoughness\":{\"baseColorFactor\":"
                          "[0.603827339,0.603827339,0.603827339,1]"),
            std::string::npos);
  EXPECT_EQ(count_of(glb.json, "\"mesh\":"), 4u);
}

TEST(GltfWriter, JsonFileNamesItsBufferAndTakesTheLineEnds) {
  auto mesh = triangle("t");
  Scratch gltf, bin;
  WriteOptions options;
  options.ld_mode = 0;
  write_gltf({gltf.file(), bin.file(), file_uri("my model.bin")}, source_of({mesh.get()}), options,
             nullptr);
  const std::string json = gltf.bytes();
  EXPECT_NE(json.find("\"uri\":\"my%20model.bin\""), std::string::npos);
  EXPECT_EQ(count_of(json, "\n"), count_of(json, "\r\n"));
  EXPECT_GT(count_of(json, "\r\n"), 3u);
  EXPECT_EQ(bin.bytes().size(), 3u * 24 + 8);  // three 16-bit indices padded to four bytes
}

TEST(GltfWriter, MeshesWithoutFacesAreLeftOutAndNoMeshesGiveAnEmptyScene) {
  Mesh3d empty(1, "empty", false);
  const Glb glb = write_glb({&empty});
  EXPECT_EQ(glb.json.find("\"meshes\""), std::string::npos);
  EXPECT_EQ(glb.json.find("\"buffers\""), std::string::npos);
  EXPECT_NE(glb.json.find("\"scenes\":[{}]"), std::string::npos);
  EXPECT_TRUE(glb.bin.empty());
}

TEST(GltfWriter, ColouredFinishesAndOddNamesPassTheKhronosValidator) {
  const std::string script = MORVANE_SOURCE_DIR "/tools/gltf-validator/validate.js";
  if (!validator_installed())
    GTEST_SKIP() << "node or the glTF validator is missing: run scripts/setup.sh";
  auto red = cube(
           "r\xe9"
           "d \"one\""),
       glass = cube("glass"), glow = cube("glow"), chrome = cube("chrome"),
       plain = triangle("plain");
  paint(*red, 1.0, 0.0, 0.0, 1.0);
  paint(*glass, 0.2, 0.4, 1.0, 0.3);
  paint(*glow, 1.0, 1.0, 0.5, 1.0);
  glow->appearance.finish = Finish::kGlow;
  glow->appearance.emissive[0] = glow->appearance.emissive[1] = 1.0;
  paint(*chrome, 0.7, 0.7, 0.7, 1.0);
  chrome->appearance.finish = Finish::kChrome;
  plain->add_triangle(Vec3d{5, 5, 5}, Vec3d{5, 5, 5}, Vec3d{6, 5, 5});  // degenerate
  const std::vector<Mesh3d*> meshes = {red.get(), glass.get(), glow.get(), chrome.get(),
                                       plain.get()};
  char folder[] = "/tmp/gltf_writer_test.XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string base = std::string(folder) + "/my model";
  {
    std::FILE* glb = std::fopen((base + ".glb").c_str(), "wb");
    std::FILE* gltf = std::fopen((base + ".gltf").c_str(), "wb");
    std::FILE* bin = std::fopen((base + ".bin").c_str(), "wb");
    ASSERT_TRUE(glb && gltf && bin);
    write_gltf({glb, nullptr, ""}, source_of(meshes), WriteOptions(), nullptr);
    write_gltf({gltf, bin, file_uri("my model.bin")}, source_of(meshes), WriteOptions(), nullptr);
    std::fclose(glb);
    std::fclose(gltf);
    std::fclose(bin);
  }
  const std::string command = std::string(MORVANE_NODE) + " '" + script + "' '" + base + ".glb' '" +
                              base + ".gltf' > '" + folder + "/report' 2>&1";
  const int status = std::system(command.c_str());
  std::FILE* report = std::fopen((std::string(folder) + "/report").c_str(), "r");
  std::string text;
  for (int c; report != nullptr && (c = std::fgetc(report)) != EOF;) text += static_cast<char>(c);
  if (report != nullptr) std::fclose(report);
  std::system(("rm -rf '" + std::string(folder) + "'").c_str());
  EXPECT_EQ(status, 0) << text;
  EXPECT_NE(text.find(".gltf: 0 errors, 0 warnings"), std::string::npos) << text;
}

TEST(JsonText, NamesBecomeValidUtf8JsonStrings) {
  const struct {
    std::string text;
    std::string json;
  } cases[] = {
      {"Caf\xe9", "\"Caf\xc3\xa9\""},                    // Latin-1 of an older file
      {"Caf\xc3\xa9", "\"Caf\xc3\xa9\""},                // already UTF-8
      {"a\"b\\c\n", "\"a\\\"b\\\\c\\u000a\""},           // escapes
      {"\xed\xa0\x80", "\"\xc3\xad\xc2\xa0\xc2\x80\""},  // a surrogate is not UTF-8
  };
  for (const auto& c : cases) {
    std::string out;
    append_json_string(out, c.text);
    EXPECT_EQ(out, c.json);
  }
  std::string number;
  append_json_number(number, 0.1f);
  EXPECT_EQ(number, "0.100000001");
  EXPECT_EQ(file_uri("a b/ü.bin"), "a%20b%2F%C3%BC.bin");
}

TEST(ObjWriter, TriangleWithItsMaterialByteForByte) {
  auto mesh = triangle("my part");
  paint(*mesh, 1.0, 0.5, 0.0, 0.25);
  Scratch obj, mtl;
  write_obj(obj.file(), mtl.file(), "t.mtl", source_of({mesh.get()}), WriteOptions(), nullptr);
  EXPECT_EQ(obj.bytes(),
            "# Wavefront OBJ written by Morvane\nmtllib t.mtl\n\ng my_part\nusemtl my_part\n"
            "v 0.000000 0.000000 0.000000\nv 2.000000 0.000000 0.000000\n"
            "v 0.000000 1.000000 -3.000000\n"
            "vn 0.000000 0.948683 0.316228\n"
            "f 1//1 2//1 3//1\n");
  EXPECT_EQ(mtl.bytes(),
            "# Wavefront material library written by Morvane\n\nnewmtl my_part\n"
            "Ka 0.000000 0.000000 0.000000\nKd 1.000000 0.500000 0.000000\n"
            "Ks 0.000000 0.000000 0.000000\nNs 0.000000\nd 0.250000\nillum 2\n\n");
}

TEST(ObjWriter, IndicesContinueAcrossMeshesAndNamesStayApart) {
  auto a = triangle("a b"), b = triangle("a_b");
  Scratch obj, mtl;
  WriteOptions options;
  options.ld_mode = 0;
  write_obj(obj.file(), mtl.file(), "t.mtl", source_of({a.get(), b.get()}), options, nullptr);
  const std::string text = obj.bytes();
  EXPECT_NE(text.find("g a_b\r\n"), std::string::npos);
  EXPECT_NE(text.find("g a_b_0\r\n"), std::string::npos);
  EXPECT_NE(text.find("f 4//2 5//2 6//2\r\n"), std::string::npos);
  EXPECT_EQ(count_of(mtl.bytes(), "newmtl "), 2u);
}

TEST(StlWriter, OneSolidOfAllMeshesWithOutwardNormals) {
  auto a = cube("a"), b = triangle("b");
  Scratch out;
  write_stl(out.file(), source_of({a.get(), b.get()}), nullptr);
  const std::string bytes = out.bytes();
  ASSERT_EQ(bytes.size(), 84u + 13 * 50);
  EXPECT_NE(bytes.substr(0, 5), "solid");
  EXPECT_EQ(u32_at(bytes, 80), 13u);
  // The top face (third triangle) of the cube.
  const size_t top = 84 + 2 * 50;
  EXPECT_FLOAT_EQ(float_at(bytes, top), 0.0f);
  EXPECT_FLOAT_EQ(float_at(bytes, top + 4), 0.0f);
  EXPECT_FLOAT_EQ(float_at(bytes, top + 8), 1.0f);
  EXPECT_FLOAT_EQ(float_at(bytes, top + 12 + 8), 1.0f);  // z of its first corner
}

TEST(PlyWriter, HeaderCountsColoursAndIndicesAcrossMeshes) {
  auto a = triangle("a"), b = triangle("b");
  paint(*a, 1.0, 0.0, 0.0, 0.5);
  Scratch out;
  write_ply(out.file(), source_of({a.get(), b.get()}), nullptr);
  const std::string bytes = out.bytes();
  const std::string header =
      "ply\nformat binary_little_endian 1.0\ncomment written by Morvane\nelement vertex 6\n"
      "property float x\nproperty float y\nproperty float z\nproperty uchar red\n"
      "property uchar green\nproperty uchar blue\nproperty uchar alpha\nelement face 2\n"
      "property list uchar int vertex_indices\nend_header\n";
  ASSERT_EQ(bytes.substr(0, header.size()), header);
  ASSERT_EQ(bytes.size(), header.size() + 6 * 16 + 2 * 13);
  const size_t v = header.size();
  EXPECT_EQ(bytes.substr(v + 12, 4), std::string("\xff\x00\x00\x80", 4));
  EXPECT_EQ(bytes.substr(v + 3 * 16 + 12, 4), "\xcc\xcc\xcc\xff");  // neutral grey, opaque
  const size_t second_face = v + 6 * 16 + 13;
  EXPECT_EQ(bytes[second_face], 3);
  EXPECT_EQ(u32_at(bytes, second_face + 1), 3u);
  EXPECT_EQ(u32_at(bytes, second_face + 9), 5u);
}
