#include "settings/delimited_writer.h"

#include "settings/text_file.h"

DelimitedWriter::DelimitedWriter(int ld_mode, std::string* sink)
    : DelimitedWriter(ld_mode, static_cast<std::FILE*>(nullptr)) {
  sink_ = sink;
}

DelimitedWriter::DelimitedWriter(int ld_mode, std::FILE* file) : file_(file) {
  switch (ld_mode) {
    case LD_DOS:
      line_end_[0] = '\r';
      line_end_[1] = '\n';
      line_end_length_ = 2;
      break;
    case LD_UNIX:
      line_end_[0] = '\n';
      line_end_length_ = 1;
      break;
    case LD_MAC:
      line_end_[0] = '\r';
      line_end_length_ = 1;
      break;
    default:
      line_end_length_ = 0;
      break;
  }
}

DelimitedWriter& DelimitedWriter::LongText(const char* text, std::size_t length) {
  const char* end = text + length;
  while (text < end) {
    const char* newline = static_cast<const char*>(std::memchr(text, '\n', end - text));
    const char* stop = newline ? newline : end;
    std::size_t n = static_cast<std::size_t>(stop - text);
    if (n > sizeof buffer_ - used_) {
      Flush();
      if (n > sizeof buffer_) {
        if (file_) std::fwrite(text, 1, n, file_);
        if (sink_) sink_->append(text, n);
        n = 0;
      }
    }
    if (n > 0) {
      std::memcpy(buffer_ + used_, text, n);
      used_ += n;
    }
    if (!newline) break;
    Newline();
    text = newline + 1;
  }
  return *this;
}

DelimitedWriter& DelimitedWriter::RawInBlocks(const char* bytes, std::size_t length) {
  // A long text (a chunk formatted on another thread) goes to the stream as it is, after what
  // the buffer holds, instead of being copied through the buffer first.
  if (length >= sizeof buffer_ / 4) {
    Flush();
    if (file_) std::fwrite(bytes, 1, length, file_);
    if (sink_) sink_->append(bytes, length);
    return *this;
  }
  // A shorter one fills the buffer up, which then goes to the stream whole.
  while (length > 0) {
    if (used_ == sizeof buffer_) Flush();
    std::size_t n = sizeof buffer_ - used_;
    if (n > length) n = length;
    std::memcpy(buffer_ + used_, bytes, n);
    used_ += n;
    bytes += n;
    length -= n;
  }
  return *this;
}

void DelimitedWriter::Flush() {
  if (used_ > 0) {
    if (file_) std::fwrite(buffer_, 1, used_, file_);
    if (sink_) sink_->append(buffer_, used_);
  }
  used_ = 0;
}
