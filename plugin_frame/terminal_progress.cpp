#include "plugin_frame/terminal_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kBarWidth = 30;
constexpr std::size_t kLineWidth = 79;

bool progress_line_turned_off() {
  const char* value = std::getenv(kNoProgressLineVariable);
  return value != nullptr && value[0] != '\0';
}

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* stream) : TerminalProgress(stream, false) {}

TerminalProgress::TerminalProgress(std::FILE* stream, bool forced)
    : stream_(stream),
      active_(stream != nullptr &&
              (forced || (isatty(fileno(stream)) == 1 && !progress_line_turned_off()))) {}

TerminalProgress::~TerminalProgress() {
  if (active_ && drawn_) {
    std::fputc('\n', stream_);
    std::fflush(stream_);
  }
}

void TerminalProgress::SetStatus(const char* text) {
  status_ = text != nullptr ? text : "";
  while (!status_.empty() &&
         (status_.back() == '\n' || status_.back() == '\r' || status_.back() == ' '))
    status_.pop_back();
  Draw();
}

void TerminalProgress::SetFileProgress(int percent) {
  file_percent_ = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  Draw();
}

void TerminalProgress::SetMeshProgress(int percent) {
  mesh_percent_ = percent < 0 ? 0 : percent > 100 ? 100 : percent;
}

const std::string& TerminalProgress::Line() const {
  if (stale_) {
    line_ = MakeLine();
    stale_ = false;
  }
  return line_;
}

std::string TerminalProgress::MakeLine() const {
  int filled = file_percent_ * kBarWidth / 100;
  std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] ";
  std::string percent = progress_percent_text(file_percent_);
  line += std::string(4 - std::min<std::size_t>(4, percent.size()), ' ') + percent;
  if (!status_.empty()) line += " " + status_;
  // Control characters in a status text would break the one line.
  for (char& c : line)
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  if (line.size() > kLineWidth) line.resize(kLineWidth);
  return line;
}

void TerminalProgress::Draw() {
  if (made_ && made_percent_ == file_percent_ && made_status_ == status_) return;
  made_ = true;
  made_percent_ = file_percent_;
  made_status_ = status_;
  if (!active_) {
    stale_ = true;
    return;
  }
  std::string line = MakeLine();
  std::size_t previous = line_.size();
  line_ = line;
  stale_ = false;
  std::string padded = line;
  if (previous > padded.size()) padded.append(previous - padded.size(), ' ');
  std::fprintf(stream_, "\r%s", padded.c_str());
  std::fflush(stream_);
  drawn_ = true;
}
