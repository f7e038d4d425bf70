// Corner normals of a whole mesh, face after face, as a writer asks for them. Gives exactly the
// vectors corner_normals gives (but at a vertex of more than kExactFaces faces, see below), but
// - keeps the normal (and its length) of recently seen faces in a small cache indexed by face
//   number, so that a face's normal is computed about once instead of once for each corner of
//   each neighbour (faces that share a vertex lie close together in number in the meshes the
//   importers build), and
// - decides "angle below the smoothing angle" by comparing the cosine with a threshold found
//   once for the angle, calling the arc cosine only for cosines within a hair of it. The angle
//   falls as the cosine grows, so both tests agree on every value outside that hair.
// - gives the faces around a vertex of many faces (the centre of a fan, the tip of a cone) one
//   shared sum when every two of them meet below the smoothing angle, since every face there
//   then sums the same normals in the same order: the work at such a vertex grows with the
//   number of its faces, not with its square; where they do not, their normals are read from
//   one array kept for that vertex, and at a vertex of more than kExactFaces faces they are
//   summed from a NormalTree, so that the work there grows with about the number of faces
//   times its logarithm. Such a vertex's sums are the only ones not added up in the order
//   corner_normals adds them: they can differ from its vectors in the last bits (a component
//   that is nearly 0 can change its sign, "-0.000000" becoming "0.000000" in a file).
// The threshold of the last smoothing angle is kept, since a model of many meshes is written
// with one angle. The mesh's tables must not
// change while a pass is in use.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "meshlib/normal_tree.h"
#include "meshlib/vec3d.h"

class Mesh3d;

// True when the angle between two vectors with cosine k (dot product over the product of the
// lengths, as angle_between computes it) is less than a given number of degrees, with the
// result angle_between's arc cosine gives.
class AngleBelow {
 public:
  explicit AngleBelow(double degrees);
  bool operator()(double k) const {
    if (k > above_) return true;
    if (k < below_) return false;
    return exact(k);
  }
  // The test as angle_between computes it.
  bool exact(double k) const;
  // Every cosine above pass_above passes, every one below fail_below fails.
  double pass_above() const { return above_; }
  double fail_below() const { return below_; }

 private:
  void find_bounds();

  double degrees_;
  double above_;  // every cosine above passes
  double below_;  // every cosine below fails
};

// The face normals (face_normal of triangle_positions) of recently asked faces, with their
// lengths, in a direct-mapped cache indexed by face number: as many faces as the mesh has,
// rounded up to a power of two, but at most most_slots (65536 by default, 2.5 MB).
class FaceNormalCache {
 public:
  static constexpr int32_t kMostSlots = 1 << 16;
  // Each of two passes that work through one mesh's faces in chunks at once (a writer's two
  // threads) takes a quarter: the faces around a chunk's corners lie within a few rows of
  // faces of it, and a large conversion's peak memory is taken while its normals are written.
  static constexpr int32_t kSharedSlots = kMostSlots / 4;
  struct Entry {
    int32_t face;  // -1 = empty
    double length;
    Vec3d normal;
  };
  explicit FaceNormalCache(const Mesh3d& mesh, int32_t most_slots = kMostSlots);
  ~FaceNormalCache();
  FaceNormalCache(const FaceNormalCache&) = delete;
  FaceNormalCache& operator=(const FaceNormalCache&) = delete;

  // The entry of face f; valid until the next call.
  const Entry& get(int32_t face) {
    Entry& e = slots_[face & (slot_count_ - 1)];
    if (e.face != face) fill(e, face);
    return e;
  }

 private:
  void fill(Entry& e, int32_t face);

  const Mesh3d& mesh_;
  int32_t slot_count_;
  Entry* slots_;
};

class CornerNormalPass {
 public:
  CornerNormalPass(const Mesh3d& mesh, double smooth_angle);
  // The same with a face normal cache of at most most_cached faces (a power of two): the
  // vectors are the same, only the time to find them differs.
  CornerNormalPass(const Mesh3d& mesh, double smooth_angle, int32_t most_cached);
  // The same, summing from a tree of normals already at vertices of more than exact_faces
  // faces (kExactFaces by default; tests try the tree on small fans).
  CornerNormalPass(const Mesh3d& mesh, double smooth_angle, int32_t most_cached,
                   int32_t exact_faces);
  // The same with the face normals of a cache over the same mesh that the caller keeps (and
  // may have filled already, as extract_edges does), so they are computed once for both.
  CornerNormalPass(const Mesh3d& mesh, double smooth_angle, FaceNormalCache& normals);
  CornerNormalPass(const CornerNormalPass&) = delete;
  CornerNormalPass& operator=(const CornerNormalPass&) = delete;

  // corner_normals(mesh, face, smooth_angle, out).
  void get(int32_t face, Vec3d out[3]);

 public:
  // Up to this many faces around a vertex that do not all meet below the angle, each corner
  // normal there is summed in the vertex's order, face by face (a vertex of 4,096 faces costs
  // some 20 ms that way; a cone or cylinder cap of that many segments is rare).
  static constexpr int32_t kExactFaces = 4096;

 private:
  CornerNormalPass(const Mesh3d& mesh, double smooth_angle, int32_t most_cached,
                   int32_t exact_faces, FaceNormalCache* borrowed);

  int32_t exact_faces_;

  // What the pass keeps of a vertex of many faces: whether they all meet below the smoothing
  // angle, and then the corner normal every one of them has, else their normals in the
  // vertex's order, read without the cache (which so many faces would overrun), and for a
  // vertex of more than kExactFaces faces also a tree of the unit normals, the sum of the
  // normals of length 0 and the normals of any other length in the vertex's order.
  struct Shared {
    bool all_close;
    Vec3d normal;
    std::vector<FaceNormalCache::Entry> around;
    std::unique_ptr<NormalTree> tree;
    Vec3d zero_sum;
    std::vector<FaceNormalCache::Entry> odd;
  };
  // The sum for a face of normal own at a vertex with a tree.
  void add_from_tree(const Shared& shared, const FaceNormalCache::Entry& own, Vec3d& sum) const;

  // What the pass keeps of a vertex of fewer faces, in a direct-mapped cache by vertex number
  // (as large as the face normal cache): whether they all meet below the angle, and then the corner
  // normal every one of them has (the sum of all of them in the vertex's order, which each would
  // make on its own).
  struct FewFaces {
    int32_t vertex;  // -1 = empty
    bool all_close;
    Vec3d normal;
  };
  // The corner normal of a face of normal own at vertex v, which has fewer than kManyFaces
  // faces, normals[0 ... count - 1] in its order: from the cache, or found and cached.
  void few_faces(int32_t v, const FaceNormalCache::Entry& own,
                 const FaceNormalCache::Entry* normals, int32_t count, Vec3d& out);
  const Shared& shared_around(int32_t v);
  // Whether normals[0 ... count - 1], the normals around one vertex in its order, all lie
  // within half the smoothing angle of their mean direction, so that every two meet below
  // it; normal is their sum in that order, normalized.
  bool all_near_mean(const FaceNormalCache::Entry* normals, int32_t count, Vec3d& normal) const;

  const Mesh3d& mesh_;
  double smooth_angle_;
  AngleBelow below_;
  std::unique_ptr<FaceNormalCache> own_normals_;  // null when the caller's are used
  FaceNormalCache& normals_;
  std::unordered_map<int32_t, Shared> shared_;  // only vertices of many faces
  std::vector<FewFaces> few_;
  // A face normal whose cosine to the mean direction of a vertex's normals is at least this
  // lies within half the smoothing angle (less a margin far wider than any rounding) of it.
  double close_to_mean_;
};
