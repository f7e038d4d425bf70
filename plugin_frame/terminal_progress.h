#pragma once

#include <cstdio>
#include <string>

#include "plugin_frame/progress_callbacks.h"

// Progress of a run without windows: one line on stream, redrawn in place ("\r"), with a bar,
// the file percentage and the status text, ended with a newline when the run ends. It writes
// only when stream is a terminal, so batch logs and pipes stay clean, and not at all while the
// environment variable kNoProgressLineVariable is set and not empty (the batch converter's
// --quiet, which reaches every plug-in library that way).
inline constexpr char kNoProgressLineVariable[] = "MORVANE_NO_PROGRESS_LINE";
class TerminalProgress : public ProgressSink {
 public:
  explicit TerminalProgress(std::FILE* stream = stderr);
  // forced true draws even when stream is not a terminal (tests).
  TerminalProgress(std::FILE* stream, bool forced);
  ~TerminalProgress() override;

  void SetStatus(const char* text) override;
  void SetFileProgress(int percent) override;
  void SetMeshProgress(int percent) override;

  // The line as it was last drawn, without "\r" (while not drawing: as it would be drawn).
  const std::string& Line() const;

 private:
  void Draw();
  std::string MakeLine() const;

  std::FILE* stream_;
  bool active_;
  bool drawn_ = false;
  int file_percent_ = 0;
  int mesh_percent_ = 0;
  std::string status_;
  // Made when drawn; while not drawing (not a terminal, quiet runs) only when asked for, as
  // a run reports thousands of times per second.
  mutable std::string line_;
  mutable bool stale_ = false;
  // What the current line was made from: a report that changes neither leaves it as it is.
  bool made_ = false;
  int made_percent_ = 0;
  std::string made_status_;
};
