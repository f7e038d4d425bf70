// The corner text cache writes exactly what formatting every vector afresh writes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "plugins/rayinc_out/vector_text_cache.h"
#include "settings/delimited_writer.h"

TEST(VectorTextCache, WritesWhatFormattingEveryVectorWritesWhateverSharesASlot) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Vectors that differ only where a cache could be fooled: the sign of a zero, a last bit, a
  // text too long for a slot, not-a-number; every one is written under several slot numbers,
  // and every slot number is used by several of them.
  const Vec3d vectors[] = {{0.0, 0.0, 0.0},
                           {-0.0, 0.0, 0.0},
                           {0.0, 0.0, -0.0},
                           {1.0, 2.0, 3.0},
                           {1.0, 2.0, std::nextafter(3.0, 4.0)},
                           {1e300, -1e300, 5.0},
                           {-1234.5678905, 0.1, 7},
                           {nan, -nan, 1.0 / 0.0}};
  std::string cached, plain;
  {
    DelimitedWriter a(1, &cached), b(1, &plain);
    VectorTextCache cache(4);
    for (int round = 0; round < 3; ++round)
      for (uint32_t where = 0; where < 200; where += 7)
        for (const Vec3d& v : vectors) {
          cache.put(a, v, where);
          a.Char(' ');
          b.Fixed(v.x).Char(',').Fixed(v.y).Char(',').Fixed(v.z).Char(' ');
        }
  }
  ASSERT_FALSE(plain.empty());
  EXPECT_EQ(cached, plain);
}
