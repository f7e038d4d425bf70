#pragma once

#include <memory>
#include <string>

#include "plugin_frame/progress_callbacks.h"
#include "plugin_frame/progress_dialog.h"
#include "plugin_frame/terminal_progress.h"

// What shows the progress of one run, for its length: the modeless progress dialog when the
// process has windows, else the terminal line on standard error. Installs itself as the
// library-wide sink and puts the previous one back at the end.
class RunProgress {
 public:
  RunProgress(ProgressDialog::Variant variant, const std::string& title);
  ~RunProgress();
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;

 private:
  std::unique_ptr<ProgressDialog> dialog_;
  std::unique_ptr<TerminalProgress> terminal_;
  ProgressSink* previous_;
};

// Remembers the current directory and goes back to it at the end of a command.
class DirectoryKeeper {
 public:
  DirectoryKeeper();
  ~DirectoryKeeper();
  DirectoryKeeper(const DirectoryKeeper&) = delete;
  DirectoryKeeper& operator=(const DirectoryKeeper&) = delete;

 private:
  std::string directory_;
};
