// Opens a DirectX file in whichever form its header names and hands its words to the grammar:
// text as it is, binary through the binary token reader, compressed ones unpacked in memory
// first and then read as text or binary.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "plugins/xfile_in/binary_reader.h"
#include "plugins/xfile_in/word_reader.h"
#include "plugins/xfile_in/xfile_inflate.h"
#include "plugins/xfile_in/xfile_parser.h"
#include "settings/log_file.h"
#include "settings/text_file.h"

namespace {

constexpr std::size_t kHeaderBytes = 16;

void Log(const XFileParseHooks& hooks, const char* format, const char* text) {
  if (hooks.log->enabled()) hooks.log->LogWrite(format, text);
}

// Reads a binary token stream; a damaged stream fails the run even when the grammar had
// reached a point where the input may end.
int ParseBinary(std::FILE* file, std::uint64_t start, std::uint64_t size, int float_bytes,
                const XFileParseHooks& hooks) {
  XBinaryReader reader(file, start, size, float_bytes);
  int result = ParseXWords(&reader, size, hooks);
  if (!reader.fault().empty()) {
    if (hooks.log->enabled())
      hooks.log->LogWrite("Binary data damaged at byte %d: %s\n", reader.line(),
                          reader.fault().c_str());
    return 0;
  }
  return result;
}

// Unpacks the whole file after its header and reads the unpacked stream.
int ParseCompressed(std::FILE* file, std::uint64_t size, bool binary, int float_bytes,
                    const XFileParseHooks& hooks) {
  std::vector<unsigned char> packed(static_cast<std::size_t>(size - kHeaderBytes));
  if (!packed.empty() && std::fread(packed.data(), 1, packed.size(), file) != packed.size()) {
    Log(hooks, "Compressed data unreadable: %s\n", "the file ends early");
    return 0;
  }
  std::vector<unsigned char> data;
  std::string error = InflateXData(packed.data(), packed.size(), MostInflatedBytes(size), &data);
  std::vector<unsigned char>().swap(packed);
  if (!error.empty()) {
    Log(hooks, "Compressed data unreadable: %s\n", error.c_str());
    return 0;
  }
  if (hooks.log->enabled())
    hooks.log->LogWrite("%lu bytes unpacked\n", static_cast<unsigned long>(data.size()));
  if (data.empty()) return 1;
  std::FILE* stream = fmemopen(data.data(), data.size(), "rb");
  if (stream == nullptr) return 0;
  // Closed however the parse ends: a cancelled run leaves it through an exception.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(stream, std::fclose);
  if (binary) return ParseBinary(stream, 0, data.size(), float_bytes, hooks);
  XWordReader reader(stream);
  return ParseXWords(&reader, data.size(), hooks);
}

}  // namespace

int ParseXFileStream(std::FILE* file, const XFileParseHooks& hooks) {
  // Taken once: progress and the count checks both measure against it.
  long measured = file_size(file);
  const std::uint64_t size = measured > 0 ? static_cast<std::uint64_t>(measured) : 0;

  // "xof 0303bin 0032": magic, version, format, float size, four bytes each.
  char header[kHeaderBytes + 1] = {};
  const std::size_t got = std::fread(header, 1, kHeaderBytes, file);
  const char* format = header + 8;
  const bool is_binary = std::memcmp(format, "bin ", 4) == 0;
  const bool is_tzip = std::memcmp(format, "tzip", 4) == 0;
  const bool is_bzip = std::memcmp(format, "bzip", 4) == 0;
  if (got < kHeaderBytes || std::memcmp(header, "xof ", 4) != 0 ||
      !(is_binary || is_tzip || is_bzip)) {
    // Text, or no header at all: the text reader reads from the start and checks the words.
    std::rewind(file);
    XWordReader reader(file);
    return ParseXWords(&reader, size, hooks);
  }
  int float_bytes = 0;
  if (std::memcmp(header + 12, "0032", 4) == 0) float_bytes = 4;
  if (std::memcmp(header + 12, "0064", 4) == 0) float_bytes = 8;
  if (float_bytes == 0) {
    header[kHeaderBytes] = '\0';
    Log(hooks, "%s scanned. 0032 or 0064 expected\n", header + 12);
    return 0;
  }
  const char* bits = float_bytes == 4 ? "32" : "64";
  if (is_binary) {
    Log(hooks, "Binary Direct X recognised, %s bit floats\n", bits);
    return ParseBinary(file, kHeaderBytes, size, float_bytes, hooks);
  }
  if (is_bzip)
    Log(hooks, "Compressed binary Direct X recognised, %s bit floats\n", bits);
  else
    Log(hooks, "Compressed ASCII Direct X recognised, %s bit floats\n", bits);
  return ParseCompressed(file, size, is_bzip, float_bytes, hooks);
}

int ParseXFile(const char* path, const XFileParseHooks& hooks) {
  // A FIFO or device named as a model would block the host's window for ever.
  std::FILE* file = open_regular_file(path);
  if (file == nullptr) {
    if (hooks.log->enabled()) hooks.log->LogWrite("File %s not found\n", path);
    return 0;
  }
  // Closed however the parse ends: a cancelled run leaves it through an exception.
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, std::fclose);
  return ParseXFileStream(file, hooks);
}
