// The stream the model reader program writes to its standard output and the import classes
// read from a pipe: the program and the plug-ins are built together and run on the same
// machine, so numbers travel in the machine's own byte order.
//
//   header:   the 4 bytes "MVRD", then a uint32 version
//   records:  one byte of kind, then
//     kProgress  uint32 done, uint32 total (of the reading library's own work)
//     kLog       uint32 length, that many bytes: one log line without its line end
//     kMesh      uint32 name length, the name bytes, then a MeshMaterial, then uint32
//                triangle count, then per triangle its three corners as three floats each,
//                placed in the scene (node transforms applied)
//     kError     uint32 length, the message: the file could not be read
//     kEnd       nothing: every mesh was sent
// A stream that ends before kEnd or kError is a reader that died.
#pragma once

#include <cstdint>

namespace reader_stream {

constexpr char kMagic[4] = {'M', 'V', 'R', 'D'};
constexpr std::uint32_t kVersion = 1;

enum Kind : std::uint8_t {
  kProgress = 'P',
  kLog = 'L',
  kMesh = 'M',
  kError = 'X',
  kEnd = 'E',
};

// The appearance of a mesh as the file's material states it, physically based: colour in the
// file's own terms (linear for glTF, as written for the others), opacity, metallic and
// roughness factors, and whether the surface gives off light.
struct MeshMaterial {
  std::uint8_t present;   // 0: the file gave the mesh no material of its own
  std::uint8_t emissive;  // 1: a light-giving colour other than black
  std::uint8_t pad[6];
  double rgba[4];
  double metallic;
  double roughness;
  double emission[3];
};

// Longest name and message a record may carry; longer ones are refused as a broken stream.
constexpr std::uint32_t kMaxText = 1u << 16;

}  // namespace reader_stream
