// Orientation unify: makes the winding of every face agree with its neighbours across shared
// edges, one edge-connected patch (a "sweep") at a time.
//
// The result is defined by a simple procedure: each sweep seeds at the highest unvisited face,
// turns it to face -z, and then repeats passes over all edges in index order, orienting an
// unvisited face of an edge like the edge's visited face, until a pass changes nothing. Run
// literally that is quadratic (a 1000 x 1000 grid needs about a thousand passes; a soup of n
// unconnected triangles needs n scans for a seed). This file computes exactly the same flips
// and progress reports in O((F + E) log F):
//
// - Seed. The seed is the first unvisited face s, unless some unvisited non-vertical face has
//   a centroid strictly higher than s's; then it is the lowest-indexed of the highest such
//   faces. The non-vertical faces sorted once by (height descending, index ascending) give
//   that face as the first unvisited entry; visited entries are skipped lazily by a cursor
//   that only moves forward, because faces never become unvisited. s comes from a second
//   such cursor over the face indices. The first seed needs no sort (a linear scan finds
//   it), and the sort waits until a second sweep is needed and covers only what is left.
//
// - Propagation. Number the moments of one sweep (pass p, edge e), ordered lexicographically;
//   the seed is visited before pass 1. A face t joins at the first moment (p, e) at which edge
//   e records t and another face u that joined at an earlier moment; that moment is (pu, e) if
//   e comes after the edge u joined at, else (pu + 1, e). Since that is strictly later than
//   u's moment and grows with it, the joining moments are the shortest paths of a Dijkstra
//   search keyed on (p, e). Each popped moment is replayed exactly as the pass would see it at
//   that edge, so t is oriented like the same face u across the same edge as in the passes.
//   An edge counts only through its first and last recorded face; edges with one recorded
//   face, or the same face twice, never join anything. Faces that cannot be oriented
//   consistently (a Moebius strip) end as the passes would leave them, since every face is
//   oriented once, at its joining moment, and never again.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "meshlib/mesh3d.h"

namespace {

void rotate_left(int32_t v[3]) {
  int32_t first = v[0];
  v[0] = v[1];
  v[1] = v[2];
  v[2] = first;
}

// Rotates a copy of a face's corners so that it starts at vertex a (corners that do not hold a
// are left as they are).
void start_at(int32_t v[3], int32_t a) {
  if (v[1] == a) rotate_left(v);
  if (v[2] == a) {
    rotate_left(v);
    rotate_left(v);
  }
}

// Flips target t when it runs along the edge at vertex a in the same direction as reference
// r (equal second or equal third corner once both start at a); only t's stored winding changes.
void orient_like(FaceTable& faces, int32_t a, int32_t r, int32_t t) {
  int32_t rv[3];
  int32_t tv[3];
  faces.face(r, rv);
  faces.face(t, tv);
  start_at(rv, a);
  start_at(tv, a);
  if (rv[1] == tv[1] || rv[2] == tv[2]) faces.flip(t);
}

struct SeedCandidate {
  double height;
  int32_t face;
};

// An edge that can join two faces, seen from one of them.
struct Neighbour {
  int32_t edge;
  int32_t face;
};

// Monotone priority queue (radix heap) of 64-bit keys: every key pushed is at least the last
// key popped, which holds for the moments of a Dijkstra search. A key waits in the bucket of
// the highest bit in which it differs from the last popped key; a pop empties the lowest
// non-empty bucket into lower ones. Each key moves at most 64 times, and the buckets are
// plain arrays, so large queues cost far fewer cache misses than a binary heap.
class MomentQueue {
 public:
  bool empty() const { return size_ == 0; }

  // Starts over with an empty queue that accepts any key (each sweep counts passes from 1).
  void restart() { last_ = 0; }

  void push(uint64_t key) {
    buckets_[bucket_of(key)].push_back(key);
    ++size_;
  }

  // Removes and returns the smallest key. The queue must not be empty.
  uint64_t pop() {
    if (buckets_[0].empty()) {
      int i = 1;
      while (buckets_[i].empty()) ++i;
      std::vector<uint64_t>& from = buckets_[i];
      last_ = *std::min_element(from.begin(), from.end());
      for (uint64_t key : from) buckets_[bucket_of(key)].push_back(key);
      from.clear();
    }
    --size_;
    const uint64_t key = buckets_[0].back();
    buckets_[0].pop_back();
    return key;
  }

 private:
  int bucket_of(uint64_t key) const { return key == last_ ? 0 : 64 - __builtin_clzll(key ^ last_); }

  std::vector<uint64_t> buckets_[65];
  uint64_t last_ = 0;
  size_t size_ = 0;
};

uint64_t moment(uint32_t pass, int32_t edge) {
  return (static_cast<uint64_t>(pass) << 32) | static_cast<uint32_t>(edge);
}

}  // namespace

void Mesh3d::unify_orientation(void (*progress)(int32_t done, int32_t total)) {
  if (vertices == nullptr || faces == nullptr || edges == nullptr) return;
  const int32_t face_total = faces->count();
  const int32_t edge_total = edges->count();
  if (face_total < 0 || edge_total < 0) return;

  // Height (centroid z) of every face, and the non-vertical faces in seed order: higher first,
  // lower index first among equal heights. A face whose height is not a number is never
  // higher than another, so it only becomes a seed as the first unvisited face.
  std::vector<double> height(face_total);
  std::vector<SeedCandidate> by_height;
  by_height.reserve(face_total);
  for (int32_t f = 0; f < face_total; ++f) {
    Vec3d p[3];
    triangle_positions(f, p);
    height[f] = (p[0].z + p[1].z + p[2].z) / 3.0;
    Vec3d n;
    face_normal(p[0], p[1], p[2], n);
    if (std::fabs(n.z) > 0 && !std::isnan(height[f])) by_height.push_back({height[f], f});
  }
  auto higher = [](const SeedCandidate& a, const SeedCandidate& b) {
    return a.height > b.height || (a.height == b.height && a.face < b.face);
  };
  // Most meshes are one sweep: the first seed comes from a linear scan, and only the faces
  // still unvisited after the first sweep are sorted.
  bool sorted = false;
  size_t next_highest = 0;

  // For every face, the edges through which it can join or be joined: those recording it and a
  // different face in their two slots. Compressed rows: neighbours of f are
  // neighbours[row[f]] ... neighbours[row[f + 1] - 1], in edge index order.
  std::vector<int32_t> row(static_cast<size_t>(face_total) + 1, 0);
  for (int32_t e = 0; e < edge_total; ++e) {
    int32_t ef[2];
    edges->faces_of_edge(e, ef);
    if (ef[0] < 0 || ef[1] < 0 || ef[0] == ef[1]) continue;
    ++row[ef[0] + 1];
    ++row[ef[1] + 1];
  }
  for (int32_t f = 0; f < face_total; ++f) row[f + 1] += row[f];
  std::vector<Neighbour> neighbours(row[face_total]);
  {
    std::vector<int32_t> fill(row.begin(), row.end() - 1);
    for (int32_t e = 0; e < edge_total; ++e) {
      int32_t ef[2];
      edges->faces_of_edge(e, ef);
      if (ef[0] < 0 || ef[1] < 0 || ef[0] == ef[1]) continue;
      neighbours[fill[ef[0]]++] = Neighbour{e, ef[1]};
      neighbours[fill[ef[1]]++] = Neighbour{e, ef[0]};
    }
  }

  std::vector<uint8_t> visited(face_total, 0);
  int32_t done = 0;
  int32_t first_unvisited = 0;
  MomentQueue moments;

  // Marks f visited at (pass, edge) and schedules, for each neighbour still unvisited, the
  // first later moment at which their common edge is looked at.
  auto join = [&](int32_t f, uint32_t pass, int32_t edge) {
    visited[f] = 1;
    ++done;
    for (int32_t k = row[f]; k < row[f + 1]; ++k) {
      const Neighbour& nb = neighbours[k];
      if (visited[nb.face]) continue;
      moments.push(moment(nb.edge > edge ? pass : pass + 1, nb.edge));
    }
  };

  for (;;) {
    if (progress != nullptr) progress(done, face_total);
    while (first_unvisited < face_total && visited[first_unvisited]) ++first_unvisited;
    if (first_unvisited == face_total) break;

    if (!sorted && done > 0) {
      by_height.erase(
          std::remove_if(by_height.begin(), by_height.end(),
                         [&visited](const SeedCandidate& c) { return visited[c.face]; }),
          by_height.end());
      std::sort(by_height.begin(), by_height.end(), higher);
      sorted = true;
    }
    if (!sorted) {
      // First sweep: bring the highest candidate to the front.
      auto top = std::min_element(by_height.begin(), by_height.end(), higher);
      if (top != by_height.end()) std::iter_swap(by_height.begin(), top);
    }
    // Faces never become unvisited again, so the first unvisited face in seed order only
    // moves forward.
    while (next_highest < by_height.size() && visited[by_height[next_highest].face]) {
      ++next_highest;
    }
    int32_t seed = first_unvisited;
    if (next_highest < by_height.size() &&
        by_height[next_highest].height > height[first_unvisited]) {
      seed = by_height[next_highest].face;
    }

    Vec3d p[3];
    Vec3d n;
    triangle_positions(seed, p);
    face_normal(p[0], p[1], p[2], n);
    if (n.z > 0) faces->flip(seed);
    // The seed joins before the first pass: every edge of it is looked at in pass 1.
    moments.restart();
    join(seed, 0, edge_total);

    while (!moments.empty()) {
      const uint64_t m = moments.pop();
      const uint32_t pass = static_cast<uint32_t>(m >> 32);
      const int32_t e = static_cast<int32_t>(m & 0xffffffffu);
      int32_t ef[2];
      edges->faces_of_edge(e, ef);
      int32_t reference;
      int32_t target;
      if (!visited[ef[0]] && visited[ef[1]]) {
        reference = ef[1];
        target = ef[0];
      } else if (!visited[ef[1]] && visited[ef[0]]) {
        reference = ef[0];
        target = ef[1];
      } else {
        continue;  // both joined meanwhile
      }
      int32_t ends_of_edge[2];
      edges->ends(e, ends_of_edge);
      orient_like(*faces, ends_of_edge[0], reference, target);
      join(target, pass, e);
    }
  }
}
