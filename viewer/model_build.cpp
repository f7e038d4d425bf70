#include "viewer/model_build.h"

#include <GL/gl.h>

#include <GL/glext.h>

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>
#include <algorithm>
#include <cmath>

#include "meshlib/light3d.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "viewer/render_modes.h"
#include "viewer/scene_box.h"

namespace {

const double kPi = 3.14159265358979323846;
// Corners within this angle (degrees) of each other share one smoothed normal.
const double kSmoothAngle = 89.0;
// Faces meeting at this angle (degrees) or more show their common edge in Edge mode.
const double kEdgeAngle = 1.0;
// Lines handed to OpenGL per call while a line list compiles, so the buffers stay small.
const size_t kLineBatch = 65536;

// One batch of a mesh's faces in two buffer objects: its vertices (the positions, three floats
// each, then the normals, three shorts each) and its faces' corners as 16-bit indices into
// them.
struct GeometryBatch {
  GLuint vertices = 0;
  GLuint indices = 0;
  GLsizei index_count = 0;
  GLsizeiptr normals_at = 0;  // where the normals start in the vertex buffer
};

// A unit normal's component as OpenGL's normalized shorts hold it: 1 is 32767. A vertex then
// takes 18 bytes instead of 24; the step, a thirtieth of a thousandth, changes a lit picture
// (highlights included) by one colour level at a few pixels in a thousand at most.
GLshort normal_short(double c) {
  // Rounded half away from zero, as std::round does, without a library call per component.
  const double k = c * 32767.0 + (c >= 0.0 ? 0.5 : -0.5);
  return GLshort(k >= 32767.0 ? 32767 : k <= -32767.0 ? -32767 : int(k));
}

// A mesh's faces as the face passes draw them: its colour and its batches.
struct MeshGeometry {
  ObjectColour colour;
  std::vector<GeometryBatch> batches;
};

// What the last build made, for the face passes, for the lists that are compiled on first use
// and for the next build, which deletes this one's buffers.
struct BuildRecord {
  std::vector<MeshGeometry> meshes;  // per object-list position; no batches: nothing to draw
  size_t geometry_bytes = 0;         // bytes handed to the buffers
  bool edges_built = false;
  bool normals_built = false;
  bool transparent = false;  // some mesh is drawn by the see-through passes
};
BuildRecord g_record;

QOpenGLFunctions* gl_functions() {
  QOpenGLContext* context = QOpenGLContext::currentContext();
  return context != nullptr ? context->functions() : nullptr;
}

// Deletes the buffers of the last build (in the current context, which shares them).
void delete_geometry() {
  QOpenGLFunctions* gl = gl_functions();
  if (gl != nullptr)
    for (MeshGeometry& mesh : g_record.meshes)
      for (GeometryBatch& b : mesh.batches) {
        gl->glDeleteBuffers(1, &b.vertices);
        gl->glDeleteBuffers(1, &b.indices);
      }
  g_record = BuildRecord();
}

void set_material(const GLfloat ambient[3], const GLfloat diffuse[3], const GLfloat specular[3],
                  GLfloat shininess, const GLfloat colour[3], GLfloat alpha = 1.0f) {
  const GLfloat a[4] = {ambient[0], ambient[1], ambient[2], alpha};
  const GLfloat d[4] = {diffuse[0], diffuse[1], diffuse[2], alpha};
  const GLfloat s[4] = {specular[0], specular[1], specular[2], alpha};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, a);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, d);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, s);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
  glColor4f(colour[0], colour[1], colour[2], alpha);
}

// Palette colours: ambient k, diffuse and current colour 1.4 k (left unclamped), white
// highlights. A model colour: ambient, diffuse and current colour the colour itself with
// its opacity, so unlit modes show it exactly.
void set_object_material(const ObjectColour& c, GLfloat shininess) {
  const Vec3d& k = c.rgb;
  if (c.from_model) {
    const GLfloat rgb[3] = {GLfloat(k.x), GLfloat(k.y), GLfloat(k.z)};
    const GLfloat spec[3] = {1.0f, 1.0f, 1.0f};
    set_material(rgb, rgb, spec, shininess, rgb, GLfloat(c.alpha));
    return;
  }
  const GLfloat amb[3] = {GLfloat(k.x), GLfloat(k.y), GLfloat(k.z)};
  const GLfloat dif[3] = {GLfloat(1.4 * k.x), GLfloat(1.4 * k.y), GLfloat(1.4 * k.z)};
  const GLfloat spec[3] = {1.0f, 1.0f, 1.0f};
  set_material(amb, dif, spec, shininess, dif);
}

const Mesh3d* mesh_at(const ObjectList& objects, int32_t i) {
  const Obj3d* obj = static_cast<const Obj3d*>(objects.get(i));
  if (obj == nullptr || obj->kind() != Obj3d::kMesh) return nullptr;
  return static_cast<const Mesh3d*>(obj);
}

// The faces of one mesh's flat form whose three indices name flat vertices (others are
// skipped, as rebuilding the indexed form skips them). The flat form of an imported mesh is
// welded, so a flat vertex is a vertex of the surface.
class FlatFaces {
 public:
  explicit FlatFaces(const Mesh3d& mesh)
      : v_(mesh.flat_vertices),
        f_(mesh.flat_faces),
        nv_(mesh.flat_vertices != nullptr && mesh.flat_faces != nullptr ? mesh.flat_vertex_count
                                                                        : 0),
        nf_(nv_ > 0 ? mesh.flat_face_count : 0) {}

  int32_t vertex_count() const { return nv_; }
  int32_t face_count() const { return nf_; }
  bool valid(int32_t f) const {
    const int32_t* c = f_[f].v;
    return c[0] >= 0 && c[0] < nv_ && c[1] >= 0 && c[1] < nv_ && c[2] >= 0 && c[2] < nv_;
  }
  int32_t corner(int32_t f, int k) const { return f_[f].v[k]; }
  const Vec3d& position(int32_t v) const { return v_[v]; }

 protected:
  const Vec3d* v_;
  const FlatFace* f_;
  int32_t nv_;
  int32_t nf_;
};

// The flat form of one mesh as the lists read it: its valid faces, their unit face normals,
// and for every vertex the faces that use it.
class FlatSurface : public FlatFaces {
 public:
  explicit FlatSurface(const Mesh3d& mesh) : FlatFaces(mesh) {
    if (nf_ <= 0) return;
    normals_.resize(static_cast<size_t>(nf_) * 3);
    offsets_.assign(static_cast<size_t>(nv_) + 1, 0);
    for (int32_t f = 0; f < nf_; ++f) {
      if (!valid(f)) continue;
      Vec3d p[3];
      for (int k = 0; k < 3; ++k) p[k] = v_[f_[f].v[k]];
      Vec3d n;
      face_normal(p[0], p[1], p[2], n);
      normals_[3 * f] = float(n.x);
      normals_[3 * f + 1] = float(n.y);
      normals_[3 * f + 2] = float(n.z);
      for (int k = 0; k < 3; ++k) ++offsets_[f_[f].v[k] + 1];
    }
    for (int32_t i = 0; i < nv_; ++i) offsets_[i + 1] += offsets_[i];
    around_.resize(offsets_[nv_]);
    std::vector<int32_t> fill(offsets_.begin(), offsets_.end() - 1);
    for (int32_t f = 0; f < nf_; ++f)
      if (valid(f))
        for (int k = 0; k < 3; ++k) around_[fill[f_[f].v[k]]++] = f;
  }

  Vec3d normal(int32_t f) const {
    const float* n = &normals_[3 * static_cast<size_t>(f)];
    return Vec3d{n[0], n[1], n[2]};
  }
  // The faces that use vertex v, in face order.
  const int32_t* around_begin(int32_t v) const { return around_.data() + offsets_[v]; }
  const int32_t* around_end(int32_t v) const { return around_.data() + offsets_[v + 1]; }

 private:
  std::vector<float> normals_;
  std::vector<uint32_t> offsets_;
  std::vector<int32_t> around_;
};

// The flat form of one mesh as the face build reads it, a window of consecutive faces at a
// time: for every vertex of the window's faces, the unit normals of all faces of the mesh that
// use it, in face order (as FlatSurface's faces around a vertex, but holding only the window's
// vertices). Each window costs one pass over all faces, so windows are at least an eighth of
// the mesh; the memory is about 40 bytes per face of the window and 4 per vertex of the mesh,
// instead of FlatSurface's 26 per face and 4 per vertex of the whole mesh.
class WindowNormals : public FlatFaces {
 public:
  explicit WindowNormals(const Mesh3d& mesh) : FlatFaces(mesh) {
    slot_of_.assign(static_cast<size_t>(nv_), -1);
  }

  // Faces in one window: at least 131,072, and so many that at most eight windows cover the
  // mesh.
  int32_t window_size() const { return std::max(131072, nf_ / 8 + 1); }
  // The unit normal of face f in the precision the views use.
  Vec3d normal(int32_t f) const {
    float n[3];
    unit_normal(f, n);
    return Vec3d{n[0], n[1], n[2]};
  }

  // Makes the faces [first, end) the window.
  void load(int32_t first, int32_t end) {
    for (int32_t v : window_) slot_of_[v] = -1;
    window_.clear();
    for (int32_t f = first; f < end; ++f)
      if (valid(f))
        for (int k = 0; k < 3; ++k) {
          const int32_t v = f_[f].v[k];
          if (slot_of_[v] < 0) {
            slot_of_[v] = int32_t(window_.size());
            window_.push_back(v);
          }
        }
    offsets_.assign(window_.size() + 1, 0);
    for (int32_t f = 0; f < nf_; ++f)
      if (valid(f))
        for (int k = 0; k < 3; ++k) {
          const int32_t slot = slot_of_[f_[f].v[k]];
          if (slot >= 0) ++offsets_[slot + 1];
        }
    for (size_t i = 0; i < window_.size(); ++i) offsets_[i + 1] += offsets_[i];
    normals_.resize(3 * static_cast<size_t>(offsets_.back()));
    std::vector<uint32_t> fill(offsets_.begin(), offsets_.end() - 1);
    for (int32_t f = 0; f < nf_; ++f) {
      if (!valid(f)) continue;
      const int32_t* c = f_[f].v;
      if (slot_of_[c[0]] < 0 && slot_of_[c[1]] < 0 && slot_of_[c[2]] < 0) continue;
      float n[3];
      unit_normal(f, n);
      for (int k = 0; k < 3; ++k) {
        const int32_t slot = slot_of_[c[k]];
        if (slot >= 0) std::copy(n, n + 3, &normals_[3 * static_cast<size_t>(fill[slot]++)]);
      }
    }
  }

  // The normals of the faces that use vertex v (a vertex of the window's faces), in face
  // order, three floats each.
  const float* around_begin(int32_t v) const {
    return normals_.data() + 3 * static_cast<size_t>(offsets_[slot_of_[v]]);
  }
  const float* around_end(int32_t v) const {
    return normals_.data() + 3 * static_cast<size_t>(offsets_[slot_of_[v] + 1]);
  }

 private:
  void unit_normal(int32_t f, float out[3]) const {
    const int32_t* c = f_[f].v;
    Vec3d n;
    face_normal(v_[c[0]], v_[c[1]], v_[c[2]], n);
    out[0] = float(n.x);
    out[1] = float(n.y);
    out[2] = float(n.z);
  }

  std::vector<int32_t> slot_of_;   // per vertex: its place in window_, or -1
  std::vector<int32_t> window_;    // the window's vertices
  std::vector<uint32_t> offsets_;  // per window vertex: where its normals start
  std::vector<float> normals_;
};

// True when the angle between a and b is less than the angle whose cosine is cos_limit; a
// zero vector is at angle 0 to everything.
bool angle_below(const Vec3d& a, const Vec3d& b, double cos_limit) {
  const double d = vec_length(a) * vec_length(b);
  if (d == 0.0) return true;
  const double k = vec_dot(a, b) / d;
  return k >= 1.0 || k > cos_limit;
}

// Reports the build's progress by faces made into geometry, and asks whether to go on.
class BuildReport {
 public:
  BuildReport(const BuildProgress& progress, int64_t total) : progress_(progress), total_(total) {}
  // False once the receiver asked to stop (and from then on).
  bool step(int64_t faces) {
    done_ += faces;
    if (!progress_ || stopped_) return !stopped_;
    const int percent = total_ > 0 ? int(done_ * 100 / total_) : 100;
    stopped_ = !progress_(percent > 100 ? 100 : percent);
    return !stopped_;
  }
  bool stopped() const { return stopped_; }

 private:
  const BuildProgress& progress_;
  int64_t total_;
  int64_t done_ = 0;
  bool stopped_ = false;
};

// Faces between two progress reports while a mesh's geometry is made, and at most faces and
// vertices of one batch (the vertices so that 16-bit indices reach them all).
const int32_t kFacesPerReport = 16384;
const int32_t kFacesPerBatch = 262144;
const size_t kVerticesPerBatch = 65536;
// Faces handed to OpenGL between two looks at how far drawing has come. A software
// rasterizer keeps the work of every face it has been given and not yet drawn (a few hundred
// bytes each); left alone, the faces of several frames pile up while its threads fall behind
// (tens to hundreds of megabytes for a large model). It also keeps the memory of the last
// few chunks of every view's context for reuse, so a chunk is small: 8,192 faces (a megabyte
// or so of its work) draw as fast as 16,384, within a few percent, and keep about 1.2 MB less
// in each of the four views.
const GLsizei kFacesPerChunk = 8192;

// Keeps at most two chunks of faces waiting to be drawn: after each chunk a fence, and before
// the next fence a wait for the one before, so the rasterizer works on one chunk while the
// next is handed over. Without fences (OpenGL before 3.2 without ARB_sync) each chunk is only
// flushed.
class ChunkThrottle {
 public:
  ChunkThrottle() {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (context == nullptr) return;
    const QSurfaceFormat format = context->format();
    if (format.version() < qMakePair(3, 2) && !context->hasExtension("GL_ARB_sync")) return;
    fence_sync_ = reinterpret_cast<PFNGLFENCESYNCPROC>(context->getProcAddress("glFenceSync"));
    client_wait_ =
        reinterpret_cast<PFNGLCLIENTWAITSYNCPROC>(context->getProcAddress("glClientWaitSync"));
    delete_sync_ = reinterpret_cast<PFNGLDELETESYNCPROC>(context->getProcAddress("glDeleteSync"));
    if (fence_sync_ == nullptr || client_wait_ == nullptr || delete_sync_ == nullptr)
      fence_sync_ = nullptr;
  }
  ~ChunkThrottle() {
    if (pending_ != nullptr) delete_sync_(pending_);  // freed by OpenGL once reached
  }
  ChunkThrottle(const ChunkThrottle&) = delete;
  ChunkThrottle& operator=(const ChunkThrottle&) = delete;

  // Called after each chunk of faces.
  void chunk_done() {
    if (fence_sync_ == nullptr) {
      glFlush();
      return;
    }
    if (pending_ != nullptr) {
      const GLuint64 kOneSecond = 1000000000;
      client_wait_(pending_, GL_SYNC_FLUSH_COMMANDS_BIT, 5 * kOneSecond);
      delete_sync_(pending_);
    }
    pending_ = fence_sync_(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
  }

 private:
  PFNGLFENCESYNCPROC fence_sync_ = nullptr;
  PFNGLCLIENTWAITSYNCPROC client_wait_ = nullptr;
  PFNGLDELETESYNCPROC delete_sync_ = nullptr;
  GLsync pending_ = nullptr;
};

// Hands one batch to two new buffer objects and adds it to geometry; the caller's arrays are
// then free for the next batch.
void upload_batch(QOpenGLFunctions& gl, const std::vector<float>& positions,
                  const std::vector<GLshort>& normals, const std::vector<GLushort>& indices,
                  MeshGeometry& geometry) {
  GeometryBatch b;
  gl.glGenBuffers(1, &b.vertices);
  gl.glGenBuffers(1, &b.indices);
  const size_t position_bytes = positions.size() * sizeof(float);
  const size_t normal_bytes = normals.size() * sizeof(GLshort);
  const size_t vertex_bytes = position_bytes + normal_bytes;
  const size_t index_bytes = indices.size() * sizeof(GLushort);
  b.normals_at = GLsizeiptr(position_bytes);
  gl.glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
  gl.glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertex_bytes), nullptr, GL_STATIC_DRAW);
  gl.glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(position_bytes), positions.data());
  gl.glBufferSubData(GL_ARRAY_BUFFER, b.normals_at, GLsizeiptr(normal_bytes), normals.data());
  gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
  gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(index_bytes), indices.data(), GL_STATIC_DRAW);
  gl.glBindBuffer(GL_ARRAY_BUFFER, 0);
  gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  b.index_count = GLsizei(indices.size());
  geometry.batches.push_back(b);
  g_record.geometry_bytes += vertex_bytes + index_bytes;
}

// Makes the faces of surface into geometry's batches: one vertex per corner position and
// smoothed normal (corners of one vertex with equal normals share it within a batch), the
// stored winding, and the normals negated so that they face the side from which the winding
// runs counter-clockwise. The normal at a corner is the normalised sum of the normals of the
// faces around its vertex within kSmoothAngle of the face's own normal.
// Returns false when report says stop; geometry then holds only part of the faces.
bool make_geometry(QOpenGLFunctions& gl, WindowNormals& s, BuildReport& report,
                   MeshGeometry& geometry) {
  const double cos_smooth = std::cos(kSmoothAngle * kPi / 180.0);
  // Each batch has its own vertices and goes to its buffers as soon as it is full, so the
  // arrays stay small however large the mesh is.
  std::vector<float> positions;   // three floats per vertex
  std::vector<GLshort> normals;   // three per vertex
  std::vector<GLushort> indices;  // three per drawn face
  std::vector<int32_t> first_of;  // per flat vertex: its first vertex of the batch, or -1
  std::vector<int32_t> next_of;   // per batch vertex: the next one of its flat vertex
  std::vector<int32_t> touched;   // flat vertices with batch vertices
  first_of.assign(static_cast<size_t>(s.vertex_count()), -1);
  auto end_batch = [&]() {
    if (!indices.empty()) upload_batch(gl, positions, normals, indices, geometry);
    positions.clear();
    normals.clear();
    indices.clear();
    next_of.clear();
    for (int32_t v : touched) first_of[v] = -1;
    touched.clear();
  };
  bool go_on = true;
  int32_t batch_faces = 0;
  int32_t window_end = 0;
  for (int32_t f = 0; go_on && f < s.face_count(); ++f) {
    if (f == window_end) {
      window_end = std::min(s.face_count(), f + s.window_size());
      s.load(f, window_end);
    }
    if (f % kFacesPerReport == kFacesPerReport - 1) go_on = report.step(kFacesPerReport);
    if (!go_on || !s.valid(f)) continue;
    if (batch_faces == kFacesPerBatch || next_of.size() + 3 > kVerticesPerBatch) {
      end_batch();
      batch_faces = 0;
    }
    ++batch_faces;
    const Vec3d own = s.normal(f);
    for (int k = 0; k < 3; ++k) {
      const int32_t v = s.corner(f, k);
      Vec3d sum = {0.0, 0.0, 0.0};
      // Newest face first, as the indexed form lists them.
      for (const float* g = s.around_end(v); g != s.around_begin(v);) {
        g -= 3;
        const Vec3d n = {g[0], g[1], g[2]};
        if (angle_below(own, n, cos_smooth)) vec_add(sum, sum, n);
      }
      vec_normalize(sum);
      const GLshort normal[3] = {normal_short(-sum.x), normal_short(-sum.y), normal_short(-sum.z)};
      int32_t found = -1;
      for (int32_t m = first_of[v]; m >= 0; m = next_of[m]) {
        const GLshort* n = &normals[3 * static_cast<size_t>(m)];
        if (n[0] == normal[0] && n[1] == normal[1] && n[2] == normal[2]) {
          found = m;
          break;
        }
      }
      if (found < 0) {
        found = int32_t(next_of.size());
        const Vec3d& p = s.position(v);
        const float position[3] = {float(p.x), float(p.y), float(p.z)};
        positions.insert(positions.end(), position, position + 3);
        normals.insert(normals.end(), normal, normal + 3);
        if (first_of[v] < 0) touched.push_back(v);
        next_of.push_back(first_of[v]);
        first_of[v] = found;
      }
      indices.push_back(static_cast<GLushort>(found));
    }
  }
  if (go_on) go_on = report.step(s.face_count() % kFacesPerReport);
  if (go_on) end_batch();
  return go_on;
}

// The faces of every mesh whose colour is (or is not) see-through, each after its material,
// from the buffers of the last build. The back pass draws the same geometry from its other
// side: the faces that show their clockwise side, lit from that side (two-sided lighting turns
// their normals), which is what the faces in reverse order with the normals turned would show.
// The two states the back pass changes are put back by hand: the attribute stack
// (glPushAttrib) costs a software renderer a copy of the whole context state, megabytes that
// each view's context then keeps.
void draw_faces(bool back, bool see_through) {
  QOpenGLFunctions* gl = gl_functions();
  if (gl == nullptr) return;
  glFrontFace(GL_CCW);
  GLint cull_mode = GL_BACK;
  GLboolean two_side = GL_FALSE;
  if (back) {
    glGetIntegerv(GL_CULL_FACE_MODE, &cull_mode);
    glGetBooleanv(GL_LIGHT_MODEL_TWO_SIDE, &two_side);
    glCullFace(GL_FRONT);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  ChunkThrottle throttle;
  GLsizei unflushed = 0;  // faces handed over since the last chunk ended
  for (const MeshGeometry& mesh : g_record.meshes) {
    if (mesh.batches.empty() || mesh.colour.see_through() != see_through) continue;
    set_object_material(mesh.colour, 127.0f);
    for (const GeometryBatch& b : mesh.batches) {
      gl->glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
      glVertexPointer(3, GL_FLOAT, 0, nullptr);
      glNormalPointer(GL_SHORT, 0, reinterpret_cast<const void*>(b.normals_at));
      gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
      for (GLsizei at = 0; at < b.index_count;) {
        const GLsizei count = std::min(b.index_count - at, 3 * (kFacesPerChunk - unflushed));
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT,
                       reinterpret_cast<const void*>(at * sizeof(GLushort)));
        at += count;
        unflushed += count / 3;
        if (unflushed == kFacesPerChunk) {
          throttle.chunk_done();
          unflushed = 0;
        }
      }
    }
  }
  gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
  gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  if (back) {
    glCullFace(GLenum(cull_mode));
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, two_side);
  }
}

bool is_face_pass(GLuint name) {
  return name == kListFront || name == kListBack || name == kListFrontSeeThrough ||
         name == kListBackSeeThrough;
}

// Draws batches of line ends (three floats each, two per line) into the list being compiled.
class LineBatch {
 public:
  LineBatch() { ends_.reserve(kLineBatch * 6); }
  ~LineBatch() { flush(); }
  void add(const Vec3d& a, const Vec3d& b) {
    const float e[6] = {float(a.x), float(a.y), float(a.z), float(b.x), float(b.y), float(b.z)};
    ends_.insert(ends_.end(), e, e + 6);
    if (ends_.size() >= kLineBatch * 6) flush();
  }
  void flush() {
    if (ends_.empty()) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, ends_.data());
    glDrawArrays(GL_LINES, 0, GLsizei(ends_.size() / 3));
    glDisableClientState(GL_VERTEX_ARRAY);
    ends_.clear();
  }

 private:
  std::vector<float> ends_;
};

// The edges of surface that Edge mode shows, into the list being compiled: every edge used
// by one face, and every edge whose first and last face meet at kEdgeAngle or more. Each edge
// is drawn once, in the direction its first face runs along it.
void draw_edges(const FlatSurface& s) {
  const double cos_edge = std::cos(kEdgeAngle * kPi / 180.0);
  LineBatch lines;
  for (int32_t f = 0; f < s.face_count(); ++f) {
    if (!s.valid(f)) continue;
    for (int k = 0; k < 3; ++k) {
      const int32_t a = s.corner(f, k);
      const int32_t b = s.corner(f, (k + 1) % 3);
      if (a == b) continue;
      int32_t first = -1, last = -1;
      for (const int32_t* g = s.around_begin(a); g != s.around_end(a); ++g) {
        if (s.corner(*g, 0) != b && s.corner(*g, 1) != b && s.corner(*g, 2) != b) continue;
        if (first < 0) first = *g;
        last = *g;
      }
      if (first != f) continue;  // drawn with its first face
      if (last != first) {
        const Vec3d n1 = s.normal(first);
        const Vec3d n2 = s.normal(last);
        const double d = vec_length(n1) * vec_length(n2);
        if (d == 0.0) continue;
        const double c = vec_dot(n1, n2) / d;
        if (c != c || c >= 1.0 || c > cos_edge) continue;
      }
      lines.add(s.position(a), s.position(b));
    }
  }
}

// Needles one twentieth of the scene diagonal long from each face's centroid along its face
// normal, pointing away from the side on which the stored winding runs clockwise.
void draw_needles(const FlatSurface& s, double length) {
  LineBatch lines;
  for (int32_t f = 0; f < s.face_count(); ++f) {
    if (!s.valid(f)) continue;
    Vec3d g = {0.0, 0.0, 0.0};
    for (int k = 0; k < 3; ++k) vec_add(g, g, s.position(s.corner(f, k)));
    vec_scale(g, g, 1.0 / 3.0);
    Vec3d tip;
    vec_scale(tip, s.normal(f), length);
    vec_add(tip, g, tip);
    lines.add(g, tip);
  }
}

void line(const Vec3d& a, const Vec3d& b) {
  glVertex3d(a.x, a.y, a.z);
  glVertex3d(b.x, b.y, b.z);
}

void compile_boxes(const ObjectList& objects, const std::vector<ObjectColour>& colours) {
  glNewList(kListBoxes, GL_COMPILE);
  const int32_t n = objects.count();
  for (int32_t i = 0; i < n; ++i) {
    const Mesh3d* mesh = mesh_at(objects, i);
    if (mesh == nullptr || mesh->bbox_empty) continue;
    const bool see_through = colours[i].see_through();
    if (see_through) begin_see_through();
    set_object_material(colours[i], 128.0f);
    const Vec3d& a = mesh->bbox_min;
    const Vec3d& b = mesh->bbox_max;
    const Vec3d c[8] = {{a.x, a.y, a.z}, {b.x, a.y, a.z}, {b.x, b.y, a.z}, {a.x, b.y, a.z},
                        {a.x, a.y, b.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}};
    glBegin(GL_LINES);
    for (int k = 0; k < 4; ++k) {
      line(c[k], c[(k + 1) % 4]);
      line(c[4 + k], c[4 + (k + 1) % 4]);
      line(c[k], c[4 + k]);
    }
    glEnd();
    if (see_through) end_see_through();
  }
  glEndList();
}

// Corner marks of the scene box enlarged by 1.1 about its centre: three lines into the box
// from each corner, each a tenth of the box's extent along its axis.
void compile_scene_frame(const SceneBox& box) {
  glNewList(kListSceneFrame, GL_COMPILE);
  const GLfloat white[3] = {1.0f, 1.0f, 1.0f};
  set_material(white, white, white, 128.0f, white);
  Vec3d half;
  vec_sub(half, box.max, box.min);
  const Vec3d tenth = {half.x / 10.0, half.y / 10.0, half.z / 10.0};
  vec_scale(half, half, 0.5 * 1.1);
  glBegin(GL_LINES);
  for (int corner = 0; corner < 8; ++corner) {
    const double sx = (corner & 1) ? 1.0 : -1.0;
    const double sy = (corner & 2) ? 1.0 : -1.0;
    const double sz = (corner & 4) ? 1.0 : -1.0;
    const Vec3d p = {box.centre.x + sx * half.x, box.centre.y + sy * half.y,
                     box.centre.z + sz * half.z};
    line(p, Vec3d{p.x - sx * tenth.x, p.y, p.z});
    line(p, Vec3d{p.x, p.y - sy * tenth.y, p.z});
    line(p, Vec3d{p.x, p.y, p.z - sz * tenth.z});
  }
  glEnd();
  glEndList();
}

// Every model list empty, so that views draw nothing until the next build.
void empty_model_lists() {
  for (GLuint name = 1; name <= kListLastFixed; ++name) {
    if (is_face_pass(name)) continue;
    if (name >= kListFirstLight && name < kListFirstLight + kMaxLights) continue;
    glNewList(name, GL_COMPILE);
    glEndList();
  }
}

}  // namespace

bool ObjectColour::see_through() const { return from_model && alpha < 1.0; }

void begin_see_through() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthMask(GL_FALSE);
}

void end_see_through() {
  glBlendFunc(GL_ONE, GL_ZERO);
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
}

void compile_light_list(const ObjectList& lights, int32_t index) {
  if (index < 0 || index >= kMaxLights) return;
  const GLenum id = GL_LIGHT0 + index;
  const Obj3d* obj =
      index < lights.count() ? static_cast<const Obj3d*>(lights.get(index)) : nullptr;
  glNewList(kListFirstLight + index, GL_COMPILE);
  // A position without a light leaves nothing behind from an earlier scene's light.
  if (obj == nullptr || obj->kind() != Obj3d::kLight) {
    glDisable(id);
    glEndList();
    return;
  }
  const Light3d& light = *static_cast<const Light3d*>(obj);
  const Vec3d& k = light.colour;
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, k.x != 0.0 ? GL_TRUE : GL_FALSE);
  const GLfloat ambient[4] = {GLfloat(k.x), GLfloat(k.y), GLfloat(k.z), 1.0f};
  const GLfloat diffuse[4] = {GLfloat(1.4 * k.x), GLfloat(1.4 * k.y), GLfloat(1.4 * k.z), 1.0f};
  const GLfloat specular[4] = {GLfloat(1.6 * k.x), GLfloat(1.6 * k.y), GLfloat(1.6 * k.z), 1.0f};
  const GLfloat position[4] = {GLfloat(light.position.x), GLfloat(light.position.y),
                               GLfloat(light.position.z), 1.0f};
  glLightfv(id, GL_AMBIENT, ambient);
  glLightfv(id, GL_DIFFUSE, diffuse);
  glLightfv(id, GL_SPECULAR, specular);
  glLightfv(id, GL_POSITION, position);
  if (light.has_target) {
    Vec3d dir;
    light.direction(dir);
    const GLfloat direction[3] = {GLfloat(dir.x), GLfloat(dir.y), GLfloat(dir.z)};
    // OpenGL accepts cut-offs of 0 ... 90 and exponents of 0 ... 128 and ignores the rest.
    double cutoff = light.param2;
    if (!(cutoff >= 0.0)) cutoff = 0.0;
    if (cutoff > 90.0) cutoff = 90.0;
    double exponent = light.param1;
    if (!(exponent >= 0.0)) exponent = 0.0;
    if (exponent > 128.0) exponent = 128.0;
    glLightf(id, GL_SPOT_CUTOFF, GLfloat(cutoff));
    glLightf(id, GL_SPOT_EXPONENT, GLfloat(exponent));
    glLightfv(id, GL_SPOT_DIRECTION, direction);
  } else {
    const GLfloat direction[3] = {0.0f, 0.0f, -1.0f};
    glLightf(id, GL_SPOT_CUTOFF, 180.0f);
    glLightf(id, GL_SPOT_EXPONENT, 0.0f);
    glLightfv(id, GL_SPOT_DIRECTION, direction);
  }
  if (light.enabled)
    glEnable(id);
  else
    glDisable(id);
  glPopMatrix();
  glEndList();
}

int build_model_lists(const ViewerScene& scene, std::vector<ObjectColour>& colours,
                      const BuildProgress& progress) {
  const ObjectList* objects = scene.objects();
  if (objects == nullptr) return 0;
  const int32_t n = objects->count();
  // The palette sequence is drawn for every position, so a mesh's palette colour does not
  // depend on whether others carry colours of their own.
  colours.assign(static_cast<size_t>(n), ObjectColour());
  int64_t total_faces = 0;
  for (int32_t i = 0; i < n; ++i) {
    next_object_colour(colours[i].palette);
    colours[i].rgb = colours[i].palette;
    const Mesh3d* mesh = mesh_at(*objects, i);
    if (mesh == nullptr) continue;
    if (mesh->flat_faces != nullptr && mesh->flat_face_count > 0)
      total_faces += mesh->flat_face_count;
    if (scene.model_colours() && mesh->has_appearance) {
      const double* c = mesh->appearance.rgba;
      colours[i].from_model = true;
      colours[i].rgb = Vec3d{c[0], c[1], c[2]};
      colours[i].alpha = c[3] < 0.0 ? 0.0 : c[3] > 1.0 ? 1.0 : c[3];
    }
  }

  // The fixed list names are taken first, so that no other list of this share group can have
  // one of them.
  for (GLuint name = 1; name <= kListLastFixed; ++name)
    if (!is_face_pass(name) && !glIsList(name)) {
      glNewList(name, GL_COMPILE);
      glEndList();
    }
  delete_geometry();
  QOpenGLFunctions* gl = gl_functions();
  if (gl == nullptr) return 0;
  g_record.meshes.resize(static_cast<size_t>(n));
  BuildReport report(progress, total_faces);
  for (int32_t i = 0; i < n; ++i) {
    const Mesh3d* mesh = mesh_at(*objects, i);
    if (mesh == nullptr) continue;
    MeshGeometry& geometry = g_record.meshes[i];
    geometry.colour = colours[i];
    // One mesh's working arrays at a time, gone before the next one's.
    WindowNormals normals(*mesh);
    if (!make_geometry(*gl, normals, report, geometry)) break;
    if (colours[i].see_through() && !geometry.batches.empty()) g_record.transparent = true;
  }
  if (report.stopped()) {
    delete_geometry();
    empty_model_lists();
    return 0;
  }
  compile_boxes(*objects, colours);
  // Edge mode's list and the normal needles are compiled when first drawn.
  glNewList(kListEdges, GL_COMPILE);
  glEndList();
  glNewList(kListNormals, GL_COMPILE);
  glEndList();
  for (int32_t i = 0; i < kMaxLights; ++i) compile_light_list(scene.lights(), i);
  compile_scene_frame(scene.box());
  return 1;
}

bool model_has_see_through() { return g_record.transparent; }

size_t model_geometry_bytes() { return g_record.geometry_bytes; }

void draw_model_list(uint32_t name) {
  if (name == kListFront) {
    draw_faces(false, false);
  } else if (name == kListBack) {
    draw_faces(true, false);
  } else if (name == kListFrontSeeThrough) {
    draw_faces(false, true);
  } else if (name == kListBackSeeThrough) {
    draw_faces(true, true);
  } else {
    glCallList(name);
  }
}

void compile_lists_on_demand(const ViewerScene& scene, const std::vector<ObjectColour>& colours,
                             bool edges, bool normals) {
  const ObjectList* objects = scene.objects();
  if (objects == nullptr) return;
  const int32_t n = std::min<int32_t>(objects->count(), int32_t(colours.size()));
  if (edges && !g_record.edges_built) {
    g_record.edges_built = true;
    glNewList(kListEdges, GL_COMPILE);
    for (int32_t i = 0; i < n; ++i) {
      const Mesh3d* mesh = mesh_at(*objects, i);
      if (mesh == nullptr) continue;
      const bool see_through = colours[i].see_through();
      if (see_through) begin_see_through();
      set_object_material(colours[i], 128.0f);
      draw_edges(FlatSurface(*mesh));
      if (see_through) end_see_through();
    }
    glEndList();
  }
  if (normals && !g_record.normals_built) {
    g_record.normals_built = true;
    const SceneBox& box = scene.box();
    Vec3d diagonal;
    vec_sub(diagonal, box.max, box.min);
    const double length = -vec_length(diagonal) / 20.0;
    glNewList(kListNormals, GL_COMPILE);
    const GLfloat blue[3] = {0.0f, 0.0f, 1.0f};
    const GLfloat black[3] = {0.0f, 0.0f, 0.0f};
    set_material(blue, blue, black, 128.0f, blue);
    for (int32_t i = 0; i < n; ++i) {
      const Mesh3d* mesh = mesh_at(*objects, i);
      if (mesh != nullptr) draw_needles(FlatSurface(*mesh), length);
    }
    glEndList();
  }
}
