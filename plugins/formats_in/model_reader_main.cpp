// morvane-model-reader: reads one model file with assimp and writes its meshes to standard
// output in the form of reader_stream.h. The import classes run it as a child process, so that
// a crash, a hang or a runaway allocation in the reading library ends this program, not the
// host. Usage: morvane-model-reader FILE
//
// The scene is sent as it looks: every placement of a mesh by a node becomes one mesh, its
// corners moved by the node's transform and those of all nodes above it. Polygons are cut into
// triangles by the library; points and lines are left out and said so in a log record.

#include <assimp/material.h>
#include <assimp/mesh.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <unistd.h>

#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/formats_in/reader_stream.h"

namespace {

using namespace reader_stream;

// Writes everything or ends the program: the reading side has gone (Cancel), and a reader that
// cannot deliver has nothing else to do.
void WriteAll(const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(STDOUT_FILENO, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) _exit(3);
    p += n;
    size -= static_cast<size_t>(n);
  }
}

void WriteU32(std::uint32_t value) { WriteAll(&value, sizeof value); }
void WriteKind(Kind kind) {
  const std::uint8_t k = kind;
  WriteAll(&k, 1);
}
void WriteText(Kind kind, const std::string& text) {
  const std::string cut = text.size() < kMaxText ? text : text.substr(0, kMaxText - 1);
  WriteKind(kind);
  WriteU32(static_cast<std::uint32_t>(cut.size()));
  WriteAll(cut.data(), cut.size());
}

// Reading progress of the library, passed on as it comes (the plug-in shows it).
class StreamProgress final : public Assimp::ProgressHandler {
 public:
  bool Update(float percentage) override {
    if (!(percentage >= 0.0f)) return true;
    const std::uint32_t done = static_cast<std::uint32_t>(std::fmin(percentage, 1.0f) * 1000.0f);
    if (done == last_) return true;
    last_ = done;
    WriteKind(kProgress);
    WriteU32(done);
    WriteU32(1000);
    return true;
  }

 private:
  std::uint32_t last_ = UINT32_MAX;
};

MeshMaterial MaterialOf(const aiMaterial* material) {
  MeshMaterial m;
  std::memset(&m, 0, sizeof m);
  m.rgba[0] = m.rgba[1] = m.rgba[2] = 0.8;
  m.rgba[3] = 1.0;
  m.roughness = 0.5;
  if (material == nullptr) return m;
  aiString name;
  // The library gives material-less files (STL, plain OBJ) a default grey of its own.
  if (material->Get(AI_MATKEY_NAME, name) == AI_SUCCESS &&
      std::strcmp(name.C_Str(), AI_DEFAULT_MATERIAL_NAME) == 0)
    return m;
  m.present = 1;
  aiColor4D colour;
  // A base colour (glTF) carries its own opacity, which the library repeats as the material's
  // opacity; a diffuse colour has its opacity apart.
  const bool base = material->Get(AI_MATKEY_BASE_COLOR, colour) == AI_SUCCESS;
  if (base || material->Get(AI_MATKEY_COLOR_DIFFUSE, colour) == AI_SUCCESS) {
    m.rgba[0] = colour.r;
    m.rgba[1] = colour.g;
    m.rgba[2] = colour.b;
    m.rgba[3] = colour.a;
  }
  float opacity;
  if (!base && material->Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS && opacity >= 0.0f &&
      opacity < 1.0f)
    m.rgba[3] *= opacity;
  float metallic, roughness, shininess;
  if (material->Get(AI_MATKEY_METALLIC_FACTOR, metallic) == AI_SUCCESS) m.metallic = metallic;
  if (material->Get(AI_MATKEY_ROUGHNESS_FACTOR, roughness) == AI_SUCCESS) {
    m.roughness = roughness;
  } else if (material->Get(AI_MATKEY_SHININESS, shininess) == AI_SUCCESS && shininess > 0.0f) {
    // A highlight exponent against a roughness: the usual match of the two models.
    m.roughness = std::sqrt(2.0 / (shininess + 2.0));
  }
  aiColor3D glow;
  if (material->Get(AI_MATKEY_COLOR_EMISSIVE, glow) == AI_SUCCESS &&
      (glow.r > 0.0f || glow.g > 0.0f || glow.b > 0.0f)) {
    m.emissive = 1;
    m.emission[0] = glow.r;
    m.emission[1] = glow.g;
    m.emission[2] = glow.b;
  }
  for (double& c : m.rgba) c = std::isfinite(c) ? std::fmin(std::fmax(c, 0.0), 1.0) : 1.0;
  for (double& c : m.emission) c = std::isfinite(c) ? std::fmin(std::fmax(c, 0.0), 1.0) : 0.0;
  if (!std::isfinite(m.metallic)) m.metallic = 0.0;
  if (!std::isfinite(m.roughness)) m.roughness = 0.5;
  return m;
}

struct Walk {
  const aiScene* scene;
  std::vector<float> corners;
  unsigned long skipped_points = 0;
  unsigned long skipped_lines = 0;
  unsigned long skipped_bad = 0;
  int depth_refused = 0;
};

void SendMesh(Walk& walk, const aiMesh* mesh, const aiMatrix4x4& placement,
              const std::string& name) {
  walk.corners.clear();
  const aiVector3D* v = mesh->mVertices;
  for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
    const aiFace& face = mesh->mFaces[f];
    if (face.mNumIndices == 1) {
      ++walk.skipped_points;
      continue;
    }
    if (face.mNumIndices == 2) {
      ++walk.skipped_lines;
      continue;
    }
    if (face.mNumIndices != 3 || face.mIndices == nullptr || v == nullptr) {
      ++walk.skipped_bad;
      continue;
    }
    bool inside = true;
    for (int k = 0; k < 3; ++k) inside = inside && face.mIndices[k] < mesh->mNumVertices;
    if (!inside) {
      ++walk.skipped_bad;
      continue;
    }
    for (int k = 0; k < 3; ++k) {
      const aiVector3D p = placement * v[face.mIndices[k]];
      walk.corners.push_back(p.x);
      walk.corners.push_back(p.y);
      walk.corners.push_back(p.z);
    }
  }
  const std::uint32_t triangles = static_cast<std::uint32_t>(walk.corners.size() / 9);
  if (triangles == 0) return;
  WriteText(kMesh, name);
  const MeshMaterial material = MaterialOf(mesh->mMaterialIndex < walk.scene->mNumMaterials
                                               ? walk.scene->mMaterials[mesh->mMaterialIndex]
                                               : nullptr);
  WriteAll(&material, sizeof material);
  WriteU32(triangles);
  WriteAll(walk.corners.data(), walk.corners.size() * sizeof(float));
}

// A name the reading library made up for a node or mesh the file left unnamed ("<OFFRoot>",
// "$dummy_node_0", "<3DSRoot>"): not the user's, so it counts as no name.
std::string UserName(const aiString& name) {
  const std::string text = name.C_Str();
  const bool made_up = !text.empty() && (text[0] == '$' || (text[0] == '<' && text.back() == '>'));
  return made_up ? std::string() : text;
}

// Depth-first over the node tree, in the file's order; a node's meshes before its children.
void SendNode(Walk& walk, const aiNode* node, const aiMatrix4x4& parent, int depth) {
  if (node == nullptr) return;
  if (depth > 1000) {  // a cycle or a hostile depth: stop descending rather than overflow
    ++walk.depth_refused;
    return;
  }
  const aiMatrix4x4 placement = parent * node->mTransformation;
  const std::string node_name = UserName(node->mName);
  for (unsigned i = 0; i < node->mNumMeshes; ++i) {
    const unsigned index = node->mMeshes[i];
    if (index >= walk.scene->mNumMeshes || walk.scene->mMeshes[index] == nullptr) continue;
    const aiMesh* mesh = walk.scene->mMeshes[index];
    // Unnamed nodes take the mesh's name; the plug-in makes names unique.
    std::string name = node_name.empty() ? UserName(mesh->mName) : node_name;
    SendMesh(walk, mesh, placement, name);
  }
  for (unsigned i = 0; i < node->mNumChildren; ++i)
    SendNode(walk, node->mChildren[i], placement, depth + 1);
}

// The turn that stands a scene y up, for files that name their own up axis (FBX: "UpAxis"
// 0, 1 or 2 for x, y, z, and "UpAxisSign" 1 or -1). The import classes then treat every such
// file as y up, as they treat glTF, and turn it z up; a file that names no axis is taken as it
// comes (FBX's own convention is y up, and the reading library stands COLLADA y up itself).
aiMatrix4x4 StandYUp(const aiScene* scene) {
  int32_t axis = 1, sign = 1;
  if (scene->mMetaData == nullptr || !scene->mMetaData->Get("UpAxis", axis)) return aiMatrix4x4();
  if (!scene->mMetaData->Get("UpAxisSign", sign)) sign = 1;
  const float s = sign < 0 ? -1.0f : 1.0f;
  switch (axis) {
    case 0:  // x up: the x axis becomes y, y becomes -x
      return aiMatrix4x4(0, -s, 0, 0, s, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    case 2:  // z up: the z axis becomes y, y becomes -z
      return aiMatrix4x4(1, 0, 0, 0, 0, 0, s, 0, 0, -s, 0, 0, 0, 0, 0, 1);
    default:
      return s < 0 ? aiMatrix4x4(1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1) : aiMatrix4x4();
  }
}

// Faults on request, so that tests can prove what the plug-in makes of a reader that dies,
// hangs or grows without end. Set by the tests only.
void TestFault() {
  const char* fault = std::getenv("MORVANE_READER_TEST_FAULT");
  if (fault == nullptr) return;
  if (std::strcmp(fault, "crash") == 0) std::raise(SIGSEGV);
  if (std::strcmp(fault, "hang") == 0)
    for (;;) pause();
  if (std::strcmp(fault, "memory") == 0) {
    std::vector<char*> blocks;
    for (;;) {
      char* block = static_cast<char*>(std::malloc(64u << 20));
      if (block == nullptr) std::abort();  // what a library does when new throws past it
      std::memset(block, 1, 64u << 20);
      blocks.push_back(block);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: morvane-model-reader FILE\n");
    return 2;
  }
  std::signal(SIGPIPE, SIG_IGN);
  WriteAll(kMagic, sizeof kMagic);
  WriteU32(kVersion);
  TestFault();

  Assimp::Importer importer;
  importer.SetProgressHandler(new StreamProgress);  // the importer owns and deletes it
  // Points and lines are kept apart, so that they can be counted and left out.
  const aiScene* scene = importer.ReadFile(
      argv[1], aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_ValidateDataStructure);
  if (scene == nullptr || scene->mRootNode == nullptr) {
    const char* why = importer.GetErrorString();
    WriteText(kError, why != nullptr && *why != '\0' ? why : "the file holds no scene");
    return 1;
  }
  Walk walk{scene, {}};
  SendNode(walk, scene->mRootNode, StandYUp(scene), 0);
  if (walk.skipped_points > 0)
    WriteText(kLog, std::to_string(walk.skipped_points) + " points ignored (no faces)");
  if (walk.skipped_lines > 0)
    WriteText(kLog, std::to_string(walk.skipped_lines) + " lines ignored (no faces)");
  if (walk.skipped_bad > 0)
    WriteText(kLog, std::to_string(walk.skipped_bad) + " faces with bad corners skipped");
  if (walk.depth_refused > 0) WriteText(kLog, "nodes nested deeper than 1000 levels skipped");
  WriteKind(kEnd);
  return 0;
}
