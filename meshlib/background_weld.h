// Welding beside reading: batches of triangles, given as corner indices into one array of
// positions, go into a mesh in the order they are handed over, with one memo for all of them,
// so the tables are those of add_indexed_triangles in one go on the calling thread.
//
// When the vertex table has room for every position (so that it never grows meanwhile), one
// helper welds each batch's corners and a second links its faces to their vertices, each
// batch after the one before (Mesh3d::weld_corners and link_triangles): reading, welding and
// linking then share the machine's cores. Otherwise one helper does both. Until finish
// returns the caller must not read or change the mesh, the positions or the memo. The
// helpers' queues and lifetimes are those of BatchThread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "meshlib/batch_thread.h"
#include "meshlib/vec3d.h"

class Mesh3d;

class BackgroundWeld {
 public:
  BackgroundWeld(Mesh3d& mesh, const Vec3d* positions, int32_t position_count, int32_t* memo);
  ~BackgroundWeld();
  BackgroundWeld(const BackgroundWeld&) = delete;
  BackgroundWeld& operator=(const BackgroundWeld&) = delete;

  // Hands over the triangles corners[3i], corners[3i + 1], corners[3i + 2] (emptied; a
  // cleared buffer of an earlier batch comes back in it for reuse). Waits while the queue is
  // full.
  void add(std::vector<int32_t>& corners) { welder_->add(corners); }
  // Waits until every batch handed over is in the mesh and ends the helpers.
  void finish();

 private:
  Mesh3d& mesh_;
  const Vec3d* positions_;
  int32_t* memo_;
  std::unique_ptr<BatchThread> linker_;  // null when the welder links too
  std::vector<int32_t> welded_;          // the welder's output, handed to the linker
  std::unique_ptr<BatchThread> welder_;
};
