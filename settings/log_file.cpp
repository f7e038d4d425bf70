#include "settings/log_file.h"

#include <cstdarg>

#include "settings/c_numeric.h"

LogFile::LogFile(const char* file_name) {
  if (file_name && *file_name) {
    file_ = std::fopen(file_name, "w");
    enabled_ = file_ != nullptr;
  }
}

LogFile::LogFile(unsigned verbose_mode, const char* file_name, const char* title)
    : LogFile(verbose_mode == 1 ? file_name : nullptr) {
  WriteBanner(title);
}

LogFile::~LogFile() {
  if (enabled_) {
    std::fflush(file_);
    std::fclose(file_);
  }
}

void LogFile::LogWrite(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogWriteV(format, args);
  va_end(args);
}

void LogFile::LogWriteV(const char* format, va_list args) {
  if (!enabled_ || !format) return;
  char buffer[kMessageBuffer];
  int length = c_vsnprintf(buffer, sizeof buffer, format, args);
  if (length < 0) return;
  // A longer message was cut by the formatting; write what the buffer holds.
  if (length > kMessageBuffer - 1) length = kMessageBuffer - 1;
  std::fwrite(buffer, 1, static_cast<std::size_t>(length), file_);
  std::fflush(file_);
}

void LogFile::WriteBanner(const char* title) {
  LogWrite("%s %s %s %s\n", title ? title : "", __DATE__, __TIME__, "VC++50");
}
