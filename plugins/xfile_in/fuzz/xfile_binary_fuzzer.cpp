// The binary token reader under the grammar: the first byte of an input chooses the float
// size (its lowest bit: 32 or 64 bits), the rest is the token stream after the header.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "plugins/xfile_in/fuzz/xfile_fuzz_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char* header = (data[0] & 1) != 0 ? "xof 0303bin 0064" : "xof 0303bin 0032";
  std::vector<char> bytes(header, header + 16);
  bytes.insert(bytes.end(), data + 1, data + size);
  RunXFileBytes(bytes);
  return 0;
}
