// Text of a long list formatted on two threads and written in order.
//
// write_in_chunks splits the items 0 ... count - 1 into chunks of chunk_size items. Each chunk
// is formatted into memory by format(writer, first, end, worker) (worker 0 on the calling
// thread, 1 on a helper thread; each worker may keep state of its own indexed by it), and the
// finished texts are handed to emit(text, length, first, end) on the calling thread, in order
// of the items, so the bytes are those of formatting the whole list in one go. Progress
// reports and Cancel therefore stay on the calling thread: when emit throws, the helper is
// stopped and joined before the exception leaves.
//
// A list of at most one chunk is formatted on the calling thread alone (no thread is started,
// which matters for models of many small meshes). At most kChunkWindow chunks are held in
// memory at once, so the memory used stays bounded whatever the list's length. The helper
// lives only for the call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

class DelimitedWriter;

constexpr int32_t kChunkWindow = 4;

using ChunkFormat =
    std::function<void(DelimitedWriter& out, int32_t first, int32_t end, int worker)>;
using ChunkEmit =
    std::function<void(const char* text, std::size_t length, int32_t first, int32_t end)>;

void write_in_chunks(int32_t count, int32_t chunk_size, int ld_mode, const ChunkFormat& format,
                     const ChunkEmit& emit);
