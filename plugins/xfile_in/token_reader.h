#pragma once

#include <cstddef>
#include <cstdint>

// The words the DirectX grammar reads, whatever form the file has: the text reader splits
// text into words; the binary reader turns binary tokens into the same words (names, braces,
// separators, "template"), and hands each number of its integer and float lists over as a
// word that also carries its value, so that the grammar need not convert it from text.
class XTokenReader {
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

  XTokenReader() { word_[0] = '\0'; }
  virtual ~XTokenReader() = default;
  XTokenReader(const XTokenReader&) = delete;
  XTokenReader& operator=(const XTokenReader&) = delete;

  // Reads the next word. A word may hold at most capacity - 2 characters (capacity is at
  // most kTopCapacity); a longer one is consumed whole and reported as WORD_TOO_LONG, so that
  // reading can go on after it.
  virtual Result Read(std::size_t capacity) = 0;

  // The last word read, NUL-terminated. It may itself hold NUL bytes; length() counts them.
  const char* word() const {
    if (unwritten_number_) WriteNumber();
    return word_;
  }
  std::size_t length() const {
    if (unwritten_number_) WriteNumber();
    return length_;
  }
  // Whether the last word is the single character c (never true of a number).
  bool Is(char c) const { return length_ == 1 && word_[0] == c && !has_number_; }

  // Whether the last word is a number of a binary list; number() is then its value.
  bool has_number() const { return has_number_; }
  double number() const { return number_; }
  // Binary files leave out the separators between values: the grammar takes them as given
  // and passes over a separator only where one stands.
  bool implicit_separators() const { return implicit_separators_; }

  // Position shown in syntax messages: the line (from 1) in a text file, the byte offset of
  // the token in a binary stream.
  int line() const { return line_; }
  // Number of bytes consumed from the stream so far.
  std::uint64_t position() const { return consumed_; }

 protected:
  std::uint64_t consumed_ = 0;
  int line_ = 1;
  bool has_number_ = false;
  bool implicit_separators_ = false;
  double number_ = 0.0;
  // A number's text is written only when asked for: the grammar takes the value, and only a
  // message shows the text, in the shortest form that reads back as the same value.
  enum NumberKind { kInteger, kFloat32, kFloat64 };
  NumberKind number_kind_ = kInteger;
  mutable bool unwritten_number_ = false;
  mutable std::size_t length_ = 0;
  mutable char word_[kTopCapacity];

 private:
  void WriteNumber() const;
};
