#include "settings/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(Memory, MustFreeOfNullEndsProcessSilentlyWithStatusOne) {
  EXPECT_EXIT(must_free(nullptr), testing::ExitedWithCode(1), "^$");
}

#if !defined(__SANITIZE_ADDRESS__)
// (The address sanitizer reports impossible sizes itself before malloc can fail.)
TEST(Memory, ImpossibleAllocationEndsProcessSilentlyWithStatusOne) {
  EXPECT_EXIT(must_alloc(SIZE_MAX - 64), testing::ExitedWithCode(1), "^$");
  EXPECT_EXIT(must_realloc(nullptr, SIZE_MAX - 64), testing::ExitedWithCode(1), "^$");
}

TEST(Memory, FailedNewEndsProcessWithStatusOneOnceHandlerIsInstalled) {
  EXPECT_EXIT(
      {
        install_must_new_handler();
        std::size_t huge = SIZE_MAX / 2;
        volatile char* block = new char[huge];
        block[0] = 1;
      },
      testing::ExitedWithCode(1), "^$");
}
#endif

TEST(Memory, ReallocKeepsContentsAndZeroSizeStillGivesBlock) {
  char* block = static_cast<char*>(must_alloc(0));
  ASSERT_NE(block, nullptr);
  block = static_cast<char*>(must_realloc(block, 4));
  std::memcpy(block, "abc", 4);
  block = static_cast<char*>(must_realloc(block, 1 << 20));
  EXPECT_STREQ(block, "abc");
  must_free(block);
}

TEST(Memory, DupTextMakesIndependentCopy) {
  char source[] = "cube";
  char* copy = dup_text(source);
  source[0] = 'X';
  EXPECT_STREQ(copy, "cube");
  must_free(copy);
  EXPECT_EQ(dup_text(nullptr), nullptr);
}
