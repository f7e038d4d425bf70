#include "plugins/brick_in/scene_reader.h"

#include <sys/stat.h>

#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "plugins/brick_in/ldraw_line.h"
#include "plugins/brick_in/mpd_sections.h"
#include "plugins/brick_in/part_search.h"
#include "settings/log_file.h"
#include "settings/path.h"

namespace {

// Log lines are cut at LogFile::kMessageBuffer characters, so a deeper indent shows nothing
// more; capping it keeps very deep nesting linear.
constexpr std::size_t kMaxIndent = LogFile::kMessageBuffer;

// A stretch of text to read as one LDraw file: a whole part file, or one section of a
// multi-part model file (which all sections share).
struct Source {
  std::shared_ptr<const std::string> text;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Reads the whole file, so that no file stays open while its sub-parts are read: nesting depth
// is not bounded by the number of files a process may hold open. Only regular files count; a
// folder, a pipe or a device named like a part is not one.
bool load_file(const std::string& path, std::string& text) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  text.clear();
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  bool ok = std::ferror(file) == 0;
  std::fclose(file);
  // Files saved by today's editors may start with a UTF-8 byte order mark; it would hide the
  // type of the first line ("0 FILE main.ldr" of a multi-part document among them).
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  return ok;
}

std::string folder_of(const std::string& file_name) {
  std::size_t slash = file_name.rfind('/');
  if (slash == std::string::npos) return ".";
  return file_name.substr(0, slash + 1);
}

uint32_t clamp32(std::size_t v) { return v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v); }

// One file being read. Files are read through an explicit stack rather than by recursion, so
// a deeply nested part cannot overflow the call stack.
struct Frame {
  std::unique_ptr<PartEntry> part;
  std::string key;
  Source source;
  std::size_t pos = 0;
  PartReference reference;  // the parent's reference that waits for this part
};

class SceneReader {
 public:
  SceneReader(LogFile& log, const FileProgress& progress, LDrawScene& scene,
              const LDrawLimits& limits)
      : log_(log), progress_(progress), scene_(scene), limits_(limits) {}

  bool run(const std::string& file_name, const std::string& search_path);

 private:
  std::size_t depth() const { return stack_.size() - 1; }
  std::string indent(std::size_t depth) const {
    return log_.enabled() ? std::string(depth < kMaxIndent ? depth : kMaxIndent, '\t')
                          : std::string();
  }
  void read_line_of_top();
  void reference_line(const char* data);
  void finish_top();
  void place(PartEntry& part, const PartReference& reference);
  void add_triangle(PartEntry& part, const Vec3d& a, const Vec3d& b, const Vec3d& c,
                    int32_t colour);
  bool room_for(PartEntry& part, int64_t triangles);
  bool open_part(const std::string& name, const std::string& key, Source& source);

  LogFile& log_;
  const FileProgress& progress_;
  LDrawScene& scene_;
  const LDrawLimits& limits_;
  std::size_t model_size_ = 0;
  int64_t total_triangles_ = 0;  // triangles held by all parts read so far
  bool total_exceeded_ = false;
  std::vector<Frame> stack_;
  std::unordered_set<std::string> reading_;  // keys of the parts on the stack
  std::unordered_set<std::string> missing_;  // keys already searched in vain
  std::unordered_map<std::string, Source> sections_;
  PartFinder finder_;
  std::string line_;
};

bool SceneReader::run(const std::string& file_name, const std::string& search_path) {
  auto text = std::make_shared<std::string>();
  if (!load_file(file_name, *text)) {
    log_.LogWrite("File %s not found\n", file_name.c_str());
    return false;
  }
  model_size_ = text->size();

  Frame model;
  model.part = std::make_unique<PartEntry>();
  model.part->name = "_default";
  model.source = Source{text, 0, text->size()};

  // A multi-part document: its first section is the model (with whatever precedes it), the
  // others are found by name before anything on disk. The model's own name is marked as being
  // read, so a section that refers back to it is caught as a cycle.
  std::vector<DocumentSection> sections = find_document_sections(text->data(), text->size());
  if (!sections.empty()) {
    model.source.end = sections[0].end;
    model.key = ldraw_part_key(sections[0].name);
    reading_.insert(model.key);
    for (std::size_t i = 1; i < sections.size(); ++i)
      sections_.emplace(ldraw_part_key(sections[i].name),
                        Source{text, sections[i].begin, sections[i].end});
  }

  finder_ = PartFinder(split_search_path(search_path));
  finder_.add_folder(folder_of(file_name));
  scene_.searched_folders = finder_.folders();

  model.pos = model.source.begin;
  stack_.push_back(std::move(model));
  while (!stack_.empty()) read_line_of_top();
  return true;
}

void SceneReader::read_line_of_top() {
  Frame& top = stack_.back();
  if (stack_.size() == 1 && progress_) progress_(clamp32(top.pos), clamp32(model_size_));
  if (!next_ldraw_line(top.source.text->data(), top.source.end, top.pos, line_)) {
    finish_top();
    return;
  }
  const char* data = nullptr;
  int32_t colour;
  Vec3d p[4];
  switch (ldraw_line_type(line_, &data)) {
    case 1:
      reference_line(data);
      break;
    case 3:
      if (parse_triangle(data, colour, p))
        add_triangle(*top.part, p[0], p[1], p[2], colour);
      else
        log_.LogWrite("%sERROR: Triangle: %s\n", indent(depth()).c_str(), data);
      break;
    case 4:
      // Two triangles sharing the diagonal from the first to the third corner.
      if (parse_quad(data, colour, p)) {
        add_triangle(*top.part, p[0], p[1], p[2], colour);
        add_triangle(*top.part, p[0], p[2], p[3], colour);
      } else {
        log_.LogWrite("%sERROR Quad: %s\n", indent(depth()).c_str(), data);
      }
      break;
    default:  // comments, meta commands, lines (type 2) and anything unknown
      break;
  }
}

void SceneReader::reference_line(const char* data) {
  log_.LogWrite("%sPart Reference: %s\n", indent(depth()).c_str(), data);
  PartReference reference;
  if (!parse_part_reference(data, reference)) {
    log_.LogWrite("%s ERROR: Part Reference: %s\n", indent(depth()).c_str(), data);
    return;
  }
  std::string key = ldraw_part_key(reference.file_name);
  if (PartEntry* cached = scene_.cache.find(key)) {
    place(*cached, reference);
    return;
  }
  if (reading_.count(key) != 0) {
    log_.LogWrite("%sERROR: %s refers to itself, reference skipped\n", indent(depth() + 1).c_str(),
                  reference.file_name.c_str());
    return;
  }
  Source source;
  if (missing_.count(key) != 0 || !open_part(reference.file_name, key, source)) {
    if (missing_.insert(key).second) scene_.missing_parts.push_back(reference.file_name);
    log_.LogWrite("%sFile %s not found\n", indent(depth() + 1).c_str(),
                  reference.file_name.c_str());
    return;
  }
  Frame child;
  child.part = std::make_unique<PartEntry>();
  child.part->name = reference.file_name;
  child.key = key;
  child.source = source;
  child.pos = source.begin;
  child.reference = std::move(reference);
  reading_.insert(key);
  stack_.push_back(std::move(child));
}

bool SceneReader::open_part(const std::string& name, const std::string& key, Source& source) {
  auto section = sections_.find(key);
  if (section != sections_.end()) {
    source = section->second;
    return true;
  }
  std::string path = finder_.find(name);
  if (path.empty()) return false;
  auto text = std::make_shared<std::string>();
  if (!load_file(path, *text)) return false;
  source = Source{text, 0, text->size()};
  return true;
}

void SceneReader::finish_top() {
  Frame done = std::move(stack_.back());
  stack_.pop_back();
  if (stack_.empty()) {
    // The model itself: its own triangles form "_default", the last scene element.
    scene_.model = std::move(done.part);
    SceneElement element;
    element.name = "_default";
    element.colour = 0;
    element.part = scene_.model.get();
    mat_identity(element.matrix);
    scene_.elements.push_back(std::move(element));
    return;
  }
  reading_.erase(done.key);
  PartEntry* part = scene_.cache.add(done.key, std::move(done.part));
  place(*part, done.reference);
}

void SceneReader::place(PartEntry& part, const PartReference& reference) {
  if (depth() > 0) {
    // A sub-part: its triangles join the part being read, placed by the reference.
    PartEntry& target = *stack_.back().part;
    const std::vector<Vec3d>& c = part.geometry.corners;
    int64_t n = part.geometry.triangle_count();
    if (&target == &part || !room_for(target, n)) return;
    const std::vector<int32_t>& colours = part.geometry.colours;
    target.geometry.corners.reserve(target.geometry.corners.size() + c.size());
    target.geometry.colours.reserve(target.geometry.colours.size() + colours.size());
    for (int64_t t = 0; t < n; ++t) {
      Vec3d q[3];
      for (int k = 0; k < 3; ++k) mat_transform_point(q[k], reference.matrix, c[3 * t + k]);
      target.geometry.corners.insert(target.geometry.corners.end(), q, q + 3);
      // Faces in the main or edge colour take the colour of the reference that places them.
      const int32_t own = colours[static_cast<std::size_t>(t)];
      target.geometry.colours.push_back(inherits_colour(own) ? reference.colour : own);
    }
    return;
  }
  // A reference of the model: one scene element, numbered per part in reference order.
  std::string drive, folder, base, extension;
  split_path(ldraw_path_name(reference.file_name).c_str(), drive, folder, base, extension);
  SceneElement element;
  element.name =
      base + "_" + std::to_string(part.use_count) + "_C" + std::to_string(reference.colour);
  ++part.use_count;
  element.colour = reference.colour;
  element.part = &part;
  element.matrix = reference.matrix;
  scene_.elements.push_back(std::move(element));
}

void SceneReader::add_triangle(PartEntry& part, const Vec3d& a, const Vec3d& b, const Vec3d& c,
                               int32_t colour) {
  if (!room_for(part, 1)) return;
  std::vector<Vec3d>& corners = part.geometry.corners;
  corners.push_back(a);
  corners.push_back(b);
  corners.push_back(c);
  part.geometry.colours.push_back(colour);
}

// Whether triangles more fit into part and into the import's budget;
// the first refusal is logged once per part, and once for the whole import.
bool SceneReader::room_for(PartEntry& part, int64_t triangles) {
  if (total_triangles_ + triangles > limits_.max_total_triangles) {
    if (!total_exceeded_) {
      total_exceeded_ = true;
      log_.LogWrite("%sERROR: the parts hold more than %lld triangles, the rest is skipped\n",
                    indent(depth()).c_str(), static_cast<long long>(limits_.max_total_triangles));
    }
    return false;
  }
  if (part.geometry.triangle_count() + triangles > limits_.max_part_triangles) {
    if (!part.truncated) {
      part.truncated = true;
      log_.LogWrite("%sERROR: %s holds more than %lld triangles, the rest is skipped\n",
                    indent(depth()).c_str(), part.name.c_str(),
                    static_cast<long long>(limits_.max_part_triangles));
    }
    return false;
  }
  total_triangles_ += triangles;
  return true;
}

}  // namespace

bool read_ldraw_scene(const std::string& file_name, const std::string& search_path, LogFile& log,
                      const FileProgress& file_progress, LDrawScene& scene,
                      const LDrawLimits& limits) {
  SceneReader reader(log, file_progress, scene, limits);
  return reader.run(file_name, search_path);
}
