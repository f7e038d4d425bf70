// The POV-Ray union, POV-Ray 3 mesh and PolyRay writers, byte for byte.
#include <gtest/gtest.h>

#include "plugins/rayinc_out/inc_writers.h"
#include "plugins/rayinc_out/triangle_writer.h"
#include "rayinc_test_support.h"

namespace {

const char kP0[] = "< 0.000000,0.000000,0.000000 >";
const char kP1[] = "< 1.000000,0.000000,0.000000 >";
const char kP2[] = "< 0.000000,1.000000,0.000000 >";
const char kP3[] = "< 0.000000,0.000000,1.000000 >";
// Corner normals of the folded pair smoothed together (smooth angle above 90 degrees).
const char kShared[] = "< 0.000000,-0.707107,-0.707107 >";
const char kDownZ[] = "< 0.000000,0.000000,-1.000000 >";
const char kDownY[] = "< 0.000000,-1.000000,0.000000 >";

std::string flat_line(const std::string& lead, const char* a, const char* b, const char* c) {
  return lead + a + ", " + b + ", " + c + "}\n";
}

std::string smooth_line(const std::string& lead, const char* a, const char* na, const char* b,
                        const char* nb, const char* c, const char* nc) {
  return lead + a + ", " + na + ", " + b + ", " + nb + ", " + c + ", " + nc + "}\n";
}

// The two faces of folded_pair as POV-Ray smooth triangles, smoothed together.
std::string folded_pair_smoothed() {
  return smooth_line("\tsmooth_triangle { ", kP0, kShared, kP1, kShared, kP2, kDownZ) +
         smooth_line("\tsmooth_triangle { ", kP1, kShared, kP0, kShared, kP3, kDownY);
}

}  // namespace

TEST(PovUnionWriter, SingleTriangleIsFlatEvenWhenSmoothing) {
  auto mesh = single_triangle("tri");
  CapturedText out;
  write_pov_union(out.stream(), *mesh, 70.0, nullptr);
  EXPECT_EQ(out.text(),
            "#declare tri = union\n{\n" + flat_line("\ttriangle { ", kP0, kP1, kP2) + "}\n\n");
}

TEST(PovUnionWriter, FacesMeetingBelowSmoothAngleGetCornerNormals) {
  auto mesh = folded_pair("fold");
  CapturedText out;
  write_pov_union(out.stream(), *mesh, 91.0, nullptr);
  EXPECT_EQ(out.text(), "#declare fold = union\n{\n" + folded_pair_smoothed() + "}\n\n");
}

TEST(PovUnionWriter, FacesAtOrAboveSmoothAngleStayFlat) {
  auto mesh = folded_pair("fold");
  for (double angle : {90.0, 0.0, -5.0}) {
    CapturedText out;
    write_pov_union(out.stream(), *mesh, angle, nullptr);
    EXPECT_EQ(out.text(), "#declare fold = union\n{\n" + flat_line("\ttriangle { ", kP0, kP1, kP2) +
                              flat_line("\ttriangle { ", kP1, kP0, kP3) + "}\n\n")
        << "smooth angle " << angle;
  }
}

TEST(PovUnionWriter, MeshWithoutFacesIsAnEmptyUnion) {
  Mesh3d mesh(0, "nothing");
  CapturedText out;
  write_pov_union(out.stream(), mesh, 70.0, nullptr);
  EXPECT_EQ(out.text(), "#declare nothing = union\n{\n}\n\n");
}

TEST(PovUnionWriter, ReportsCleanedNameAndProgressPerFace) {
  auto mesh = folded_pair("2 sides");
  CapturedText out;
  RecordingReport report;
  write_pov_union(out.stream(), *mesh, 70.0, &report);
  ASSERT_EQ(report.lines.size(), 1u);
  EXPECT_EQ(report.lines[0], "Working on: X2_sides\n");
  EXPECT_EQ(report.progress, (std::vector<std::pair<int32_t, int32_t>>{{0, 2}, {1, 2}}));
  EXPECT_EQ(out.text().rfind("#declare X2_sides = union\n", 0), 0u);
}

TEST(PovUnionWriter, LineDelimiterModesChangeOnlyLineEnds) {
  auto mesh = single_triangle("tri");
  const std::string body = flat_line("\ttriangle { ", kP0, kP1, kP2);
  const std::string unix_text = "#declare tri = union\n{\n" + body + "}\n\n";
  auto with_ends = [&](const std::string& end) {
    std::string text;
    for (char c : unix_text) text += c == '\n' ? end : std::string(1, c);
    return text;
  };
  const std::pair<int, std::string> modes[] = {{0, "\r\n"}, {1, "\n"}, {2, "\r"}, {3, ""}};
  for (const auto& mode : modes) {
    CapturedText out(mode.first);
    write_pov_union(out.stream(), *mesh, 70.0, nullptr);
    EXPECT_EQ(out.text(), with_ends(mode.second)) << "ld_mode " << mode.first;
  }
}

TEST(PovUnionWriter, ClosedStreamWritesAndReportsNothing) {
  auto mesh = single_triangle("tri");
  RecordingReport report;
  write_pov_union(IncStream{nullptr, 1}, *mesh, 70.0, &report);
  EXPECT_TRUE(report.lines.empty());
}

TEST(PovMeshWriter, WritesTheFacesInAMesh) {
  auto mesh = folded_pair("fold");
  CapturedText out;
  write_pov_mesh(out.stream(), *mesh, 91.0, nullptr);
  EXPECT_EQ(out.text(), "#declare fold = mesh\n{\n" + folded_pair_smoothed() + "}\n\n");
}

TEST(PovMeshWriter, MeshWithoutFacesBecomesAnEmptyUnionOfTheSameName) {
  Mesh3d mesh(0, "nothing");
  CapturedText out;
  RecordingReport report;
  write_pov_mesh(out.stream(), mesh, 70.0, &report);
  EXPECT_EQ(out.text(), "#declare nothing = union\n{\n}\n\n");
  EXPECT_EQ(report.lines, std::vector<std::string>{"Working on: nothing\n"});
}

TEST(PovMeshWriter, MeshOfDegenerateFacesOnlyBecomesAnEmptyUnion) {
  Mesh3d mesh(3, "flat");
  mesh.add_triangle(v3(0, 0, 0), v3(1, 0, 0), v3(2, 0, 0));  // a line
  mesh.add_triangle(v3(5, 5, 5), v3(5, 5, 5), v3(6, 6, 6));  // two corners welded
  // Distinct corners that the file's six decimals make one point.
  mesh.add_triangle(v3(1, 1, 1), v3(1.0000001, 1, 1), v3(1, 1.0000001, 1));
  CapturedText out;
  write_pov_mesh(out.stream(), mesh, 70.0, nullptr);
  EXPECT_EQ(out.text(), "#declare flat = union\n{\n}\n\n");
}

TEST(PovMeshWriter, OneProperFaceKeepsTheDegenerateOnesToo) {
  Mesh3d mesh(3, "some");
  mesh.add_triangle(v3(0, 0, 0), v3(1, 0, 0), v3(2, 0, 0));
  mesh.add_triangle(v3(0, 0, 0), v3(1, 0, 0), v3(0, 1, 0));
  CapturedText out;
  write_pov_mesh(out.stream(), mesh, 0.0, nullptr);
  EXPECT_EQ(count_of(out.text(), "\ttriangle { "), 2);
  EXPECT_EQ(out.text().rfind("#declare some = mesh\n{\n", 0), 0u);
}

TEST(WrittenTriangle, ProperUnlessItsWrittenCornersAreInLine) {
  Vec3d tiny[3] = {v3(0, 0, 0), v3(0.000001, 0, 0), v3(0, 0.000001, 0)};
  EXPECT_TRUE(is_proper_written_triangle(tiny));
  Vec3d rounded[3] = {v3(0, 0, 0), v3(0.0000004, 0, 0), v3(0, 0.0000004, 0)};
  EXPECT_FALSE(is_proper_written_triangle(rounded));
  Vec3d line[3] = {v3(0, 0, 0), v3(1, 1, 1), v3(3, 3, 3)};
  EXPECT_FALSE(is_proper_written_triangle(line));
}

TEST(PolyRayWriter, SumsTheFacesWithPlusSigns) {
  auto mesh = unit_cube("block");
  CapturedText out;
  write_polyray_object(out.stream(), *mesh, 0.0, nullptr);
  const std::string text = out.text();
  EXPECT_EQ(text.rfind("define block object\n{\n\t  object { polygon 3, < ", 0), 0u);
  EXPECT_EQ(count_of(text, "\t  object { polygon 3, "), 1);
  EXPECT_EQ(count_of(text, "\t+ object { polygon 3, "), 11);
  EXPECT_EQ(text.substr(text.size() - 5), "}\n}\n\n");
}

TEST(PolyRayWriter, FlatAndSmoothFacesByteForByte) {
  auto mesh = folded_pair("fold");
  CapturedText flat;
  write_polyray_object(flat.stream(), *mesh, 70.0, nullptr);
  EXPECT_EQ(flat.text(), "define fold object\n{\n" +
                             flat_line("\t  object { polygon 3, ", kP0, kP1, kP2) +
                             flat_line("\t+ object { polygon 3, ", kP1, kP0, kP3) + "}\n\n");
  CapturedText smooth;
  write_polyray_object(smooth.stream(), *mesh, 91.0, nullptr);
  EXPECT_EQ(smooth.text(),
            "define fold object\n{\n" +
                smooth_line("\t  object { patch ", kP0, kShared, kP1, kShared, kP2, kDownZ) +
                smooth_line("\t+ object { patch ", kP1, kShared, kP0, kShared, kP3, kDownY) +
                "}\n\n");
}

TEST(PolyRayWriter, MeshWithoutFacesIsJustOpeningAndClosing) {
  Mesh3d mesh(0, "none");
  CapturedText out;
  write_polyray_object(out.stream(), mesh, 70.0, nullptr);
  EXPECT_EQ(out.text(), "define none object\n{\n}\n\n");
}

TEST(PovMeshWriter, NamesOfAnyLengthAreWrittenWhole) {
  const std::string name(3000, 'n');
  auto mesh = single_triangle(name.c_str());
  CapturedText out;
  write_pov_mesh(out.stream(), *mesh, 70.0, nullptr);
  EXPECT_EQ(out.text().rfind("#declare " + name + " = mesh\n{\n\ttriangle { ", 0), 0u);
}
