// A buffered writer for the text files of the exporters. Every "\n" of the text becomes the
// line end of the file's ld_mode as print_delimited writes it (0 CR LF, 1 LF, 2 CR, any other
// value no line break), and numbers are formatted as "%f" and "%d" do, without printf. The
// text goes to the stream in large blocks; Flush (or the destructor) hands over the rest, and
// must come before anything else writes to the same stream. A writer into memory appends the
// same bytes to a string instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "settings/number_text.h"

class DelimitedWriter {
 public:
  DelimitedWriter(int ld_mode, std::FILE* file);
  // The same writing into memory: every flush appends to *sink.
  DelimitedWriter(int ld_mode, std::string* sink);
  ~DelimitedWriter() { Flush(); }
  DelimitedWriter(const DelimitedWriter&) = delete;
  DelimitedWriter& operator=(const DelimitedWriter&) = delete;

  // Text with its newlines translated.
  DelimitedWriter& Text(const char* text, std::size_t length) {
    // The short pieces between numbers are copied here character by character, which costs
    // less than finding their line breaks with a library call.
    if (length <= kShortText && used_ + 2 * length <= sizeof buffer_) {
      for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != '\n') {
          buffer_[used_++] = text[i];
        } else {
          for (std::size_t k = 0; k < line_end_length_; ++k) buffer_[used_++] = line_end_[k];
        }
      }
      return *this;
    }
    return LongText(text, length);
  }
  DelimitedWriter& Text(const char* text) { return Text(text, std::strlen(text)); }
  // "%f" and "%d".
  DelimitedWriter& Fixed(double v) {
    Reserve(kFixed6Capacity);
    used_ = static_cast<std::size_t>(format_fixed6(buffer_ + used_, v) - buffer_);
    return *this;
  }
  DelimitedWriter& Int(int32_t v) {
    Reserve(12);
    used_ = static_cast<std::size_t>(format_int(buffer_ + used_, v) - buffer_);
    return *this;
  }
  // Bytes as they are, newlines untranslated (text another writer of the same mode made).
  DelimitedWriter& Raw(const char* bytes, std::size_t length) {
    if (length <= sizeof buffer_ - used_ && length < sizeof buffer_ / 4) {
      std::memcpy(buffer_ + used_, bytes, length);
      used_ += length;
      return *this;
    }
    return RawInBlocks(bytes, length);
  }
  // One character that is not a newline.
  DelimitedWriter& Char(char c) {
    Reserve(1);
    buffer_[used_++] = c;
    return *this;
  }
  // The line end of the mode, as "\n" in a text gives it.
  DelimitedWriter& Newline() {
    Reserve(2);
    std::memcpy(buffer_ + used_, line_end_, line_end_length_);
    used_ += line_end_length_;
    return *this;
  }

  // Writes the buffered text to the stream.
  void Flush();

 private:
  void Reserve(std::size_t n) {
    if (used_ + n > sizeof buffer_) Flush();
  }

  std::FILE* file_ = nullptr;
  std::string* sink_ = nullptr;
  char line_end_[2];
  std::size_t line_end_length_ = 0;
  static constexpr std::size_t kShortText = 16;
  DelimitedWriter& LongText(const char* text, std::size_t length);
  DelimitedWriter& RawInBlocks(const char* bytes, std::size_t length);
  std::size_t used_ = 0;
  char buffer_[1 << 16];
};
