// Object names made into identifiers that POV-Ray and Moray accept.
#include <gtest/gtest.h>

#include <string>

#include "plugins/rayinc_out/clean_name.h"

TEST(CleanName, LeadingDigitGetsAnX) {
  EXPECT_EQ(clean_name("3001.dat_2_C4"), "X3001_dat_2_C4");
  EXPECT_EQ(clean_name("2cv"), "X2cv");
}

TEST(CleanName, EveryOtherCharacterBecomesAnUnderscore) {
  EXPECT_EQ(clean_name("my box"), "my_box");
  EXPECT_EQ(clean_name(" "), "_");
  EXPECT_EQ(clean_name("a-b.c\tdé"), "a_b_c_d__");  // é is two bytes in UTF-8
  EXPECT_EQ(clean_name("_under_Score_9"), "_under_Score_9");
}

TEST(CleanName, EmptyNameBecomesAnIdentifier) {
  EXPECT_EQ(clean_name(""), "X");
  EXPECT_EQ(clean_name(nullptr), "X");
}

TEST(CleanName, ReservedWordsGetAnXLikeLeadingDigits) {
  for (const char* word : {"box", "sphere", "union", "mesh", "blob", "cylinder", "x", "pi",
                           "declare", "object", "texture", "smooth_triangle", "threshold"})
    EXPECT_EQ(clean_name(word), std::string("X") + word) << word;
  // Only the whole name counts, and case matters.
  EXPECT_EQ(clean_name("Box"), "Box");
  EXPECT_EQ(clean_name("boxes"), "boxes");
  EXPECT_EQ(clean_name("my.box"), "my_box");
}

TEST(CleanName, ANameThatCleansToAReservedWordIsMadeSafeToo) {
  EXPECT_EQ(clean_name("no image"), "Xno_image");
  EXPECT_EQ(clean_name("light-source"), "Xlight_source");
  EXPECT_EQ(clean_name("x "), "x_");
}

TEST(CleanName, LongNamesAreKeptWhole) {
  std::string name(5000, 'a');
  name[2500] = ' ';
  std::string expected(5000, 'a');
  expected[2500] = '_';
  EXPECT_EQ(clean_name(name.c_str()), expected);
}
