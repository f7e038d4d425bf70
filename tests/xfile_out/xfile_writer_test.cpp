// The DirectX text writer, byte for byte: the fixed head, mesh blocks and corner normals.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "meshlib/mesh3d.h"
#include "plugins/xfile_out/xfile_writer.h"

namespace {

// The head every file starts with, as a DirectX reader expects it (LF line ends).
const char kHead[] =
    "xof 0302txt 0064\n"
    "template Header {\n <3D82AB43-62DA-11cf-AB39-0020AF71E433>\n WORD major;\n WORD minor;\n "
    "DWORD flags;\n}\n\n"
    "template Vector {\n <3D82AB5E-62DA-11cf-AB39-0020AF71E433>\n FLOAT x;\n FLOAT y;\n FLOAT "
    "z;\n}\n\n"
    "template Coords2d {\n <F6F23F44-7686-11cf-8F52-0040333594A3>\n FLOAT u;\n FLOAT v;\n}\n\n"
    "template Matrix4x4 {\n <F6F23F45-7686-11cf-8F52-0040333594A3>\n array FLOAT matrix[16];\n}\n"
    "template ColorRGBA {\n <35FF44E0-6C7C-11cf-8F52-0040333594A3>\n FLOAT red;\n FLOAT green;\n "
    "FLOAT blue;\n FLOAT alpha;\n}\n\n"
    "template ColorRGB {\n <D3E16E81-7835-11cf-8F52-0040333594A3>\n FLOAT red;\n FLOAT green;\n "
    "FLOAT blue;\n}\n\n"
    "template IndexedColor {\n <1630B820-7842-11cf-8F52-0040333594A3>\n DWORD index;\n ColorRGBA "
    "indexColor;\n}\n\n"
    "template Boolean {\n <4885AE61-78E8-11cf-8F52-0040333594A3>\n WORD truefalse;\n}\n\n"
    "template Boolean2d {\n <4885AE63-78E8-11cf-8F52-0040333594A3>\n Boolean u;\n Boolean v;\n}\n\n"
    "template MaterialWrap {\n <4885AE60-78E8-11cf-8F52-0040333594A3>\n Boolean u;\n Boolean "
    "v;\n}\n\n"
    "template TextureFilename {\n <A42790E1-7810-11cf-8F52-0040333594A3>\n STRING filename;\n}\n\n"
    "template Material {\n <3D82AB4D-62DA-11cf-AB39-0020AF71E433>\n ColorRGBA faceColor;\n FLOAT "
    "power;\n"
    " ColorRGB specularColor;\n ColorRGB emissiveColor;\n [...]\n}\n\n"
    "template MeshFace {\n <3D82AB5F-62DA-11cf-AB39-0020AF71E433>\n DWORD nFaceVertexIndices;\n"
    " array DWORD faceVertexIndices[nFaceVertexIndices];\n}\n\n"
    "template MeshFaceWraps {\n <4885AE62-78E8-11cf-8F52-0040333594A3>\n DWORD nFaceWrapValues;\n"
    " Boolean2d faceWrapValues;\n}\n\n"
    "template MeshTextureCoords {\n <F6F23F40-7686-11cf-8F52-0040333594A3>\n DWORD "
    "nTextureCoords;\n"
    " array Coords2d textureCoords[nTextureCoords];\n}\n\n"
    "template MeshMaterialList {\n <F6F23F42-7686-11cf-8F52-0040333594A3>\n DWORD nMaterials;\n "
    "DWORD nFaceIndexes;\n"
    " array DWORD faceIndexes[nFaceIndexes];\n [Material]\n}\n\n"
    "template MeshNormals {\n <F6F23F43-7686-11cf-8F52-0040333594A3>\n DWORD nNormals;\n array "
    "Vector normals[nNormals];\n"
    " DWORD nFaceNormals;\n array MeshFace faceNormals[nFaceNormals];\n}\n\n"
    "template MeshVertexColors {\n <1630B821-7842-11cf-8F52-0040333594A3>\n DWORD nVertexColors;\n"
    " array IndexedColor vertexColors[nVertexColors];\n}\n\n"
    "template Mesh {\n <3D82AB44-62DA-11cf-AB39-0020AF71E433>\n DWORD nVertices;\n array Vector "
    "vertices[nVertices];\n"
    " DWORD nFaces;\n array MeshFace faces[nFaces];\n [...]\n}\n\n"
    "template FrameTransformMatrix {\n <F6F23F41-7686-11cf-8F52-0040333594A3>\n Matrix4x4 "
    "frameMatrix;\n}\n\n"
    "template Frame {\n <3D82AB46-62DA-11cf-AB39-0020AF71E433>\n [...]\n}\n"
    "Header {\n 1;\n 0;\n 1;\n}\n\n"
    "Material mat_default {\n\t0.800000;0.800000;0.800000;1.000000;;\n\t32.000000;\n"
    "\t0.700000;0.700000;0.700000;;\n\t0.000000;0.000000;0.000000;;\n}\n\n";

// Runs a writer into a memory stream and returns the bytes.
template <class Write>
std::string written(Write write) {
  char* data = nullptr;
  size_t size = 0;
  std::FILE* file = open_memstream(&data, &size);
  write(file);
  std::fclose(file);
  std::string bytes(data, size);
  free(data);
  return bytes;
}

std::string with_line_ends(const std::string& text, const char* line_end) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += line_end;
    else
      out += c;
  }
  return out;
}

Vec3d v(double x, double y, double z) { return Vec3d{x, y, z}; }

}  // namespace

TEST(XFileWriter, HeadInEveryLineDelimiterMode) {
  EXPECT_EQ(written([](std::FILE* f) { write_header(f, 1); }), kHead);
  EXPECT_EQ(written([](std::FILE* f) { write_header(f, 0); }), with_line_ends(kHead, "\r\n"));
  EXPECT_EQ(written([](std::FILE* f) { write_header(f, 2); }), with_line_ends(kHead, "\r"));
  EXPECT_EQ(written([](std::FILE* f) { write_header(f, 7); }), with_line_ends(kHead, ""));
}

TEST(XFileWriter, OneTriangleMeshBlock) {
  Mesh3d mesh(3, "tri");
  mesh.add_triangle(v(0, 0, 0), v(1, 0, 0), v(0, 1, 0));
  const std::string expected =
      "Mesh tri {\n 3;\n 0.000000;0.000000;0.000000;,\n 1.000000;0.000000;0.000000;,\n"
      " 0.000000;1.000000;0.000000;;\n\n"
      " 1;\n 3;0,1,2;;\n\n"
      " MeshMaterialList {\n  1;\n  1;\n  0;;\n  {mat_default}\n } # MeshMaterialList\n\n"
      " MeshNormals {\n 3;\n"
      " 0.000000;0.000000;-1.000000;,\n 0.000000;0.000000;-1.000000;,\n "
      "0.000000;0.000000;-1.000000;;\n\n"
      " 1;\n 3;0,1,2;;\n } # MeshNormals\n} # Mesh\n\n";
  EXPECT_EQ(written([&](std::FILE* f) { write_mesh(f, mesh, 70.0, 1, nullptr); }), expected);
  EXPECT_EQ(written([&](std::FILE* f) { write_mesh(f, mesh, 70.0, 0, nullptr); }),
            with_line_ends(expected, "\r\n"));
}

TEST(XFileWriter, ColouredMeshGetsItsOwnMaterialOnlyWhenAskedFor) {
  Mesh3d mesh(3, "red brick");
  mesh.add_triangle(v(0, 0, 0), v(1, 0, 0), v(0, 1, 0));
  mesh.has_appearance = 1;
  mesh.appearance.rgba[0] = 0.75, mesh.appearance.rgba[1] = 0.0, mesh.appearance.rgba[2] = 0.0;
  mesh.appearance.rgba[3] = 0.5;
  mesh.appearance.specular_power = 64.0;
  mesh.appearance.specular[0] = mesh.appearance.specular[1] = mesh.appearance.specular[2] = 0.9;
  mesh.appearance.emissive[1] = 0.25;
  const std::string plain = written([&](std::FILE* f) { write_mesh(f, mesh, 70.0, 1, nullptr); });
  EXPECT_NE(plain.find("  0;;\n  {mat_default}\n } # MeshMaterialList\n"), std::string::npos);
  const std::string coloured =
      written([&](std::FILE* f) { write_mesh(f, mesh, 70.0, 1, nullptr, true); });
  EXPECT_NE(coloured.find("  0;;\n  Material red_brick {\n"
                          "\t0.750000;0.000000;0.000000;0.500000;;\n"
                          "\t64.000000;\n"
                          "\t0.900000;0.900000;0.900000;;\n"
                          "\t0.000000;0.250000;0.000000;;\n"
                          "  }\n } # MeshMaterialList\n"),
            std::string::npos)
      << coloured;
  // Apart from the material the block is the same.
  EXPECT_EQ(coloured.substr(0, coloured.find("  Material")), plain.substr(0, plain.find("  {mat")));
  EXPECT_EQ(coloured.substr(coloured.find(" } # MeshMaterialList")),
            plain.substr(plain.find(" } # MeshMaterialList")));
  // A mesh without colour keeps the default material either way.
  mesh.has_appearance = 0;
  EXPECT_EQ(written([&](std::FILE* f) { write_mesh(f, mesh, 70.0, 1, nullptr, true); }), plain);
}

TEST(XFileWriter, EmptyMeshWritesCountsOfZero) {
  Mesh3d mesh(0, "empty");
  EXPECT_EQ(written([&](std::FILE* f) { write_mesh(f, mesh, 70.0, 1, nullptr); }),
            "Mesh empty {\n 0;\n\n 0;\n\n"
            " MeshMaterialList {\n  1;\n  0;\n  {mat_default}\n } # MeshMaterialList\n\n"
            " MeshNormals {\n 0;\n\n 0;\n } # MeshNormals\n} # Mesh\n\n");
}

// Two faces folded at 90 degrees along the edge (0,0,0)-(1,0,0): one in the plane z = 0, one in
// the plane y = 0. The shared corners smooth only when 90 is below the smoothing angle.
class FoldedMesh : public ::testing::Test {
 protected:
  FoldedMesh() : mesh(4, "fold") {
    mesh.add_triangle(v(0, 0, 0), v(1, 0, 0), v(0, 1, 0));  // normal (0, 0, -1)
    mesh.add_triangle(v(1, 0, 0), v(0, 0, 0), v(0, 0, 1));  // normal (0, -1, 0)... by winding
  }
  // The normal lines of the first face's three corners.
  std::string first_face_normals(double smooth_angle) {
    std::string text =
        written([&](std::FILE* f) { write_mesh(f, mesh, smooth_angle, 1, nullptr); });
    std::string::size_type start = text.find(" MeshNormals {\n 6;\n");
    EXPECT_NE(start, std::string::npos);
    start += std::string(" MeshNormals {\n 6;\n").size();
    std::string::size_type end = start;
    for (int line = 0; line < 3; ++line) end = text.find('\n', end) + 1;
    return text.substr(start, end - start);
  }
  Mesh3d mesh;
};

TEST_F(FoldedMesh, SmoothAngleZeroGivesTheFaceNormal) {
  EXPECT_EQ(first_face_normals(0.0),
            " 0.000000;0.000000;-1.000000;,\n 0.000000;0.000000;-1.000000;,\n "
            "0.000000;0.000000;-1.000000;,\n");
}

TEST_F(FoldedMesh, RightAngleIsNotBelowSeventyButBelowOneEighty) {
  // 70: the neighbour at 90 degrees stays out, so the corners keep the flat normal.
  EXPECT_EQ(first_face_normals(70.0),
            " 0.000000;0.000000;-1.000000;,\n 0.000000;0.000000;-1.000000;,\n "
            "0.000000;0.000000;-1.000000;,\n");
  // 180: the shared corners 0 and 1 average both faces; corner 2 has only its own face.
  EXPECT_EQ(first_face_normals(180.0),
            " 0.000000;-0.707107;-0.707107;,\n 0.000000;-0.707107;-0.707107;,\n "
            "0.000000;0.000000;-1.000000;,\n");
}

TEST_F(FoldedMesh, NegativeSmoothAngleLetsNoFaceIn) {
  EXPECT_EQ(first_face_normals(-1.0),
            " 0.000000;0.000000;0.000000;,\n 0.000000;0.000000;0.000000;,\n "
            "0.000000;0.000000;0.000000;,\n");
}

TEST(XFileWriter, DegenerateFaceTakesEveryNeighbour) {
  Mesh3d mesh(4, "deg");
  mesh.add_triangle(v(0, 0, 0), v(1, 0, 0), v(2, 0, 0));  // a line: zero normal
  mesh.add_triangle(v(0, 0, 0), v(0, 1, 0), v(1, 0, 0));  // normal (0, 0, 1)
  std::string text = written([&](std::FILE* f) { write_mesh(f, mesh, 70.0, 1, nullptr); });
  // The degenerate face's first corner (0,0,0) is shared with the real face; its normal is
  // the normalised sum of the zero normal and (0, 0, 1).
  EXPECT_NE(
      text.find(
          " MeshNormals {\n 6;\n 0.000000;0.000000;1.000000;,\n 0.000000;0.000000;1.000000;,\n"
          " 0.000000;0.000000;0.000000;,\n"),
      std::string::npos)
      << text;
}

TEST(XFileWriter, NamesThatWouldBreakTheFileAreMadeSafe) {
  EXPECT_EQ(xfile_safe_name("3001_0_C4"), "3001_0_C4");
  EXPECT_EQ(xfile_safe_name("Box-01.left"), "Box-01.left");
  EXPECT_EQ(xfile_safe_name(""), "_");
  EXPECT_EQ(xfile_safe_name("my mesh"), "my_mesh");
  EXPECT_EQ(xfile_safe_name("a{b}c,d;e#f"), "a_b_c_d_e_f");
  EXPECT_EQ(xfile_safe_name("x//y/z"), "x__y/z");
  EXPECT_EQ(xfile_safe_name("tab\tname"), "tab_name");
}
