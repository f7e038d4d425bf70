// Welding on a helper thread while the caller reads on: batches of triangles, given as corner
// indices into one array of positions, go into a mesh in the order they are handed over, by
// Mesh3d::add_indexed_triangles with one memo for all of them, so the tables are those of
// adding them in one go on the calling thread.
//
// Nothing but the mesh (and the memo) is touched on the helper. Until finish returns the
// caller must not read or change the mesh, the positions or the memo. The helper's queue and
// lifetime are those of BatchThread.
#pragma once

#include <cstdint>
#include <vector>

#include "meshlib/batch_thread.h"
#include "meshlib/vec3d.h"

class Mesh3d;

class BackgroundWeld {
 public:
  BackgroundWeld(Mesh3d& mesh, const Vec3d* positions, int32_t* memo);

  // Hands over the triangles corners[3i], corners[3i + 1], corners[3i + 2] (emptied; a
  // cleared buffer of an earlier batch comes back in it for reuse). Waits while the queue is
  // full.
  void add(std::vector<int32_t>& corners) { helper_.add(corners); }
  // Waits until every batch handed over is in the mesh and ends the helper.
  void finish() { helper_.finish(); }

 private:
  BatchThread helper_;
};
