#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Unpacks the data of a compressed DirectX file ("tzip" or "bzip"), given as the bytes after
// its 16-byte header: the 32-bit size of the whole unpacked file (header included), then
// blocks of a 16-bit unpacked size, a 16-bit packed size (counting the "CK" that follows) and
// "CK" with a raw deflate stream, each block unpacked with the previous block's output as its
// dictionary. out receives the unpacked stream after the header.
//
// The declared size is checked against most_bytes before anything is allocated, and every
// block against the bytes that remain on both sides. Returns an empty text on success, else
// what was wrong, as a phrase for a message ("a block is damaged").
std::string InflateXData(const unsigned char* data, std::size_t size, std::uint64_t most_bytes,
                         std::vector<unsigned char>* out);

// The most unpacked bytes a compressed file of file_size bytes may declare: 64 times its
// size and a margin. Real models pack well below a tenth; a file claiming more is refused.
std::uint64_t MostInflatedBytes(std::uint64_t file_size);
