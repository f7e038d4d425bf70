#include "settings/chunked_text.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "settings/delimited_writer.h"
#include "settings/text_file.h"

namespace {

// Each item as a line of its number and a float, as the writers' lists are made.
void format_items(DelimitedWriter& out, int32_t first, int32_t end) {
  for (int32_t i = first; i < end; ++i) out.Int(i).Char(' ').Fixed(i * 0.1).Text(";\n");
}

TEST(ChunkedText, ChunksComeOutInItemOrderWithTheBytesOfOneWriter) {
  for (int mode : {LD_DOS, LD_UNIX, LD_MAC})
    for (int32_t chunk : {1, 7, 1000})
      for (int32_t count : {0, 1, 999, 1000, 1001, 20000}) {
        std::string whole;
        {
          DelimitedWriter out(mode, &whole);
          format_items(out, 0, count);
        }
        std::string chunked;
        int32_t next = 0;
        write_in_chunks(
            count, chunk, mode,
            [](DelimitedWriter& out, int32_t first, int32_t end, int worker) {
              ASSERT_TRUE(worker == 0 || worker == 1);
              format_items(out, first, end);
            },
            [&](const char* text, std::size_t length, int32_t first, int32_t end) {
              EXPECT_EQ(first, next);
              next = end;
              chunked.append(text, length);
            });
        EXPECT_EQ(next, count);
        EXPECT_EQ(chunked, whole) << "mode " << mode << ", chunk " << chunk << ", count " << count;
      }
}

TEST(ChunkedText, ExceptionFromTheCallingThreadStopsTheHelperAndLeaves) {
  int emitted = 0;
  EXPECT_THROW(write_in_chunks(
                   100000, 10, LD_UNIX,
                   [](DelimitedWriter& out, int32_t first, int32_t end, int) {
                     format_items(out, first, end);
                   },
                   [&](const char*, std::size_t, int32_t, int32_t) {
                     if (++emitted == 3) throw std::runtime_error("cancelled");
                   }),
               std::runtime_error);
  EXPECT_EQ(emitted, 3);
}

}  // namespace
