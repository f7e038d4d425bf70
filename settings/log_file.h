// The log file of one plug-in class run. Every line is flushed at once so a
// log survives a crash of the run that wrote it.
#pragma once

#include <cstdarg>
#include <cstdio>

class LogFile {
 public:
  // Longest message LogWrite keeps: a message is formatted into this many
  // bytes, so longer ones are cut at one less.
  static constexpr int kMessageBuffer = 1024;

  // With a name, opens that file for writing (truncating it) and is enabled
  // when the open succeeded. Without a name (null) the log is disabled and
  // writes nothing. A file that cannot be created leaves the log disabled
  // without any message.
  explicit LogFile(const char* file_name = nullptr);

  // The log of a run: opened only when verbose_mode is exactly 1, then the
  // banner line for `title` is written.
  LogFile(unsigned verbose_mode, const char* file_name, const char* title);

  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // When enabled: formats into kMessageBuffer bytes (numbers always with
  // "."), writes the text unchanged (a "%" in it stays as it is) and
  // flushes the file.
  void LogWrite(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  // LogWrite for a caller that takes the arguments itself (a "..." of its own).
  void LogWriteV(const char* format, va_list args);

  // The banner "title build-date build-time VC++50", e.g.
  // "Direct X Import Plugin 0.1 Sep  4 1999 10:14:17 VC++50".
  void WriteBanner(const char* title);

  bool enabled() const { return enabled_; }

 private:
  bool enabled_ = false;
  std::FILE* file_ = nullptr;
};
