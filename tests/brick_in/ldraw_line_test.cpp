#include "plugins/brick_in/ldraw_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  std::string line;
  while (next_ldraw_line(text.data(), text.size(), pos, line)) lines.push_back(line);
  return lines;
}

}  // namespace

TEST(LDrawLine, EveryLineEndCountsOnceAndTabsBecomeBlanks) {
  std::vector<std::string> lines = split_lines("ab\r\ncd\rx\ty\n\nlast");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "ab");
  EXPECT_EQ(lines[1], "cd");
  EXPECT_EQ(lines[2], "x y");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "last");
}

TEST(LDrawLine, ControlBytesEndLinesAndUtf8Belongs) {
  std::string text = std::string("a\0b", 3) + "\x01" + "\xC3\xA9t\xE9";
  std::vector<std::string> lines = split_lines(text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "a");
  EXPECT_EQ(lines[1], "b");
  EXPECT_EQ(lines[2], "\xC3\xA9t\xE9");
}

TEST(LDrawLine, LongLinesComeWhole) {
  std::string long_line(100000, 'x');
  std::vector<std::string> lines = split_lines(long_line + "\n");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), 100000u);
}

TEST(LDrawLine, TypeIsTheFirstDigitFollowedByABlank) {
  const char* data = nullptr;
  const std::string triangle = "   3 16 0 0 0", comment = "0";
  EXPECT_EQ(ldraw_line_type(triangle, &data), 3);
  EXPECT_STREQ(data, "16 0 0 0");
  EXPECT_EQ(ldraw_line_type(comment, &data), 0);
  EXPECT_STREQ(data, "");
  EXPECT_EQ(ldraw_line_type("5 24 0 0 0", &data), -1);
  EXPECT_EQ(ldraw_line_type("10 0 0 0", &data), -1);
  EXPECT_EQ(ldraw_line_type("x 1", &data), -1);
  EXPECT_EQ(ldraw_line_type("", &data), -1);
}

TEST(PartReferenceLine, ThirteenNumbersAndANamePlaceAsLDrawDoes) {
  PartReference r;
  ASSERT_TRUE(parse_part_reference("4 10 20 30 1 2 3 4 5 6 7 8 9 3001.dat", r));
  EXPECT_EQ(r.colour, 4);
  EXPECT_EQ(r.file_name, "3001.dat");
  // x' = a*x + b*y + c*z + X, y' = d*x + e*y + f*z + Y, z' = g*x + h*y + i*z + Z
  Vec3d p{1, 10, 100};
  Vec3d q;
  mat_transform_point(q, r.matrix, p);
  EXPECT_DOUBLE_EQ(q.x, 1 * 1 + 2 * 10 + 3 * 100 + 10);
  EXPECT_DOUBLE_EQ(q.y, 4 * 1 + 5 * 10 + 6 * 100 + 20);
  EXPECT_DOUBLE_EQ(q.z, 7 * 1 + 8 * 10 + 9 * 100 + 30);
}

TEST(PartReferenceLine, NameIsTheRestOfTheLineBlanksIncluded) {
  PartReference r;
  ASSERT_TRUE(parse_part_reference("16  0 0 0  1 0 0 0 1 0 0 0 1   my sub model.ldr  ", r));
  EXPECT_EQ(r.file_name, "my sub model.ldr");
  ASSERT_TRUE(parse_part_reference("16 0 0 0 1 0 0 0 1 0 0 0 1 s\\3001s01.dat", r));
  EXPECT_EQ(r.file_name, "s\\3001s01.dat");
}

TEST(PartReferenceLine, MissingNumberOrNameIsRefused) {
  PartReference r;
  EXPECT_FALSE(parse_part_reference("4 0 0 0 1 0 0 0 1 0 0 1 3001.dat", r));
  EXPECT_FALSE(parse_part_reference("4 0 0 0 1 0 0 0 1 0 0 0 1", r));
  EXPECT_FALSE(parse_part_reference("4 0 0 0 1 0 0 0 1 0 0 0 1    ", r));
  EXPECT_FALSE(parse_part_reference("", r));
  EXPECT_FALSE(parse_part_reference("4 0 0 0 1 0 0 0 1 0 0 nan 1 a.dat", r));
  EXPECT_FALSE(parse_part_reference("4 0 0 0 1 0 0 0 1 0 0 1e999 1 a.dat", r));
}

TEST(PartReferenceLine, NumbersTakeSignsExponentsAndLeadingDots) {
  PartReference r;
  ASSERT_TRUE(parse_part_reference("+4 -1.5 +2 .5 1e0 0 0 0 1. 0 0 0 -1E+0 a.dat", r));
  EXPECT_EQ(r.colour, 4);
  EXPECT_DOUBLE_EQ(r.matrix.m[3][0], -1.5);
  EXPECT_DOUBLE_EQ(r.matrix.m[3][1], 2);
  EXPECT_DOUBLE_EQ(r.matrix.m[3][2], 0.5);
  EXPECT_DOUBLE_EQ(r.matrix.m[2][2], -1);
}

TEST(ColourField, DirectColoursInHexadecimalAreRead) {
  const char* text = "0x2FF8000 rest";
  int32_t colour = 0;
  ASSERT_TRUE(read_colour_field(text, colour));
  EXPECT_EQ(colour, 0x2FF8000);
  EXPECT_STREQ(text, " rest");
  text = "0x2GG0000";
  EXPECT_FALSE(read_colour_field(text, colour));
  text = "0x1FFFFFFFF";
  EXPECT_FALSE(read_colour_field(text, colour));
  text = "99999999999";
  EXPECT_FALSE(read_colour_field(text, colour));
  text = "4.5";
  EXPECT_FALSE(read_colour_field(text, colour));
}

TEST(TriangleLine, TenFieldsRequiredExtraTextIgnored) {
  int32_t colour = 0;
  Vec3d p[3];
  ASSERT_TRUE(parse_triangle("0x2FF0000 1 2 3 4 5 6 7 8 9 trailing", colour, p));
  EXPECT_EQ(colour, 0x2FF0000);
  EXPECT_DOUBLE_EQ(p[2].z, 9);
  EXPECT_FALSE(parse_triangle("16 1 2 3 4 5 6 7 8", colour, p));
}

TEST(QuadLine, ThirteenFieldsRequired) {
  int32_t colour = 0;
  Vec3d p[4];
  ASSERT_TRUE(parse_quad("16 0 0 0 1 0 0 1 1 0 0 1 0", colour, p));
  EXPECT_DOUBLE_EQ(p[3].y, 1);
  EXPECT_FALSE(parse_quad("16 0 0 0 1 0 0 1 1 0 0 1", colour, p));
}
