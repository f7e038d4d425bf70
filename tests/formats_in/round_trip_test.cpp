// Files our own exchange-format export classes write come back through the import classes
// with the same meshes and positions. Skipped while the export classes are not installed.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/file_text.h"
#include "support/temp_folder.h"

namespace {

// Two meshes apart from each other: a unit cube of six quads and a pyramid beside it.
const char kScene[] =
    "xof 0302txt 0064\n"
    "Mesh cube {\n 8;\n"
    " 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;,\n"
    " 0.0;0.0;1.0;, 1.0;0.0;1.0;, 1.0;1.0;1.0;, 0.0;1.0;1.0;;\n"
    " 6;\n 4;0,3,2,1;, 4;4,5,6,7;, 4;0,1,5,4;, 4;2,3,7,6;, 4;1,2,6,5;, 4;3,0,4,7;;\n}\n"
    "Mesh pyramid {\n 5;\n"
    " 3.0;0.0;0.0;, 5.0;0.0;0.0;, 5.0;2.0;0.0;, 3.0;2.0;0.0;, 4.0;1.0;1.5;;\n"
    " 5;\n 4;0,3,2,1;, 3;0,1,4;, 3;1,2,4;, 3;2,3,4;, 3;3,0,4;;\n}\n";

class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override { write_file(folder + "/scene.x", kScene); }

  // Runs morvane-convert with arguments in the test folder; its standard output, or "" when
  // it failed.
  std::string Convert(const std::string& arguments) {
    const std::string command = "cd '" + folder + "' && XDG_CONFIG_HOME='" + folder +
                                "/config' timeout -s KILL 60 " MORVANE_BINARY_DIR
                                "/bin/morvane-convert --quiet " +
                                arguments + " >'" + folder + "/stdout' 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? read_file(folder + "/stdout") : "";
  }

  // The --info lines without their numbers, sorted: name, kind, faces, vertices, extent.
  std::vector<std::string> Meshes(const std::string& info) {
    std::vector<std::string> lines;
    std::istringstream in(info);
    for (std::string line; std::getline(in, line);) {
      const size_t kind = line.find("\tMESH\t");
      if (kind != std::string::npos) lines.push_back(line.substr(kind + 1));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }

  TempFolder temp_{"exchange_round_trip"};
  const std::string folder = temp_.path();
};

}  // namespace

TEST_F(RoundTrip, OurGlbAndObjComeBackWithTheSameMeshesAndPositions) {
  const std::vector<std::string> original = Meshes(Convert("--info scene.x"));
  ASSERT_EQ(original.size(), 2u);
  const char* const formats[][2] = {{".glb", "glTF 2.0 (*.gltf, *.glb)"},
                                    {".gltf", "glTF 2.0 (*.gltf, *.glb)"},
                                    {".obj", "Wavefront OBJ (*.obj)"}};
  for (const auto& format : formats) {
    const std::string file = std::string("scene") + format[0];
    Convert("scene.x -o " + file);
    if (access((folder + "/" + file).c_str(), R_OK) != 0) {
      std::printf("skipped: no export class writes %s here\n", format[0]);
      continue;
    }
    EXPECT_EQ(Meshes(Convert("--info --from '" + std::string(format[1]) + "' " + file)), original)
        << file;
  }
}

TEST_F(RoundTrip, OurStlAndPlyComeBackWithTheSameTrianglesAndExtent) {
  const char* const formats[][2] = {{".stl", "STL (*.stl)"}, {".ply", "Stanford PLY (*.ply)"}};
  for (const auto& format : formats) {
    const std::string file = std::string("scene") + format[0];
    Convert("scene.x -o " + file);
    if (access((folder + "/" + file).c_str(), R_OK) != 0) {
      std::printf("skipped: no export class writes %s here\n", format[0]);
      continue;
    }
    // Both formats hold all meshes in one: 12 + 6 triangles, 8 + 5 corners, both extents.
    const std::vector<std::string> meshes =
        Meshes(Convert("--info --from '" + std::string(format[1]) + "' " + file));
    ASSERT_EQ(meshes.size(), 1u) << file;
    const std::string& m = meshes[0];
    EXPECT_NE(m.find("\t18\t13\t<0.000000,0.000000,0.000000>\t<5.000000,2.000000,1.500000>"),
              std::string::npos)
        << file << ": " << m;
  }
}

// 3D Studio as assimp writes it, and a hand-written OFF cube: the classes without a corpus file
// read every triangle; names the reading library makes up ("$dummy_node", "<OFFRoot>") give way
// to ours.
TEST_F(RoundTrip, ThreeDStudioAndOffFilesOfOtherWritersComeIn) {
  write_file(folder + "/cube.off",
             "OFF\n8 6 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n"
             "4 0 3 2 1\n4 4 5 6 7\n4 0 1 5 4\n4 1 2 6 5\n4 2 3 7 6\n4 3 0 4 7\n");
  ASSERT_EQ(
      std::system(("cd '" + folder + "' && assimp export scene.x scene.3ds >/dev/null").c_str()),
      0);
  EXPECT_EQ(Meshes(Convert("--info cube.off")),
            std::vector<std::string>{
                "MESH\tMesh_0\t12\t8\t<0.000000,0.000000,0.000000>\t<1.000000,1.000000,1.000000>"});
  const std::vector<std::string> meshes = Meshes(Convert("--info scene.3ds"));
  ASSERT_EQ(meshes.size(), 2u);
  int faces = 0;
  for (const std::string& m : meshes) {
    EXPECT_EQ(m.find('$'), std::string::npos) << m;
    faces += std::atoi(m.substr(m.find('\t', 5) + 1).c_str());
  }
  EXPECT_EQ(faces, 18);
}
