// The wire and blob writers: cylinders and spheres, blob components along the visible edges.
#include <gtest/gtest.h>

#include <utility>

#include "plugins/rayinc_out/inc_writers.h"
#include "rayinc_test_support.h"

namespace {

const char kP0[] = "< 0.000000,0.000000,0.000000 >";
const char kP1[] = "< 1.000000,0.000000,0.000000 >";
const char kP2[] = "< 0.000000,1.000000,0.000000 >";

std::string component(const std::string& centre, const char* radius) {
  return "\tsphere { " + centre + ", " + radius + " ,1.000000}\n";
}

// The blob of the single triangle with radius r, whose edge components are given.
std::string triangle_blob(const char* radius, const std::string& edge_components) {
  return "#declare tri = blob\n{\n\tthreshold 0.5\n" + edge_components + component(kP0, radius) +
         component(kP1, radius) + component(kP2, radius) + "}\n\n";
}

}  // namespace

TEST(PovWireWriter, TriangleGivesThreeCylindersAndThreeSpheres) {
  auto mesh = single_triangle("tri");
  CapturedText out;
  RecordingReport report;
  write_pov_wire(out.stream(), *mesh, 1.0, 0.1, &report);
  EXPECT_EQ(out.text(), std::string("#declare tri = union\n{\n") + "\tcylinder { " + kP0 + ", " +
                            kP1 + ", 0.100000}\n" + "\tcylinder { " + kP1 + ", " + kP2 +
                            ", 0.100000}\n" + "\tcylinder { " + kP2 + ", " + kP0 + ", 0.100000}\n" +
                            "\tsphere { " + kP0 + ", 0.100000}\n" + "\tsphere { " + kP1 +
                            ", 0.100000}\n" + "\tsphere { " + kP2 + ", 0.100000}\n" + "}\n\n");
  EXPECT_EQ(report.lines, std::vector<std::string>{"Working on: tri\n"});
  EXPECT_EQ(report.progress.size(), 6u);
}

TEST(PovWireWriter, CubeGivesEveryEdgeAtAngleZeroAndNoFlatDiagonalsAboveIt) {
  auto mesh = unit_cube("block");
  for (auto [edge_angle, cylinders] : {std::pair{0.0, 18}, std::pair{1.0, 12}}) {
    CapturedText out;
    write_pov_wire(out.stream(), *mesh, edge_angle, 0.1, nullptr);
    EXPECT_EQ(count_of(out.text(), "\tcylinder { "), cylinders) << "edge angle " << edge_angle;
    EXPECT_EQ(count_of(out.text(), "\tsphere { "), 8) << "edge angle " << edge_angle;
  }
}

TEST(PovWireWriter, MeshWithoutVisibleEdgesIsAnEmptyUnion) {
  auto mesh = unit_cube("block");
  CapturedText out;
  write_pov_wire(out.stream(), *mesh, 91.0, 0.1, nullptr);
  EXPECT_EQ(out.text(), "#declare block = union\n{\n}\n\n");
}

TEST(PovWireWriter, DegenerateEdgeGetsNoCylinderButItsSphere) {
  Mesh3d mesh(3, "sliver");
  mesh.add_triangle(v3(0, 0, 0), v3(0, 0, 0), v3(1, 0, 0));
  CapturedText out;
  // Every edge, as the side's two recorded faces (the same degenerate one) meet at no angle.
  write_pov_wire(out.stream(), mesh, 0.0, 0.1, nullptr);
  EXPECT_EQ(out.text(), std::string("#declare sliver = union\n{\n") + "\tcylinder { " + kP0 + ", " +
                            kP1 + ", 0.100000}\n" + "\tsphere { " + kP0 + ", 0.100000}\n" +
                            "\tsphere { " + kP1 + ", 0.100000}\n" + "}\n\n");
}

TEST(PovWireWriter, RadiusOfZeroOrLessIsClamped) {
  auto mesh = single_triangle("tri");
  for (double radius : {0.0, -1.0}) {
    CapturedText out;
    write_pov_wire(out.stream(), *mesh, 1.0, radius, nullptr);
    EXPECT_EQ(count_of(out.text(), ", 0.001000}\n"), 6) << "radius " << radius;
  }
}

TEST(PovBlobWriter, ShortEdgesGetOneComponentAtTheirMiddle) {
  auto mesh = single_triangle("tri");
  // radius 8: step 2, no edge reaches one step (n = 0); radius 4: step 1, n = 1.
  for (const char* radius : {"8.000000", "4.000000"}) {
    CapturedText out;
    write_pov_blob(out.stream(), *mesh, 1.0, std::atof(radius), nullptr);
    EXPECT_EQ(out.text(),
              triangle_blob(radius, component("< 0.500000,0.000000,0.000000 >", radius) +
                                        component("< 0.500000,0.500000,0.000000 >", radius) +
                                        component("< 0.000000,0.500000,0.000000 >", radius)))
        << "radius " << radius;
  }
}

TEST(PovBlobWriter, EdgesOfTwoStepsGetOneInnerComponent) {
  auto mesh = single_triangle("tri");
  CapturedText out;
  // Step 0.5: the sides of length 1 and the diagonal of length 1.414 hold two steps each.
  write_pov_blob(out.stream(), *mesh, 1.0, 2.0, nullptr);
  EXPECT_EQ(out.text(),
            triangle_blob("2.000000", component("< 0.500000,0.000000,0.000000 >", "2.000000") +
                                          component("< 0.646447,0.353553,0.000000 >", "2.000000") +
                                          component("< 0.000000,0.500000,0.000000 >", "2.000000")));
}

TEST(PovBlobWriter, LongEdgeGetsAComponentEveryQuarterRadius) {
  Mesh3d mesh(3, "tri");
  mesh.add_triangle(v3(0, 0, 0), v3(1, 0, 0), v3(0, 0.1, 0));
  CapturedText out;
  write_pov_blob(out.stream(), mesh, 1.0, 0.5, nullptr);
  const std::string text = out.text();
  // Edge (0,0,0)-(1,0,0): n = 8, so 7 inner components at 0.125 ... 0.875.
  std::string expected;
  for (const char* x :
       {"0.125000", "0.250000", "0.375000", "0.500000", "0.625000", "0.750000", "0.875000"})
    expected += component(std::string("< ") + x + ",0.000000,0.000000 >", "0.500000");
  EXPECT_EQ(text.find(expected), std::string("#declare tri = blob\n{\n\tthreshold 0.5\n").size());
}

TEST(PovBlobWriter, DegenerateEdgeGetsOneComponentAtItsPoint) {
  Mesh3d mesh(3, "sliver");
  mesh.add_triangle(v3(0, 0, 0), v3(0, 0, 0), v3(1, 0, 0));
  CapturedText out;
  // Every edge: with an edge angle the side is dropped, its two faces (the same degenerate
  // one) meeting at no angle.
  write_pov_blob(out.stream(), mesh, 0.0, 0.5, nullptr);
  const std::string text = out.text();
  const std::string start = "#declare sliver = blob\n{\n\tthreshold 0.5\n";
  ASSERT_EQ(text.rfind(start, 0), 0u);
  EXPECT_EQ(text.substr(start.size(), 50), component(kP0, "0.500000").substr(0, 50));
  // One for the degenerate edge, 7 along the other, one per vertex.
  EXPECT_EQ(count_of(text, "\tsphere { "), 1 + 7 + 2);
}

TEST(PovBlobWriter, MeshWithoutVisibleEdgesIsAnEmptyUnionOfTheSameName) {
  auto mesh = unit_cube("block");
  CapturedText out;
  RecordingReport report;
  write_pov_blob(out.stream(), *mesh, 91.0, 0.1, &report);
  EXPECT_EQ(out.text(), "#declare block = union\n{\n}\n\n");
  EXPECT_EQ(report.lines, std::vector<std::string>{"Working on: block\n"});
}

TEST(PovBlobWriter, RadiusOfZeroOrLessIsWrittenAsTheSmallestRadius) {
  auto mesh = single_triangle("tri");
  CapturedText smallest;
  write_pov_blob(smallest.stream(), *mesh, 1.0, kSmallestWireRadius, nullptr);
  ASSERT_GT(count_of(smallest.text(), "\tsphere { "), 9000);
  for (double radius : {0.0, -0.1}) {
    CapturedText out;
    write_pov_blob(out.stream(), *mesh, 1.0, radius, nullptr);
    EXPECT_EQ(out.text(), smallest.text()) << "radius " << radius;
  }
}
