// Binary and compressed DirectX files: the form the header names, the real files of other
// exporters, long compressed streams, and damaged files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "tests/xfile_in/xfile_test_support.h"
#include "tests/xfile_in/xfile_test_writer.h"

namespace {

const std::string kCorpus = std::string(MORVANE_CORPUS_DIR) + "/x";

// Two meshes with fractional coordinates under a frame's matrix, a material list with an
// inline material and a texture name, and a template declaration.
const char kTwoMeshes[] =
    "xof 0303txt 0032\n"
    "template Mesh { <3d82ab44-62da-11cf-ab39-0020af71e433> DWORD nVertices; [...] }\n"
    "Frame scene {\n"
    " FrameTransformMatrix { 0.5,0,0,0, 0,0.25,0,0, 0,0,2,0, 1.5,-2.75,0.125,1;; }\n"
    " Mesh first { 4; 0.1;0.2;0.3;, 1.7;0.2;0.3;, 1.7;1.9;-0.3;, 0.1;1.9;1e-3;;\n"
    "  1; 4;0,1,2,3;;\n"
    "  MeshMaterialList { 1; 1; 0;; Material { 1;0;0;1;; 5; 0;0;0;; 0;0;0;;\n"
    "   TextureFilename { \"bricks.png\"; } } }\n"
    " }\n"
    "}\n"
    "Mesh { 3; -3.25;0;0;, 0;-4.5;0;, 0;0;6.125e2;; 1; 3;2,1,0;; }\n";

std::string Le32(std::uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i) & 0xff));
  return s;
}

std::string Le16(unsigned v) { return {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)}; }

class XFileBinary : public ::testing::Test {
 protected:
  ParseResult ParseBytes(const std::string& bytes) {
    return ParsePath(dir_, dir_.Write("form.x", bytes));
  }
  TempDir dir_;
};

TEST_F(XFileBinary, CorpusBinaryAndCompressedCubesMatchTheTextCube) {
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
  ParseResult text = ParsePath(dir_, kCorpus + "/test_cube_text.x");
  ASSERT_EQ(text.result, 1) << text.log;
  ASSERT_EQ(text.meshes.size(), 1u);
  EXPECT_EQ(text.meshes[0]->face_count(), 12);
  for (const char* file : {"test_cube_binary.x", "test_cube_compressed.x"}) {
    SCOPED_TRACE(file);
    ParseResult r = ParsePath(dir_, kCorpus + "/" + file);
    EXPECT_EQ(r.log.find("Syntax error"), std::string::npos) << r.log;
    ExpectSameObjects(text, r, 1e-6);
  }
}

TEST_F(XFileBinary, CorpusTextFilesReadTheSameInEveryForm) {
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
  for (const char* file : {"test_cube_text.x", "test.x", "kwxport_test_cubewithvcolors.x"}) {
    SCOPED_TRACE(file);
    ParseResult r = ParsePath(dir_, kCorpus + "/" + file);
    ASSERT_EQ(r.result, 1) << r.log;
    ExpectSameInEveryForm(dir_, ReadAll(kCorpus + "/" + file), r);
  }
}

TEST_F(XFileBinary, FramesMaterialsTemplatesAndStringsReadTheSameInEveryForm) {
  ParseResult r = ParseText(dir_, kTwoMeshes);  // compares every form itself
  EXPECT_EQ(r.result, 1) << r.log;
  ASSERT_EQ(r.meshes.size(), 2u);
  EXPECT_STREQ(r.meshes[1]->name(), "Mesh_0");
  // The frame's matrix moved the first mesh: (0.1, 0.2, 0.3) went to (1.55, -2.7, 0.725).
  EXPECT_NEAR(Triangles(*r.meshes[0])[0][0].x, 1.55, 1e-12);
  EXPECT_NEAR(Triangles(*r.meshes[0])[0][0].z, 0.725, 1e-12);
}

TEST_F(XFileBinary, LongCompressedStreamsChainTheirBlocks) {
  // A grid of many quads: far more than one block, and each block refers back into the
  // previous one for the repeated text.
  std::string text = "xof 0302txt 0064\nMesh grid {\n 1200;\n";
  for (int i = 0; i < 1200; ++i)
    text += " " + std::to_string(i % 40) + ".5;" + std::to_string(i / 40) + ".25;0.0;" +
            (i == 1199 ? ";\n" : ",\n");
  text += " 1131;\n";
  for (int q = 0, n = 0; q < 1170; ++q) {
    if (q % 40 == 39) continue;
    text += " 4;" + std::to_string(q) + "," + std::to_string(q + 1) + "," + std::to_string(q + 41) +
            "," + std::to_string(q + 40) + ";" + (++n == 1131 ? ";\n" : ",\n");
  }
  text += "}\n";
  ParseResult r = ParseText(dir_, text);
  ASSERT_EQ(r.result, 1) << r.log;
  EXPECT_EQ(r.meshes[0]->face_count(), 2 * 1131);
  EXPECT_GT(ToXForm(text, XForm::kCompressedText, 8).size(), 0u);
  // Small blocks: dozens of dictionaries.
  std::string binary = ToXForm(text, XForm::kBinary, 8);
  ParseResult small = ParseBytes("xof 0302bzip0064" + PackXData(binary.substr(16), 700));
  ExpectSameObjects(r, small, 0);
}

TEST_F(XFileBinary, LogNamesTheFormFound) {
  const std::string mesh = "Mesh m { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
  struct Case {
    std::string bytes;
    int result;
    const char* line;
  } cases[] = {
      {"xof 0302txt 0064\n" + mesh, 1, "ASCII Direct X recogniced\n"},
      {ToXForm(mesh, XForm::kBinary, 4), 1, "Binary Direct X recognised, 32 bit floats\n"},
      {ToXForm(mesh, XForm::kBinary, 8), 1, "Binary Direct X recognised, 64 bit floats\n"},
      {ToXForm(mesh, XForm::kCompressedBinary, 8), 1,
       "Compressed binary Direct X recognised, 64 bit floats\n"},
      {ToXForm(mesh, XForm::kCompressedText, 4), 1,
       "Compressed ASCII Direct X recognised, 32 bit floats\n"},
      {"xof 0303bin 0016" + ToXForm(mesh, XForm::kBinary, 4).substr(16), 0,
       "0016 scanned. 0032 or 0064 expected\n"},
  };
  for (const Case& c : cases) {
    ParseResult r = ParseBytes(c.bytes);
    EXPECT_EQ(r.result, c.result) << c.line;
    EXPECT_EQ(r.meshes.size(), static_cast<std::size_t>(c.result)) << c.line;
    EXPECT_EQ(CountOf(r.log, c.line), 1) << r.log;
  }
}

TEST_F(XFileBinary, DamagedBinaryStreamsKeepEarlierMeshesAndSayWhatWasWrong) {
  const std::string mesh = "Mesh a { 3; 0.5;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
  const std::string good = ToXForm(mesh, XForm::kBinary, 4);
  const std::string name = Le16(1) + Le32(1) + "b";
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"cut inside a list", good + (good.substr(16, good.size() - 30)),
       "a list holds more numbers than the data"},
      {"cut inside a token", good + name.substr(0, 4), "the data ends inside a name"},
      {"unknown token", good + Le16(0x99), "an unknown token type"},
      {"name longer than the file", good + Le16(1) + Le32(0xfffffff0u) + "abc",
       "a name or string runs past the end of the data"},
      {"list longer than the file", good + Le16(6) + Le32(0x40000000u) + Le32(3),
       "a list holds more numbers than the data"},
      {"string without terminator", good + Le16(2) + Le32(2) + "ab" + Le16(0x0a),
       "a string lacks its terminator"},
      {"template cut short", good + Le16(0x1f) + name + Le16(0x0a) + Le16(0x29),
       "the data ends inside a template"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ParseResult r = ParseBytes(c.bytes);
    EXPECT_EQ(r.result, 0);
    ASSERT_EQ(r.meshes.size(), 1u);
    EXPECT_STREQ(r.meshes[0]->name(), "a");
    EXPECT_EQ(CountOf(r.log, "Binary data damaged at byte "), 1) << r.log;
    EXPECT_NE(r.log.find(c.message), std::string::npos) << r.log;
  }
}

TEST_F(XFileBinary, DamagedCompressedFilesAreRefusedWithTheReason) {
  const std::string mesh = "Mesh a { 3; 0.5;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n";
  const std::string good = ToXForm(mesh, XForm::kCompressedBinary, 4);
  const std::string header = good.substr(0, 16);
  const std::uint32_t declared =
      static_cast<std::uint8_t>(good[16]) | static_cast<std::uint8_t>(good[17]) << 8;
  const std::string blocks = good.substr(20);
  std::string unmarked = good;
  unmarked[24] = 'X';
  std::string garbled = good;
  for (std::size_t i = 26; i < garbled.size(); ++i) garbled[i] = static_cast<char>(0xff);
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"size far beyond the file", header + Le32(0xfffffff0u) + blocks,
       "the unpacked size is implausibly large for the file"},
      {"no size", header + "\x01", "the size of the unpacked data is missing"},
      {"cut inside a block", good.substr(0, good.size() - 5),
       "a block runs past the end of the file"},
      {"block without mark", unmarked, "a block lacks its \"CK\" mark"},
      {"garbled deflate data", garbled, "a block is damaged"},
      {"size smaller than the blocks", header + Le32(declared - 4) + blocks,
       "the blocks hold more than the declared size"},
      {"size larger than the blocks", header + Le32(declared + 100) + blocks,
       "the data ends before the last block"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ParseResult r = ParseBytes(c.bytes);
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.meshes.empty());
    EXPECT_NE(r.log.find(std::string("Compressed data unreadable: ") + c.message + "\n"),
              std::string::npos)
        << r.log;
  }
}

}  // namespace
