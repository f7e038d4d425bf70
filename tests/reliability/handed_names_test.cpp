// File names of any length or bytes: on the batch converter's command line, and handed over
// to a running host through its single-instance socket by well-behaved and broken senders.

#include <gtest/gtest.h>

#include "support/file_text.h"
#include "support/temp_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifdef MORVANE_HAS_HOST_UI
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "host/ui/single_instance.h"
#endif

namespace {

const char kCube[] =
    "xof 0302txt 0064\nMesh cube {\n 4;\n 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;\n"
    " 1;\n 4;0,1,2,3;;\n}\n";

struct Outcome {
  std::string outcome;  // "exit N", "signal N" or "hung"
  std::string err;
};

// Runs the converter with exactly these argument bytes in `folder`, at most 60 seconds.
Outcome Convert(const std::string& folder, const std::vector<std::string>& arguments) {
  std::string err_file = folder + "/.stderr";
  pid_t child = fork();
  if (child == 0) {
    if (chdir(folder.c_str()) != 0) _exit(126);
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(err, 2);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    std::vector<char*> argv;
    std::string program = MORVANE_BINARY_DIR "/bin/morvane-convert";
    argv.push_back(&program[0]);
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  Outcome run;
  int status = 0;
  auto start = std::chrono::steady_clock::now();
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60)) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      run.outcome = "hung";
      run.err = read_file(err_file);
      return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  run.outcome = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                                  : "signal " + std::to_string(WTERMSIG(status));
  run.err = read_file(err_file);
  return run;
}

}  // namespace

TEST(HandedNames, ConverterTakesAnyBytesAsFileNames) {
  TempFolder folder;
  const std::string odd = "\xff\xfe cube\n\xc3(.x";  // invalid UTF-8, a blank, a line end
  write_file(folder.path() + "/" + odd, kCube);
  write_file(folder.path() + "/cube.x", kCube);

  Outcome r = Convert(folder.path(), {odd, "-o", odd + "out.x"});
  EXPECT_EQ(r.outcome, "exit 0") << r.err;
  EXPECT_FALSE(read_file(folder.path() + "/" + odd + "out.x").empty())
      << "written under the same bytes";

  // Names no file system takes: too long for a component, too long for a path, empty.
  const std::string long_component(100000, 'n');
  std::string long_path;
  for (int i = 0; i < 2000; ++i) long_path += "dir/";
  for (const std::string& name : {long_component + ".x", long_path + "cube.x", std::string()}) {
    SCOPED_TRACE(name.substr(0, 40));
    r = Convert(folder.path(), {name, "-o", "out.x"});
    EXPECT_EQ(r.outcome, "exit 1") << r.err.substr(0, 200);
    EXPECT_EQ(r.err.rfind("morvane-convert: ", 0), 0u) << r.err.substr(0, 200);
    r = Convert(folder.path(), {"cube.x", "-o", name.empty() ? name : name + ".x"});
    EXPECT_TRUE(r.outcome == "exit 1" || r.outcome == "exit 2")
        << r.outcome << r.err.substr(0, 200);
    EXPECT_EQ(r.err.rfind("morvane-convert: ", 0), 0u) << r.err.substr(0, 200);
  }
  EXPECT_FALSE(read_file(folder.path() + "/out.x").size() > 0);
}

TEST(HandedNames, ConverterRefusesInputsThatAreNoFilesWithoutWaiting) {
  TempFolder folder;
  ASSERT_EQ(mkfifo((folder.path() + "/pipe.x").c_str(), 0600), 0);
  Outcome r = Convert(folder.path(), {"pipe.x", "-o", "out.x"});
  EXPECT_EQ(r.outcome, "exit 1");
  EXPECT_EQ(r.err, "morvane-convert: pipe.x: is not a regular file\n");
  r = Convert(folder.path(), {"--from", "XFILE ASCII (*.x)", "/dev/zero", "-o", "out.x"});
  EXPECT_EQ(r.outcome, "exit 1");
  EXPECT_EQ(r.err, "morvane-convert: /dev/zero: is not a regular file\n");
}

#ifdef MORVANE_HAS_HOST_UI

namespace {

QCoreApplication& application() {
  static int argc = 1;
  static char name[] = "test_reliability";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  return *app;
}

// Connects to the socket, sends the bytes, and closes (or stays connected when hold is set).
int raw_client(const std::string& socket_path, const std::string& bytes, bool hold = false) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket_path.c_str());
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  if (hold) return fd;
  close(fd);
  return -1;
}

class Handover : public ::testing::Test {
 protected:
  void SetUp() override {
    application();
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    instance = new SingleInstance("MorvaneReliability");
    ASSERT_TRUE(instance->IsFirst());
    ASSERT_TRUE(instance->Listen());
    QObject::connect(instance, &SingleInstance::Activated,
                     [this](const QByteArray& file) { received.push_back(file.toStdString()); });
    socket_path = QFile::encodeName(SingleInstance::SocketPath("MorvaneReliability")).toStdString();
  }
  void TearDown() override {
    delete instance;
    unsetenv("XDG_RUNTIME_DIR");
  }

  // Sends from another thread while this one runs the event loop, until `count` names have
  // arrived or `linger` has passed after the sender finished.
  void Send(const std::string& bytes, std::size_t count,
            std::chrono::milliseconds linger = std::chrono::milliseconds(2000)) {
    std::atomic<bool> done{false};
    std::thread sender([&] {
      raw_client(socket_path, bytes);
      done = true;
    });
    // The event loop runs until the sender is done (the listener must read for it to
    // finish), then until the names have arrived or `linger` has passed.
    auto finished = std::chrono::steady_clock::time_point::max();
    for (;;) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (!done) continue;
      if (finished == std::chrono::steady_clock::time_point::max())
        finished = std::chrono::steady_clock::now();
      if (received.size() >= count || std::chrono::steady_clock::now() - finished > linger) break;
    }
    sender.join();
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }

  TempFolder runtime;
  SingleInstance* instance = nullptr;
  std::string socket_path;
  std::vector<std::string> received;
};

}  // namespace

TEST_F(Handover, NamesOfAnyBytesArriveWhole) {
  const std::string megabyte = "/" + std::string((1 << 20) - 1, 'm');
  Send(megabyte + '\0', 1);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], megabyte) << "a name of 1 MB arrives whole";

  Send(std::string(1, '\0'), 2);
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[1], "") << "a lone NUL only raises the window";

  const std::string odd = "/tmp/\xff\xfe\xc0\x80 \n.x";
  Send(odd + '\0', 3);
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[2], odd);

  Send(std::string("relative/cube.x\0/second\0", 24), 4);
  ASSERT_EQ(received.size(), 4u) << "one name per connection";
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  EXPECT_EQ(received[3], std::string(here) + "/relative/cube.x");
}

TEST_F(Handover, BrokenSendersChangeNothingAndBlockNoOne) {
  // A name without its NUL, then gone; more than 1 MB without a NUL; only NULs after a
  // silent client that keeps its connection open: nothing arrives but the last lone NUL,
  // and a proper handover still works after all of them.
  Send("/tmp/no-terminator.x", 1);
  EXPECT_TRUE(received.empty());
  Send(std::string((1 << 20) + 4096, 'x'), 1);
  EXPECT_TRUE(received.empty()) << "more than 1 MB is no file name";
  int silent = raw_client(socket_path, "", true);
  ASSERT_GE(silent, 0);
  Send(std::string(3, '\0'), 1);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], "");
  close(silent);

  SingleInstance second("MorvaneReliability");
  EXPECT_FALSE(second.IsFirst());
  std::atomic<bool> handed{false};
  std::thread sender([&] { handed = second.HandOver("/tmp/after.x"); });
  auto start = std::chrono::steady_clock::now();
  while (received.size() < 2 &&
         std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  sender.join();
  EXPECT_TRUE(handed);
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[1], "/tmp/after.x");
}

TEST_F(Handover, RandomSendersNeverStopTheListener) {
  // Random bytes of random lengths, with or without their NUL: every sender whose bytes hold
  // a NUL hands over exactly the bytes before it, the others change nothing. 40 senders by
  // default, 2000 with MORVANE_STRESS=1.
  const int senders = std::getenv("MORVANE_STRESS") != nullptr ? 2000 : 40;
  std::mt19937 random(15);
  std::size_t expected = 0;
  for (int i = 0; i < senders; ++i) {
    std::size_t length = random() % 4 == 0 ? random() % (1 << 20) : random() % 300;
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(1 + random() % 255);
    bool terminated = random() % 2 == 0;
    if (terminated) {
      bytes += '\0';
      bytes += std::string(random() % 8, 'z');  // whatever follows is ignored
    }
    std::string name = terminated ? "/" + bytes.substr(0, bytes.find('\0')) : "";
    if (terminated) bytes.insert(0, "/");
    // A sender without NUL gets a short wait: anything it set off late would show up as
    // a wrong count or name at the next sender.
    Send(bytes, expected + (terminated ? 1 : 0), std::chrono::milliseconds(terminated ? 2000 : 30));
    if (terminated) {
      ++expected;
      ASSERT_EQ(received.size(), expected) << "sender " << i;
      EXPECT_EQ(received.back(), name) << "sender " << i;
    } else {
      ASSERT_EQ(received.size(), expected) << "sender " << i;
    }
  }
}

namespace {

// The single-instance files without XDG_RUNTIME_DIR, in a temporary folder of the test's own
// (TMPDIR), with whatever another user or an attacker planted there beforehand.
class InstanceFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    application();
    saved_runtime = qgetenv("XDG_RUNTIME_DIR");
    saved_tmpdir = qgetenv("TMPDIR");
    unsetenv("XDG_RUNTIME_DIR");
    setenv("TMPDIR", temp.path().c_str(), 1);
    own = temp.path() + "/morvane-" + std::to_string(getuid());
    elsewhere = temp.path() + "/elsewhere";
    ASSERT_EQ(mkdir(elsewhere.c_str(), 0777), 0);
  }
  void TearDown() override {
    restore("XDG_RUNTIME_DIR", saved_runtime);
    restore("TMPDIR", saved_tmpdir);
  }
  static void restore(const char* name, const QByteArray& value) {
    if (value.isNull())
      unsetenv(name);
    else
      setenv(name, value.constData(), 1);
  }
  // Entries of a folder other than "." and "..".
  static int Entries(const std::string& folder) {
    return QDir(QString::fromStdString(folder))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden)
        .size();
  }

  TempFolder temp;
  QByteArray saved_runtime, saved_tmpdir;
  std::string own, elsewhere;
};

}  // namespace

TEST_F(InstanceFolder, AFolderOfOurOwnIsMadeClosedToOthers) {
  {
    SingleInstance first("MorvaneFolderTest");
    ASSERT_TRUE(first.IsFirst());
    EXPECT_FALSE(first.Alone());
    EXPECT_EQ(SingleInstance::LockPath("MorvaneFolderTest").toStdString(),
              own + "/MorvaneFolderTest.lock");
    struct stat info;
    ASSERT_EQ(lstat(own.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(first.Listen());
    SingleInstance later("MorvaneFolderTest");
    EXPECT_FALSE(later.IsFirst()) << "the lock in our folder is found taken";
  }
  // A folder of ours left open to others is closed before it is used.
  ASSERT_EQ(chmod(own.c_str(), 0777), 0);
  SingleInstance again("MorvaneFolderTest");
  EXPECT_TRUE(again.IsFirst());
  EXPECT_FALSE(again.Alone());
  struct stat info;
  ASSERT_EQ(lstat(own.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(InstanceFolder, PlantedLinksAndForeignFoldersAreNotUsed) {
  // Each case plants something before the start; the program then runs alone: it starts,
  // listens nowhere, and leaves nothing where the planted entry points.
  struct Case {
    const char* what;
    std::function<bool()> plant;
    bool needs_root;
  } cases[] = {
      {"a link in place of our folder",
       [&] { return symlink(elsewhere.c_str(), own.c_str()) == 0; }, false},
      {"another user's folder",
       [&] { return mkdir(own.c_str(), 0777) == 0 && chown(own.c_str(), 65534, 65534) == 0; },
       true},
      {"a link in place of the lock in our folder",
       [&] {
         return mkdir(own.c_str(), 0700) == 0 &&
                symlink((elsewhere + "/lock").c_str(), (own + "/MorvaneFolderTest.lock").c_str()) ==
                    0;
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::system(("rm -rf '" + own + "' '" + elsewhere + "'/*").c_str());
    if (c.needs_root && getuid() != 0) continue;  // only root can give a folder away
    ASSERT_TRUE(c.plant());
    SingleInstance instance("MorvaneFolderTest");
    EXPECT_TRUE(instance.IsFirst()) << "the program still starts";
    EXPECT_TRUE(instance.Alone());
    EXPECT_FALSE(instance.Listen());
    EXPECT_FALSE(instance.HandOver("/tmp/model.x"));
    EXPECT_EQ(Entries(elsewhere), 0) << "nothing made where the link points";
  }
  // A runtime folder of another user is no better: our own folder is used instead.
  std::system(("rm -rf '" + own + "'").c_str());
  if (getuid() == 0) {
    ASSERT_EQ(chown(elsewhere.c_str(), 65534, 65534), 0);
    setenv("XDG_RUNTIME_DIR", elsewhere.c_str(), 1);
    SingleInstance instance("MorvaneFolderTest");
    EXPECT_FALSE(instance.Alone());
    EXPECT_EQ(SingleInstance::LockPath("MorvaneFolderTest").toStdString(),
              own + "/MorvaneFolderTest.lock");
    EXPECT_EQ(Entries(elsewhere), 0);
  }
}

#endif
