// Mesh3d: a triangle mesh (kind 0) in one of two forms.
//
// The indexed form is three welding tables (vertices, faces, edges) built while triangles are
// added: equal corners share one vertex, each face and edge is stored once, and adjacency is
// kept in both directions. Importers build it, then reduce the mesh to the flat form; exporters
// and the viewer rebuild it from the flat form when they need adjacency, and drop it again.
//
// The flat form is a plain vertex array and a face array; objects travel between host and
// plug-ins in this form. The host reads only name, kind, flat counts and bounding box.
//
// The three table pointers are all set or all null, except that a mesh made or rebuilt
// without edges (for a pass that reads only vertices, faces and the faces around each vertex)
// has no edge table: welding, vertex and face numbering and the vertex face lists are then
// the same as with it. The bounding box only grows as corners are
// added; only swap_axes and scale_mesh rewrite it.
#pragma once

#include <cstdint>

#include "meshlib/appearance.h"
#include "meshlib/edge_table.h"
#include "meshlib/face_table.h"
#include "meshlib/mat4d.h"
#include "meshlib/obj3d.h"
#include "meshlib/vec3d.h"
#include "meshlib/vertex_table.h"

class FaceNormalCache;
class LogFile;

// One triangle of the flat form: three indices into flat_vertices in winding order, and a
// fourth value that is always 0.
struct FlatFace {
  int32_t v[4];
};

class Mesh3d : public Obj3d {
 public:
  // Creates the three tables, sized from size_hint (the vertex count a file announces, or the
  // number of triangles collected); no flat form; identity transform; empty bounding box.
  Mesh3d(int32_t size_hint, const char* name);
  // The same, and without an edge table when with_edges is false.
  Mesh3d(int32_t size_hint, const char* name, bool with_edges);
  ~Mesh3d() override;

  // Counts of the tables; 0 while the tables do not exist.
  int32_t vertex_count() const;
  int32_t face_count() const;
  int32_t edge_count() const;

  // Folds the corners into the bounding box, welds them, stores the face and its three edges
  // and records the adjacency both ways. Degenerate triangles are stored as they weld (with a
  // repeated index). Without an edge table only the vertices, the face and the vertex face lists
  // are recorded. Does nothing without vertex and face tables.
  void add_triangle(const Vec3d& p0, const Vec3d& p1, const Vec3d& p2);

  // Adds count triangles, corners[3i], corners[3i + 1] and corners[3i + 2] for triangle i, in
  // order: the same tables as count calls of add_triangle. The corners' buckets are hashed
  // and fetched several triangles ahead, so that the cache misses of a large mesh overlap.
  void add_triangles(const Vec3d* corners, int32_t count);

  // The same tables as add_triangles of the corners positions[corners[3i + k]], for corners
  // given as indices into one array of positions. memo holds one entry per position, all -1
  // before the first call, and is kept by the caller for every call over the same positions
  // and mesh: it remembers the vertex a position welded to when that vertex has exactly the
  // position. No vertex added later can lie within tolerance of it (it would have welded
  // instead), so every later lookup of the position finds the same vertex, and the hash and
  // the chain walk are skipped: a vertex of a closed mesh is hashed once instead of six times.
  void add_indexed_triangles(const Vec3d* positions, const int32_t* corners, int32_t count,
                             int32_t* memo);

  // add_indexed_triangles in two halves, which two threads may run at once on successive
  // batches as long as the vertex table cannot grow meanwhile (it has room for every position
  // the corners index): weld_corners folds the corners into the box and welds them, writing
  // the vertex of corner k to welded[k]; it writes only vertex positions and chains, the box
  // and memo. link_triangles then stores the faces (and edges) of each triple of welded in
  // order and links them to their vertices, writing none of those. One after the other they
  // build the tables add_indexed_triangles builds.
  void weld_corners(const Vec3d* positions, const int32_t* corners, int32_t count, int32_t* memo,
                    int32_t* welded);
  void link_triangles(const int32_t* welded, int32_t count);

  // out[k] = position of corner k of face f. Does nothing without tables or when f is not a
  // face index.
  void triangle_positions(int32_t f, Vec3d out[3]) const;

  // Copies the tables into a new flat form (positions in vertex order, faces as their three
  // indices and 0), replacing a flat form that was already there. The tables stay. Does
  // nothing without tables.
  void to_flat();

  // Deletes the three tables; the flat form stays.
  void drop_tables();

  // Rebuilds the tables from the flat form by adding every flat face in order, so equal
  // corners weld again and vertices are renumbered in order of first use. Flat faces with an
  // index outside the flat vertex array are skipped. The flat form stays. Does nothing while
  // tables exist or without a flat form. Without with_edges no edge table is built.
  // From kTwoThreadFaces faces on, the welding runs on helper threads (BackgroundWeld), with
  // the same tables as a result.
  void from_flat(bool with_edges = true);
  static constexpr int32_t kTwoThreadFaces = 1 << 16;

  // Writes the statistics block (name, face and vertex counts, bounding box) to log. Does
  // nothing without tables.
  void write_statistics(LogFile& log) const;

  // ---- Operations defined in other files of the mesh library --------------------------------
  // (declarations of the normals, orientation, edge and whole-mesh operations go here)

  // Makes the winding of all faces consistent across shared edges, one edge-connected patch
  // (sweep) at a time, each seeded by its highest face, which is turned to face -z. Calls
  // progress(oriented faces, face_count) at the start of every sweep and once with
  // (face_count, face_count) at the end; progress may be null. Only windings change. Does
  // nothing (and reports nothing) without tables. Costs O((F + E) log F).
  void unify_orientation(void (*progress)(int32_t done, int32_t total));

  // A new mesh (same name, vertices and edges, no faces, unset bounding box) holding the edges
  // whose two recorded faces meet at edge_angle degrees or more, and every edge with a single
  // face; every edge when edge_angle <= 0. It carries the mesh's appearance. Null without
  // tables. The caller deletes it.
  Mesh3d* extract_edges(double edge_angle) const;
  // The same with the face normals of the caller's cache over this mesh, which it leaves
  // filled for a corner normal pass (CornerNormalPass) of the same faces.
  Mesh3d* extract_edges(double edge_angle, FaceNormalCache& normals) const;

  // Exchanges two axes of every vertex and of the bounding box (mode 1: x/y, 2: x/z, 3: y/z)
  // and flips every face, so faces keep facing the same side of the mirrored surface. Other
  // modes leave the mesh as it is. Does nothing without tables.
  void swap_axes(int32_t mode);

  // Multiplies every vertex and both bounding-box corners by s (welding is not redone). s
  // exactly 1.0 leaves the mesh untouched. Does nothing without tables.
  void scale_mesh(double s);
  // ---- End of operations defined in other files ---------------------------------------------

  int32_t bbox_empty;  // 1 until the first corner is folded into the box
  VertexTable* vertices;
  FaceTable* faces;
  EdgeTable* edges;
  Vec3d* flat_vertices;
  FlatFace* flat_faces;
  int32_t flat_vertex_count;
  int32_t flat_face_count;
  Vec3d bbox_min;
  Vec3d bbox_max;
  Mat4d transform;  // identity; no operation changes it
  // 1 when the mesh carries a colour and finish from its file; 0 (the default) leaves every
  // writer and view to its own colours, as for meshes of formats without colours.
  int32_t has_appearance;
  Appearance appearance;

 private:
  void fold_into_box(const Vec3d& p);
  // add_triangle with the corners' vertex buckets already known.
  void add_hashed_triangle(const Vec3d& p0, const Vec3d& p1, const Vec3d& p2, const uint32_t h[3]);
  // The face, its edges and the adjacency of a triangle whose corners are welded to a, b, c.
  void link_triangle(int32_t a, int32_t b, int32_t c);
};
