// One parse of arbitrary bytes as a DirectX file (text, or whichever form its header names).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/xfile_in/fuzz/xfile_fuzz_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RunXFileBytes(std::vector<char>(data, data + size));
  return 0;
}
