// Where the ".inc" and ".udo" writers report while they work: the status line of the run's
// progress dialog (the same line goes to the run's log) and the file progress bar. The export
// run adapts its progress callbacks and log to this; tests record what arrives.
#pragma once

#include <cstdint>
#include <string>

class WriterReport {
 public:
  virtual ~WriterReport() = default;
  // One status line, ending in "\n", shown as the run's status and written to its log.
  virtual void status(const std::string& line) = 0;
  // Progress through the current mesh: position of the face, edge or vertex being written.
  virtual void file_progress(int32_t position, int32_t total) = 0;
};
