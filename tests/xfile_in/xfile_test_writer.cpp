#include "tests/xfile_in/xfile_test_writer.h"

#include <zlib.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "plugins/xfile_in/word_reader.h"

namespace {

void Put16(std::string* out, unsigned value) {
  out->push_back(static_cast<char>(value & 0xff));
  out->push_back(static_cast<char>(value >> 8 & 0xff));
}

void Put32(std::string* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(value >> (8 * i) & 0xff));
}

enum Token : unsigned {
  kName = 1,
  kString = 2,
  kGuid = 5,
  kIntegerList = 6,
  kFloatList = 7,
  kOpenBrace = 0x0a,
  kCloseBrace = 0x0b,
  kComma = 0x13,
  kSemicolon = 0x14,
  kTemplate = 0x1f,
};

void PutName(std::string* out, const char* word, std::size_t length) {
  Put16(out, kName);
  Put32(out, static_cast<std::uint32_t>(length));
  out->append(word, length);
}

bool IsInteger(const char* word, long long* value) {
  const char* p = word;
  if (*p == '-' || *p == '+') ++p;
  if (*p == '\0') return false;
  for (const char* q = p; *q != '\0'; ++q)
    if (*q < '0' || *q > '9') return false;
  if (std::strlen(p) > 12) return false;
  *value = std::strtoll(word, nullptr, 10);
  return *value >= INT32_MIN && *value <= INT32_MAX;
}

bool IsFloat(const char* word, double* value) {
  char* end = nullptr;
  if (!((*word >= '0' && *word <= '9') || *word == '-' || *word == '+' || *word == '.'))
    return false;
  *value = std::strtod(word, &end);
  return end != word && *end == '\0' && std::isfinite(*value);
}

bool IsGuid(const char* word, std::size_t length, unsigned char bytes[16]) {
  if (length != 38 || word[0] != '<' || word[37] != '>') return false;
  unsigned a, b, c, d[8];
  if (std::sscanf(word, "<%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x>", &a, &b, &c, &d[0], &d[1], &d[2],
                  &d[3], &d[4], &d[5], &d[6], &d[7]) != 11)
    return false;
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(a >> (8 * i));
  for (int i = 0; i < 2; ++i) bytes[4 + i] = static_cast<unsigned char>(b >> (8 * i));
  for (int i = 0; i < 2; ++i) bytes[6 + i] = static_cast<unsigned char>(c >> (8 * i));
  for (int i = 0; i < 8; ++i) bytes[8 + i] = static_cast<unsigned char>(d[i]);
  return true;
}

// Collects a run of numbers of one kind and writes it as one list.
struct NumberRun {
  bool floats = false;
  int float_bytes = 4;
  std::vector<double> values;

  void Flush(std::string* out) {
    if (values.empty()) return;
    Put16(out, floats ? kFloatList : kIntegerList);
    Put32(out, static_cast<std::uint32_t>(values.size()));
    for (double v : values) {
      if (!floats) {
        Put32(out, static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
      } else if (float_bytes == 4) {
        float f = static_cast<float>(v);
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        Put32(out, bits);
      } else {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        Put32(out, static_cast<std::uint32_t>(bits));
        Put32(out, static_cast<std::uint32_t>(bits >> 32));
      }
    }
    values.clear();
  }
  void Add(std::string* out, bool is_float, double value) {
    if (!values.empty() && is_float != floats) Flush(out);
    floats = is_float;
    values.push_back(value);
  }
};

// The token stream of a text (everything after its header).
std::string BinaryTokens(const std::string& text, int float_bytes, std::string* version) {
  std::string out;
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\n');
  std::FILE* file = fmemopen(copy.data(), copy.size(), "rb");
  XWordReader reader(file);
  NumberRun run;
  run.float_bytes = float_bytes;
  bool first = true;
  bool after_string = false;
  for (;;) {
    XTokenReader::Result r = reader.Read(XTokenReader::kTopCapacity);
    if (r == XTokenReader::WORD_END) break;
    const char* word = reader.word();
    const std::size_t length = reader.length();
    if (first && std::strcmp(word, "xof") == 0) {
      reader.Read(XTokenReader::kTopCapacity);
      if (reader.length() >= 4) version->assign(reader.word(), 4);
      reader.Read(XTokenReader::kTopCapacity);
      first = false;
      continue;
    }
    first = false;
    if (reader.Is(';') || reader.Is(',')) {
      if (after_string) {
        run.Flush(&out);
        Put16(&out, reader.Is(';') ? kSemicolon : kComma);
        after_string = false;
      }
      continue;
    }
    if (after_string) Put16(&out, kSemicolon);
    after_string = false;
    long long integer = 0;
    double real = 0.0;
    unsigned char guid[16];
    if (IsInteger(word, &integer)) {
      run.Add(&out, false, static_cast<double>(integer));
      continue;
    }
    if (IsFloat(word, &real) && (float_bytes == 8 || std::fabs(real) <= FLT_MAX)) {
      run.Add(&out, true, real);
      continue;
    }
    run.Flush(&out);
    if (reader.Is('{')) {
      Put16(&out, kOpenBrace);
    } else if (reader.Is('}')) {
      Put16(&out, kCloseBrace);
    } else if (std::strcmp(word, "template") == 0) {
      Put16(&out, kTemplate);
    } else if (IsGuid(word, length, guid)) {
      Put16(&out, kGuid);
      out.append(reinterpret_cast<const char*>(guid), 16);
    } else if (length >= 2 && word[0] == '"' && word[length - 1] == '"') {
      Put16(&out, kString);
      Put32(&out, static_cast<std::uint32_t>(length - 2));
      out.append(word + 1, length - 2);
      after_string = true;
    } else {
      PutName(&out, word, length);
    }
  }
  run.Flush(&out);
  if (after_string) Put16(&out, kSemicolon);
  std::fclose(file);
  return out;
}

// The text after its header line's three words.
std::string TextBody(const std::string& text, std::string* version) {
  std::size_t at = text.find_first_not_of(" \t\r\n");
  if (at == std::string::npos || text.compare(at, 4, "xof ") != 0) return text;
  if (text.size() >= at + 8) version->assign(text, at + 4, 4);
  at += 4;
  for (int words = 0; words < 2; ++words) {
    at = text.find_first_not_of(" \t", at);
    if (at == std::string::npos) return std::string();
    at = text.find_first_of(" \t\r\n", at);
    if (at == std::string::npos) return std::string();
  }
  return text.substr(at);
}

}  // namespace

std::string PackXData(const std::string& stream, std::size_t block_bytes) {
  std::string out;
  Put32(&out, static_cast<std::uint32_t>(stream.size() + 16));
  std::size_t previous = 0;
  for (std::size_t at = 0; at < stream.size(); at += block_bytes) {
    const std::size_t n = std::min(block_bytes, stream.size() - at);
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    if (at > 0)
      deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(stream.data() + previous),
                           static_cast<uInt>(at - previous));
    std::vector<unsigned char> packed(deflateBound(&z, n) + 16);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data() + at));
    z.avail_in = static_cast<uInt>(n);
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    deflate(&z, Z_FINISH);
    const std::size_t size = packed.size() - z.avail_out;
    deflateEnd(&z);
    Put16(&out, static_cast<unsigned>(n));
    Put16(&out, static_cast<unsigned>(size + 2));
    out += "CK";
    out.append(reinterpret_cast<const char*>(packed.data()), size);
    previous = at;
  }
  return out;
}

std::string ToXForm(const std::string& text, XForm form, int float_bytes) {
  std::string version = "0302";
  const char* bits = float_bytes == 8 ? "0064" : "0032";
  std::string body;
  std::string header;
  switch (form) {
    case XForm::kBinary:
      body = BinaryTokens(text, float_bytes, &version);
      return "xof " + version + "bin " + bits + body;
    case XForm::kCompressedBinary:
      body = BinaryTokens(text, float_bytes, &version);
      return "xof " + version + "bzip" + bits + PackXData(body);
    case XForm::kCompressedText:
      body = TextBody(text, &version);
      return "xof " + version + "tzip" + bits + PackXData(body);
  }
  return std::string();
}
