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

// The winding number of the closed polygon s[0 .. n-1], t[0 .. n-1] around (xs, xt), and
// whether the point is at least reach away from every edge. Without divisions or branches,
// for the inside tests over whole polygons.
inline int WindingAndClearance(const double* s, const double* t, int32_t n, double xs, double xt,
                               double reach, bool* clear) {
  const double reach2 = reach * reach;
  int winding = 0;
  int close = 0;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t j = i + 1 == n ? 0 : i + 1;
    const double ds = s[j] - s[i], dt = t[j] - t[i];
    const double ps = xs - s[i], pt = xt - t[i];
    const double qs = xs - s[j], qt = xt - t[j];
    const double side = ds * pt - dt * ps;
    const double along = ds * ps + dt * pt, square = ds * ds + dt * dt;
    const double to_start = ps * ps + pt * pt, to_end = qs * qs + qt * qt;
    // Squared distance times square, compared with reach2 times square.
    const double scaled = along <= 0        ? to_start * square
                          : along >= square ? to_end * square
                                            : side * side;
    close |= static_cast<int>(scaled < reach2 * square) | static_cast<int>(to_start < reach2);
    const bool below = t[i] <= xt, above_next = t[j] > xt;
    winding += static_cast<int>(below & above_next & (side > 0)) -
               static_cast<int>(!below & !above_next & (side < 0));
  }
  *clear = close == 0;
  return winding;
}

// A point seen by the plane shortcut: its plane coordinates and height, the winding number of
// a ring of edges around it and the least squared distance from those edges (or less).
struct PlanePoint {
  double s = 0, t = 0, height = 0;
  int winding = 0;
  double nearest = HUGE_VAL;
};

// What is known of the candidate ear that starts at a corner, kept while its three corners
// stay neighbours. The polygon only loses corners as ears are cut, so a degenerate candidate
// stays degenerate, the winding of the polygon around its centroid changes by the cut ear's
// three edges, and a corner found inside it keeps blocking it while the corner is there.
struct Candidate {
  enum State : int8_t { kUnknown, kDegenerate, kSeen } state = kUnknown;
  bool by_plane = false;  // centre holds the winding of the current polygon
  PlanePoint centre;
  int32_t blocker = -1;  // slot of a corner inside the ear
};

// A polygon being cut: its corners (indices) with their coordinates in the plane the polygon
// lies in, what the plane shortcut needs to know that it decides as the angle sums do, and
// what is known of each candidate ear.
class PolygonCut {
 public:
  PolygonCut(const int32_t* indices, int32_t count, const Vec3d* positions);

  // One step of the CutEar loop: appends the triangle and returns true, or false when CutEar
  // would return 0. Returns false with over_budget set when the budget ran out.
  bool CutOne(std::uint64_t* budget, std::vector<int32_t>* triangles);
  bool over_budget() const { return over_budget_; }
  std::uint64_t spent() const { return spent_; }

 private:
  // Fills point's winding and nearest for the closed ring of corner slots ring[0 .. n-1]
  // (null: the whole polygon).
  void Wind(const int32_t* ring, int32_t n, PlanePoint* point) const;
  // 1 inside, 0 outside as InsidePolygon decides for point and the ring of n edges of the
  // given perimeter that Wind saw; -1 when the plane shortcut cannot vouch for the answer.
  int Decide(const PlanePoint& point, int32_t n, double perimeter) const;
  // What the plane part leaves out of the angle sum, at most, for a point at distance near
  // from a ring of n edges and the given perimeter, the point at the given height.
  double Bound(double perimeter, int32_t n, double near, double height) const;
  PlanePoint Project(const Vec3d& p) const;
  // Whether the centroid of candidate c lies inside the polygon, as InsidePolygon decides;
  // uses and updates what is known of the candidate. ok false: the budget ran out.
  bool CentroidInside(const Vec3d& centroid, Candidate& c, std::uint64_t* budget, bool* ok);
  void Removed(int32_t i, int32_t j, int32_t k);
  bool Spend(std::uint64_t steps, std::uint64_t* budget);

  std::vector<int32_t> indices_;
  // Plane coordinates of each corner and what is known of the candidate starting there,
  // moved along with indices_.
  std::vector<double> s_, t_;
  std::vector<Candidate> candidates_;
  int32_t by_plane_ = 0;  // candidates whose winding is kept up to date
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
  candidates_.resize(count);
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

PlanePoint PolygonCut::Project(const Vec3d& p) const {
  Vec3d d;
  vec_sub(d, p, origin_);
  PlanePoint point;
  point.s = vec_dot(d, e1_);
  point.t = vec_dot(d, e2_);
  point.height = vec_dot(d, normal_);
  return point;
}

void PolygonCut::Wind(const int32_t* ring, int32_t n, PlanePoint* point) const {
  int winding = 0;
  double nearest = HUGE_VAL;
  double gap;
  const double xs = point->s, xt = point->t;
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
  point->winding = winding;
  point->nearest = nearest;
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
double PolygonCut::Bound(double perimeter, int32_t n, double near, double height) const {
  const double spread = height_ + std::fabs(height) + 1e-14 * extent_;
  return perimeter * (spread * spread / (near * near * near) + spread / (near * near)) +
         n * (2 * height_ / near + 1e-7);
}

int PolygonCut::Decide(const PlanePoint& point, int32_t n, double perimeter) const {
  const double near = std::sqrt(point.nearest);
  if (!(near > 1e-9 * extent_)) return -1;
  if (!(Bound(perimeter, n, near, point.height) < 1.0)) return -1;
  return point.winding != 0 ? 1 : 0;
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

bool PolygonCut::CentroidInside(const Vec3d& centroid, Candidate& c, std::uint64_t* budget,
                                bool* ok) {
  *ok = true;
  if (c.by_plane) {
    const int known = Decide(c.centre, count_, perimeter_);
    if (known >= 0) return known != 0;
    c.by_plane = false;
    --by_plane_;
  }
  if (planar_) {
    if (!Spend(count_, budget)) return *ok = false;
    c.centre = Project(centroid);
    // A distance at which each of the bound's four terms stays below a quarter: when every
    // edge is at least that far, the winding decides.
    const double spread = height_ + std::fabs(c.centre.height) + 1e-14 * extent_;
    const double reach = 1.0001 * std::max(std::max(std::cbrt(4 * perimeter_ * spread * spread),
                                                    std::sqrt(4 * perimeter_ * spread)),
                                           std::max(8.0 * count_ * height_, 1e-9 * extent_));
    bool clear = false;
    if (count_ * 1e-7 < 0.25) {
      c.centre.winding =
          WindingAndClearance(s_.data(), t_.data(), count_, c.centre.s, c.centre.t, reach, &clear);
      c.centre.nearest = reach * reach;
    }
    if (!clear) Wind(nullptr, count_, &c.centre);
    const int inside = Decide(c.centre, count_, perimeter_);
    if (inside >= 0) {
      c.by_plane = true;
      ++by_plane_;
      return inside != 0;
    }
  }
  if (!Spend(kAngleStepCost * count_, budget)) return *ok = false;
  return InsidePolygon(indices_.data(), positions_, count_, centroid) != 0;
}

// The ear at slots i, j, k lost its tip j: the windings kept for other candidates change by
// the ear's edges, slots after j move down by one, and the two candidates that now start at
// the corners before and at i's place have new corners.
void PolygonCut::Removed(int32_t i, int32_t j, int32_t k) {
  if (by_plane_ > 0) {
    for (int32_t m = 0; m < count_; ++m) {
      Candidate& c = candidates_[m];
      if (!c.by_plane || m == i || m == j) continue;
      double gap;
      c.centre.winding -= EdgeWinding(s_[i], t_[i], s_[j], t_[j], c.centre.s, c.centre.t, &gap);
      c.centre.winding -= EdgeWinding(s_[j], t_[j], s_[k], t_[k], c.centre.s, c.centre.t, &gap);
      c.centre.winding += EdgeWinding(s_[i], t_[i], s_[k], t_[k], c.centre.s, c.centre.t, &gap);
      if (gap < c.centre.nearest) c.centre.nearest = gap;
    }
  }
  for (int32_t m = 0; m < count_; ++m) {
    int32_t& blocker = candidates_[m].blocker;
    if (blocker == j)
      blocker = -1;
    else if (blocker > j)
      --blocker;
  }
  if (candidates_[j].by_plane) --by_plane_;
  --count_;
  const std::size_t tail = static_cast<std::size_t>(count_ - j);
  std::memmove(indices_.data() + j, indices_.data() + j + 1, tail * sizeof(int32_t));
  std::memmove(candidates_.data() + j, candidates_.data() + j + 1, tail * sizeof(Candidate));
  if (planar_) {
    std::memmove(s_.data() + j, s_.data() + j + 1, tail * sizeof(double));
    std::memmove(t_.data() + j, t_.data() + j + 1, tail * sizeof(double));
  }
  const int32_t at = i < j ? i : i - 1;
  for (int32_t m : {at == 0 ? count_ - 1 : at - 1, at}) {
    Candidate& c = candidates_[m];
    if (c.by_plane) --by_plane_;
    c = Candidate();
  }
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
    Candidate& c = candidates_[i];
    if (!Spend(1, budget)) return false;
    if (c.state == Candidate::kDegenerate) continue;
    const Vec3d& pa = positions[indices[i]];
    const Vec3d& pb = positions[indices[j]];
    const Vec3d& pc = positions[indices[k]];
    if (c.state == Candidate::kUnknown) {
      if (Degenerate(pa, pb, pc)) {
        c.state = Candidate::kDegenerate;
        continue;
      }
      c.state = Candidate::kSeen;
    }

    Vec3d centroid;
    vec_add(centroid, pa, pb);
    vec_add(centroid, centroid, pc);
    vec_scale(centroid, centroid, kThird);
    bool ok;
    const bool inside = CentroidInside(centroid, c, budget, &ok);
    if (!ok) return false;
    if (!inside) continue;
    if (c.blocker >= 0) continue;

    // A point farther than three times the ear's radius from its centroid sees the ear's
    // edges under less than 2 asin(1/3) each: their angle sum stays below pi.
    double radius = 0;
    for (const Vec3d* p : {&pa, &pb, &pc}) {
      Vec3d r;
      vec_sub(r, *p, centroid);
      radius = std::max(radius, vec_dot(r, r));
    }
    const double far = 9 * radius * (1 + 1e-6);
    const int32_t ear[3] = {indices[i], indices[j], indices[k]};
    const int32_t ear_slots[3] = {i, j, k};
    double ear_perimeter = 0;
    // In the plane, a point farther than margin outside the ear's bounding box is outside
    // the ear as the angle sums decide, when the bound at that distance allows it.
    double low_s = 0, high_s = -1, low_t = 0, high_t = -1;
    if (planar_) {
      Vec3d ab, bc, ca;
      vec_sub(ab, pb, pa);
      vec_sub(bc, pc, pb);
      vec_sub(ca, pa, pc);
      ear_perimeter = vec_length(ab) + vec_length(bc) + vec_length(ca);
      const double margin = 1e-6 * extent_ + 1e3 * height_;
      if (Bound(ear_perimeter, 3, margin, height_) < 1.0) {
        low_s = std::min(s_[i], std::min(s_[j], s_[k])) - margin;
        high_s = std::max(s_[i], std::max(s_[j], s_[k])) + margin;
        low_t = std::min(t_[i], std::min(t_[j], t_[k])) - margin;
        high_t = std::max(t_[i], std::max(t_[j], t_[k])) + margin;
      }
    }
    if (!Spend(count, budget)) return false;
    for (int32_t m = 0; m < count && c.blocker < 0; ++m) {
      if (m == i || m == j || m == k) continue;
      if (high_s >= low_s && (s_[m] < low_s || s_[m] > high_s || t_[m] < low_t || t_[m] > high_t))
        continue;
      const Vec3d& q = positions[indices[m]];
      Vec3d r;
      vec_sub(r, q, centroid);
      if (vec_dot(r, r) > far) continue;
      if (planar_) {
        PlanePoint point;
        point.s = s_[m];
        point.t = t_[m];
        point.height = height_;
        Wind(ear_slots, 3, &point);
        const int by_plane = Decide(point, 3, ear_perimeter);
        if (by_plane >= 0) {
          if (by_plane != 0) c.blocker = m;
          continue;
        }
      }
      if (!Spend(3 * kAngleStepCost, budget)) return false;
      if (InsidePolygon(ear, positions, 3, q) != 0) c.blocker = m;
    }
    if (c.blocker >= 0) continue;

    triangles->insert(triangles->end(), ear, ear + 3);
    Removed(i, j, k);
    return true;
  }
  return false;
}

}  // namespace

CutOutcome CutPolygon(const int32_t* indices, int32_t count, const Vec3d* positions,
                      std::uint64_t* budget,
                      const std::function<void(int32_t done, int32_t total)>& pulse,
                      std::vector<int32_t>* triangles) {
  const std::size_t kept = triangles->size();
  PolygonCut cut(indices, count, positions);
  std::uint64_t next_pulse = kPulseSteps;
  while (cut.CutOne(budget, triangles)) {
    if (pulse && cut.spent() >= next_pulse) {
      pulse(static_cast<int32_t>((triangles->size() - kept) / 3), count - 2);
      next_pulse = cut.spent() + kPulseSteps;
    }
  }
  if (!cut.over_budget()) return CutOutcome::kDone;
  triangles->resize(kept);
  return CutOutcome::kOverBudget;
}
