#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Splits a DirectX text file into words. Blanks, tabs, carriage returns and newlines separate
// words; "#" and "//" start comments that run to the end of the line; a single "/" is dropped
// wherever it stands. "{", "}", "," and ";" are words of their own and also end the word before
// them. Quotes and brackets have no meaning. Newlines (also those that end a comment) count
// the lines from 1, for the positions in syntax messages.
//
// The file is read through a buffer of our own, so that a word costs a few array accesses per
// character and not a library call per character; a 65 MB grid is read in well under a second.
class XWordReader {
 public:
  enum Result {
    WORD_OK,        // a word is in word()
    WORD_END,       // the input ended before a word began
    WORD_TOO_LONG,  // the word had more than capacity - 2 characters; it has been consumed
  };

  // Largest capacity any caller asks for: the top level of a file.
  static constexpr std::size_t kTopCapacity = 4096;
  // Capacity of every read inside a data object.
  static constexpr std::size_t kDataCapacity = 1024;

  // Reads from file, which stays open and owned by the caller.
  explicit XWordReader(std::FILE* file);
  XWordReader(const XWordReader&) = delete;
  XWordReader& operator=(const XWordReader&) = delete;

  // Reads the next word. A word may hold at most capacity - 2 characters (capacity is at
  // most kTopCapacity); a longer one is consumed whole and reported as WORD_TOO_LONG, so that
  // reading can go on after it.
  Result Read(std::size_t capacity);

  // The last word read, NUL-terminated. It may itself hold NUL bytes of a binary file;
  // length() counts them.
  const char* word() const { return word_; }
  std::size_t length() const { return length_; }
  bool Is(char c) const { return length_ == 1 && word_[0] == c; }

  // Line of the read position, counted from 1.
  int line() const { return line_; }
  // Number of bytes consumed from the file so far.
  std::uint64_t position() const { return consumed_; }

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
  std::uint64_t consumed_ = 0;
  int line_ = 1;
  std::size_t length_ = 0;
  char word_[kTopCapacity];
  unsigned char buffer_[1 << 16];
};
