// Runs a piece of a test in a child process with a time limit, so that a crash or a hang of the
// code under test fails that one test (with the reason) instead of ending the whole suite.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

// "" when body returned normally within `seconds`, else what happened to the child.
inline std::string RunInChild(const std::function<void()>& body, unsigned seconds) {
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return "fork failed";
  if (child == 0) {
    alarm(seconds);
    body();
    std::fflush(nullptr);
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
  }
  if (WIFEXITED(status))
    return WEXITSTATUS(status) == 0 ? "" : "exit status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status))
    return WTERMSIG(status) == SIGALRM ? "hung (more than " + std::to_string(seconds) + " s)"
                                       : "killed by signal " + std::to_string(WTERMSIG(status));
  return "stopped";
}

// Inside a child: ends it with status 1 and a message when the condition does not hold.
inline void ChildCheck(bool condition, const std::string& what) {
  if (!condition) {
    std::fprintf(stderr, "child check failed: %s\n", what.c_str());
    std::fflush(stderr);
    _exit(1);
  }
}
