// The Moray ".udo" file: head, mesh blocks with edges or the bounding box, tail.
#include <gtest/gtest.h>

#include "plugins/rayinc_out/udo_writer.h"
#include "rayinc_test_support.h"
#include "settings/path.h"

TEST(UdoHead, NamesTheIncludeFileByItsAbsolutePath) {
  CapturedText out;
  write_udo_head(out.stream(), "/scenes/car.udo", "/scenes/car.inc");
  EXPECT_EQ(out.text(), "IncludeFile '/scenes/car.inc'\nName 'car_group'\n\n");
}

TEST(UdoHead, RelativeIncludeFileIsMadeAbsolute) {
  CapturedText out(0);
  write_udo_head(out.stream(), "out/b.udo", "a.inc");
  EXPECT_EQ(out.text(),
            "IncludeFile '" + current_directory() + "/a.inc'\r\nName 'b_group'\r\n\r\n");
}

TEST(UdoMesh, TriangleBlockListsItsEdges) {
  auto mesh = single_triangle("my tri");
  CapturedText out;
  RecordingReport report;
  write_udo_mesh(out.stream(), *mesh, 1.0, &report);
  EXPECT_EQ(out.text(),
            ";\n; Dimensions:\n"
            "; Min_x: 0.000000\tMax_x: 1.000000\n"
            "; Min_y: 0.000000\tMax_y: 1.000000\n"
            "; Min_z: 0.000000\tMax_z: 0.000000\n"
            ";\n"
            "[my_tri:Vertices]\n3\n"
            "0.000000 0.000000 0.000000\n1.000000 0.000000 0.000000\n0.000000 1.000000 0.000000\n"
            "\n[my_tri:Edges]\n3\n0 1\n1 2\n2 0\n\n");
  EXPECT_EQ(report.lines, std::vector<std::string>{"Working on: my_tri\n"});
  EXPECT_EQ(report.progress.size(), 6u);
}

TEST(UdoMesh, CubeWithDefaultEdgeAngleHasEightVerticesAndTwelveEdges) {
  auto mesh = unit_cube("block");
  CapturedText out;
  write_udo_mesh(out.stream(), *mesh, 1.0, nullptr);
  const std::string text = out.text();
  EXPECT_NE(text.find("[block:Vertices]\n8\n"), std::string::npos);
  EXPECT_NE(text.find("\n\n[block:Edges]\n12\n"), std::string::npos);
}

TEST(UdoMesh, MeshWithoutVisibleEdgesIsDrawnAsItsBoundingBox) {
  auto mesh = unit_cube("block", 2.0);
  mesh->bbox_min = v3(-1, -2, -3);  // the box is drawn as it stands, not from the vertices
  mesh->bbox_max = v3(4, 5, 6);
  CapturedText out;
  write_udo_mesh(out.stream(), *mesh, 91.0, nullptr);
  EXPECT_EQ(out.text(),
            ";\n; Dimensions:\n"
            "; Min_x: -1.000000\tMax_x: 4.000000\n"
            "; Min_y: -2.000000\tMax_y: 5.000000\n"
            "; Min_z: -3.000000\tMax_z: 6.000000\n"
            ";\n"
            "[block:Vertices]\n8\n"
            "-1.000000 -2.000000 -3.000000\n"
            "-1.000000 5.000000 -3.000000\n"
            "-1.000000 -2.000000 6.000000\n"
            "-1.000000 5.000000 6.000000\n"
            "4.000000 -2.000000 -3.000000\n"
            "4.000000 5.000000 -3.000000\n"
            "4.000000 -2.000000 6.000000\n"
            "4.000000 5.000000 6.000000\n"
            "\n[block:Edges]\n12\n"
            "0 1\n1 3\n3 2\n2 0\n4 5\n5 7\n7 6\n6 4\n0 4\n2 6\n3 7\n1 5\n\n");
}

TEST(UdoMesh, MeshWithoutTablesIsDrawnAsItsBoundingBox) {
  Mesh3d* mesh = flat_only(single_triangle("2cv"));
  CapturedText out;
  write_udo_mesh(out.stream(), *mesh, 1.0, nullptr);
  EXPECT_NE(out.text().find("[X2cv:Vertices]\n8\n0.000000 0.000000 0.000000\n0.000000 1.000000 "
                            "0.000000\n"),
            std::string::npos);
  EXPECT_NE(out.text().find("[X2cv:Edges]\n12\n0 1\n1 3\n"), std::string::npos);
  delete mesh;
}

TEST(UdoTail, EndsTheFile) {
  CapturedText out(2);
  write_udo_tail(out.stream());
  EXPECT_EQ(out.text(), "[End]\r\r");
}

TEST(UdoMesh, NamesOfAnyLengthAreWrittenWhole) {
  const std::string name(3000, 'n');
  auto mesh = single_triangle(name.c_str());
  CapturedText out;
  write_udo_mesh(out.stream(), *mesh, 1.0, nullptr);
  EXPECT_NE(out.text().find("\n[" + name + ":Vertices]\n3\n"), std::string::npos);
  EXPECT_NE(out.text().find("\n[" + name + ":Edges]\n3\n"), std::string::npos);
}
