#pragma once

#include <cstdio>
#include <memory>
#include <string>

class EarlyWriteback;

// A file an export writes, opened in binary mode under a temporary name in the target's own
// folder and renamed over the target only when every byte has reached the disk. A write that
// fails (full disk, file size limit, an error while writing) or a run that is cancelled or
// killed therefore never leaves a target that looks complete but is not, and never damages a
// file that was there before. The temporary file is removed unless Commit succeeded.
class OutputFile {
 public:
  // Opens the temporary file. An existing target that is read-only, or a folder that cannot
  // be written, leaves the file closed (is_open() false) with the reason in error().
  explicit OutputFile(const std::string& target);
  ~OutputFile();

  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool is_open() const { return stream_ != nullptr; }
  std::FILE* stream() const { return stream_; }
  const std::string& target() const { return target_; }
  // The system's reason for the last failure ("Permission denied", ...), or "".
  const std::string& error() const { return error_; }

  // Flushes, syncs and closes the stream, then renames the temporary file over the target.
  // False when any step failed; the target is then as it was before.
  bool Commit();

 private:
  void Discard();

  std::string target_;
  std::string temporary_;
  std::FILE* stream_ = nullptr;
  std::unique_ptr<EarlyWriteback> writeback_;  // while stream_ is open
  std::string error_;
};
