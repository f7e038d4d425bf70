// Faults while the batch converter exports, for every export class it lists: a folder that
// cannot be written, a full disk (a file size limit), a read-only target or companion file.
// Each gives exit status 1 and a message that names the file, leaves every file that was there
// before byte for byte, and leaves no new file behind (no partial output, no temporary file).

#include <gtest/gtest.h>

#include "support/file_text.h"
#include "support/temp_folder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// A grid of (n+1)^2 vertices and n^2 quads: large enough that every class's output passes a
// small file size limit.
std::string grid_model(int n) {
  std::string text = "xof 0302txt 0064\nMesh grid {\n " + std::to_string((n + 1) * (n + 1)) + ";\n";
  for (int y = 0; y <= n; ++y)
    for (int x = 0; x <= n; ++x)
      text += " " + std::to_string(x) + ".0;" + std::to_string(y) + ".0;" +
              std::to_string((x * y) % 7) + ".25;" + (y == n && x == n ? ";\n" : ",\n");
  text += " " + std::to_string(n * n) + ";\n";
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      int a = y * (n + 1) + x;
      text += " 4;" + std::to_string(a) + "," + std::to_string(a + 1) + "," +
              std::to_string(a + n + 2) + "," + std::to_string(a + n + 1) +
              (y == n - 1 && x == n - 1 ? ";;\n" : ";,\n");
    }
  return text + "}\n";
}

struct Result {
  int status;
  std::string err;
};

struct ExportClass {
  std::string name;
  std::string extension;  // of the first file
  bool companion;         // also writes a ".udo"
};

class ExportFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    chmod(folder.c_str(), 0777);
    // The converter's private copy of the settings goes here; it must be gone after a run.
    mkdir((folder + "/tmp").c_str(), 0777);
    chmod((folder + "/tmp").c_str(), 0777);
    write_file(folder + "/grid.x", grid_model(24));
    chmod((folder + "/grid.x").c_str(), 0644);
  }

  // Runs the converter in the test folder; as an ordinary user when the test runs as root
  // (root writes through every permission), with an optional file size limit in blocks.
  Result Run(const std::string& arguments, int size_limit = 0) {
    std::string prefix;
    if (geteuid() == 0) prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    std::string limit = size_limit > 0 ? "ulimit -f " + std::to_string(size_limit) + "; " : "";
    std::string command =
        "cd '" + folder + "' && " + prefix + "sh -c '" + limit +
        "export XDG_CONFIG_HOME=\"$0/config\" TMPDIR=\"$0/tmp\"; exec " MORVANE_BINARY_DIR
        "/bin/morvane-convert \"$@\"' '" +
        folder + "' " + arguments + " >'" + folder + "/.stderr' 2>&1";
    int status = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = read_file(folder + "/.stderr");
    unlink((folder + "/.stderr").c_str());
    return result;
  }

  // Every file below the folder (the converter's private settings left out) with its size and
  // a hash of its bytes.
  std::map<std::string, std::string> Files(const std::string& below = "") {
    std::map<std::string, std::string> files;
    std::string path = folder + below;
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) return files;
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name == "." || name == ".." || (below.empty() && name == "config")) continue;
      struct stat st;
      std::string full = path + "/" + name;
      if (lstat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        for (const auto& inner : Files(below + "/" + name)) files.insert(inner);
        files[below + "/" + name + "/"] = "";
      } else {
        std::string bytes = read_file(full);
        files[below + "/" + name] = std::to_string(bytes.size()) + " bytes, hash " +
                                    std::to_string(std::hash<std::string>()(bytes));
      }
    }
    closedir(dir);
    return files;
  }

  // The export classes the converter lists, with the extension each writes first.
  std::vector<ExportClass> Classes() {
    std::vector<ExportClass> classes;
    std::string command = MORVANE_BINARY_DIR "/bin/morvane-convert --list";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return classes;
    // "\tClassName: NAME" followed by "\tSuperClassID: 0x1001 (Mesh Export)".
    char line[1024];
    std::string name;
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
      std::string text = line;
      if (!text.empty() && text.back() == '\n') text.pop_back();
      if (text.rfind("\tClassName: ", 0) == 0) {
        name = text.substr(12);
      } else if (text.rfind("\tSuperClassID: ", 0) == 0 &&
                 text.find("Export") != std::string::npos) {
        std::string::size_type star = name.find("*.");
        if (star == std::string::npos) continue;
        std::string::size_type end = name.find_first_of(",)", star);
        classes.push_back(
            {name, name.substr(star + 1, end - star - 1), name.find("*.udo") != std::string::npos});
      }
    }
    pclose(pipe);
    return classes;
  }

  // The classes that write a ".udo" companion beside their first file.
  std::vector<ExportClass> CompanionClasses() {
    std::vector<ExportClass> classes = Classes();
    classes.erase(std::remove_if(classes.begin(), classes.end(),
                                 [](const ExportClass& c) { return !c.companion; }),
                  classes.end());
    return classes;
  }

  TempFolder temp_{"export_faults"};
  const std::string folder = temp_.path();
};

}  // namespace

TEST_F(ExportFaults, EveryExportClassIsFound) {
  std::vector<ExportClass> classes = Classes();
  ASSERT_GE(classes.size(), 2u) << "morvane-convert --list names no export classes";
  std::set<std::string> extensions;
  for (const ExportClass& c : classes) extensions.insert(c.extension);
  EXPECT_TRUE(extensions.count(".x") && extensions.count(".inc"));
}

TEST_F(ExportFaults, FolderThatCannotBeWrittenGetsNothing) {
  mkdir((folder + "/closed").c_str(), 0555);
  chmod((folder + "/closed").c_str(), 0555);
  for (const ExportClass& c : Classes()) {
    SCOPED_TRACE(c.name);
    auto before = Files();
    Result r = Run("--to '" + c.name + "' grid.x -o closed/out" + c.extension);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err,
              "morvane-convert: " + folder + "/closed: cannot write here: Permission denied\n");
    EXPECT_EQ(Files(), before);
    if (c.companion) {
      // The first file's folder is fine, the companion's is not: nothing is written.
      r = Run("--to '" + c.name + "' grid.x -o out" + c.extension + " --udo closed/out.udo");
      EXPECT_EQ(r.status, 1) << r.err;
      EXPECT_NE(r.err.find("closed: cannot write here"), std::string::npos) << r.err;
      EXPECT_EQ(Files(), before);
    }
  }
}

TEST_F(ExportFaults, ReadOnlyTargetIsKeptAndNothingElseWritten) {
  for (const ExportClass& c : Classes()) {
    SCOPED_TRACE(c.name);
    std::string target = folder + "/locked" + c.extension;
    write_file(target, "keep me");
    chmod(target.c_str(), 0444);
    auto before = Files();
    Result r = Run("--to '" + c.name + "' grid.x -o locked" + c.extension);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.err, "morvane-convert: locked" + c.extension + ": exists and is read-only\n");
    EXPECT_EQ(Files(), before);
    unlink(target.c_str());
  }
}

TEST_F(ExportFaults, ReadOnlyCompanionFailsTheRunAndLeavesNoHalfPair) {
  const std::vector<ExportClass> pairs = CompanionClasses();
  ASSERT_FALSE(pairs.empty()) << "no class writes a companion file";
  for (const ExportClass& c : pairs) {
    SCOPED_TRACE(c.name);
    write_file(folder + "/pair.udo", "keep me");
    chmod((folder + "/pair.udo").c_str(), 0444);
    auto before = Files();
    Result r = Run("--to '" + c.name + "' grid.x -o pair" + c.extension);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("pair.udo: exists and is read-only"), std::string::npos) << r.err;
    EXPECT_EQ(Files(), before) << "the first file of the pair is not written either";
    unlink((folder + "/pair.udo").c_str());
    unlink((folder + "/pair" + c.extension).c_str());
  }
}

TEST_F(ExportFaults, CompanionThatCannotBeWrittenKeepsTheOldFirstFile) {
  // A folder where the companion should go passes every check before the run; the exporter
  // itself finds it cannot write there and must then leave the first file as it was.
  const std::vector<ExportClass> pairs = CompanionClasses();
  ASSERT_FALSE(pairs.empty()) << "no class writes a companion file";
  for (const ExportClass& c : pairs) {
    SCOPED_TRACE(c.name);
    write_file(folder + "/pair" + c.extension, "the previous export");
    chmod((folder + "/pair" + c.extension).c_str(), 0666);
    mkdir((folder + "/pair.udo").c_str(), 0777);
    chmod((folder + "/pair.udo").c_str(), 0777);
    auto before = Files();
    Result r = Run("--to '" + c.name + "' grid.x -o pair" + c.extension);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("not written"), std::string::npos) << r.err;
    EXPECT_EQ(Files(), before) << "no half-written pair";
    rmdir((folder + "/pair.udo").c_str());
    unlink((folder + "/pair" + c.extension).c_str());
  }
}

TEST_F(ExportFaults, FullDiskKeepsTheOldFilesAndLeavesNoTemporaryFile) {
  for (const ExportClass& c : Classes()) {
    SCOPED_TRACE(c.name);
    // A new target: nothing at all remains.
    auto before = Files();
    Result r = Run("--to '" + c.name + "' grid.x -o fresh" + c.extension, 4);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("morvane-convert: fresh" + c.extension + ": not written"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(Files(), before);

    // Existing targets (and companion) keep their bytes.
    write_file(folder + "/old" + c.extension, "the previous export");
    chmod((folder + "/old" + c.extension).c_str(), 0666);
    if (c.companion) {
      write_file(folder + "/old.udo", "the previous companion");
      chmod((folder + "/old.udo").c_str(), 0666);
    }
    before = Files();
    r = Run("--to '" + c.name + "' grid.x -o old" + c.extension, 4);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("not written"), std::string::npos) << r.err;
    EXPECT_EQ(Files(), before);
    unlink((folder + "/old" + c.extension).c_str());
    unlink((folder + "/old.udo").c_str());
  }
}

TEST_F(ExportFaults, WithoutFaultEveryClassWritesItsFiles) {
  // The same runs without a fault succeed, so the failures above come from the faults.
  for (const ExportClass& c : Classes()) {
    SCOPED_TRACE(c.name);
    Result r = Run("--to '" + c.name + "' grid.x -o fine" + c.extension);
    EXPECT_EQ(r.status, 0) << r.err;
    // The file and the companion it names (the ".udo", a glTF ".bin", an OBJ ".mtl") together.
    const std::string companion = c.companion              ? "/fine.udo"
                                  : c.extension == ".gltf" ? "/fine.bin"
                                  : c.extension == ".obj"  ? "/fine.mtl"
                                                           : "";
    size_t written = read_file(folder + "/fine" + c.extension).size();
    if (!companion.empty()) written += read_file(folder + companion).size();
    EXPECT_GT(written, 2048u) << "larger than the size limit used above";
    if (c.companion) {
      EXPECT_FALSE(read_file(folder + "/fine.udo").empty());
    }
  }
}
