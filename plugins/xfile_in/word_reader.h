#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "plugins/xfile_in/token_reader.h"

// Splits a DirectX text file into words. Blanks, tabs, carriage returns and newlines separate
// words; "#" and "//" start comments that run to the end of the line; a single "/" is dropped
// wherever it stands. "{", "}", "," and ";" are words of their own and also end the word before
// them. Quotes and brackets have no meaning. Newlines (also those that end a comment) count
// the lines from 1, for the positions in syntax messages.
//
// The file is read through a buffer of our own, so that a word costs a few array accesses per
// character and not a library call per character; a 65 MB grid is read in well under a second.
class XWordReader final : public XTokenReader {
 public:
  // Reads from file, which stays open and owned by the caller.
  explicit XWordReader(std::FILE* file);

  Result Read(std::size_t capacity) override;

 private:
  int Peek() {
    if (begin_ == end_ && !Fill()) return EOF;
    return buffer_[begin_];
  }
  void Advance() {
    ++begin_;
    ++consumed_;
  }
  bool Fill();
  void SkipComment();

  std::FILE* file_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  unsigned char buffer_[1 << 16];
};
