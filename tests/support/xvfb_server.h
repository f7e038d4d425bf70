// A private X server (Xvfb) for one test or benchmark process, so that real OpenGL windows run
// on Mesa's software renderer whatever the machine's display. Xvfb picks a free display
// number itself (-displayfd), so parallel test processes never collide, and it ends when the
// process that started it ends, even when that process crashes.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

class XvfbServer {
 public:
  // screen: the server's screen geometry and depth, as Xvfb's -screen option takes it.
  explicit XvfbServer(const char* screen = "640x480x24") : screen_(screen) {}
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;
  ~XvfbServer() { stop(); }

  // Starts Xvfb, sets DISPLAY to it and asks for Qt's X11 platform with software OpenGL.
  // Returns false with a reason in error when the server does not come up.
  bool start(std::string& error) {
    int fds[2];
    if (pipe(fds) != 0) {
      error = "pipe failed";
      return false;
    }
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0) {
      error = "fork failed";
      return false;
    }
    if (pid_ == 0) {
      // The server ends with this process, however the process ends.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != parent) _exit(1);
      close(fds[0]);
      int null_fd = open("/dev/null", O_WRONLY);
      if (null_fd >= 0) {
        dup2(null_fd, 1);
        dup2(null_fd, 2);
      }
      const std::string fd_text = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd_text.c_str(), "-screen", "0", screen_, "-nolisten",
             "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    struct pollfd p = {fds[0], POLLIN, 0};
    while (number.empty() || number.back() != '\n') {
      if (poll(&p, 1, 20000) <= 0) break;
      char c;
      if (read(fds[0], &c, 1) != 1) break;
      number += c;
    }
    close(fds[0]);
    if (number.empty() || number.back() != '\n') {
      error = "Xvfb did not start (is the xvfb package installed?)";
      stop();
      return false;
    }
    number.pop_back();
    setenv("DISPLAY", (":" + number).c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    return true;
  }

  void stop() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status;
      waitpid(pid_, &status, 0);
    }
    pid_ = -1;
  }

 private:
  const char* screen_;
  pid_t pid_ = -1;
};
