#include "settings/chunked_text.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "settings/delimited_writer.h"

namespace {

// The chunks between the calling thread and the helper. Chunk c, once formatted, waits in
// slot c % kChunkWindow until the calling thread has emitted every chunk before it; a chunk
// is only taken for formatting when its slot is free.
struct ChunkQueue {
  std::mutex mutex;
  std::condition_variable changed;
  int32_t chunks = 0;
  int32_t next_to_take = 0;
  int32_t emitted = 0;
  bool stop = false;
  std::exception_ptr failure;  // what the helper threw, rethrown on the calling thread
  std::string text[kChunkWindow];
  bool ready[kChunkWindow] = {};

  // Under the lock: the next chunk to format, or -1 when none may be taken now.
  int32_t take() {
    if (next_to_take >= chunks || next_to_take >= emitted + kChunkWindow) return -1;
    return next_to_take++;
  }
};

void format_chunk(const ChunkFormat& format, int ld_mode, std::string& text, int32_t chunk,
                  int32_t chunk_size, int32_t count, int worker) {
  text.clear();
  const int32_t first = chunk * chunk_size;
  const int32_t end = count - first > chunk_size ? first + chunk_size : count;
  // The writer's block buffer is large; it lives on the heap, not on a helper's stack.
  auto out = std::make_unique<DelimitedWriter>(ld_mode, &text);
  format(*out, first, end, worker);
  out->Flush();
}

}  // namespace

void write_in_chunks(int32_t count, int32_t chunk_size, int ld_mode, const ChunkFormat& format,
                     const ChunkEmit& emit) {
  if (count <= 0) return;
  if (chunk_size < 1) chunk_size = 1;
  const int32_t chunks = (count - 1) / chunk_size + 1;
  auto range_of = [&](int32_t c, int32_t& first, int32_t& end) {
    first = c * chunk_size;
    end = count - first > chunk_size ? first + chunk_size : count;
  };
  if (chunks == 1) {
    std::string text;
    format_chunk(format, ld_mode, text, 0, chunk_size, count, 0);
    emit(text.data(), text.size(), 0, count);
    return;
  }

  ChunkQueue q;
  q.chunks = chunks;
  std::thread helper([&] {
    std::string mine;
    try {
      std::unique_lock<std::mutex> lock(q.mutex);
      for (;;) {
        if (q.stop || q.next_to_take >= q.chunks) return;
        const int32_t c = q.take();
        if (c < 0) {
          q.changed.wait(lock);
          continue;
        }
        lock.unlock();
        format_chunk(format, ld_mode, mine, c, chunk_size, count, 1);
        lock.lock();
        q.text[c % kChunkWindow].swap(mine);
        q.ready[c % kChunkWindow] = true;
        q.changed.notify_all();
      }
    } catch (...) {
      std::lock_guard<std::mutex> lock(q.mutex);
      q.failure = std::current_exception();
      q.stop = true;
      q.changed.notify_all();
    }
  });
  // Stops and joins the helper however the calling thread leaves.
  struct Joiner {
    ChunkQueue& q;
    std::thread& helper;
    ~Joiner() {
      {
        std::lock_guard<std::mutex> lock(q.mutex);
        q.stop = true;
      }
      q.changed.notify_all();
      helper.join();
    }
  } joiner{q, helper};

  std::string mine, emitting;
  std::unique_lock<std::mutex> lock(q.mutex);
  while (q.emitted < chunks) {
    if (q.failure) std::rethrow_exception(q.failure);
    const int32_t slot = q.emitted % kChunkWindow;
    if (q.ready[slot]) {
      q.text[slot].swap(emitting);
      q.ready[slot] = false;
      const int32_t c = q.emitted;
      lock.unlock();
      int32_t first, end;
      range_of(c, first, end);
      emit(emitting.data(), emitting.size(), first, end);
      lock.lock();
      ++q.emitted;
      q.changed.notify_all();
      continue;
    }
    const int32_t c = q.take();
    if (c >= 0) {
      lock.unlock();
      format_chunk(format, ld_mode, mine, c, chunk_size, count, 0);
      lock.lock();
      q.text[c % kChunkWindow].swap(mine);
      q.ready[c % kChunkWindow] = true;
      q.changed.notify_all();
      continue;
    }
    q.changed.wait(lock);
  }
}
