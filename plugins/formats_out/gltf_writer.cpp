#include "plugins/formats_out/gltf_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "meshlib/appearance.h"
#include "plugins/formats_out/corner_vertices.h"
#include "plugins/formats_out/export_geometry.h"
#include "plugins/formats_out/json_text.h"
#include "plugins/formats_out/y_up.h"
#include "settings/delimited_writer.h"

namespace {

enum : int {
  kFloat = 5126,
  kUnsignedShort = 5123,
  kUnsignedInt = 5125,
  kArrayBuffer = 34962,
  kElementArrayBuffer = 34963,
};

struct MeshRecord {
  std::string name;
  size_t material;
  size_t positions;  // byte offsets of the three views in the buffer
  size_t normals;
  size_t indices;
  uint32_t vertex_count;
  uint32_t index_count;
  bool short_indices;
  float min[3];
  float max[3];
};

struct Material {
  bool has_appearance;
  Appearance appearance;
};

// glTF colour factors are linear; the system's colours are sRGB as model files state them.
double linear_from_srgb(double c) {
  c = std::min(1.0, std::max(0.0, c));
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double clamp01(double v) { return std::isfinite(v) ? std::min(1.0, std::max(0.0, v)) : 0.0; }

template <class T>
void append_bytes(std::vector<uint8_t>& buffer, const T* data, size_t count) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(data);
  buffer.insert(buffer.end(), bytes, bytes + count * sizeof(T));
}

// Buffer views start on four-byte boundaries, as float accessors require.
void pad4(std::vector<uint8_t>& buffer) {
  while (buffer.size() % 4 != 0) buffer.push_back(0);
}

size_t material_of(const ExportGeometry& mesh, std::vector<Material>& materials) {
  const bool has = mesh.has_appearance;
  const Appearance appearance = has ? mesh.appearance : Appearance();
  for (size_t i = 0; i < materials.size(); ++i)
    if (materials[i].has_appearance == has && materials[i].appearance == appearance) return i;
  materials.push_back({has, appearance});
  return materials.size() - 1;
}

void add_mesh(const ExportGeometry& mesh, const WriteOptions& options, std::vector<uint8_t>& buffer,
              std::vector<Material>& materials, std::vector<MeshRecord>& records,
              ExportReport* report) {
  if (mesh.face_count() <= 0) return;
  CornerVertices split;
  split_corner_vertices(mesh, options.smooth_angle, &split, report);

  MeshRecord record;
  record.name = mesh.name;
  record.material = material_of(mesh, materials);
  record.vertex_count = static_cast<uint32_t>(split.source.size());
  record.index_count = static_cast<uint32_t>(split.corners.size());
  // 65535 stays out of 16-bit index lists: some renderers take it for a strip restart.
  record.short_indices = record.vertex_count < 65535;

  std::vector<float> positions(split.source.size() * 3);
  for (size_t i = 0; i < split.source.size(); ++i) {
    to_y_up(mesh.positions[static_cast<size_t>(split.source[i])], &positions[i * 3]);
  }
  for (int k = 0; k < 3; ++k) record.min[k] = record.max[k] = positions[static_cast<size_t>(k)];
  for (size_t i = 0; i < positions.size(); i += 3) {
    for (size_t k = 0; k < 3; ++k) {
      record.min[k] = std::min(record.min[k], positions[i + k]);
      record.max[k] = std::max(record.max[k], positions[i + k]);
    }
  }
  for (size_t i = 0; i < split.normals.size(); i += 3) {
    float turned[3];
    normal_to_y_up(&split.normals[i], turned);
    std::memcpy(&split.normals[i], turned, sizeof turned);
  }

  record.positions = buffer.size();
  append_bytes(buffer, positions.data(), positions.size());
  record.normals = buffer.size();
  append_bytes(buffer, split.normals.data(), split.normals.size());
  record.indices = buffer.size();
  if (record.short_indices) {
    std::vector<uint16_t> indices(split.corners.begin(), split.corners.end());
    append_bytes(buffer, indices.data(), indices.size());
  } else {
    append_bytes(buffer, split.corners.data(), split.corners.size());
  }
  pad4(buffer);
  records.push_back(record);
}

void append_int(std::string& json, size_t v) { json += std::to_string(v); }

void append_vec3(std::string& json, const float v[3]) {
  json += '[';
  for (int k = 0; k < 3; ++k) {
    if (k > 0) json += ',';
    append_json_number(json, v[k]);
  }
  json += ']';
}

void append_material(std::string& json, const Material& material) {
  const Appearance& a = material.appearance;
  double metallic = 0.0, roughness = 0.5;
  finish_to_pbr(a, &metallic, &roughness);
  json += "{\"name\":";
  if (material.has_appearance)
    append_json_string(json, colour_text(a) + " " + finish_word(a.finish));
  else
    append_json_string(json, "Default");
  json += ",\"pbrMetallicRoughness\":{\"baseColorFactor\":[";
  for (int k = 0; k < 3; ++k) {
    append_json_number(json, linear_from_srgb(a.rgba[k]));
    json += ',';
  }
  const double alpha = clamp01(a.rgba[3]);
  append_json_number(json, alpha);
  json += "],\"metallicFactor\":";
  append_json_number(json, clamp01(metallic));
  json += ",\"roughnessFactor\":";
  append_json_number(json, clamp01(roughness));
  json += '}';
  if (a.emissive[0] > 0.0 || a.emissive[1] > 0.0 || a.emissive[2] > 0.0) {
    json += ",\"emissiveFactor\":[";
    for (int k = 0; k < 3; ++k) {
      if (k > 0) json += ',';
      append_json_number(json, linear_from_srgb(a.emissive[k]));
    }
    json += ']';
  }
  if (alpha < 1.0) json += ",\"alphaMode\":\"BLEND\"";
  // The system's views show both sides of every face; so do viewers of the file.
  json += ",\"doubleSided\":true}";
}

// The JSON document, one entry of each top-level array per line.
std::string document(const std::vector<MeshRecord>& records, const std::vector<Material>& materials,
                     size_t buffer_length, const std::string* bin_uri) {
  std::string json = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Morvane\"},\n\"scene\":0,\n";
  json += "\"scenes\":[{";
  if (!records.empty()) {
    json += "\"nodes\":[";
    for (size_t i = 0; i < records.size(); ++i) {
      if (i > 0) json += ',';
      append_int(json, i);
    }
    json += ']';
  }
  json += "}]";
  if (records.empty()) return json + "\n}\n";

  json += ",\n\"nodes\":[";
  for (size_t i = 0; i < records.size(); ++i) {
    json += i > 0 ? ",\n" : "\n";
    json += "{\"name\":";
    append_json_string(json, records[i].name);
    json += ",\"mesh\":";
    append_int(json, i);
    json += '}';
  }
  json += "],\n\"meshes\":[";
  for (size_t i = 0; i < records.size(); ++i) {
    json += i > 0 ? ",\n" : "\n";
    json += "{\"name\":";
    append_json_string(json, records[i].name);
    json += ",\"primitives\":[{\"attributes\":{\"POSITION\":";
    append_int(json, i * 3);
    json += ",\"NORMAL\":";
    append_int(json, i * 3 + 1);
    json += "},\"indices\":";
    append_int(json, i * 3 + 2);
    json += ",\"material\":";
    append_int(json, records[i].material);
    json += ",\"mode\":4}]}";
  }
  json += "],\n\"materials\":[";
  for (size_t i = 0; i < materials.size(); ++i) {
    json += i > 0 ? ",\n" : "\n";
    append_material(json, materials[i]);
  }
  json += "],\n\"accessors\":[";
  for (size_t i = 0; i < records.size(); ++i) {
    const MeshRecord& r = records[i];
    json += i > 0 ? ",\n" : "\n";
    json += "{\"bufferView\":";
    append_int(json, i * 3);
    json += ",\"componentType\":5126,\"count\":";
    append_int(json, r.vertex_count);
    json += ",\"type\":\"VEC3\",\"min\":";
    append_vec3(json, r.min);
    json += ",\"max\":";
    append_vec3(json, r.max);
    json += "},\n{\"bufferView\":";
    append_int(json, i * 3 + 1);
    json += ",\"componentType\":5126,\"count\":";
    append_int(json, r.vertex_count);
    json += ",\"type\":\"VEC3\"},\n{\"bufferView\":";
    append_int(json, i * 3 + 2);
    json += ",\"componentType\":";
    append_int(json, r.short_indices ? kUnsignedShort : kUnsignedInt);
    json += ",\"count\":";
    append_int(json, r.index_count);
    json += ",\"type\":\"SCALAR\"}";
  }
  json += "],\n\"bufferViews\":[";
  for (size_t i = 0; i < records.size(); ++i) {
    const MeshRecord& r = records[i];
    const size_t vertex_bytes = static_cast<size_t>(r.vertex_count) * 12;
    const size_t index_bytes = static_cast<size_t>(r.index_count) * (r.short_indices ? 2 : 4);
    const size_t views[3][3] = {{r.positions, vertex_bytes, kArrayBuffer},
                                {r.normals, vertex_bytes, kArrayBuffer},
                                {r.indices, index_bytes, kElementArrayBuffer}};
    for (int v = 0; v < 3; ++v) {
      json += i > 0 || v > 0 ? ",\n" : "\n";
      json += "{\"buffer\":0,\"byteOffset\":";
      append_int(json, views[v][0]);
      json += ",\"byteLength\":";
      append_int(json, views[v][1]);
      json += ",\"target\":";
      append_int(json, views[v][2]);
      json += '}';
    }
  }
  json += "],\n\"buffers\":[{\"byteLength\":";
  append_int(json, buffer_length);
  if (bin_uri != nullptr) {
    json += ",\"uri\":";
    append_json_string(json, *bin_uri);
  }
  json += "}]\n}\n";
  return json;
}

void put_u32(std::FILE* file, uint32_t v) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                            static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
  std::fwrite(bytes, 1, 4, file);
}

}  // namespace

bool write_gltf(const GltfFiles& files, const MeshSource& meshes, const WriteOptions& options,
                ExportReport* report) {
  std::vector<uint8_t> buffer;
  std::vector<Material> materials;
  std::vector<MeshRecord> records;
  meshes([&](const ExportGeometry& mesh) {
    if (report != nullptr) {
      const std::string line = std::string("Working on: ") + mesh.name + "\n";
      report->status(line.c_str());
    }
    add_mesh(mesh, options, buffer, materials, records, report);
  });

  if (files.bin != nullptr) {
    std::string json = document(records, materials, buffer.size(), &files.bin_uri);
    DelimitedWriter text(options.ld_mode, files.main);
    text.Text(json.c_str(), json.size());
    text.Flush();
    if (!buffer.empty()) std::fwrite(buffer.data(), 1, buffer.size(), files.bin);
    return true;
  }

  // Binary container: header, JSON chunk padded with blanks, BIN chunk (already padded with
  // zeros) when there is a buffer.
  std::string json = document(records, materials, buffer.size(), nullptr);
  while (json.size() % 4 != 0) json += ' ';
  size_t total = 12 + 8 + json.size();
  if (!buffer.empty()) total += 8 + buffer.size();
  if (total > 0xFFFFFFFFu) {
    if (report != nullptr) report->status("Too large for a glTF binary file (4 GiB)\n");
    return false;
  }
  std::fwrite("glTF", 1, 4, files.main);
  put_u32(files.main, 2);
  put_u32(files.main, static_cast<uint32_t>(total));
  put_u32(files.main, static_cast<uint32_t>(json.size()));
  put_u32(files.main, 0x4E4F534A);  // "JSON"
  std::fwrite(json.data(), 1, json.size(), files.main);
  if (!buffer.empty()) {
    put_u32(files.main, static_cast<uint32_t>(buffer.size()));
    put_u32(files.main, 0x004E4942);  // "BIN"
    std::fwrite(buffer.data(), 1, buffer.size(), files.main);
  }
  return true;
}
