#include "meshlib/cut_ear.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kThird = 0.3333333333333333;
// Twice the area below which a candidate ear counts as degenerate.
constexpr double kDegenerate = 1e-15;

bool Degenerate(const Vec3d& a, const Vec3d& b, const Vec3d& c) {
  Vec3d u, w, n;
  vec_sub(u, a, b);
  vec_sub(w, a, c);
  vec_cross(n, u, w);
  return vec_length(n) < kDegenerate;
}

}  // namespace

int InsidePolygon(const int32_t* indices, const Vec3d* positions, int32_t count,
                  const Vec3d& point) {
  Vec3d sum = {0.0, 0.0, 0.0};
  for (int32_t i = 0; i < count; ++i) {
    const Vec3d& p = positions[indices[i]];
    const Vec3d& q = positions[indices[(i + 1) % count]];
    Vec3d u, w, n, step;
    vec_sub(u, point, p);
    vec_sub(w, point, q);
    vec_cross(n, u, w);
    vec_normalize(n);
    vec_scale(step, n, angle_between_rad(u, w));
    vec_add(sum, sum, step);
  }
  return vec_length(sum) >= kPi ? 1 : 0;
}

int CutEar(int32_t* indices, int32_t& count, const Vec3d* positions, int32_t& a, int32_t& b,
           int32_t& c) {
  if (count <= 2) return 0;
  if (count == 3) {
    a = indices[0];
    b = indices[1];
    c = indices[2];
    count = 0;
    return Degenerate(positions[a], positions[b], positions[c]) ? 0 : 1;
  }

  for (int32_t i = 0; i < count; ++i) {
    const int32_t j = (i + 1) % count;
    const int32_t k = (i + 2) % count;
    const Vec3d& pa = positions[indices[i]];
    const Vec3d& pb = positions[indices[j]];
    const Vec3d& pc = positions[indices[k]];
    if (Degenerate(pa, pb, pc)) continue;

    Vec3d centroid;
    vec_add(centroid, pa, pb);
    vec_add(centroid, centroid, pc);
    vec_scale(centroid, centroid, kThird);
    if (!InsidePolygon(indices, positions, count, centroid)) continue;

    const int32_t ear[3] = {indices[i], indices[j], indices[k]};
    bool blocked = false;
    for (int32_t m = 0; m < count && !blocked; ++m) {
      if (m == i || m == j || m == k) continue;
      blocked = InsidePolygon(ear, positions, 3, positions[indices[m]]) != 0;
    }
    if (blocked) continue;

    a = ear[0];
    b = ear[1];
    c = ear[2];
    --count;
    for (int32_t m = j; m < count; ++m) indices[m] = indices[m + 1];
    return 1;
  }
  return 0;
}

namespace {

// A polygon being cut: its corners (indices) with their coordinates in the plane the polygon
// lies in, and what the plane shortcut needs to know that it decides as the angle sums do.
class PolygonCut {
 public:
  PolygonCut(const int32_t* indices, int32_t count, const Vec3d* positions);

  // One step of the CutEar loop: appends the triangle and returns true, or false when CutEar
  // would return 0. Returns false with over_budget set when the budget ran out.
  bool CutOne(std::uint64_t* budget, std::vector<int32_t>* triangles);
  int32_t count() const { return count_; }
  bool over_budget() const { return over_budget_; }
  std::uint64_t spent() const { return spent_; }

 private:
  // 1 inside, 0 outside as InsidePolygon decides for the point at plane coordinates xs, xt
  // and the given height above the plane, and the closed ring of corner slots ring[0 .. n-1]
  // (null: the whole polygon) of the given perimeter; -1 when the plane shortcut cannot
  // vouch for the answer. Only for a planar polygon.
  int InsideByPlane(const int32_t* ring, int32_t n, double perimeter, double xs, double xt,
                    double height) const;
  // What the plane part leaves out of the angle sum, at most, for a point at distance near
  // from a ring of n edges and the given perimeter, the point at the given height.
  double Bound(double perimeter, int32_t n, double near, double height) const;
  bool Spend(std::uint64_t steps, std::uint64_t* budget);

  std::vector<int32_t> indices_;
  std::vector<double> s_, t_;  // plane coordinates of each corner, moved along with indices_
  int32_t count_;
  const Vec3d* positions_;
  bool planar_ = false;
  Vec3d origin_ = {0, 0, 0}, normal_ = {0, 0, 0}, e1_ = {0, 0, 0}, e2_ = {0, 0, 0};
  double height_ = 0;     // largest distance of a corner from the plane
  double perimeter_ = 0;  // of the whole polygon; cutting ears only shortens it
  double extent_ = 0;     // largest coordinate difference, for the rounding margins
  bool over_budget_ = false;
  std::uint64_t spent_ = 0;
};

PolygonCut::PolygonCut(const int32_t* indices, int32_t count, const Vec3d* positions)
    : indices_(indices, indices + count), count_(count), positions_(positions) {
  if (count < 4) return;
  // Newell's normal and the polygon's size.
  Vec3d low = positions[indices[0]], high = low;
  for (int32_t i = 0; i < count; ++i) {
    const Vec3d& p = positions[indices[i]];
    const Vec3d& q = positions[indices[(i + 1) % count]];
    normal_.x += (p.y - q.y) * (p.z + q.z);
    normal_.y += (p.z - q.z) * (p.x + q.x);
    normal_.z += (p.x - q.x) * (p.y + q.y);
    Vec3d edge;
    vec_sub(edge, q, p);
    perimeter_ += vec_length(edge);
    vec_min(low, low, p);
    vec_max(high, high, p);
  }
  extent_ = std::max(high.x - low.x, std::max(high.y - low.y, high.z - low.z));
  const double length = vec_length(normal_);
  if (!(length > 0) || !std::isfinite(length) || !std::isfinite(perimeter_)) return;
  vec_scale(normal_, normal_, 1.0 / length);
  origin_ = positions[indices[0]];
  Vec3d axis = std::fabs(normal_.x) < 0.6 ? Vec3d{1, 0, 0} : Vec3d{0, 1, 0};
  vec_cross(e1_, normal_, axis);
  vec_normalize(e1_);
  vec_cross(e2_, normal_, e1_);
  s_.resize(count);
  t_.resize(count);
  for (int32_t i = 0; i < count; ++i) {
    Vec3d d;
    vec_sub(d, positions[indices[i]], origin_);
    s_[i] = vec_dot(d, e1_);
    t_[i] = vec_dot(d, e2_);
    height_ = std::max(height_, std::fabs(vec_dot(d, normal_)));
  }
  planar_ = std::isfinite(height_) && extent_ > 0;
}

// The angle sum S over the polygon is the integral of (v x dv) / |v|^2 along its edges, v
// running from the point to the edge. Split v into a part a in the plane and a height b
// along the normal: the plane part alone integrates to 2 pi times the winding number of the
// projected polygon around the projected point (0 outside, at least 2 pi in length inside),
// and the rest is at most L B^2 / d^3 + L B / d^2 + |db| / d per edge, with L the edge's
// length, B the largest height difference, d the least distance of the projected point from
// the projected edges and db the edge's change of height. The rounding of the angle sums
// adds less than 1e-7 per edge. While all that stays well below pi, the angle sum lies on
// the same side of pi as the winding number says.
namespace {

// The winding number of one edge (si, ti) -> (sj, tj) around (xs, xt), and the squared
// distance of the point from it; branch-free, as the loop over a whole polygon runs it most.
inline int EdgeWinding(double si, double ti, double sj, double tj, double xs, double xt,
                       double* gap) {
  const double ds = sj - si, dt = tj - ti;
  const double ps = xs - si, pt = xt - ti;
  const double side = ds * pt - dt * ps;  // > 0: the point is left of the edge
  const double square = ds * ds + dt * dt;
  double u = square > 0 ? (ds * ps + dt * pt) / square : 0.0;
  u = u < 0 ? 0.0 : (u > 1 ? 1.0 : u);
  const double cs = ps - u * ds, ct = pt - u * dt;
  *gap = cs * cs + ct * ct;
  const bool below = ti <= xt, above_next = tj > xt;
  return static_cast<int>(below & above_next & (side > 0)) -
         static_cast<int>(!below & !above_next & (side < 0));
}

}  // namespace

double PolygonCut::Bound(double perimeter, int32_t n, double near, double height) const {
  const double spread = height_ + std::fabs(height) + 1e-14 * extent_;
  return perimeter * (spread * spread / (near * near * near) + spread / (near * near)) +
         n * (2 * height_ / near + 1e-7);
}

int PolygonCut::InsideByPlane(const int32_t* ring, int32_t n, double perimeter, double xs,
                              double xt, double height) const {
  int winding = 0;
  double nearest = HUGE_VAL;  // squared
  double gap;
  if (ring == nullptr) {
    const double* s = s_.data();
    const double* t = t_.data();
    for (int32_t i = 0; i + 1 < n; ++i) {
      winding += EdgeWinding(s[i], t[i], s[i + 1], t[i + 1], xs, xt, &gap);
      nearest = gap < nearest ? gap : nearest;
    }
    winding += EdgeWinding(s[n - 1], t[n - 1], s[0], t[0], xs, xt, &gap);
    nearest = gap < nearest ? gap : nearest;
  } else {
    for (int32_t e = 0; e < n; ++e) {
      const int32_t i = ring[e], j = ring[e + 1 == n ? 0 : e + 1];
      winding += EdgeWinding(s_[i], t_[i], s_[j], t_[j], xs, xt, &gap);
      nearest = gap < nearest ? gap : nearest;
    }
  }
  const double near = std::sqrt(nearest);
  if (!(near > 1e-9 * extent_)) return -1;
  if (!(Bound(perimeter, n, near, height) < 1.0)) return -1;
  return winding != 0 ? 1 : 0;
}

bool PolygonCut::Spend(std::uint64_t steps, std::uint64_t* budget) {
  if (steps > *budget) {
    over_budget_ = true;
    return false;
  }
  *budget -= steps;
  spent_ += steps;
  return true;
}

bool PolygonCut::CutOne(std::uint64_t* budget, std::vector<int32_t>* triangles) {
  int32_t* indices = indices_.data();
  const Vec3d* positions = positions_;
  const int32_t count = count_;
  if (count <= 2) return false;
  if (count == 3) {
    count_ = 0;
    if (Degenerate(positions[indices[0]], positions[indices[1]], positions[indices[2]]))
      return false;
    triangles->insert(triangles->end(), indices, indices + 3);
    return true;
  }

  for (int32_t i = 0; i < count; ++i) {
    const int32_t j = (i + 1) % count;
    const int32_t k = (i + 2) % count;
    const Vec3d& pa = positions[indices[i]];
    const Vec3d& pb = positions[indices[j]];
    const Vec3d& pc = positions[indices[k]];
    if (!Spend(1, budget)) return false;
    if (Degenerate(pa, pb, pc)) continue;

    Vec3d centroid;
    vec_add(centroid, pa, pb);
    vec_add(centroid, centroid, pc);
    vec_scale(centroid, centroid, kThird);
    if (!Spend(count, budget)) return false;
    int inside = -1;
    if (planar_) {
      Vec3d d;
      vec_sub(d, centroid, origin_);
      inside = InsideByPlane(nullptr, count, perimeter_, vec_dot(d, e1_), vec_dot(d, e2_),
                             vec_dot(d, normal_));
    }
    if (inside < 0) {
      if (!Spend(kAngleStepCost * count, budget)) return false;
      inside = InsidePolygon(indices, positions, count, centroid);
    }
    if (!inside) continue;

    // A point farther than three times the ear's radius from its centroid sees the ear's
    // edges under less than 2 asin(1/3) each: their angle sum stays below pi.
    double radius = 0;
    for (const Vec3d* p : {&pa, &pb, &pc}) {
      Vec3d r;
      vec_sub(r, *p, centroid);
      radius = std::max(radius, vec_dot(r, r));
    }
    const double far = 9 * radius * (1 + 1e-6);
    if (!Spend(count, budget)) return false;
    const int32_t ear[3] = {indices[i], indices[j], indices[k]};
    const int32_t ear_slots[3] = {i, j, k};
    double ear_perimeter = 0;
    if (planar_) {
      Vec3d ab, bc, ca;
      vec_sub(ab, pb, pa);
      vec_sub(bc, pc, pb);
      vec_sub(ca, pa, pc);
      ear_perimeter = vec_length(ab) + vec_length(bc) + vec_length(ca);
    }
    // In the plane, a point farther than margin outside the ear's bounding box is outside
    // the ear as the angle sums decide, when the bound at that distance allows it.
    double low_s = 0, high_s = -1, low_t = 0, high_t = -1;
    if (planar_) {
      const double margin = 1e-6 * extent_ + 1e3 * height_;
      if (Bound(ear_perimeter, 3, margin, height_) < 1.0) {
        low_s = std::min(s_[i], std::min(s_[j], s_[k])) - margin;
        high_s = std::max(s_[i], std::max(s_[j], s_[k])) + margin;
        low_t = std::min(t_[i], std::min(t_[j], t_[k])) - margin;
        high_t = std::max(t_[i], std::max(t_[j], t_[k])) + margin;
      }
    }
    bool blocked = false;
    for (int32_t m = 0; m < count && !blocked; ++m) {
      if (m == i || m == j || m == k) continue;
      if (high_s >= low_s && (s_[m] < low_s || s_[m] > high_s || t_[m] < low_t || t_[m] > high_t))
        continue;
      const Vec3d& q = positions[indices[m]];
      Vec3d r;
      vec_sub(r, q, centroid);
      if (vec_dot(r, r) > far) continue;
      if (planar_) {
        const int by_plane = InsideByPlane(ear_slots, 3, ear_perimeter, s_[m], t_[m], height_);
        if (by_plane >= 0) {
          blocked = by_plane != 0;
          continue;
        }
      }
      if (!Spend(3 * kAngleStepCost, budget)) return false;
      blocked = InsidePolygon(ear, positions, 3, q) != 0;
    }
    if (blocked) continue;

    triangles->insert(triangles->end(), ear, ear + 3);
    --count_;
    const std::size_t tail = static_cast<std::size_t>(count_ - j);
    std::memmove(indices + j, indices + j + 1, tail * sizeof(int32_t));
    if (planar_) {
      std::memmove(s_.data() + j, s_.data() + j + 1, tail * sizeof(double));
      std::memmove(t_.data() + j, t_.data() + j + 1, tail * sizeof(double));
    }
    return true;
  }
  return false;
}

}  // namespace

CutOutcome CutPolygon(const int32_t* indices, int32_t count, const Vec3d* positions,
                      std::uint64_t* budget, const std::function<void()>& pulse,
                      std::vector<int32_t>* triangles) {
  const std::size_t kept = triangles->size();
  PolygonCut cut(indices, count, positions);
  std::uint64_t next_pulse = kPulseSteps;
  while (cut.CutOne(budget, triangles)) {
    if (pulse && cut.spent() >= next_pulse) {
      pulse();
      next_pulse = cut.spent() + kPulseSteps;
    }
  }
  if (!cut.over_budget()) return CutOutcome::kDone;
  triangles->resize(kept);
  return CutOutcome::kOverBudget;
}
