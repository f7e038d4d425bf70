// Every export class, in every line-end mode, writes the same bytes for the sample models and a
// small generated grid as it did when these checksums were recorded. Speed work on the reading,
// welding, normals and number formatting must leave every output byte as it was; a change here
// means an output changed, which is only right when the behaviour was meant to change (then
// record the new checksum printed by the failure).

#include <gtest/gtest.h>

#include "support/file_text.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

struct ExportClass {
  const char* name;
  const char* tag;        // short name in the checksum table
  const char* extension;  // ".x" or ".inc"
  const char* extra;      // further options for this run
};

const ExportClass kClasses[] = {
    {"Direct 3D (*.x)", "x", ".x", ""},
    {"POV-Ray Moray (*.inc, *.udo)", "pov", ".inc", ""},
    {"PolyRay Moray (*.inc, *.udo)", "polyray", ".inc", ""},
    {"POV-Ray Moray (Wire) (*.inc, *.udo)", "wire", ".inc", ""},
    {"POV-Ray Moray (Blob) (*.inc, *.udo)", "blob", ".inc", ""},
    {"POV-Ray Moray (Blob) (*.inc, *.udo)", "blob1", ".inc", " --edge-angle 1"},
    {"POV-Ray3 Moray (*.inc, *.udo)", "pov3", ".inc", ""},
};

const char* const kLineEnds[] = {"dos", "unix", "mac"};

// FNV-1a, 64 bits: enough to tell any changed output from the recorded one.
std::uint64_t checksum(const std::string& bytes) {
  std::uint64_t h = 14695981039346656037ULL;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ULL;
  }
  return h;
}

// The text with every occurrence of from replaced by to.
std::string replace_all(std::string text, const std::string& from, const std::string& to) {
  for (std::string::size_type at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// A grid of n x n quads with heights from whole numbers, so that the input has the same bytes
// wherever it is made, some faces are tilted and the normals are smoothed across them.
std::string grid_text(int n) {
  const int side = n + 1;
  std::string text = "xof 0302txt 0064\nHeader {\n 1;\n 0;\n 1;\n}\n\nMesh grid {\n " +
                     std::to_string(side * side) + ";\n";
  char line[128];
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      double z = ((x * 7 + y * 13) % 11) * 0.125 - 0.5;
      std::snprintf(line, sizeof line, " %f;%f;%f;%s\n", x * 0.5, y * 0.25, z,
                    (x == n && y == n) ? ";" : ",");
      text += line;
    }
  text += " " + std::to_string(n * n) + ";\n";
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      int a = y * side + x;
      std::snprintf(line, sizeof line, " 4;%d,%d,%d,%d;%s\n", a, a + 1, a + side + 1, a + side,
                    (x == n - 1 && y == n - 1) ? ";" : ",");
      text += line;
    }
  return text + "}\n";
}

// count small meshes (grids of 3 x 3 quads, each raised by its number), for the writers that
// handle the meshes of a large model on two threads.
std::string many_meshes_text(int count) {
  std::string text = "xof 0302txt 0064\nHeader {\n 1;\n 0;\n 1;\n}\n\n";
  const std::string grid = grid_text(3);
  const std::string::size_type mesh = grid.find("Mesh grid {");
  for (int k = 0; k < count; ++k) {
    std::string one = grid.substr(mesh);
    one.replace(0, 9, "Mesh part" + std::to_string(k));
    text += replace_all(one, "-0.500000;", std::to_string(k) + ".250000;");
  }
  return text;
}

// Checksums recorded before the speed work, by input, class tag and line-end mode.
const std::map<std::string, std::uint64_t> kRecorded = {
    {"table/x/dos", 0x9df170ec91d52588ULL},
    {"table/x/unix", 0x46f94677b66fd3c4ULL},
    {"table/x/mac", 0x05b40ee4af912fecULL},
    {"table/pov/dos", 0x3b3d6c9e8ca53cdbULL},
    {"table/pov/dos/udo", 0x0a867d66f6944fcdULL},
    {"table/pov/unix", 0xad5c414d8942bcd7ULL},
    {"table/pov/unix/udo", 0x964083c23f809238ULL},
    {"table/pov/mac", 0x901f97f074285207ULL},
    {"table/pov/mac/udo", 0x3f51f8ed8de4aa65ULL},
    {"table/polyray/dos", 0x2b2ed9483852a977ULL},
    {"table/polyray/dos/udo", 0x0a867d66f6944fcdULL},
    {"table/polyray/unix", 0x1eadb6969321c17bULL},
    {"table/polyray/unix/udo", 0x964083c23f809238ULL},
    {"table/polyray/mac", 0xf62638ee3c427033ULL},
    {"table/polyray/mac/udo", 0x3f51f8ed8de4aa65ULL},
    {"table/wire/dos", 0x2a96d5a034ce9ba9ULL},
    {"table/wire/dos/udo", 0x0a867d66f6944fcdULL},
    {"table/wire/unix", 0xbbbbdb2c713e18c1ULL},
    {"table/wire/unix/udo", 0x964083c23f809238ULL},
    {"table/wire/mac", 0x43d45338bf6b3cffULL},
    {"table/wire/mac/udo", 0x3f51f8ed8de4aa65ULL},
    {"table/blob/dos", 0xaa8cb6cccadb10dcULL},
    {"table/blob/dos/udo", 0x0a867d66f6944fcdULL},
    {"table/blob/unix", 0x608bc0d537ad3cb5ULL},
    {"table/blob/unix/udo", 0x964083c23f809238ULL},
    {"table/blob/mac", 0xe43260db2adbd3e0ULL},
    {"table/blob/mac/udo", 0x3f51f8ed8de4aa65ULL},
    {"table/blob1/dos", 0xaa8cb6cccadb10dcULL},
    {"table/blob1/dos/udo", 0x0a867d66f6944fcdULL},
    {"table/blob1/unix", 0x608bc0d537ad3cb5ULL},
    {"table/blob1/unix/udo", 0x964083c23f809238ULL},
    {"table/blob1/mac", 0xe43260db2adbd3e0ULL},
    {"table/blob1/mac/udo", 0x3f51f8ed8de4aa65ULL},
    {"table/pov3/dos", 0x423c34b48c95c625ULL},
    {"table/pov3/dos/udo", 0x0a867d66f6944fcdULL},
    {"table/pov3/unix", 0x83aea43e1de4a099ULL},
    {"table/pov3/unix/udo", 0x964083c23f809238ULL},
    {"table/pov3/mac", 0x67c02b1a65c7f349ULL},
    {"table/pov3/mac/udo", 0x3f51f8ed8de4aa65ULL},
    {"tower/x/unix", 0xd4c66b78302dacacULL},
    {"tower/pov/unix", 0xfaa2909f0f047cffULL},
    {"tower/pov/unix/udo", 0xd2d5eaa9f4ccc23dULL},
    {"tower/polyray/unix", 0xc2a7243f96878e9dULL},
    {"tower/polyray/unix/udo", 0xd2d5eaa9f4ccc23dULL},
    {"tower/wire/unix", 0xc94b2664e118b137ULL},
    {"tower/wire/unix/udo", 0xd2d5eaa9f4ccc23dULL},
    {"tower/blob/unix", 0x0216a8e33787881aULL},
    {"tower/blob/unix/udo", 0xd2d5eaa9f4ccc23dULL},
    {"tower/blob1/unix", 0x0216a8e33787881aULL},
    {"tower/blob1/unix/udo", 0xd2d5eaa9f4ccc23dULL},
    {"tower/pov3/unix", 0x24dfa0eef4b3c683ULL},
    {"tower/pov3/unix/udo", 0xd2d5eaa9f4ccc23dULL},
    {"tower/x/dos", 0xbf29ea7d4df44c80ULL},
    {"tower/x/mac", 0x72e0fdd0b4e312d2ULL},
    {"tower/pov/dos", 0x276203625416ebffULL},
    {"tower/pov/dos/udo", 0xccaa785e4d9a91b0ULL},
    {"tower/pov/mac", 0x6621b095fe18a3cbULL},
    {"tower/pov/mac/udo", 0x5792eb27699946daULL},
    {"tower/polyray/dos", 0x064385304ec6c6d9ULL},
    {"tower/polyray/dos/udo", 0xccaa785e4d9a91b0ULL},
    {"tower/polyray/mac", 0xe09667e96341b7c1ULL},
    {"tower/polyray/mac/udo", 0x5792eb27699946daULL},
    {"tower/wire/dos", 0xeed039bb995961fbULL},
    {"tower/wire/dos/udo", 0xccaa785e4d9a91b0ULL},
    {"tower/wire/mac", 0xb8809fbe488d2a29ULL},
    {"tower/wire/mac/udo", 0x5792eb27699946daULL},
    {"tower/blob/dos", 0x2291d07bb83a63c5ULL},
    {"tower/blob/dos/udo", 0xccaa785e4d9a91b0ULL},
    {"tower/blob/mac", 0x3cf31346d186238bULL},
    {"tower/blob/mac/udo", 0x5792eb27699946daULL},
    {"tower/blob1/dos", 0x2291d07bb83a63c5ULL},
    {"tower/blob1/dos/udo", 0xccaa785e4d9a91b0ULL},
    {"tower/blob1/mac", 0x3cf31346d186238bULL},
    {"tower/blob1/mac/udo", 0x5792eb27699946daULL},
    {"tower/pov3/dos", 0xcd8005678dce9233ULL},
    {"tower/pov3/dos/udo", 0xccaa785e4d9a91b0ULL},
    {"tower/pov3/mac", 0x3acdf71b0851a55bULL},
    {"tower/pov3/mac/udo", 0x5792eb27699946daULL},
    {"grid/x/dos", 0xfb878b920db5be4fULL},
    {"grid/x/unix", 0xe669e2090d694afaULL},
    {"grid/x/mac", 0x90bf0d935dbb34d5ULL},
    {"grid/pov/dos", 0x372ea4f30d217208ULL},
    {"grid/pov/dos/udo", 0x65255ba6d6a34227ULL},
    {"grid/pov/unix", 0x7a3434e522ba63f8ULL},
    {"grid/pov/unix/udo", 0xb5dffeae0dc5ce21ULL},
    {"grid/pov/mac", 0x32b1726592704cd0ULL},
    {"grid/pov/mac/udo", 0xd54b4c8aa7197de1ULL},
    {"grid/polyray/dos", 0x8b49a80adf8868c8ULL},
    {"grid/polyray/dos/udo", 0x65255ba6d6a34227ULL},
    {"grid/polyray/unix", 0x7f04742391c6f0e4ULL},
    {"grid/polyray/unix/udo", 0xb5dffeae0dc5ce21ULL},
    {"grid/polyray/mac", 0xf30b4be81ca6a81cULL},
    {"grid/polyray/mac/udo", 0xd54b4c8aa7197de1ULL},
    {"grid/wire/dos", 0xcfefdd3500fec7ffULL},
    {"grid/wire/dos/udo", 0x65255ba6d6a34227ULL},
    {"grid/wire/unix", 0x3d8c5f935a37b496ULL},
    {"grid/wire/unix/udo", 0xb5dffeae0dc5ce21ULL},
    {"grid/wire/mac", 0x8e3d5ce8a5a1fc2bULL},
    {"grid/wire/mac/udo", 0xd54b4c8aa7197de1ULL},
    {"grid/blob/dos", 0xfb44a764b945cc98ULL},
    {"grid/blob/dos/udo", 0x65255ba6d6a34227ULL},
    {"grid/blob/unix", 0x2c9953eb12160888ULL},
    {"grid/blob/unix/udo", 0xb5dffeae0dc5ce21ULL},
    {"grid/blob/mac", 0x752d630f7b063c64ULL},
    {"grid/blob/mac/udo", 0xd54b4c8aa7197de1ULL},
    {"grid/blob1/dos", 0xfb44a764b945cc98ULL},
    {"grid/blob1/dos/udo", 0x65255ba6d6a34227ULL},
    {"grid/blob1/unix", 0x2c9953eb12160888ULL},
    {"grid/blob1/unix/udo", 0xb5dffeae0dc5ce21ULL},
    {"grid/blob1/mac", 0x752d630f7b063c64ULL},
    {"grid/blob1/mac/udo", 0xd54b4c8aa7197de1ULL},
    {"grid/pov3/dos", 0x5cff69ea43e7e1e8ULL},
    {"grid/pov3/dos/udo", 0x65255ba6d6a34227ULL},
    {"grid/pov3/unix", 0x0c070deb07d272d8ULL},
    {"grid/pov3/unix/udo", 0xb5dffeae0dc5ce21ULL},
    {"grid/pov3/mac", 0x1adadad412c910b0ULL},
    {"grid/pov3/mac/udo", 0xd54b4c8aa7197de1ULL},
    {"big_grid/x/dos", 0xa170a2f3f9c6a29dULL},
    {"big_grid/x/unix", 0x92f472bc4ca01f7aULL},
    {"big_grid/x/mac", 0x23a457beca93a739ULL},
    {"big_grid/pov/dos", 0x93c3c1f8046b4631ULL},
    {"big_grid/pov/dos/udo", 0xc5a4e32613bcf385ULL},
    {"big_grid/pov/unix", 0xd456bc8364351891ULL},
    {"big_grid/pov/unix/udo", 0x5c1f6972af0ad23aULL},
    {"big_grid/pov/mac", 0x15ce66301411ae6fULL},
    {"big_grid/pov/mac/udo", 0xf0fcf8c36399f91dULL},
    {"big_grid/polyray/dos", 0x66f6ac72d6ce28f3ULL},
    {"big_grid/polyray/dos/udo", 0xc5a4e32613bcf385ULL},
    {"big_grid/polyray/unix", 0xffd35cc5aa021dfbULL},
    {"big_grid/polyray/unix/udo", 0x5c1f6972af0ad23aULL},
    {"big_grid/polyray/mac", 0xcaba470066dc5291ULL},
    {"big_grid/polyray/mac/udo", 0xf0fcf8c36399f91dULL},
    {"big_grid/wire/dos", 0xce27e12d2471a214ULL},
    {"big_grid/wire/dos/udo", 0xc5a4e32613bcf385ULL},
    {"big_grid/wire/unix", 0x757eb6bd0d925470ULL},
    {"big_grid/wire/unix/udo", 0x5c1f6972af0ad23aULL},
    {"big_grid/wire/mac", 0x60341716c7cabf6cULL},
    {"big_grid/wire/mac/udo", 0xf0fcf8c36399f91dULL},
    {"big_grid/blob/dos", 0xf58c3a046aae95afULL},
    {"big_grid/blob/dos/udo", 0xc5a4e32613bcf385ULL},
    {"big_grid/blob/unix", 0x225478e16ecf8eb2ULL},
    {"big_grid/blob/unix/udo", 0x5c1f6972af0ad23aULL},
    {"big_grid/blob/mac", 0x5f3791f384e586f3ULL},
    {"big_grid/blob/mac/udo", 0xf0fcf8c36399f91dULL},
    {"big_grid/blob1/dos", 0xf58c3a046aae95afULL},
    {"big_grid/blob1/dos/udo", 0xc5a4e32613bcf385ULL},
    {"big_grid/blob1/unix", 0x225478e16ecf8eb2ULL},
    {"big_grid/blob1/unix/udo", 0x5c1f6972af0ad23aULL},
    {"big_grid/blob1/mac", 0x5f3791f384e586f3ULL},
    {"big_grid/blob1/mac/udo", 0xf0fcf8c36399f91dULL},
    {"big_grid/pov3/dos", 0x11d5a6ebf7533c91ULL},
    {"big_grid/pov3/dos/udo", 0xc5a4e32613bcf385ULL},
    {"big_grid/pov3/unix", 0xb926c853c50999f1ULL},
    {"big_grid/pov3/unix/udo", 0x5c1f6972af0ad23aULL},
    {"big_grid/pov3/mac", 0xf29ef83afc0197cfULL},
    {"big_grid/pov3/mac/udo", 0xf0fcf8c36399f91dULL},
    {"many/x/dos", 0xf8dd5fa6d7eed7e2ULL},
    {"many/x/unix", 0xb0f79b71815481d4ULL},
    {"many/x/mac", 0xe6479831b432489cULL},
    {"many/pov/dos", 0x88922ceea28d88a3ULL},
    {"many/pov/dos/udo", 0x432d3aa8968e3381ULL},
    {"many/pov/unix", 0x89afb4d88ddd9961ULL},
    {"many/pov/unix/udo", 0x0ad8dde00b340734ULL},
    {"many/pov/mac", 0xed7e25660bd1f1efULL},
    {"many/pov/mac/udo", 0xfb5cbfb3e7b13317ULL},
    {"many/polyray/dos", 0x10218a92b669342dULL},
    {"many/polyray/dos/udo", 0x432d3aa8968e3381ULL},
    {"many/polyray/unix", 0x6e3d3672896a0fdfULL},
    {"many/polyray/unix/udo", 0x0ad8dde00b340734ULL},
    {"many/polyray/mac", 0x35c9f7cb009ba489ULL},
    {"many/polyray/mac/udo", 0xfb5cbfb3e7b13317ULL},
    {"many/wire/dos", 0x3ec3e4aaaea0a06fULL},
    {"many/wire/dos/udo", 0x432d3aa8968e3381ULL},
    {"many/wire/unix", 0x71a5f5ff7f721cebULL},
    {"many/wire/unix/udo", 0x0ad8dde00b340734ULL},
    {"many/wire/mac", 0x56127a1298c4f417ULL},
    {"many/wire/mac/udo", 0xfb5cbfb3e7b13317ULL},
    {"many/blob/dos", 0xe6a1aa9229a40920ULL},
    {"many/blob/dos/udo", 0x432d3aa8968e3381ULL},
    {"many/blob/unix", 0xd8a0fbf2782ed260ULL},
    {"many/blob/unix/udo", 0x0ad8dde00b340734ULL},
    {"many/blob/mac", 0x16f9978f60619606ULL},
    {"many/blob/mac/udo", 0xfb5cbfb3e7b13317ULL},
    {"many/blob1/dos", 0xe6a1aa9229a40920ULL},
    {"many/blob1/dos/udo", 0x432d3aa8968e3381ULL},
    {"many/blob1/unix", 0xd8a0fbf2782ed260ULL},
    {"many/blob1/unix/udo", 0x0ad8dde00b340734ULL},
    {"many/blob1/mac", 0x16f9978f60619606ULL},
    {"many/blob1/mac/udo", 0xfb5cbfb3e7b13317ULL},
    {"many/pov3/dos", 0xb768bca2b819ce4fULL},
    {"many/pov3/dos/udo", 0x432d3aa8968e3381ULL},
    {"many/pov3/unix", 0x2b29d0d9a203bc0dULL},
    {"many/pov3/unix/udo", 0x0ad8dde00b340734ULL},
    {"many/pov3/mac", 0x189f747eff3e1363ULL},
    {"many/pov3/mac/udo", 0xfb5cbfb3e7b13317ULL},
};

class OutputChecksums : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/output_checksums.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    write_file(folder + "/grid.x", grid_text(24));
    // Long enough that the writers split their lists into several chunks.
    write_file(folder + "/big_grid.x", grid_text(100));
    write_file(folder + "/many.x", many_meshes_text(150));
  }
  void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

  // Converts input with every class in every line-end mode and compares each output file with its
  // recorded checksum. The folder of the run is written as "@" before the checksum, since
  // the .udo names its .inc by full path.
  void CheckAll(const std::string& label, const std::string& input, const std::string& options) {
    for (const ExportClass& c : kClasses)
      for (const char* ends : kLineEnds) {
        std::string out = folder + "/out" + c.extension;
        std::string udo = folder + "/out.udo";
        std::remove(out.c_str());
        std::remove(udo.c_str());
        std::string command = "cd '" + folder + "' && XDG_CONFIG_HOME='" + folder +
                              "/config' " MORVANE_BINARY_DIR "/bin/morvane-convert -q " + options +
                              " --to '" + c.name + "'" + c.extra + " --line-ends " + ends + " '" +
                              input + "' -o '" + out + "' >/dev/null 2>&1";
        int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
        Compare(label + "/" + c.tag + "/" + ends, read_file(out));
        if (std::string(c.extension) == ".inc")
          Compare(label + "/" + c.tag + "/" + ends + "/udo",
                  replace_all(read_file(udo), folder, "@"));
      }
  }

  void Compare(const std::string& key, const std::string& bytes) {
    ASSERT_FALSE(bytes.empty()) << key;
    std::uint64_t sum = checksum(bytes);
    auto recorded = kRecorded.find(key);
    char line[160];
    std::snprintf(line, sizeof line, "    {\"%s\", 0x%016" PRIx64 "ULL},", key.c_str(), sum);
    EXPECT_TRUE(recorded != kRecorded.end() && recorded->second == sum)
        << "output changed or not recorded; now:\n"
        << line;
  }

  std::string folder;
};

TEST_F(OutputChecksums, SampleTableUnchangedInEveryClass) {
  CheckAll("table", MORVANE_SOURCE_DIR "/examples/table.x", "");
}

TEST_F(OutputChecksums, SampleBrickTowerUnchangedInEveryClass) {
  CheckAll("tower", MORVANE_SOURCE_DIR "/examples/ldraw/models/tower.ldr",
           "--search-path '" MORVANE_SOURCE_DIR "/examples/ldraw/parts;" MORVANE_SOURCE_DIR
           "/examples/ldraw/p;'");
}

TEST_F(OutputChecksums, GeneratedGridUnchangedInEveryClass) {
  CheckAll("grid", folder + "/grid.x", "");
}

TEST_F(OutputChecksums, ManyGeneratedMeshesUnchangedInEveryClass) {
  CheckAll("many", folder + "/many.x", "");
}

TEST_F(OutputChecksums, LargeGeneratedGridUnchangedInEveryClass) {
  CheckAll("big_grid", folder + "/big_grid.x", "");
}

}  // namespace
