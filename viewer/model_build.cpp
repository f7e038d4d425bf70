#include "viewer/model_build.h"

#include <GL/gl.h>

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

// What the last build made, for the lists that are compiled on first use and for the next
// build, which deletes the per-mesh geometry lists of this one.
struct BuildRecord {
  GLuint geometry_base = 0;  // one list per mesh position with geometry, from glGenLists
  GLsizei geometry_count = 0;
  bool edges_built = false;
  bool normals_built = false;
  bool transparent = false;  // lists 16 and 17 hold meshes
};
BuildRecord g_record;

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

// The flat form of one mesh as the lists read it: its faces whose three indices name flat
// vertices (others are skipped, as rebuilding the indexed form skips them), their unit face
// normals, and for every vertex the faces that use it. The flat form of an imported mesh is
// welded, so a flat vertex is a vertex of the surface.
class FlatSurface {
 public:
  explicit FlatSurface(const Mesh3d& mesh)
      : v_(mesh.flat_vertices),
        f_(mesh.flat_faces),
        nv_(mesh.flat_vertices != nullptr && mesh.flat_faces != nullptr ? mesh.flat_vertex_count
                                                                        : 0),
        nf_(nv_ > 0 ? mesh.flat_face_count : 0) {
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

  int32_t vertex_count() const { return nv_; }
  int32_t face_count() const { return nf_; }
  bool valid(int32_t f) const {
    const int32_t* c = f_[f].v;
    return c[0] >= 0 && c[0] < nv_ && c[1] >= 0 && c[1] < nv_ && c[2] >= 0 && c[2] < nv_;
  }
  int32_t corner(int32_t f, int k) const { return f_[f].v[k]; }
  const Vec3d& position(int32_t v) const { return v_[v]; }
  Vec3d normal(int32_t f) const {
    const float* n = &normals_[3 * static_cast<size_t>(f)];
    return Vec3d{n[0], n[1], n[2]};
  }
  // The faces that use vertex v, in face order.
  const int32_t* around_begin(int32_t v) const { return around_.data() + offsets_[v]; }
  const int32_t* around_end(int32_t v) const { return around_.data() + offsets_[v + 1]; }

 private:
  const Vec3d* v_;
  const FlatFace* f_;
  int32_t nv_;
  int32_t nf_;
  std::vector<float> normals_;
  std::vector<uint32_t> offsets_;
  std::vector<int32_t> around_;
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

// Faces between two progress reports while a geometry list is made, and faces handed to
// OpenGL in one batch.
const int32_t kFacesPerReport = 16384;
const int32_t kFacesPerBatch = 262144;

// Compiles list `name` with the faces of surface: one vertex per corner position and
// smoothed normal (corners of one vertex with equal normals share it), the stored winding,
// and the normals negated so that they face the side from which the winding runs
// counter-clockwise. The normal at a corner is the normalised sum of the normals of the
// faces around its vertex within kSmoothAngle of the face's own normal.
// Returns false when report says stop; the list then holds only part of the faces.
bool compile_geometry(GLuint name, const FlatSurface& s, BuildReport& report) {
  const double cos_smooth = std::cos(kSmoothAngle * kPi / 180.0);
  // The faces go to OpenGL a batch at a time, each batch with its own vertices, so the
  // arrays stay small however large the mesh is.
  std::vector<float> vertices;    // position, then normal: six floats per vertex
  std::vector<GLuint> indices;    // three per drawn face
  std::vector<int32_t> first_of;  // per flat vertex: its first vertex of the batch, or -1
  std::vector<int32_t> next_of;   // per batch vertex: the next one of its flat vertex
  std::vector<int32_t> touched;   // flat vertices with batch vertices
  first_of.assign(static_cast<size_t>(s.vertex_count()), -1);
  glNewList(name, GL_COMPILE);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  bool go_on = true;
  for (int32_t start = 0; go_on && start < s.face_count(); start += kFacesPerBatch) {
    const int32_t end = std::min(s.face_count(), start + kFacesPerBatch);
    vertices.clear();
    indices.clear();
    next_of.clear();
    for (int32_t v : touched) first_of[v] = -1;
    touched.clear();
    for (int32_t f = start; go_on && f < end; ++f) {
      if (f % kFacesPerReport == kFacesPerReport - 1) go_on = report.step(kFacesPerReport);
      if (!s.valid(f)) continue;
      const Vec3d own = s.normal(f);
      for (int k = 0; k < 3; ++k) {
        const int32_t v = s.corner(f, k);
        Vec3d sum = {0.0, 0.0, 0.0};
        // Newest face first, as the indexed form lists them.
        for (const int32_t* g = s.around_end(v); g != s.around_begin(v);) {
          const Vec3d n = s.normal(*--g);
          if (angle_below(own, n, cos_smooth)) vec_add(sum, sum, n);
        }
        vec_normalize(sum);
        const Vec3d& p = s.position(v);
        const float out[6] = {float(p.x),    float(p.y),    float(p.z),
                              float(-sum.x), float(-sum.y), float(-sum.z)};
        int32_t found = -1;
        for (int32_t m = first_of[v]; m >= 0; m = next_of[m]) {
          const float* n = &vertices[6 * static_cast<size_t>(m) + 3];
          if (n[0] == out[3] && n[1] == out[4] && n[2] == out[5]) {
            found = m;
            break;
          }
        }
        if (found < 0) {
          found = int32_t(next_of.size());
          vertices.insert(vertices.end(), out, out + 6);
          if (first_of[v] < 0) touched.push_back(v);
          next_of.push_back(first_of[v]);
          first_of[v] = found;
        }
        indices.push_back(static_cast<GLuint>(found));
      }
    }
    if (go_on && !indices.empty()) {
      glVertexPointer(3, GL_FLOAT, 6 * sizeof(float), vertices.data());
      glNormalPointer(GL_FLOAT, 6 * sizeof(float), vertices.data() + 3);
      glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, indices.data());
    }
  }
  if (go_on) go_on = report.step(s.face_count() % kFacesPerReport);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glEndList();
  return go_on;
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

// Blending for see-through model colours, around the lines of one mesh or list.
void begin_see_through() {
  glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthMask(GL_FALSE);
}
void end_see_through() { glPopAttrib(); }

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

// Lists 4 and 5 (and 16 and 17 for see-through meshes): the per-mesh geometry lists, each
// after its mesh's material. The back lists draw the same geometry from its other side: the
// faces that show their clockwise side, lit from that side (two-sided lighting turns their
// normals), which is what the faces in reverse order with the normals turned would show.
void compile_face_lists(const ObjectList& objects, const std::vector<ObjectColour>& colours,
                        const std::vector<GLuint>& geometry) {
  const int32_t n = objects.count();
  for (int pass = 0; pass < 4; ++pass) {
    const bool back = pass % 2 == 1;
    const bool see_through = pass >= 2;
    glNewList(pass == 0   ? kListFront
              : pass == 1 ? kListBack
              : pass == 2 ? kListFrontSeeThrough
                          : kListBackSeeThrough,
              GL_COMPILE);
    glFrontFace(GL_CCW);
    if (back) {
      glPushAttrib(GL_POLYGON_BIT | GL_LIGHTING_BIT);
      glCullFace(GL_FRONT);
      glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    }
    for (int32_t i = 0; i < n; ++i) {
      if (geometry[i] == 0 || colours[i].see_through() != see_through) continue;
      set_object_material(colours[i], 127.0f);
      glCallList(geometry[i]);
    }
    if (back) glPopAttrib();
    glEndList();
  }
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
    if (name >= kListFirstLight && name < kListFirstLight + kMaxLights) continue;
    glNewList(name, GL_COMPILE);
    glEndList();
  }
}

}  // namespace

bool ObjectColour::see_through() const { return from_model && alpha < 1.0; }

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

  // The fixed names are taken first, so that the generated names cannot be one of them.
  for (GLuint name = 1; name <= kListLastFixed; ++name)
    if (!glIsList(name)) {
      glNewList(name, GL_COMPILE);
      glEndList();
    }
  if (g_record.geometry_count > 0) glDeleteLists(g_record.geometry_base, g_record.geometry_count);
  g_record = BuildRecord();
  std::vector<GLuint> geometry(static_cast<size_t>(n), 0);
  if (n > 0) {
    g_record.geometry_base = glGenLists(n);
    g_record.geometry_count = g_record.geometry_base != 0 ? n : 0;
  }
  BuildReport report(progress, total_faces);
  for (int32_t i = 0; i < g_record.geometry_count; ++i) {
    const Mesh3d* mesh = mesh_at(*objects, i);
    if (mesh == nullptr) continue;
    geometry[i] = g_record.geometry_base + GLuint(i);
    // One mesh's working arrays at a time, gone before the next one's.
    if (!compile_geometry(geometry[i], FlatSurface(*mesh), report)) break;
    if (colours[i].see_through()) g_record.transparent = true;
  }
  if (report.stopped()) {
    glDeleteLists(g_record.geometry_base, g_record.geometry_count);
    g_record = BuildRecord();
    empty_model_lists();
    return 0;
  }
  compile_face_lists(*objects, colours, geometry);
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
