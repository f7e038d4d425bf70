#include "plugins/xfile_in/word_reader.h"

#include <climits>

XWordReader::XWordReader(std::FILE* file) : file_(file) {}

bool XWordReader::Fill() {
  if (file_ == nullptr) return false;
  begin_ = 0;
  end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
  return end_ > 0;
}

// Consumes a comment up to, not including, its newline, which then counts the line as any
// other newline does.
void XWordReader::SkipComment() {
  for (;;) {
    int c = Peek();
    if (c == EOF || c == '\n') return;
    Advance();
  }
}

static inline bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

static inline bool IsPunctuation(int c) { return c == '{' || c == '}' || c == ',' || c == ';'; }

// Bytes that simply continue a word: all but blanks, punctuation and comment starts.
struct PlainBytes {
  bool plain[256];
  constexpr PlainBytes() : plain() {
    for (int c = 0; c < 256; ++c)
      plain[c] = !(c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '{' || c == '}' ||
                   c == ',' || c == ';' || c == '#' || c == '/');
  }
};
constexpr PlainBytes kPlainBytes;

XWordReader::Result XWordReader::Read(std::size_t capacity) {
  if (capacity > kTopCapacity) capacity = kTopCapacity;
  const std::size_t limit = capacity >= 2 ? capacity - 2 : 0;
  length_ = 0;
  word_[0] = '\0';

  int c;
  for (;;) {
    c = Peek();
    if (c == EOF) return WORD_END;
    if (c == '\n') {
      Advance();
      if (line_ < INT_MAX) ++line_;
    } else if (c == ' ' || c == '\t' || c == '\r') {
      Advance();
    } else if (c == '#') {
      SkipComment();
    } else if (c == '/') {
      Advance();
      if (Peek() == '/') SkipComment();
    } else {
      break;
    }
  }

  if (IsPunctuation(c)) {
    Advance();
    word_[0] = static_cast<char>(c);
    word_[1] = '\0';
    length_ = 1;
    return WORD_OK;
  }

  bool too_long = false;
  // The plain bytes of the word straight from the buffer; the loop below takes over at the
  // first byte that needs a decision (or at the end of the input).
  for (;;) {
    std::size_t i = begin_;
    while (i < end_ && kPlainBytes.plain[buffer_[i]]) {
      if (length_ < limit)
        word_[length_++] = static_cast<char>(buffer_[i]);
      else
        too_long = true;
      ++i;
    }
    consumed_ += i - begin_;
    begin_ = i;
    if (begin_ < end_ || !Fill()) break;
  }
  for (;;) {
    c = Peek();
    if (c == EOF || IsBlank(c) || IsPunctuation(c)) break;
    if (c == '#') {
      SkipComment();
      break;
    }
    Advance();
    if (c == '/') {
      if (Peek() == '/') {
        SkipComment();
        break;
      }
      continue;
    }
    if (length_ < limit)
      word_[length_++] = static_cast<char>(c);
    else
      too_long = true;
  }
  word_[length_] = '\0';
  return too_long ? WORD_TOO_LONG : WORD_OK;
}
