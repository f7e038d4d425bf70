// The meshes of the elements of an LDraw scene built on a helper thread ahead of the caller,
// who hands them over in order.
//
// build(i) makes the meshes of element i (none, one, or one per colour, each with the colour
// it shows); it must touch nothing but the scene it reads and the meshes it makes, as it runs
// on either thread. take(i), called for i in rising order, gives element i's meshes, built by
// the helper or by the calling thread, which rather than wait for the helper builds the next
// chunk of elements nobody has started. Both work at most a few chunks of elements ahead of
// the last taken, so the meshes waiting with their welding tables stay few. Meshes built and never
// taken (the caller stopped, a Cancel) are freed with the builder, which also stops and joins its
// helper: it lives for one import. A scene of at most one chunk of elements is built on the calling
// thread alone.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class Mesh3d;

struct BuiltMesh {
  Mesh3d* mesh;
  int32_t colour;
};

class ElementBuilder {
 public:
  using Build = std::function<std::vector<BuiltMesh>(int32_t element)>;
  ElementBuilder(int32_t count, Build build);
  ~ElementBuilder();
  ElementBuilder(const ElementBuilder&) = delete;
  ElementBuilder& operator=(const ElementBuilder&) = delete;

  // Element i's meshes, now the caller's.
  std::vector<BuiltMesh> take(int32_t element);

 private:
  void help();
  void build_chunk(int32_t chunk);

  const int32_t count_;
  const Build build_;
  std::vector<std::vector<BuiltMesh>> built_;  // by element; emptied as taken
  std::vector<char> done_;                     // by chunk
  int32_t next_chunk_ = 0;                     // the first chunk nobody has started
  int32_t taken_chunk_ = 0;                    // the chunk of the last element taken
  bool stop_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread helper_;
};
