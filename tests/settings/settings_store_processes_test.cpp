// The store under real concurrent processes: writers that race each other
// and writers killed in the middle of a write.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "settings/settings_store.h"
#include "tests/settings/private_store.h"

namespace {

// The default run stays within a few seconds; MORVANE_STRESS=1 repeats much more.
bool stress() {
  const char* value = std::getenv("MORVANE_STRESS");
  return value && *value && std::string(value) != "0";
}

// The value written in generation n: its length and bytes follow from n, so
// a reader can tell a whole value from a torn or mixed one.
std::string generation_value(long n) {
  std::size_t length = static_cast<std::size_t>((n * 37) % 3000 + 1);
  return std::to_string(n) + ":" + std::string(length, static_cast<char>('a' + n % 26));
}

// The generation of a whole value, or -1 when the text is not one.
long generation_of(const std::string& value) {
  std::size_t colon = value.find(':');
  if (colon == std::string::npos || colon == 0) return -1;
  long n = std::strtol(value.substr(0, colon).c_str(), nullptr, 10);
  return generation_value(n) == value ? n : -1;
}

const char* const kKeptLine = "hand-written note that is no setting {";

// Ends a forked child without running the test framework's exit handlers.
[[noreturn]] void end_child(bool ok) { _exit(ok ? 0 : 1); }

int wait_status(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// Checks the owner's file as it is on disk: present, whole, with the lines
// every version must keep. Returns the generation found, or -1 when damaged.
long check_file(const std::string& path, std::string* problem) {
  std::string bytes = read_whole_file(path);
  if (bytes.empty()) {
    *problem = "empty or missing file";
    return -1;
  }
  if (bytes.back() != '\n' || bytes.find("[S]\n") != 0 ||
      bytes.find(std::string("\n") + kKeptLine + "\n") == std::string::npos ||
      bytes.find("\n\"keep\"=\"fixed\"\n") == std::string::npos) {
    *problem = "damaged file: " + bytes.substr(0, 200);
    return -1;
  }
  std::size_t at = bytes.find("\n\"gen\"=\"");
  if (at == std::string::npos) {
    *problem = "generation line missing";
    return -1;
  }
  at += 8;
  std::size_t end = bytes.find("\"\n", at);
  long n = end == std::string::npos ? -1 : generation_of(bytes.substr(at, end - at));
  if (n < 0) *problem = "torn value";
  return n;
}

}  // namespace

TEST(SettingsStoreProcesses, ConcurrentWritersBothKeepTheirValues) {
  PrivateStore store;
  const int writes = stress() ? 1500 : 60;
  const int slots = 6;
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  pid_t writers[2];
  for (int id = 0; id < 2; ++id) {
    writers[id] = fork();
    ASSERT_GE(writers[id], 0);
    if (writers[id] == 0) {
      close(start[1]);
      char go;
      if (read(start[0], &go, 1) < 0) end_child(false);
      bool ok = true;
      for (int k = 0; k < writes; ++k) {
        std::string name = "w" + std::to_string(id) + "_" + std::to_string(k % slots);
        std::string value = std::to_string(id) + ":" + std::to_string(k);
        ok = SettingsWriteString("racer", "S", name.c_str(), value.c_str()) == 1 && ok;
      }
      end_child(ok);
    }
  }
  close(start[0]);
  close(start[1]);  // both writers start together
  for (pid_t writer : writers) {
    int status = wait_status(writer);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  unsigned long count = 0;
  SettingsCountValues("racer", "S", &count);
  EXPECT_EQ(count, 2u * slots);
  for (int id = 0; id < 2; ++id) {
    for (int slot = 0; slot < slots; ++slot) {
      int last = writes - 1 - ((writes - 1 - slot) % slots);
      std::string name = "w" + std::to_string(id) + "_" + std::to_string(slot);
      std::string value;
      EXPECT_TRUE(SettingsReadText("racer", "S", name.c_str(), "", value)) << name;
      EXPECT_EQ(value, std::to_string(id) + ":" + std::to_string(last)) << name;
    }
  }
}

TEST(SettingsStoreProcesses, KilledWriterLeavesPreviousOrNewFileNeverDamaged) {
  PrivateStore store;
  const int kills = stress() ? 400 : 25;
  const std::string file = store.owner_file("victim");
  ASSERT_EQ(SettingsWriteString("victim", "S", "gen", generation_value(0).c_str()), 1);
  write_whole_file(file, read_whole_file(file) + kKeptLine + "\n");
  ASSERT_EQ(SettingsWriteString("victim", "S", "keep", "fixed"), 1);

  // The reader checks every state it can see until the stop pipe closes and
  // reports how many distinct generations it saw through its exit status.
  int stop[2];
  ASSERT_EQ(pipe(stop), 0);
  pid_t reader = fork();
  ASSERT_GE(reader, 0);
  if (reader == 0) {
    close(stop[1]);
    std::set<long> seen;
    long last = 0;
    for (;;) {
      pollfd done{stop[0], POLLIN, 0};
      bool stopping = poll(&done, 1, 0) > 0;
      std::string problem;
      long n = check_file(file, &problem);
      std::string value;
      bool found = SettingsReadText("victim", "S", "gen", "", value);
      long through_store = found ? generation_of(value) : -1;
      if (n < 0 || through_store < 0 || through_store < last || n < last) {
        std::fprintf(stderr, "reader: %s (file %ld, store %ld, last %ld)\n", problem.c_str(), n,
                     through_store, last);
        end_child(false);
      }
      last = through_store;
      seen.insert(n);
      if (stopping) break;
    }
    _exit(seen.size() >= 3 ? 0 : 2);
  }
  close(stop[0]);

  std::mt19937 random(20261207);
  long previous = 0;
  for (int round = 1; round <= kills; ++round) {
    pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      for (long n = round * 100000L;; ++n)
        SettingsWriteString("victim", "S", "gen", generation_value(n).c_str());
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 12000));
    kill(writer, SIGKILL);
    int status = wait_status(writer);
    ASSERT_TRUE(WIFSIGNALED(status));
    std::string problem;
    long n = check_file(file, &problem);
    ASSERT_GE(n, previous) << "after kill " << round << ": " << problem;
    previous = n;
  }
  close(stop[1]);
  int status = wait_status(reader);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the reader saw a damaged state; 2: too few states";

  // A lock or temporary file left by a killed writer stops no one.
  EXPECT_EQ(SettingsWriteString("victim", "S", "gen", generation_value(7).c_str()), 1);
  std::string problem;
  EXPECT_EQ(check_file(file, &problem), 7) << problem;
}
