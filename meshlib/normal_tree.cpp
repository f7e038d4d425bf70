#include "meshlib/normal_tree.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "meshlib/corner_normal_pass.h"

namespace {

// Normals in one leaf, tested one by one.
constexpr int32_t kLeafNormals = 8;

// How far the cosine a box's bounds give may be from the cosine of the test for a normal in
// the box: the lengths of both normals may be off 1 by kUnitTolerance each, and the products
// round. Normals within this of the border are tested one by one.
constexpr double kMargin = 1e-5;

}  // namespace

NormalTree::NormalTree(std::vector<Normal> normals) : normals_(std::move(normals)) {
  if (normals_.empty()) return;
  nodes_.reserve(2 * (normals_.size() / kLeafNormals) + 2);
  nodes_.resize(1);
  build(0, 0, static_cast<int32_t>(normals_.size()));
}

void NormalTree::build(int32_t node, int32_t first, int32_t end) {
  Vec3d lo = normals_[first].normal, hi = lo;
  for (int32_t i = first + 1; i < end; ++i) {
    const Vec3d& n = normals_[i].normal;
    lo = Vec3d{std::fmin(lo.x, n.x), std::fmin(lo.y, n.y), std::fmin(lo.z, n.z)};
    hi = Vec3d{std::fmax(hi.x, n.x), std::fmax(hi.y, n.y), std::fmax(hi.z, n.z)};
  }
  Vec3d sum;
  vec_set(sum, 0.0, 0.0, 0.0);
  int32_t left = -1;
  if (end - first <= kLeafNormals) {
    for (int32_t i = first; i < end; ++i) vec_add(sum, sum, normals_[i].normal);
  } else {
    // Split at the median along the widest side of the box.
    const double wide[3] = {hi.x - lo.x, hi.y - lo.y, hi.z - lo.z};
    const int axis = wide[0] >= wide[1] && wide[0] >= wide[2] ? 0 : wide[1] >= wide[2] ? 1 : 2;
    auto along = [axis](const Normal& n) {
      return axis == 0 ? n.normal.x : axis == 1 ? n.normal.y : n.normal.z;
    };
    const int32_t middle = first + (end - first) / 2;
    std::nth_element(normals_.begin() + first, normals_.begin() + middle, normals_.begin() + end,
                     [&](const Normal& a, const Normal& b) { return along(a) < along(b); });
    left = static_cast<int32_t>(nodes_.size());
    nodes_.resize(nodes_.size() + 2);
    build(left, first, middle);
    build(left + 1, middle, end);
    vec_add(sum, nodes_[left].sum, nodes_[left + 1].sum);
  }
  nodes_[node] = Node{lo, hi, sum, first, end, left};
}

void NormalTree::add_close(const Vec3d& own, double own_length, const AngleBelow& below,
                           Vec3d& sum) const {
  if (!nodes_.empty()) add_close(0, own, own_length, below, sum);
}

void NormalTree::add_close(int32_t index, const Vec3d& own, double own_length,
                           const AngleBelow& below, Vec3d& sum) const {
  const Node& node = nodes_[index];
  // The least and greatest dot product of own with a point of the box.
  const double a[3] = {own.x * node.lo.x, own.y * node.lo.y, own.z * node.lo.z};
  const double b[3] = {own.x * node.hi.x, own.y * node.hi.y, own.z * node.hi.z};
  double least = 0.0, most = 0.0;
  for (int i = 0; i < 3; ++i) {
    least += std::fmin(a[i], b[i]);
    most += std::fmax(a[i], b[i]);
  }
  if (least - kMargin > below.pass_above()) {
    vec_add(sum, sum, node.sum);
    return;
  }
  if (most + kMargin < below.fail_below()) return;
  if (node.left < 0) {
    for (int32_t i = node.first; i < node.end; ++i) {
      const Normal& n = normals_[i];
      if (below(vec_dot(own, n.normal) / (own_length * n.length))) vec_add(sum, sum, n.normal);
    }
    return;
  }
  add_close(node.left, own, own_length, below, sum);
  add_close(node.left + 1, own, own_length, below, sum);
}
