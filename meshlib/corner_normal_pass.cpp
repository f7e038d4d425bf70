#include "meshlib/corner_normal_pass.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "meshlib/mesh3d.h"
#include "settings/memory.h"

namespace {

// Doubles as integers in the same order, and back.
int64_t ordered(double d) {
  int64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits < 0 ? -(bits & INT64_MAX) : bits;
}

double from_ordered(int64_t o) {
  int64_t bits = o < 0 ? ((-o) | INT64_MIN) : o;
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

}  // namespace

AngleBelow::AngleBelow(double degrees) : degrees_(degrees) {
  // The bounds of the last two angles asked for: an export uses its smoothing angle and its
  // edge angle, mesh after mesh.
  struct Known {
    bool set;
    uint64_t bits;
    double above, below;
  };
  thread_local Known known[2] = {};
  thread_local int next = 0;
  uint64_t bits;
  std::memcpy(&bits, &degrees, sizeof bits);
  for (const Known& k : known)
    if (k.set && k.bits == bits) {
      above_ = k.above;
      below_ = k.below;
      return;
    }
  find_bounds();
  known[next] = Known{true, bits, above_, below_};
  next = 1 - next;
}

void AngleBelow::find_bounds() {
  const double inf = std::numeric_limits<double>::infinity();
  if (!exact(1.0)) {  // nothing passes (an angle of 0 or less, or not a number)
    above_ = inf;
    below_ = inf;
    return;
  }
  if (exact(-1.0)) {  // everything passes
    above_ = -inf;
    below_ = -inf;
    return;
  }
  // Smallest cosine in [-1, 1] that passes, by bisection over the doubles in order.
  int64_t fail = ordered(-1.0), pass = ordered(1.0);
  while (pass - fail > 1) {
    int64_t mid = fail + (pass - fail) / 2;
    if (exact(from_ordered(mid)))
      pass = mid;
    else
      fail = mid;
  }
  double threshold = from_ordered(pass);
  // Around the threshold the arc cosine decides; the hair is far wider than any rounding
  // wobble of the arc cosine.
  above_ = threshold + 1e-12;
  below_ = threshold - 1e-12;
}

bool AngleBelow::exact(double k) const {
  double angle;
  if (k <= -1.0)
    angle = 180.0;
  else if (k >= 1.0)
    angle = 0.0;
  else
    angle = std::acos(k) * 57.29577951308232;
  return std::fabs(angle) < degrees_;
}

FaceNormalCache::FaceNormalCache(const Mesh3d& mesh, int32_t most_slots) : mesh_(mesh) {
  const int32_t faces = mesh.face_count();
  slot_count_ = 16;
  while (slot_count_ < most_slots && slot_count_ < faces) slot_count_ *= 2;
  slots_ = static_cast<Entry*>(must_alloc(sizeof(Entry) * slot_count_));
  for (int32_t i = 0; i < slot_count_; ++i) slots_[i].face = -1;
}

FaceNormalCache::~FaceNormalCache() { must_free(slots_); }

void FaceNormalCache::fill(Entry& e, int32_t face) {
  Vec3d q[3];
  mesh_.triangle_positions(face, q);
  face_normal(q[0], q[1], q[2], e.normal);
  e.length = vec_length(e.normal);
  e.face = face;
}

namespace {

// Faces around one vertex from which the pass looks for a shared sum.
constexpr int32_t kManyFaces = 64;

}  // namespace

const CornerNormalPass::Shared& CornerNormalPass::shared_around(int32_t v) {
  auto found = shared_.find(v);
  if (found != shared_.end()) return found->second;
  Shared shared;
  for (int32_t g : mesh_.vertices->faces_of(v)) shared.around.push_back(normals_.get(g));
  shared.all_close = all_near_mean(shared.around.data(), static_cast<int32_t>(shared.around.size()),
                                   shared.normal);
  if (shared.all_close) {
    shared.around = {};
  } else if (static_cast<int32_t>(shared.around.size()) > exact_faces_) {
    std::vector<NormalTree::Normal> unit;
    vec_set(shared.zero_sum, 0.0, 0.0, 0.0);
    for (const FaceNormalCache::Entry& n : shared.around) {
      if (NormalTree::is_unit(n.length))
        unit.push_back(NormalTree::Normal{n.normal, n.length});
      else if (n.length == 0.0)
        vec_add(shared.zero_sum, shared.zero_sum, n.normal);
      else
        shared.odd.push_back(n);
    }
    shared.tree.reset(new NormalTree(std::move(unit)));
  }
  return shared_.emplace(v, std::move(shared)).first->second;
}

void CornerNormalPass::add_from_tree(const Shared& shared, const FaceNormalCache::Entry& own,
                                     Vec3d& sum) const {
  shared.tree->add_close(own.normal, own.length, below_, sum);
  // A normal of length 0 meets every face below the (positive) angle.
  vec_add(sum, sum, shared.zero_sum);
  for (const FaceNormalCache::Entry& n : shared.odd)
    if (below_(vec_dot(own.normal, n.normal) / (own.length * n.length)))
      vec_add(sum, sum, n.normal);
}

CornerNormalPass::CornerNormalPass(const Mesh3d& mesh, double smooth_angle)
    : CornerNormalPass(mesh, smooth_angle, FaceNormalCache::kMostSlots) {}

CornerNormalPass::CornerNormalPass(const Mesh3d& mesh, double smooth_angle, int32_t most_cached)
    : CornerNormalPass(mesh, smooth_angle, most_cached, kExactFaces) {}

CornerNormalPass::CornerNormalPass(const Mesh3d& mesh, double smooth_angle, int32_t most_cached,
                                   int32_t exact_faces)
    : CornerNormalPass(mesh, smooth_angle, most_cached, exact_faces, nullptr) {}

CornerNormalPass::CornerNormalPass(const Mesh3d& mesh, double smooth_angle,
                                   FaceNormalCache& normals)
    : CornerNormalPass(mesh, smooth_angle, FaceNormalCache::kMostSlots, kExactFaces, &normals) {}

CornerNormalPass::CornerNormalPass(const Mesh3d& mesh, double smooth_angle, int32_t most_cached,
                                   int32_t exact_faces, FaceNormalCache* borrowed)
    : exact_faces_(exact_faces),
      mesh_(mesh),
      smooth_angle_(smooth_angle),
      below_(smooth_angle),
      own_normals_(borrowed != nullptr ? nullptr : new FaceNormalCache(mesh, most_cached)),
      normals_(borrowed != nullptr ? *borrowed : *own_normals_) {
  int32_t slots = 16;
  while (slots < most_cached && slots < mesh.vertex_count()) slots *= 2;
  few_.assign(static_cast<std::size_t>(slots), FewFaces{-1, false, Vec3d{0.0, 0.0, 0.0}});
  // Two normals within half of (the angle less 1e-3 degrees) of a third meet below the angle
  // (their angle is at most the sum of their angles to the third), whatever the rounding of
  // the arc cosine that decides it for them.
  const double half = (smooth_angle - 1e-3) / 2.0;
  close_to_mean_ = half > 0.0 ? std::cos(half / 57.29577951308232) + 1e-9
                              : std::numeric_limits<double>::infinity();
}

bool CornerNormalPass::all_near_mean(const FaceNormalCache::Entry* normals, int32_t count,
                                     Vec3d& normal) const {
  Vec3d mean, sum;
  vec_set(mean, 0.0, 0.0, 0.0);
  vec_set(sum, 0.0, 0.0, 0.0);
  for (int32_t i = 0; i < count; ++i) {
    // The sum every face would make on its own when all meet below the angle, in its order.
    vec_add(sum, sum, normals[i].normal);
    if (normals[i].length == 0.0) continue;
    Vec3d unit;
    vec_scale(unit, normals[i].normal, 1.0 / normals[i].length);
    vec_add(mean, mean, unit);
  }
  vec_normalize(sum);
  normal = sum;
  const double mean_length = vec_length(mean);
  if (!(mean_length > 0.0)) return false;
  // Every two faces meet below the angle when every face normal lies within half of it of
  // their mean direction (the angle between two is at most the sum of their angles to a
  // third). A zero normal meets every face below a positive angle.
  for (int32_t i = 0; i < count; ++i) {
    if (normals[i].length == 0.0) continue;
    if (vec_dot(mean, normals[i].normal) / (mean_length * normals[i].length) < close_to_mean_)
      return false;
  }
  return true;
}

void CornerNormalPass::few_faces(int32_t v, const FaceNormalCache::Entry& own,
                                 const FaceNormalCache::Entry* normals, int32_t count, Vec3d& out) {
  FewFaces& slot = few_[static_cast<std::size_t>(v) & (few_.size() - 1)];
  if (slot.vertex != v) {
    slot.vertex = v;
    slot.all_close = all_near_mean(normals, count, slot.normal);
  }
  if (slot.all_close) {
    out = slot.normal;
    return;
  }
  Vec3d sum;
  vec_set(sum, 0.0, 0.0, 0.0);
  for (int32_t i = 0; i < count; ++i) {
    const FaceNormalCache::Entry& n = normals[i];
    const double d = own.length * n.length;
    if (d == 0.0 || below_(vec_dot(own.normal, n.normal) / d)) vec_add(sum, sum, n.normal);
  }
  vec_normalize(sum);
  out = sum;
}

void CornerNormalPass::get(int32_t face, Vec3d out[3]) {
  for (int k = 0; k < 3; ++k) vec_set(out[k], 0.0, 0.0, 0.0);
  if (mesh_.vertices == nullptr || mesh_.faces == nullptr) return;
  int32_t corner[3];
  if (face < 0 || mesh_.faces->face(face, corner) != 0) return;

  const FaceNormalCache::Entry own = normals_.get(face);
  if (std::fabs(smooth_angle_) < 1e-6) {
    for (int k = 0; k < 3; ++k) out[k] = own.normal;
    return;
  }
  // The zero-length case of angle_between: the angle counts as 0.
  const bool zero_passes = 0.0 < smooth_angle_;
  for (int k = 0; k < 3; ++k) {
    Vec3d sum;
    vec_set(sum, 0.0, 0.0, 0.0);
    auto add_close = [&](const FaceNormalCache::Entry& n) {
      double d = own.length * n.length;
      bool close = d == 0.0 ? zero_passes : below_(vec_dot(own.normal, n.normal) / d);
      if (close) vec_add(sum, sum, n.normal);
    };
    if (!zero_passes) {
      for (int32_t g : mesh_.vertices->faces_of(corner[k])) add_close(normals_.get(g));
      vec_normalize(sum);
      out[k] = sum;
      continue;
    }
    // A vertex of few faces that all meet below the angle, seen before: its one normal.
    const FewFaces& seen = few_[static_cast<std::size_t>(corner[k]) & (few_.size() - 1)];
    if (seen.vertex == corner[k] && seen.all_close) {
      out[k] = seen.normal;
      continue;
    }
    // The normals around the vertex in its order, up to the kManyFaces-th, at which it turns
    // out to be a vertex of many faces.
    FaceNormalCache::Entry around[kManyFaces - 1];
    int32_t count = 0;
    bool many = false;
    for (int32_t g : mesh_.vertices->faces_of(corner[k])) {
      if (count == kManyFaces - 1) {
        many = true;
        break;
      }
      around[count++] = normals_.get(g);
    }
    if (!many) {
      few_faces(corner[k], own, around, count, out[k]);
      continue;
    }
    {
      const Shared& shared = shared_around(corner[k]);
      if (shared.all_close) {
        out[k] = shared.normal;
        continue;
      }
      if (shared.tree && NormalTree::is_unit(own.length))
        add_from_tree(shared, own, sum);
      else
        for (const FaceNormalCache::Entry& n : shared.around) add_close(n);
    }
    vec_normalize(sum);
    out[k] = sum;
  }
}
