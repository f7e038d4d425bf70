#include "plugins/xfile_in/token_reader.h"

#include <charconv>

void XTokenReader::WriteNumber() const {
  unwritten_number_ = false;
  char* end = word_ + 40;
  std::to_chars_result r;
  if (number_kind_ == kInteger)
    r = std::to_chars(word_, end, static_cast<int>(number_));
  else if (number_kind_ == kFloat32)
    r = std::to_chars(word_, end, static_cast<float>(number_));
  else
    r = std::to_chars(word_, end, number_);
  length_ = static_cast<std::size_t>(r.ptr - word_);
  word_[length_] = '\0';
}
