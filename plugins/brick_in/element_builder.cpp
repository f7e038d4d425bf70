#include "plugins/brick_in/element_builder.h"

#include <utility>

#include "meshlib/mesh3d.h"

namespace {

// Elements built as one piece of work, and how many chunks the helper may be ahead of the
// caller.
constexpr int32_t kChunkElements = 16;
constexpr int32_t kChunksAhead = 4;

}  // namespace

ElementBuilder::ElementBuilder(int32_t count, Build build)
    : count_(count > 0 ? count : 0),
      build_(std::move(build)),
      built_(static_cast<std::size_t>(count_)),
      done_(static_cast<std::size_t>((count_ + kChunkElements - 1) / kChunkElements), 0) {
  if (count_ > kChunkElements) helper_ = std::thread([this] { help(); });
}

ElementBuilder::~ElementBuilder() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  if (helper_.joinable()) helper_.join();
  for (std::vector<BuiltMesh>& meshes : built_)
    for (BuiltMesh& m : meshes) delete m.mesh;
}

void ElementBuilder::build_chunk(int32_t chunk) {
  const int32_t first = chunk * kChunkElements;
  const int32_t end = first + kChunkElements < count_ ? first + kChunkElements : count_;
  std::vector<std::vector<BuiltMesh>> meshes;
  for (int32_t i = first; i < end; ++i) meshes.push_back(build_(i));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int32_t i = first; i < end; ++i) built_[i] = std::move(meshes[i - first]);
    done_[chunk] = 1;
  }
  changed_.notify_all();
}

void ElementBuilder::help() {
  const int32_t chunks = static_cast<int32_t>(done_.size());
  for (;;) {
    int32_t chunk;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] {
        return stop_ || next_chunk_ >= chunks || next_chunk_ <= taken_chunk_ + kChunksAhead;
      });
      if (stop_ || next_chunk_ >= chunks) return;
      chunk = next_chunk_++;
    }
    build_chunk(chunk);
  }
}

std::vector<BuiltMesh> ElementBuilder::take(int32_t element) {
  if (element < 0 || element >= count_) return {};
  const int32_t chunk = element / kChunkElements;
  std::unique_lock<std::mutex> lock(mutex_);
  if (chunk != taken_chunk_) {
    taken_chunk_ = chunk;
    changed_.notify_all();
  }
  // While the chunk is not done, this thread builds the next chunk nobody has started (the
  // element's own first, as chunks are started in order) rather than wait for the helper.
  const int32_t chunks = static_cast<int32_t>(done_.size());
  while (!done_[chunk]) {
    if (next_chunk_ <= chunk) next_chunk_ = chunk;
    if (next_chunk_ < chunks && next_chunk_ <= chunk + kChunksAhead) {
      const int32_t start = next_chunk_++;
      lock.unlock();
      build_chunk(start);
      lock.lock();
    } else {
      changed_.wait(lock, [&] { return done_[chunk] != 0; });
    }
  }
  std::vector<BuiltMesh> meshes;
  meshes.swap(built_[element]);
  return meshes;
}
