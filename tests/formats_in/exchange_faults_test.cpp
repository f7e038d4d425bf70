// The exchange-format import classes on files that break the reading library, and on a reader
// program that crashes, hangs or runs out of memory: the batch converter gives one line of
// error and an exit status, never a crash or a hang of its own.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/file_text.h"
#include "support/temp_folder.h"

namespace {

struct Result {
  int status;
  std::string err;
};

const char kClassOf[][2][32] = {
    {".glb", "glTF 2.0 (*.gltf, *.glb)"},  {".gltf", "glTF 2.0 (*.gltf, *.glb)"},
    {".obj", "Wavefront OBJ (*.obj)"},     {".stl", "STL (*.stl)"},
    {".ply", "Stanford PLY (*.ply)"},      {".dae", "COLLADA (*.dae)"},
    {".fbx", "Autodesk FBX (*.fbx)"},      {".3ds", "3D Studio (*.3ds)"},
    {".off", "Object File Format (*.off)"}};

std::string ClassOf(const std::string& file) {
  for (const auto& row : kClassOf) {
    const std::string ext = row[0];
    if (file.size() > ext.size() && file.compare(file.size() - ext.size(), ext.size(), ext) == 0)
      return row[1];
  }
  return "";
}

class ExchangeFaults : public ::testing::Test {
 protected:
  // Imports file (in the test folder) with morvane-convert --info under a 60-second guard;
  // environment goes before the command.
  Result Info(const std::string& file, const std::string& environment = "") {
    const std::string command =
        "cd '" + folder + "' && XDG_CONFIG_HOME='" + folder + "/config' " + environment +
        " timeout -s KILL 60 " + MORVANE_BINARY_DIR "/bin/morvane-convert --quiet --info --from '" +
        ClassOf(file) + "' '" + file + "' >/dev/null 2>'" + folder + "/stderr'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(folder + "/stderr")};
  }

  TempFolder temp_{"exchange_faults"};
  const std::string folder = temp_.path();
};

// An error is exactly one line naming the file; a run that read something gives none.
void ExpectCleanOutcome(const Result& r, const std::string& what) {
  ASSERT_TRUE(r.status == 0 || r.status == 1) << what << ": status " << r.status << "\n" << r.err;
  if (r.status == 1) {
    EXPECT_EQ(r.err.rfind("morvane-convert: ", 0), 0u) << what << ": " << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << what << ": " << r.err;
  } else {
    EXPECT_EQ(r.err, "") << what;
  }
}

}  // namespace

TEST_F(ExchangeFaults, ReaderThatCrashesHangsOrOverrunsMemoryGivesOneLineOfError) {
  write_file(folder + "/tri.stl",
             "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
             "vertex 0 1 0\nendloop\nendfacet\nendsolid t\n");
  ASSERT_EQ(Info("tri.stl").status, 0) << "the file itself is sound";
  const char* faults[] = {"MORVANE_READER_TEST_FAULT=crash",
                          "MORVANE_READER_TEST_FAULT=hang MORVANE_READER_SECONDS=2",
                          "MORVANE_READER_TEST_FAULT=memory MORVANE_READER_MEMORY_MB=256"};
  for (const char* fault : faults) {
    const Result r = Info("tri.stl", fault);
    EXPECT_EQ(r.status, 1) << fault;
    ExpectCleanOutcome(r, fault);
  }
}

TEST_F(ExchangeFaults, HostileAndTruncatedFilesOfEachFormatGiveOneLineOrMeshes) {
  // Hostile: bytes that claim each format and then lie.
  const std::string hostile[][2] = {
      {"claims.glb", std::string("glTF\x02\0\0\0\xff\xff\xff\x7f\x10\0\0\0JSON{\"a", 23)},
      {"claims.gltf", R"({"asset":{"version":"2.0"},"buffers":[{"byteLength":99999999999}],)"
                      R"("meshes":[{"primitives":[{"attributes":{"POSITION":7}}]}]})"},
      {"claims.obj", "v 1 2\nf 1 2 3 99999999999\nf -5 -6 -7\n"},
      {"claims.stl", std::string(80, 'x') + std::string("\xff\xff\xff\x7f", 4)},
      {"claims.ply",
       "ply\nformat binary_little_endian 1.0\nelement vertex 2147483647\n"
       "property float x\nend_header\n\x01\x02"},
      {"claims.dae", "<?xml version=\"1.0\"?><COLLADA><library_geometries><geometry><mesh>"},
      {"claims.fbx", std::string("Kaydara FBX Binary  \0\x1a\0\xe8\x1c\0\0\xff\xff\xff\x7f", 31)},
      {"claims.3ds", std::string("\x4d\x4d\xff\xff\xff\x7f\x3d\x3d\x06\0\0\0", 12)},
      {"claims.off", "OFF\n3 2147483647 0\n0 0 0\n"},
  };
  // The reading library loops for ever on some of these (truncated PLY): a short time limit
  // keeps the test short, and the error of the limit is what such a file gives.
  const std::string limit = "MORVANE_READER_SECONDS=5";
  for (const auto& file : hostile) {
    write_file(folder + "/" + file[0], file[1]);
    ExpectCleanOutcome(Info(file[0], limit), file[0]);
  }
  // Truncated: the first part of every corpus file, at several lengths.
  const char* corpus[] = {"box.obj",
                          "cube_binary.ply",
                          "cube.ply",
                          "sphereWithHole.stl",
                          "BoxTextured.glb",
                          "BoxWithInfinites.glb",
                          "cube_triangulate.dae"};
  for (const char* name : corpus) {
    const std::string bytes = read_file(std::string(MORVANE_CORPUS_DIR) + "/formats/" + name);
    if (bytes.empty()) continue;  // the corpus is missing here
    for (double part : {0.1, 0.5, 0.9}) {
      const std::string cut = "cut_" + std::to_string(static_cast<int>(part * 100)) + "_" + name;
      write_file(folder + "/" + cut, bytes.substr(0, static_cast<size_t>(bytes.size() * part)));
      ExpectCleanOutcome(Info(cut, limit), cut);
    }
  }
}
