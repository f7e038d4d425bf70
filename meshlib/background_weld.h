// Welding on a helper thread while the caller reads on: batches of triangles, given as corner
// indices into one array of positions, go into a mesh in the order they are handed over, by
// Mesh3d::add_indexed_triangles with one memo for all of them, so the tables are those of
// adding them in one go on the calling thread.
//
// The helper lives only as long as the object; nothing but the mesh (and the memo) is
// touched on it, so progress reports and Cancel stay with the caller. Until finish returns
// the caller must not read or change the mesh, the positions or the memo. At most
// kMostWaiting batches wait at once, so memory stays bounded; the destructor without finish
// (a read that failed or was cancelled) drops what still waits and joins the helper.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "meshlib/vec3d.h"

class Mesh3d;

class BackgroundWeld {
 public:
  static constexpr std::size_t kMostWaiting = 4;

  BackgroundWeld(Mesh3d& mesh, const Vec3d* positions, int32_t* memo);
  ~BackgroundWeld();
  BackgroundWeld(const BackgroundWeld&) = delete;
  BackgroundWeld& operator=(const BackgroundWeld&) = delete;

  // Hands over the triangles corners[3i], corners[3i + 1], corners[3i + 2] (emptied; a
  // cleared buffer of an earlier batch comes back in it for reuse). Waits while the queue is
  // full.
  void add(std::vector<int32_t>& corners);
  // Waits until every batch handed over is in the mesh and ends the helper.
  void finish();

 private:
  void run();

  Mesh3d& mesh_;
  const Vec3d* positions_;
  int32_t* memo_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<int32_t>> waiting_;
  std::vector<std::vector<int32_t>> spare_;  // welded batches' buffers, cleared
  bool no_more_ = false;                     // finish: weld what waits, then end
  bool stop_ = false;                        // destructor: end at once
  std::thread helper_;
};
