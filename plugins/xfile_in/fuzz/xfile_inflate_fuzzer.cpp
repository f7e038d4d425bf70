// Unpacking of compressed DirectX files and the reading of what they unpack to: the first byte
// of an input chooses the form (lowest bit: 32 or 64-bit floats, next bit: text or binary),
// the rest is what follows the header (the unpacked size and the blocks).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "plugins/xfile_in/fuzz/xfile_fuzz_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const char* const kHeaders[] = {"xof 0303bzip0032", "xof 0303bzip0064", "xof 0303tzip0032",
                                         "xof 0303tzip0064"};
  const char* header = kHeaders[data[0] & 3];
  std::vector<char> bytes(header, header + 16);
  bytes.insert(bytes.end(), data + 1, data + size);
  RunXFileBytes(bytes);
  return 0;
}
