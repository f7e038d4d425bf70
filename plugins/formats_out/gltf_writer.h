// glTF 2.0 files, binary (".glb") or JSON with its binary buffer in a ".bin" beside it: one
// node and one mesh per object, each mesh one triangle primitive with positions, normals and
// indices, and one metallic-roughness material per distinct appearance (meshes without one
// share a neutral grey). Positions are the mesh's coordinates as the export pass scaled them
// (glTF reads them as metres), turned to y up.
#pragma once

#include <cstdio>
#include <string>

#include "plugins/formats_out/mesh_source.h"

struct GltfFiles {
  std::FILE* main;      // the ".glb" or ".gltf" file, opened in binary mode
  std::FILE* bin;       // the ".gltf" file's buffer; null writes a ".glb"
  std::string bin_uri;  // how the ".gltf" names its buffer (file_uri of the ".bin" name)
};

// Writes the meshes' document. Meshes without faces are left out. Text line ends of a
// ".gltf" follow options.ld_mode. False (nothing written) when a ".glb" would pass the 4 GiB
// its 32-bit lengths can state.
bool write_gltf(const GltfFiles& files, const MeshSource& meshes, const WriteOptions& options,
                ExportReport* report);
