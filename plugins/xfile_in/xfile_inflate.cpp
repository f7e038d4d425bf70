#include "plugins/xfile_in/xfile_inflate.h"

#include <zlib.h>

#include <cstring>

namespace {

constexpr std::uint64_t kHeaderBytes = 16;

// One raw inflate stream for all blocks, released on every way out.
class Inflater {
 public:
  Inflater() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ok_) inflateEnd(&stream_);
  }
  bool ok() const { return ok_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

std::uint32_t Word16(const unsigned char* p) { return p[0] | p[1] << 8; }

std::uint32_t Word32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::uint64_t MostInflatedBytes(std::uint64_t file_size) { return 64 * file_size + 65536; }

std::string InflateXData(const unsigned char* data, std::size_t size, std::uint64_t most_bytes,
                         std::vector<unsigned char>* out) {
  out->clear();
  if (size < 4) return "the size of the unpacked data is missing";
  const std::uint64_t declared = Word32(data);
  if (declared < kHeaderBytes) return "the unpacked size is smaller than the header";
  const std::uint64_t total = declared - kHeaderBytes;
  if (total > most_bytes) return "the unpacked size is implausibly large for the file";
  out->resize(static_cast<std::size_t>(total));

  Inflater inflater;
  if (!inflater.ok()) return "the decompressor could not start";
  z_stream& z = inflater.stream();
  std::size_t at = 4;
  std::uint64_t produced = 0;
  std::uint64_t previous_start = 0;
  while (produced < total) {
    if (size - at < 4) return "the data ends before the last block";
    const std::uint32_t unpacked = Word16(data + at);
    const std::uint32_t packed = Word16(data + at + 2);
    at += 4;
    if (unpacked == 0) return "a block is empty";
    if (unpacked > total - produced) return "the blocks hold more than the declared size";
    if (packed < 2 || packed > size - at) return "a block runs past the end of the file";
    if (data[at] != 'C' || data[at + 1] != 'K') return "a block lacks its \"CK\" mark";
    if (inflateReset(&z) != Z_OK) return "the decompressor failed";
    if (produced > 0) {
      const std::uint64_t length = produced - previous_start;
      if (inflateSetDictionary(&z, out->data() + previous_start, static_cast<uInt>(length)) != Z_OK)
        return "the decompressor failed";
    }
    z.next_in = const_cast<Bytef*>(data + at + 2);
    z.avail_in = packed - 2;
    z.next_out = out->data() + produced;
    z.avail_out = unpacked;
    const int status = inflate(&z, Z_FINISH);
    if (status != Z_STREAM_END || z.avail_out != 0) return "a block is damaged";
    previous_start = produced;
    produced += unpacked;
    at += packed;
  }
  return std::string();
}
