#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "plugins/xfile_in/token_reader.h"

// Turns the token stream of a binary DirectX file (what follows its 16-byte header) into the
// words the text reader would give for the same file:
// - a name is a word, a string is the word "\"text\"" followed by its terminator (";" or ",",
//   a token of its own in 16 bits, or 32),
//   a GUID is the word "<xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx>";
// - braces, separators and the other punctuation tokens are words of one character;
// - an integer, and each element of an integer or float list, is a number word that also
//   carries its value (integers as signed 32-bit values, floats of 4 or 8 bytes);
// - "template" and the template's name are words, its body is passed over unread.
// Separators between values are not in the stream; the reader says so through
// implicit_separators(). Positions in messages are byte offsets of the token in the stream.
//
// Every length and count is checked against the bytes the stream has left before it is used,
// so no input makes the reader allocate or wait; a token cut off by the end of the stream or
// a token type the format does not have ends the words, and fault() then says what was wrong.
class XBinaryReader final : public XTokenReader {
 public:
  // Reads from file, which stays open and owned by the caller, starting at byte offset start
  // of a stream of size bytes; float_bytes is 4 or 8.
  XBinaryReader(std::FILE* file, std::uint64_t start, std::uint64_t size, int float_bytes);

  Result Read(std::size_t capacity) override;

  // Empty while the stream is sound; otherwise what ended the words early.
  const std::string& fault() const { return fault_; }

 private:
  bool Need(std::size_t n);
  void Skip(std::size_t n) {
    begin_ += n;
    consumed_ += n;
  }
  std::uint16_t Word16();
  std::uint32_t Word32();
  std::uint64_t Left() const { return consumed_ < size_ ? size_ - consumed_ : 0; }
  bool Fault(const char* what);
  bool CopyBytes(std::uint32_t count, std::size_t limit, bool* too_long);
  bool ReadName(std::size_t limit, bool* too_long);
  bool ReadString(std::size_t limit, bool* too_long);
  void ReadGuid();
  bool StartList(std::uint32_t element_bytes, bool floats);
  void ListElement();
  bool SkipTemplateBody();
  bool SkipToken(std::uint16_t token);
  void SetWord(const char* text);

  std::FILE* file_;
  std::uint64_t size_;
  int float_bytes_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  // Elements of the current integer or float list still to come.
  std::uint32_t list_left_ = 0;
  bool list_floats_ = false;
  // Terminator of a string, given as the word after it.
  char pending_separator_ = 0;
  // Set after "template": the next name is the template's, and its body is skipped.
  bool template_name_next_ = false;
  std::string fault_;
  unsigned char buffer_[1 << 16];
};
