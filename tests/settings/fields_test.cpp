#include "settings/fields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(FieldSplitter, ReturnsFieldsBeforeEachSemicolon) {
  const char* field = first_field("a;b;c");
  ASSERT_NE(field, nullptr);
  EXPECT_STREQ(field, "a");
  field = next_field();
  ASSERT_NE(field, nullptr);
  EXPECT_STREQ(field, "b");
  EXPECT_EQ(next_field(), nullptr);
  EXPECT_EQ(next_field(), nullptr);
}

TEST(FieldSplitter, EmptyFieldsCount) {
  ASSERT_NE(first_field(";x;;"), nullptr);
  EXPECT_STREQ(first_field(";x;;"), "");
  EXPECT_STREQ(next_field(), "x");
  EXPECT_STREQ(next_field(), "");
  EXPECT_EQ(next_field(), nullptr);
}

TEST(FieldSplitter, TextWithoutSemicolonHasNoField) {
  EXPECT_EQ(first_field("no separator"), nullptr);
  EXPECT_EQ(first_field(""), nullptr);
  EXPECT_EQ(first_field(nullptr), nullptr);
  EXPECT_EQ(next_field(), nullptr);
}

TEST(FieldSplitter, LongFieldIsCutAndNextFieldStillFollows) {
  std::string text = std::string(300, 'q') + ";next;";
  const char* field = first_field(text.c_str());
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(std::strlen(field), static_cast<std::size_t>(kMaxFieldLength));
  EXPECT_STREQ(next_field(), "next");
}

TEST(FieldSplitter, CallerMayReleaseTextWhileSplitting) {
  std::string* text = new std::string("one;two;");
  EXPECT_STREQ(first_field(text->c_str()), "one");
  delete text;
  EXPECT_STREQ(next_field(), "two");
}

TEST(FieldSplitter, NewTextRestartsFromItsBeginning) {
  first_field("a;b;c;");
  EXPECT_STREQ(first_field("x;y;"), "x");
  EXPECT_STREQ(next_field(), "y");
  EXPECT_EQ(next_field(), nullptr);
}
