#include "viewer/model_build.h"

#include <GL/gl.h>

#include "meshlib/corner_normals.h"
#include "meshlib/light3d.h"
#include "meshlib/mesh3d.h"
#include "meshlib/object_list.h"
#include "viewer/render_modes.h"
#include "viewer/scene_box.h"

namespace {

// Corners within this angle (degrees) of each other share one smoothed normal.
const double kSmoothAngle = 89.0;
// Faces meeting at this angle (degrees) or more show their common edge in Edge mode.
const double kEdgeAngle = 1.0;

void set_material(const GLfloat ambient[3], const GLfloat diffuse[3], const GLfloat specular[3],
                  GLfloat shininess, const GLfloat colour[3]) {
  const GLfloat a[4] = {ambient[0], ambient[1], ambient[2], 1.0f};
  const GLfloat d[4] = {diffuse[0], diffuse[1], diffuse[2], 1.0f};
  const GLfloat s[4] = {specular[0], specular[1], specular[2], 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, a);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, d);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, s);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess);
  glColor4f(colour[0], colour[1], colour[2], 1.0f);
}

// Ambient k, diffuse and current colour 1.4 k (left unclamped), white highlights.
void set_object_material(const Vec3d& k, GLfloat shininess) {
  const GLfloat amb[3] = {GLfloat(k.x), GLfloat(k.y), GLfloat(k.z)};
  const GLfloat dif[3] = {GLfloat(1.4 * k.x), GLfloat(1.4 * k.y), GLfloat(1.4 * k.z)};
  const GLfloat spec[3] = {1.0f, 1.0f, 1.0f};
  set_material(amb, dif, spec, shininess, dif);
}

// Calls visit(mesh, position) for every mesh of the list with its indexed form present,
// rebuilding it from the flat form for the visit when it was not there before.
template <typename Visit>
void for_each_mesh(ObjectList& objects, Visit visit) {
  const int32_t n = objects.count();
  for (int32_t i = 0; i < n; ++i) {
    Obj3d* obj = static_cast<Obj3d*>(objects.get(i));
    if (obj == nullptr || obj->kind() != Obj3d::kMesh) continue;
    Mesh3d* mesh = static_cast<Mesh3d*>(obj);
    const bool had_tables = mesh->vertices != nullptr;
    if (!had_tables) mesh->from_flat();
    if (mesh->vertices != nullptr) visit(*mesh, i);
    if (!had_tables) mesh->drop_tables();
  }
}

// The triangles of one mesh as list 4 draws them: per face three (normal, corner) pairs of
// six floats, normals facing the side from which the stored winding runs counter-clockwise.
// List 4 computes them once; list 5 and the normal needles replay them, so the corner
// normals and the indexed form are computed once instead of three times.
struct MeshTriangles {
  int32_t position;  // in the object list
  std::vector<float> data;
};

void emit_corner(const float* c) {
  glNormal3fv(c);
  glVertex3fv(c + 3);
}

// List 4: every mesh's faces in index order with their corners in stored order and the
// negated smoothed corner normals.
void compile_front(ObjectList& objects, const std::vector<Vec3d>& colours,
                   std::vector<MeshTriangles>& meshes) {
  glNewList(kListFront, GL_COMPILE);
  glFrontFace(GL_CCW);
  for_each_mesh(objects, [&](Mesh3d& mesh, int32_t i) {
    set_object_material(colours[i], 127.0f);
    const int32_t faces = mesh.face_count();
    meshes.push_back(MeshTriangles{i, {}});
    std::vector<float>& data = meshes.back().data;
    data.resize(static_cast<size_t>(faces) * 18);
    float* out = data.data();
    glBegin(GL_TRIANGLES);
    for (int32_t f = 0; f < faces; ++f) {
      Vec3d p[3];
      Vec3d n[3];
      mesh.triangle_positions(f, p);
      corner_normals(mesh, f, kSmoothAngle, n);
      for (int k = 0; k < 3; ++k, out += 6) {
        out[0] = float(-n[k].x);
        out[1] = float(-n[k].y);
        out[2] = float(-n[k].z);
        out[3] = float(p[k].x);
        out[4] = float(p[k].y);
        out[5] = float(p[k].z);
        emit_corner(out);
      }
    }
    glEnd();
  });
  glEndList();
}

// List 5: the same faces with the corners in reverse order and the normals as computed, so
// with culling on the other side shows too.
void compile_back(const std::vector<MeshTriangles>& meshes, const std::vector<Vec3d>& colours) {
  glNewList(kListBack, GL_COMPILE);
  glFrontFace(GL_CCW);
  for (const MeshTriangles& mesh : meshes) {
    set_object_material(colours[mesh.position], 127.0f);
    glBegin(GL_TRIANGLES);
    const size_t faces = mesh.data.size() / 18;
    for (size_t f = 0; f < faces; ++f) {
      const float* face = mesh.data.data() + f * 18;
      for (int k = 2; k >= 0; --k) {
        const float* c = face + 6 * k;
        glNormal3f(-c[0], -c[1], -c[2]);
        glVertex3fv(c + 3);
      }
    }
    glEnd();
  }
  glEndList();
}

void line(const Vec3d& a, const Vec3d& b) {
  glVertex3d(a.x, a.y, a.z);
  glVertex3d(b.x, b.y, b.z);
}

void compile_boxes(ObjectList& objects, const std::vector<Vec3d>& colours) {
  glNewList(kListBoxes, GL_COMPILE);
  const int32_t n = objects.count();
  for (int32_t i = 0; i < n; ++i) {
    Obj3d* obj = static_cast<Obj3d*>(objects.get(i));
    if (obj == nullptr || obj->kind() != Obj3d::kMesh) continue;
    const Mesh3d* mesh = static_cast<const Mesh3d*>(obj);
    if (mesh->bbox_empty) continue;
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
  }
  glEndList();
}

void compile_edges(ObjectList& objects, const std::vector<Vec3d>& colours) {
  glNewList(kListEdges, GL_COMPILE);
  for_each_mesh(objects, [&](Mesh3d& mesh, int32_t i) {
    Mesh3d* visible = mesh.extract_edges(kEdgeAngle);
    if (visible == nullptr) return;
    set_object_material(colours[i], 128.0f);
    const int32_t edges = visible->edge_count();
    glBegin(GL_LINES);
    for (int32_t e = 0; e < edges; ++e) {
      int32_t ends[2];
      Vec3d a;
      Vec3d b;
      if (visible->edges->ends(e, ends) != 0) continue;
      if (visible->vertices->position(ends[0], a) != 0) continue;
      if (visible->vertices->position(ends[1], b) != 0) continue;
      line(a, b);
    }
    glEnd();
    delete visible;
  });
  glEndList();
}

// Needles one twentieth of the scene diagonal long from each face's centroid along its
// face normal, pointing away from the side on which the stored winding runs clockwise.
void compile_normals(const std::vector<MeshTriangles>& meshes, const SceneBox& box) {
  Vec3d diagonal;
  vec_sub(diagonal, box.max, box.min);
  const double length = -vec_length(diagonal) / 20.0;
  glNewList(kListNormals, GL_COMPILE);
  const GLfloat blue[3] = {0.0f, 0.0f, 1.0f};
  const GLfloat black[3] = {0.0f, 0.0f, 0.0f};
  set_material(blue, blue, black, 128.0f, blue);
  for (const MeshTriangles& mesh : meshes) {
    const size_t faces = mesh.data.size() / 18;
    glBegin(GL_LINES);
    for (size_t f = 0; f < faces; ++f) {
      const float* face = mesh.data.data() + f * 18;
      Vec3d p[3];
      for (int k = 0; k < 3; ++k) vec_set(p[k], face[6 * k + 3], face[6 * k + 4], face[6 * k + 5]);
      Vec3d n;
      Vec3d g;
      Vec3d tip;
      face_normal(p[0], p[1], p[2], n);
      vec_add(g, p[0], p[1]);
      vec_add(g, g, p[2]);
      vec_scale(g, g, 1.0 / 3.0);
      vec_scale(tip, n, length);
      vec_add(tip, g, tip);
      line(g, tip);
    }
    glEnd();
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

}  // namespace

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

int build_model_lists(const ViewerScene& scene, std::vector<Vec3d>& colours) {
  ObjectList* objects = scene.objects();
  if (objects == nullptr) return 0;
  const int32_t n = objects->count();
  colours.assign(static_cast<size_t>(n), Vec3d{0.0, 0.0, 0.0});
  for (int32_t i = 0; i < n; ++i) next_object_colour(colours[i]);

  std::vector<MeshTriangles> meshes;
  compile_front(*objects, colours, meshes);
  compile_back(meshes, colours);
  compile_boxes(*objects, colours);
  compile_edges(*objects, colours);
  compile_normals(meshes, scene.box());
  for (int32_t i = 0; i < kMaxLights; ++i) compile_light_list(scene.lights(), i);
  compile_scene_frame(scene.box());
  return 1;
}
