#include "plugins/xfile_in/binary_reader.h"

#include <climits>
#include <cstring>

namespace {

// Token types of the binary form.
enum : std::uint16_t {
  kName = 1,
  kString = 2,
  kInteger = 3,
  kGuid = 5,
  kIntegerList = 6,
  kFloatList = 7,
  kOpenBrace = 0x0a,
  kCloseBrace = 0x0b,
  kSemicolon = 0x14,
  kComma = 0x13,
  kTemplate = 0x1f,
};

// Words of the one-character tokens 0x0a..0x14.
const char kPunctuation[] = "{}()[]<>.,;";

// Words of the type keywords 0x28..0x34 of template declarations.
const char* const kKeywords[] = {"WORD",    "DWORD",   "FLOAT",  "DOUBLE", "CHAR",
                                 "UCHAR",   "SWORD",   "SDWORD", "void",   "string",
                                 "unicode", "cstring", "array"};

}  // namespace

XBinaryReader::XBinaryReader(std::FILE* file, std::uint64_t start, std::uint64_t size,
                             int float_bytes)
    : file_(file), size_(size), float_bytes_(float_bytes == 8 ? 8 : 4) {
  consumed_ = start;
  implicit_separators_ = true;
  line_ = start > INT_MAX ? INT_MAX : static_cast<int>(start);
}

// Makes n bytes (at most 16) readable at begin_; false when the stream has fewer left.
bool XBinaryReader::Need(std::size_t n) {
  if (end_ - begin_ >= n) return true;
  std::memmove(buffer_, buffer_ + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  while (end_ < n) {
    std::size_t got = std::fread(buffer_ + end_, 1, sizeof buffer_ - end_, file_);
    if (got == 0) return false;
    end_ += got;
  }
  return true;
}

std::uint16_t XBinaryReader::Word16() {
  const unsigned char* p = buffer_ + begin_;
  Skip(2);
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t XBinaryReader::Word32() {
  const unsigned char* p = buffer_ + begin_;
  Skip(4);
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool XBinaryReader::Fault(const char* what) {
  if (fault_.empty()) fault_ = what;
  list_left_ = 0;
  pending_separator_ = 0;
  return false;
}

void XBinaryReader::SetWord(const char* text) {
  length_ = std::strlen(text);
  std::memcpy(word_, text, length_ + 1);
}

// Consumes count bytes, keeping the first ones up to limit in the word from length_ on.
bool XBinaryReader::CopyBytes(std::uint32_t count, std::size_t limit, bool* too_long) {
  if (count > Left()) return Fault("a name or string runs past the end of the data");
  while (count > 0) {
    if (begin_ == end_ && !Need(1)) return Fault("the data ends inside a name or string");
    std::size_t chunk = end_ - begin_;
    if (chunk > count) chunk = count;
    std::size_t keep = length_ < limit ? limit - length_ : 0;
    if (keep > chunk) keep = chunk;
    std::memcpy(word_ + length_, buffer_ + begin_, keep);
    length_ += keep;
    if (keep < chunk) *too_long = true;
    Skip(chunk);
    count -= static_cast<std::uint32_t>(chunk);
  }
  word_[length_] = '\0';
  return true;
}

bool XBinaryReader::ReadName(std::size_t limit, bool* too_long) {
  if (!Need(4)) return Fault("the data ends inside a name");
  return CopyBytes(Word32(), limit, too_long);
}

// A string is given with its quotes, as the text form writes it; its terminator follows as
// a word of its own.
bool XBinaryReader::ReadString(std::size_t limit, bool* too_long) {
  if (!Need(4)) return Fault("the data ends inside a string");
  std::uint32_t count = Word32();
  if (limit > 0) word_[length_++] = '"';
  if (!CopyBytes(count, limit > 0 ? limit - 1 : 0, too_long)) return false;
  if (length_ < limit) {
    word_[length_++] = '"';
  } else {
    *too_long = true;
  }
  word_[length_] = '\0';
  // The terminator is a separator token; exporters write it in 16 bits, some pad it to 32
  // (no token type is 0, so the padding cannot be mistaken for one).
  if (!Need(2)) return Fault("the data ends after a string");
  const std::uint16_t terminator = Word16();
  if (Need(2) && buffer_[begin_] == 0 && buffer_[begin_ + 1] == 0) Skip(2);
  if (terminator == kSemicolon)
    pending_separator_ = ';';
  else if (terminator == kComma)
    pending_separator_ = ',';
  else
    return Fault("a string lacks its terminator");
  return true;
}

void XBinaryReader::ReadGuid() {
  const unsigned char* p = buffer_ + begin_;
  char text[40];
  std::snprintf(text, sizeof text,
                "<%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x>", p[3],
                p[2], p[1], p[0], p[5], p[4], p[7], p[6], p[8], p[9], p[10], p[11], p[12], p[13],
                p[14], p[15]);
  Skip(16);
  SetWord(text);
}

bool XBinaryReader::StartList(std::uint32_t element_bytes, bool floats) {
  if (!Need(4)) return Fault("the data ends inside a list");
  std::uint32_t count = Word32();
  if (static_cast<std::uint64_t>(count) * element_bytes > Left())
    return Fault("a list holds more numbers than the data");
  list_left_ = count;
  list_floats_ = floats;
  return true;
}

void XBinaryReader::ListElement() {
  const std::size_t bytes = list_floats_ ? static_cast<std::size_t>(float_bytes_) : 4;
  if (!Need(bytes)) {
    Fault("the data ends inside a list");
    return;
  }
  line_ = consumed_ > INT_MAX ? INT_MAX : static_cast<int>(consumed_);
  --list_left_;
  has_number_ = true;
  unwritten_number_ = true;
  number_kind_ = !list_floats_ ? kInteger : float_bytes_ == 4 ? kFloat32 : kFloat64;
  if (!list_floats_) {
    number_ = static_cast<std::int32_t>(Word32());
  } else if (float_bytes_ == 4) {
    const std::uint32_t bits = Word32();
    float value;
    std::memcpy(&value, &bits, 4);
    number_ = value;
  } else {
    const std::uint32_t low = Word32();
    const std::uint64_t bits = static_cast<std::uint64_t>(Word32()) << 32 | low;
    std::memcpy(&number_, &bits, 8);
  }
}

// Passes over the braces of a template declaration and all between them.
bool XBinaryReader::SkipTemplateBody() {
  if (!Need(2)) return true;
  if ((buffer_[begin_] | buffer_[begin_ + 1] << 8) != kOpenBrace) return true;
  Skip(2);
  for (;;) {
    if (!Need(2)) return Fault("the data ends inside a template");
    std::uint16_t token = Word16();
    if (token == kCloseBrace) return true;
    if (token == kOpenBrace) return Fault("a template holds a brace");
    if (token == 0) continue;  // the padding of a 32-bit string terminator
    if (!SkipToken(token)) return false;
  }
}

// Consumes what follows a token of the given type inside a template declaration.
bool XBinaryReader::SkipToken(std::uint16_t token) {
  std::uint64_t bytes = 0;
  switch (token) {
    case kName:
    case kString:
    case kIntegerList:
    case kFloatList: {
      if (!Need(4)) return Fault("the data ends inside a template");
      std::uint64_t count = Word32();
      bytes = token == kIntegerList ? 4 * count
              : token == kFloatList ? count * static_cast<std::uint64_t>(float_bytes_)
              : token == kString    ? count + 2
                                    : count;
      break;
    }
    case kInteger:
      bytes = 4;
      break;
    case kGuid:
      bytes = 16;
      break;
    default:
      if ((token >= 0x0c && token <= 0x14) || (token >= 0x28 && token <= 0x34)) return true;
      return Fault("an unknown token type in a template");
  }
  if (bytes > Left()) return Fault("the data ends inside a template");
  while (bytes > 0) {
    if (begin_ == end_ && !Need(1)) return Fault("the data ends inside a template");
    std::size_t chunk = end_ - begin_;
    if (chunk > bytes) chunk = static_cast<std::size_t>(bytes);
    Skip(chunk);
    bytes -= chunk;
  }
  return true;
}

XTokenReader::Result XBinaryReader::Read(std::size_t capacity) {
  if (capacity > kTopCapacity) capacity = kTopCapacity;
  const std::size_t limit = capacity >= 2 ? capacity - 2 : 0;
  has_number_ = false;
  unwritten_number_ = false;
  length_ = 0;
  word_[0] = '\0';

  if (list_left_ > 0) {
    ListElement();
    return fault_.empty() ? WORD_OK : WORD_END;
  }
  if (pending_separator_ != 0) {
    word_[0] = pending_separator_;
    word_[1] = '\0';
    length_ = 1;
    pending_separator_ = 0;
    return WORD_OK;
  }
  for (;;) {
    if (!fault_.empty()) return WORD_END;
    if (!Need(2)) {
      if (end_ > begin_) Fault("the data ends inside a token");
      return WORD_END;
    }
    line_ = consumed_ > INT_MAX ? INT_MAX : static_cast<int>(consumed_);
    const std::uint16_t token = Word16();
    bool too_long = false;
    switch (token) {
      case kName: {
        const bool template_name = template_name_next_;
        template_name_next_ = false;
        if (!ReadName(limit, &too_long)) return WORD_END;
        if (template_name && !SkipTemplateBody()) return WORD_END;
        if (length_ == 0 && !too_long) continue;  // an empty name says nothing
        return too_long ? WORD_TOO_LONG : WORD_OK;
      }
      case kString:
        if (!ReadString(limit, &too_long)) return WORD_END;
        return too_long ? WORD_TOO_LONG : WORD_OK;
      case kInteger: {
        if (!Need(4)) {
          Fault("the data ends inside an integer");
          return WORD_END;
        }
        list_left_ = 1;
        list_floats_ = false;
        ListElement();
        return fault_.empty() ? WORD_OK : WORD_END;
      }
      case kGuid:
        if (!Need(16)) {
          Fault("the data ends inside a GUID");
          return WORD_END;
        }
        ReadGuid();
        return WORD_OK;
      case kIntegerList:
      case kFloatList:
        if (!StartList(token == kFloatList ? static_cast<std::uint32_t>(float_bytes_) : 4,
                       token == kFloatList))
          return WORD_END;
        if (list_left_ == 0) continue;
        ListElement();
        return fault_.empty() ? WORD_OK : WORD_END;
      case kTemplate:
        template_name_next_ = true;
        SetWord("template");
        return WORD_OK;
      default:
        template_name_next_ = false;
        if (token >= kOpenBrace && token <= kSemicolon) {
          word_[0] = kPunctuation[token - kOpenBrace];
          word_[1] = '\0';
          length_ = 1;
          return WORD_OK;
        }
        if (token >= 0x28 && token <= 0x34) {
          SetWord(kKeywords[token - 0x28]);
          return WORD_OK;
        }
        Fault("an unknown token type");
        return WORD_END;
    }
  }
}
