// Two real Morvane processes: a second start hands its file to the first and ends.

#include <gtest/gtest.h>

#include "support/file_text.h"
#include "support/temp_folder.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

class HandoverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(folder + "/cube.x")
        << "xof 0302txt 0064\nMesh cube {\n 3;\n 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;\n"
           " 1;\n 3;0,1,2;;\n}\n";
  }
  void TearDown() override {
    if (first > 0) {
      kill(first, SIGKILL);
      waitpid(first, nullptr, 0);
    }
  }

  // Starts Morvane in the test folder with a private store and runtime folder; returns its pid.
  pid_t Start(const char* argument, const std::string& plugin_path = "") {
    pid_t pid = fork();
    if (pid == 0) {
      chdir(folder.c_str());
      setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
      setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      if (!plugin_path.empty()) {
        std::string store = folder + "/config/Kelmar Software";
        std::system(("mkdir -p '" + store + "'").c_str());
        std::ofstream(store + "/Morvane.conf")
            << "[Settings]\n\"plugin_path\"=\"" << plugin_path << "\"\n";
      }
      const char* program = MORVANE_BINARY_DIR "/bin/Morvane";
      if (argument != nullptr)
        execl(program, program, argument, nullptr);
      else
        execl(program, program, nullptr);
      _exit(127);
    }
    return pid;
  }

  // Waits until the first instance listens (its socket exists), at most a few seconds.
  bool WaitForSocket() {
    for (int i = 0; i < 200; ++i) {
      if (access((folder + "/MorvaneMutex.sock").c_str(), F_OK) == 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
  }

  // Exit status of a later start that must end by itself within a few seconds; -1 if not.
  int WaitForEnd(pid_t pid) {
    for (int i = 0; i < 400; ++i) {
      int status;
      if (waitpid(pid, &status, WNOHANG) == pid)
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
  }

  // What the first instance's import class stored as its last file: the store is written when
  // the import ends, so it shows the handed-over import happened.
  std::string ImportedFile() { return read_file(folder + "/config/Kelmar Software/xfile_in.conf"); }

  TempFolder temp_{"morvane_handover"};
  const std::string folder = temp_.path();
  pid_t first = -1;
};

}  // namespace

TEST_F(HandoverTest, SecondStartWithAFileHandsItOverAndEnds) {
  first = Start(nullptr);
  ASSERT_TRUE(WaitForSocket());
  EXPECT_EQ(WaitForEnd(Start("cube.x")), 0);
  std::string stored;
  for (int i = 0; i < 200 && stored.find("cube.x") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    stored = ImportedFile();
  }
  // The name was made absolute by the start that received it on its command line.
  EXPECT_NE(stored.find("\"file_name\"=\"" + folder + "/cube.x\""), std::string::npos) << stored;
  EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the first instance runs on";
}

TEST_F(HandoverTest, SecondStartWithoutAFileOnlyEnds) {
  first = Start(nullptr);
  ASSERT_TRUE(WaitForSocket());
  EXPECT_EQ(WaitForEnd(Start(nullptr)), 0);
  EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0);
  EXPECT_EQ(ImportedFile(), "");
}

TEST_F(HandoverTest, WithoutPluginsTheSecondStartEndsSilently) {
  std::system(("mkdir -p '" + folder + "/none'").c_str());
  first = Start(nullptr, folder + "/none/");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_NE(access((folder + "/MorvaneMutex.sock").c_str(), F_OK), 0)
      << "no socket without plug-ins";
  EXPECT_EQ(WaitForEnd(Start("cube.x")), 0);
  EXPECT_EQ(waitpid(first, nullptr, WNOHANG), 0);
}
