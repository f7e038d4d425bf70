#include "plugins/xfile_in/xfile_parser.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "meshlib/appearance.h"
#include "meshlib/background_weld.h"
#include "meshlib/cut_ear.h"
#include "meshlib/mat4d.h"
#include "meshlib/mesh3d.h"
#include "meshlib/vec3d.h"
#include "plugins/xfile_in/number_words.h"
#include "plugins/xfile_in/word_reader.h"
#include "settings/log_file.h"
#include "settings/text_file.h"

// Log lines cost nothing when the log is off: a 65 MB grid logs millions of vertices in
// verbose mode only.
#define LOG_LINE(...)                                             \
  do {                                                            \
    if (hooks_.log->enabled()) hooks_.log->LogWrite(__VA_ARGS__); \
  } while (0)

namespace {

// Fewest bytes one element of a list can take in a file ("0;0;0;;" for a vertex, "0;;" for a
// face without corners, "0;" for an index). A declared count that would need more bytes than
// the file has left is refused before anything is allocated for it.
constexpr std::uint64_t kVertexBytes = 7;
constexpr std::uint64_t kFaceBytes = 3;
constexpr std::uint64_t kIndexBytes = 2;
constexpr std::uint64_t kCoordBytes = 5;
constexpr std::uint64_t kReferenceBytes = 3;

// Frames nest by recursion; deeper nesting than this is refused instead of running out of
// stack. Real skeletons stay far below it.
constexpr int kMaxFrameDepth = 256;
// Face lists at least this long are welded on a helper thread while they are read.
constexpr int kBackgroundFaces = 16384;

// Ear cutting is charged the steps it really takes (see CutPolygon), about a minute's work
// for this many. Each run may spend it plus a few steps per byte of its file; a polygon past
// the budget is left out whole with a warning, so that no file keeps the program busy for
// longer.
constexpr std::uint64_t kCutBudgetBase = 10000000000ull;
constexpr std::uint64_t kCutBudgetPerByte = 16;

class XFileParser {
 public:
  XFileParser(XTokenReader* reader, std::uint64_t file_size, const XFileParseHooks& hooks)
      : reader_(reader),
        file_size_(file_size),
        hooks_(hooks),
        cut_budget_((hooks.cut_steps != 0 ? hooks.cut_steps : kCutBudgetBase) +
                    kCutBudgetPerByte * file_size) {}

  int Run();

 private:
  void Status(const char* format, const char* name);
  void FileProgress();
  bool Fail();
  void LogOverlong();

  bool ReadWord();
  bool NextWord(std::size_t capacity);
  bool Expect(char c);
  bool ReadOpening();
  bool ReadName(const char* kind, int* counter, std::string* name);
  bool ReadInt(int* value);
  bool ReadFloat(double* value);
  bool ReadSeparator();
  bool CheckCount(int count, std::uint64_t element_bytes);

  bool ParseHeader();
  bool ParseFrame(const Mat4d& parent, int nesting);
  bool ParseMatrix(Mat4d* m);
  bool ParseMesh(const Mat4d& matrix);
  bool ParseMaterialList(Mesh3d* mesh);
  bool ParseInlineMaterial(int index, Appearance* appearance, bool* known);
  bool ReadMaterialBody(Appearance* appearance, bool* known);
  void ParseTopMaterial();
  bool ParseTextureCoords();
  bool ParseNormals();
  void AddFace(Mesh3d* mesh, int face, const std::vector<Vec3d>& vertices);
  // Triangles wait in pending_ and go into the mesh in batches, in order, so that its
  // welding can fetch ahead; Flush adds what waits.
  void AddTriangle(Mesh3d* mesh, int32_t a, int32_t b, int32_t c);
  void Flush(Mesh3d* mesh);

  XTokenReader* reader_;
  std::uint64_t file_size_;
  const XFileParseHooks& hooks_;
  std::uint64_t cut_budget_;
  // The last name or structural word the current data object read: the text shown in a
  // syntax message. Numbers and separators do not replace it.
  std::string last_word_;
  // A word read ahead and given back, where the grammar needs to look ahead: the optional
  // separator that closes a material list's face indices, and every separator of a stream
  // that leaves them out.
  bool pushed_back_ = false;
  // Materials defined at the top level, by name, for the references of material lists.
  std::map<std::string, Appearance> materials_;
  int anonymous_meshes_ = 0;
  int anonymous_frames_ = 0;
  std::vector<int32_t> corners_;
  std::vector<int32_t> polygon_;
  std::vector<int32_t> cut_;  // the triangles of the polygon being cut, three corners each
  // Corner indices into the positions of the mesh being read, and for each position the
  // vertex it welded to (see Mesh3d::add_indexed_triangles).
  std::vector<int32_t> pending_;
  const Vec3d* positions_ = nullptr;
  std::vector<int32_t> welded_;
  // The helper welding the batches of a long face list, while one works.
  BackgroundWeld* weld_ = nullptr;
};

void XFileParser::Status(const char* format, const char* name) {
  if (!hooks_.status) return;
  char text[LogFile::kMessageBuffer];
  std::snprintf(text, sizeof text, format, name);
  hooks_.status(text);
}

void XFileParser::FileProgress() {
  if (!hooks_.file_progress) return;
  std::uint64_t position = reader_->position();
  std::uint64_t total = file_size_;
  if (total > UINT32_MAX) {
    position = position * UINT32_MAX / total;
    total = UINT32_MAX;
  }
  hooks_.file_progress(static_cast<std::uint32_t>(position), static_cast<std::uint32_t>(total));
}

bool XFileParser::Fail() {
  LOG_LINE("Syntax error at pos %d (%s)\n", reader_->line(), last_word_.c_str());
  return false;
}

void XFileParser::LogOverlong() { LOG_LINE("Word too long at pos %d skipped\n", reader_->line()); }

// Next word inside a data object; false at the end of the input and for an over-long word.
bool XFileParser::ReadWord() {
  if (pushed_back_) {
    pushed_back_ = false;
    return true;
  }
  return reader_->Read(XWordReader::kDataCapacity) == XWordReader::WORD_OK;
}

// Next word where the parser looks for data objects and braces: an over-long word is logged
// and skipped. False at the end of the input.
bool XFileParser::NextWord(std::size_t capacity) {
  if (pushed_back_) {
    pushed_back_ = false;
    return true;
  }
  for (;;) {
    XWordReader::Result r = reader_->Read(capacity);
    if (r == XWordReader::WORD_END) return false;
    if (r == XWordReader::WORD_OK) return true;
    LogOverlong();
  }
}

bool XFileParser::Expect(char c) {
  if (!ReadWord()) return false;
  last_word_.assign(reader_->word());
  return reader_->Is(c);
}

// "{" of a data object that may carry a name before it ("MeshNormals normals {").
bool XFileParser::ReadOpening() {
  if (!ReadWord()) return false;
  last_word_.assign(reader_->word());
  if (reader_->Is('{')) return true;
  return Expect('{');
}

// Name of a Frame or Mesh and its "{". An object without a name gets "<kind>_<n>", numbered
// in order of appearance in the file, so that the hosts' name check has a name to work on.
// The name goes to the log and to the status line.
bool XFileParser::ReadName(const char* kind, int* counter, std::string* name) {
  if (!ReadWord()) return false;
  last_word_.assign(reader_->word());
  const bool anonymous = reader_->Is('{');
  if (anonymous)
    *name = std::string(kind) + "_" + std::to_string((*counter)++);
  else
    *name = last_word_;
  LOG_LINE("Name: %s\n", name->c_str());
  Status("Parsing %s ...      \n", name->c_str());
  return anonymous || Expect('{');
}

bool XFileParser::ReadInt(int* value) {
  if (!ReadWord()) return false;
  if (reader_->has_number()) return IntFromNumber(reader_->number(), value);
  return IntFromWord(reader_->word(), value);
}

bool XFileParser::ReadFloat(double* value) {
  if (!ReadWord()) return false;
  if (reader_->has_number()) return FloatFromNumber(reader_->number(), value);
  return FloatFromWord(reader_->word(), value);
}

// Where the stream leaves separators out (binary files), a separator is passed over where
// one stands and taken as given where not; the word read ahead then waits for the next read.
bool XFileParser::ReadSeparator() {
  if (!reader_->implicit_separators()) return ReadWord() && (reader_->Is(';') || reader_->Is(','));
  if (ReadWord() && !reader_->Is(';') && !reader_->Is(',')) pushed_back_ = true;
  return true;
}

bool XFileParser::CheckCount(int count, std::uint64_t element_bytes) {
  if (count < 0) return false;
  const std::uint64_t used = reader_->position();
  const std::uint64_t left = used < file_size_ ? file_size_ - used : 0;
  return static_cast<std::uint64_t>(count) * element_bytes <= left;
}

int XFileParser::Run() {
  Mat4d identity;
  mat_identity(identity);
  for (;;) {
    if (!NextWord(XWordReader::kTopCapacity)) return 1;
    FileProgress();
    const char* word = reader_->word();
    if (std::strcmp(word, "xof") == 0) {
      reader_->Read(XWordReader::kTopCapacity);
      if (std::strcmp(reader_->word(), "0302txt") != 0 &&
          std::strcmp(reader_->word(), "0303txt") != 0) {
        LOG_LINE("%s scanned. %s expected\n", reader_->word(), "0302txt");
        return 0;
      }
      reader_->Read(XWordReader::kTopCapacity);
      LOG_LINE("ASCII Direct X recogniced\n");
    } else if (std::strcmp(word, "template") == 0) {
      reader_->Read(XWordReader::kTopCapacity);
      LOG_LINE("Template %s scanned\n", reader_->word());
    } else if (std::strcmp(word, "Material") == 0) {
      ParseTopMaterial();
    } else if (std::strcmp(word, "Frame") == 0) {
      LOG_LINE("Parsing Frame ...\n");
      if (!ParseFrame(identity, 1)) return 0;
    } else if (std::strcmp(word, "Mesh") == 0) {
      LOG_LINE("Parsing Mesh ...\n");
      if (!ParseMesh(identity)) return 0;
    } else if (std::strcmp(word, "Header") == 0) {
      LOG_LINE("Parsing Header ...\n");
      if (!ParseHeader()) return 0;
    }
  }
}

bool XFileParser::ParseHeader() {
  last_word_ = "Header";
  int major = 0, minor = 0, flags = 0;
  if (!Expect('{') || !ReadInt(&major) || !ReadSeparator() || !ReadInt(&minor) ||
      !ReadSeparator() || !ReadInt(&flags) || !ReadSeparator() || !Expect('}'))
    return Fail();
  LOG_LINE("Major Version: %d\n", major);
  LOG_LINE("Minor Version: %d\n", minor);
  LOG_LINE("Flags: %X\n", static_cast<unsigned>(flags));
  return true;
}

bool XFileParser::ParseFrame(const Mat4d& parent, int nesting) {
  last_word_ = "Frame";
  std::string name;
  if (!ReadName("Frame", &anonymous_frames_, &name)) return Fail();
  if (nesting > kMaxFrameDepth) return Fail();

  Mat4d accumulated = parent;
  long long depth = 1;
  for (;;) {
    if (!NextWord(XWordReader::kDataCapacity)) return true;
    FileProgress();
    const char* word = reader_->word();
    if (reader_->Is('}')) {
      if (depth == 1) {
        LOG_LINE("End Frame: %s\n", name.c_str());
        return true;
      }
      --depth;
    } else if (reader_->Is('{')) {
      ++depth;
    } else if (std::strcmp(word, "FrameTransformMatrix") == 0) {
      LOG_LINE("Parsing FrameTransformMatrix ...\n");
      Mat4d own;
      if (!ParseMatrix(&own)) return false;
      // The frame's matrix is relative to its parent: a point goes through the frame's
      // own matrix first and then through the parent's.
      mat_multiply(accumulated, own, parent);
    } else if (std::strcmp(word, "Frame") == 0) {
      LOG_LINE("Parsing Frame ...\n");
      if (!ParseFrame(accumulated, nesting + 1)) return false;
    } else if (std::strcmp(word, "Mesh") == 0) {
      LOG_LINE("Parsing Mesh ...\n");
      if (!ParseMesh(accumulated)) return false;
    }
  }
}

bool XFileParser::ParseMatrix(Mat4d* m) {
  last_word_ = "FrameTransformMatrix";
  if (!ReadOpening()) return Fail();
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      if (!ReadFloat(&m->m[row][column]) || !ReadSeparator()) return Fail();
  if (!ReadSeparator() || !Expect('}')) return Fail();
  for (int row = 0; row < 4; ++row)
    LOG_LINE("%0.3lf %0.3lf %0.3lf %0.3lf \n", m->m[row][0], m->m[row][1], m->m[row][2],
             m->m[row][3]);
  return true;
}

bool XFileParser::ParseMesh(const Mat4d& matrix) {
  last_word_ = "Mesh";
  std::string name;
  if (!ReadName("Mesh", &anonymous_meshes_, &name)) return Fail();

  int vertex_count = 0;
  if (!ReadInt(&vertex_count) || !ReadSeparator() || !CheckCount(vertex_count, kVertexBytes))
    return Fail();
  LOG_LINE("Vertex Count: %d\n", vertex_count);
  std::vector<Vec3d> vertices;
  vertices.reserve(static_cast<std::size_t>(vertex_count));
  for (int i = 0; i < vertex_count; ++i) {
    FileProgress();
    Vec3d p;
    if (!ReadFloat(&p.x) || !ReadSeparator() || !ReadFloat(&p.y) || !ReadSeparator() ||
        !ReadFloat(&p.z) || !ReadSeparator() || !ReadSeparator())
      return Fail();
    LOG_LINE("%5d: <%0.3lf %0.3lf %0.3lf>\n", i, p.x, p.y, p.z);
    mat_transform_point(p, matrix, p);
    // Huge coordinates under a frame's matrix can still leave the range of a double.
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return Fail();
    vertices.push_back(p);
  }

  int face_count = 0;
  if (!ReadInt(&face_count) || !ReadSeparator() || !CheckCount(face_count, kFaceBytes))
    return Fail();
  LOG_LINE("Face Count: %d\n", face_count);

  std::unique_ptr<Mesh3d> mesh(new Mesh3d(vertex_count, name.c_str(), hooks_.mesh_edges));
  pending_.clear();  // nothing left from a mesh that failed half-way
  positions_ = vertices.data();
  welded_.assign(vertices.size(), -1);
  // A long face list is welded on a helper thread while the next faces are read; it ends
  // (joined) before the mesh goes, however the list's reading ends.
  std::unique_ptr<BackgroundWeld> weld;
  if (face_count >= kBackgroundFaces)
    weld.reset(new BackgroundWeld(*mesh, positions_, static_cast<int32_t>(vertices.size()),
                                  welded_.data()));
  struct ForgetWeld {
    BackgroundWeld*& weld;
    ~ForgetWeld() { weld = nullptr; }
  } forget{weld_};
  weld_ = weld.get();
  for (int i = 0; i < face_count; ++i) {
    FileProgress();
    int n = 0;
    if (!ReadInt(&n) || !ReadSeparator() || !CheckCount(n, kIndexBytes)) return Fail();
    LOG_LINE("%5d: %3d,<", i, n);
    corners_.clear();
    corners_.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
      int index = 0;
      if (!ReadInt(&index) || !ReadSeparator()) return Fail();
      LOG_LINE("%5d ", index);
      corners_.push_back(index);
    }
    if (!ReadSeparator()) return Fail();
    LOG_LINE(">\n");
    AddFace(mesh.get(), i, vertices);
  }
  Flush(mesh.get());
  if (weld) weld->finish();
  weld_ = nullptr;

  long long depth = 1;
  for (;;) {
    if (!NextWord(XWordReader::kDataCapacity)) break;
    const char* word = reader_->word();
    if (reader_->Is('}')) {
      if (depth == 1) {
        LOG_LINE("End Mesh: %s\n", name.c_str());
        break;
      }
      --depth;
    } else if (reader_->Is('{')) {
      ++depth;
    } else if (std::strcmp(word, "MeshMaterialList") == 0) {
      LOG_LINE("Parsing MeshMaterialList ...\n");
      if (!ParseMaterialList(mesh.get())) return false;
    } else if (std::strcmp(word, "MeshTextureCoords") == 0) {
      LOG_LINE("Parsing MeshTextureCoords ...\n");
      if (!ParseTextureCoords()) return false;
    } else if (std::strcmp(word, "MeshNormals") == 0) {
      LOG_LINE("Parsing MeshNormals ...\n");
      if (!ParseNormals()) return false;
    }
  }
  // The positions are all in the mesh now; their memory goes before the mesh is reduced.
  std::vector<Vec3d>().swap(vertices);
  std::vector<int32_t>().swap(welded_);
  positions_ = nullptr;
  hooks_.finish_mesh(mesh.release());
  return true;
}

// Turns the corners of one face into triangles: three corners as they are, four along the
// diagonal from corner 0, any other count by ear cutting over the corners that name a vertex.
void XFileParser::AddTriangle(Mesh3d* mesh, int32_t a, int32_t b, int32_t c) {
  // Batches for the helper are larger, so that handing them over costs little.
  const std::size_t batch = weld_ != nullptr ? 4096 : 256;
  pending_.push_back(a);
  pending_.push_back(b);
  pending_.push_back(c);
  if (pending_.size() >= 3 * batch) Flush(mesh);
}

void XFileParser::Flush(Mesh3d* mesh) {
  if (weld_ != nullptr) {
    if (!pending_.empty()) weld_->add(pending_);
    return;
  }
  mesh->add_indexed_triangles(positions_, pending_.data(),
                              static_cast<int32_t>(pending_.size() / 3), welded_.data());
  pending_.clear();
}

void XFileParser::AddFace(Mesh3d* mesh, int face, const std::vector<Vec3d>& vertices) {
  const int32_t n = static_cast<int32_t>(corners_.size());
  const int32_t vertex_count = static_cast<int32_t>(vertices.size());
  if (n == 1 || n == 2) return;
  if (n == 3 || n == 4) {
    for (int32_t index : corners_)
      if (index < 0 || index >= vertex_count) {
        LOG_LINE("Face %d skipped: vertex index %d out of range\n", face, index);
        return;
      }
    AddTriangle(mesh, corners_[0], corners_[1], corners_[2]);
    if (n == 4) AddTriangle(mesh, corners_[0], corners_[2], corners_[3]);
    return;
  }

  polygon_.clear();
  for (int32_t index : corners_)
    if (index >= 0 && index < vertex_count) polygon_.push_back(index);
  cut_.clear();
  const CutOutcome outcome = CutPolygon(
      polygon_.data(), static_cast<int32_t>(polygon_.size()), vertices.data(), &cut_budget_,
      [this](int32_t done, int32_t total) {
        if (hooks_.mesh_progress)
          hooks_.mesh_progress(static_cast<std::uint32_t>(done), static_cast<std::uint32_t>(total));
      },
      &cut_);
  if (outcome == CutOutcome::kOverBudget) {
    LOG_LINE("Face %d skipped: polygon of %d corners too large to cut\n", face,
             static_cast<int>(polygon_.size()));
    if (hooks_.warning) {
      char text[LogFile::kMessageBuffer];
      std::snprintf(text, sizeof text,
                    "Warning: face %d left out: its polygon of %d corners is too large to cut",
                    face, static_cast<int>(polygon_.size()));
      hooks_.warning(text);
    }
    return;
  }
  for (std::size_t i = 0; i + 2 < cut_.size(); i += 3)
    AddTriangle(mesh, cut_[i], cut_[i + 1], cut_[i + 2]);
}

// A material list: the material of each face, then the materials, each inline or a reference
// to a top-level one by name. The mesh takes the appearance of the material most of its faces
// use (the first of equal counts; material 0 when the list names none for any face), when that
// material is known.
bool XFileParser::ParseMaterialList(Mesh3d* mesh) {
  last_word_ = "MeshMaterialList";
  int material_count = 0, index_count = 0;
  if (!ReadOpening() || !ReadInt(&material_count) || !ReadSeparator() ||
      !CheckCount(material_count, kReferenceBytes) || !ReadInt(&index_count) || !ReadSeparator() ||
      !CheckCount(index_count, kIndexBytes))
    return Fail();
  LOG_LINE("Face Count: %d\n", index_count);
  // The count was checked against the file's size, so this is bounded by it.
  std::vector<std::int64_t> uses(static_cast<std::size_t>(material_count), 0);
  for (int i = 0; i < index_count; ++i) {
    int material = 0;
    if (!ReadInt(&material) || !ReadSeparator()) return Fail();
    LOG_LINE("%5d: %5d\n", i, material);
    if (material >= 0 && material < material_count) ++uses[static_cast<std::size_t>(material)];
  }
  int most_used = 0;
  for (int i = 1; i < material_count; ++i)
    if (uses[static_cast<std::size_t>(i)] > uses[static_cast<std::size_t>(most_used)])
      most_used = i;
  Appearance chosen;
  bool chosen_known = false;
  // Many exporters close the index list with the separator of its last entry alone.
  if (!ReadWord()) return Fail();
  if (!reader_->Is(';') && !reader_->Is(',')) pushed_back_ = true;
  LOG_LINE("Material Count: %d\n", material_count);
  for (int i = 0; i < material_count; ++i) {
    if (!ReadWord()) return Fail();
    last_word_.assign(reader_->word());
    if (reader_->Is('{')) {
      if (!ReadWord()) return Fail();
      last_word_.assign(reader_->word());
      if (reader_->length() == 1 && std::strchr("{};,", reader_->word()[0]) != nullptr)
        return Fail();
      LOG_LINE("%5d: %s\n", i, reader_->word());
      if (i == most_used) {
        auto found = materials_.find(reader_->word());
        chosen_known = found != materials_.end();
        if (chosen_known) chosen = found->second;
      }
      if (!Expect('}')) return Fail();
    } else if (std::strcmp(reader_->word(), "Material") == 0) {
      Appearance appearance;
      bool known = false;
      if (!ParseInlineMaterial(i, &appearance, &known)) return Fail();
      if (i == most_used) {
        chosen = appearance;
        chosen_known = known;
      }
    } else {
      return Fail();
    }
  }
  if (!Expect('}')) return Fail();
  if (chosen_known) {
    mesh->has_appearance = 1;
    mesh->appearance = chosen;
  }
  return true;
}

// A material defined inside the list ("Material {" or "Material name {"): its colours and
// power are read, nested objects such as TextureFilename are passed over by their braces.
bool XFileParser::ParseInlineMaterial(int index, Appearance* appearance, bool* known) {
  if (!ReadWord()) return false;
  last_word_.assign(reader_->word());
  std::string name = "Material";
  if (!reader_->Is('{')) {
    name = last_word_;
    if (!Expect('{')) return false;
  }
  LOG_LINE("%5d: %s\n", index, name.c_str());
  return ReadMaterialBody(appearance, known);
}

// The body of a material after its "{", up to its "}": face colour (RGBA), power, specular
// colour and emissive colour, the numbers in that order. known is set when at least the face
// colour is there. False when the input ends first.
bool XFileParser::ReadMaterialBody(Appearance* appearance, bool* known) {
  double values[11];
  int count = 0;
  long long depth = 1;
  while (depth > 0) {
    if (!NextWord(XWordReader::kDataCapacity)) return false;
    if (reader_->Is('{')) {
      ++depth;
    } else if (reader_->Is('}')) {
      --depth;
    } else if (depth == 1 && count < 11) {
      double v;
      if (FloatFromWord(reader_->word(), &v) && std::isfinite(v)) values[count++] = v;
    }
  }
  *known = count >= 4;
  if (!*known) return true;
  Appearance a;
  for (int k = 0; k < 4; ++k) a.rgba[k] = values[k];
  if (count >= 5) a.specular_power = values[4];
  for (int k = 0; k < 3; ++k) {
    if (count >= 8) a.specular[k] = values[5 + k];
    if (count >= 11) a.emissive[k] = values[8 + k];
  }
  const bool glows = a.emissive[0] > 0.0 || a.emissive[1] > 0.0 || a.emissive[2] > 0.0;
  a.finish = glows ? Finish::kGlow : a.rgba[3] < 1.0 ? Finish::kTransparent : Finish::kPlastic;
  *appearance = a;
  return true;
}

// A top-level material ("Material name { ... }"): kept by name for the material lists that
// refer to it. A material that ends with the input is passed over.
void XFileParser::ParseTopMaterial() {
  reader_->Read(XWordReader::kTopCapacity);
  LOG_LINE("Material %s scanned\n", reader_->word());
  std::string name;
  if (!reader_->Is('{')) {
    name = reader_->word();
    if (reader_->Read(XWordReader::kTopCapacity) != XWordReader::WORD_OK || !reader_->Is('{'))
      return;
  }
  Appearance appearance;
  bool known = false;
  if (ReadMaterialBody(&appearance, &known) && known && !name.empty())
    materials_[name] = appearance;
}

bool XFileParser::ParseTextureCoords() {
  last_word_ = "MeshTextureCoords";
  int count = 0;
  if (!ReadOpening() || !ReadInt(&count) || !ReadSeparator() || !CheckCount(count, kCoordBytes))
    return Fail();
  LOG_LINE("UV Vertex Count: %d\n", count);
  for (int i = 0; i < count; ++i) {
    double u = 0.0, v = 0.0;
    if (!ReadFloat(&u) || !ReadSeparator() || !ReadFloat(&v) || !ReadSeparator() ||
        !ReadSeparator())
      return Fail();
    LOG_LINE("%5d: <%.3lf %.3lf>\n", i, u, v);
  }
  if (!Expect('}')) return Fail();
  return true;
}

bool XFileParser::ParseNormals() {
  last_word_ = "MeshNormals";
  int count = 0;
  if (!ReadOpening() || !ReadInt(&count) || !ReadSeparator() || !CheckCount(count, kVertexBytes))
    return Fail();
  LOG_LINE("Normal Vertex Count: %d\n", count);
  for (int i = 0; i < count; ++i) {
    FileProgress();
    double x = 0.0, y = 0.0, z = 0.0;
    if (!ReadFloat(&x) || !ReadSeparator() || !ReadFloat(&y) || !ReadSeparator() ||
        !ReadFloat(&z) || !ReadSeparator() || !ReadSeparator())
      return Fail();
    LOG_LINE("%5d: <%0.3lf %0.3lf %0.3lf>\n", i, x, y, z);
  }
  int face_count = 0;
  if (!ReadInt(&face_count) || !ReadSeparator() || !CheckCount(face_count, kFaceBytes))
    return Fail();
  LOG_LINE("Normal Face Count: %d\n", face_count);
  for (int i = 0; i < face_count; ++i) {
    FileProgress();
    int n = 0;
    if (!ReadInt(&n) || !ReadSeparator() || !CheckCount(n, kIndexBytes)) return Fail();
    LOG_LINE("%5d: %3d,<", i, n);
    for (int k = 0; k < n; ++k) {
      int index = 0;
      if (!ReadInt(&index) || !ReadSeparator()) return Fail();
      LOG_LINE("%5d ", index);
    }
    if (!ReadSeparator()) return Fail();
    LOG_LINE(">\n");
  }
  if (!Expect('}')) return Fail();
  return true;
}

}  // namespace

int ParseXWords(XTokenReader* reader, std::uint64_t size, const XFileParseHooks& hooks) {
  XFileParser parser(reader, size, hooks);
  return parser.Run();
}
