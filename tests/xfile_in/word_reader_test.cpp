#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "plugins/xfile_in/number_words.h"
#include "plugins/xfile_in/word_reader.h"

namespace {

// All words of text read with the given capacity; an over-long word shows as "<long>".
std::vector<std::string> Words(const std::string& text, std::size_t capacity = 1024,
                               int* last_line = nullptr) {
  std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
  std::vector<std::string> words;
  {
    XWordReader reader(f);
    for (;;) {
      XWordReader::Result r = reader.Read(capacity);
      if (r == XWordReader::WORD_END) break;
      words.push_back(r == XWordReader::WORD_TOO_LONG
                          ? std::string("<long>")
                          : std::string(reader.word(), reader.length()));
    }
    if (last_line != nullptr) *last_line = reader.line();
  }
  std::fclose(f);
  return words;
}

using W = std::vector<std::string>;

}  // namespace

TEST(XWordReader, SeparatorsAndBracesSplitWordsWithoutBlanks) {
  EXPECT_EQ(Words("3;0,1,2;;"), (W{"3", ";", "0", ",", "1", ",", "2", ";", ";"}));
  EXPECT_EQ(Words("Mesh box{1;}"), (W{"Mesh", "box", "{", "1", ";", "}"}));
}

TEST(XWordReader, QuotesAndBracketsHaveNoMeaning) {
  EXPECT_EQ(Words("\"a b\" [Material <guid>]"), (W{"\"a", "b\"", "[Material", "<guid>]"}));
}

TEST(XWordReader, CommentsActAsWhiteSpace) {
  EXPECT_EQ(Words("1 # two three\n4"), (W{"1", "4"}));
  EXPECT_EQ(Words("1#x\n2"), (W{"1", "2"}));
  EXPECT_EQ(Words("word// note\nnext"), (W{"word", "next"}));
  EXPECT_EQ(Words("last // no newline at the end"), (W{"last"}));
}

TEST(XWordReader, SingleSlashIsDropped) { EXPECT_EQ(Words("a/b / c/"), (W{"ab", "c"})); }

TEST(XWordReader, LinesCountFromOneIncludingThoseEndingComments) {
  int line = 0;
  Words("a\n# comment\r\nb // x\nc", 1024, &line);
  EXPECT_EQ(line, 4);
  Words("", 1024, &line);
  EXPECT_EQ(line, 1);
}

TEST(XWordReader, WordHoldsAtMostCapacityMinusTwoCharacters) {
  std::string ok(1022, 'x'), too_long(1023, 'x');
  EXPECT_EQ(Words(ok + " y"), (W{ok, "y"}));
  EXPECT_EQ(Words(too_long + " y"), (W{"<long>", "y"}));  // consumed whole, reading goes on
  std::string top(4094, 'x');
  EXPECT_EQ(Words(top, 4096), (W{top}));
  EXPECT_EQ(Words(top + "x", 4096), (W{"<long>"}));
}

TEST(XWordReader, NulAndHighBytesBelongToWords) {
  std::string text("a\0b \xff\xfe;", 7);
  std::vector<std::string> w = Words(text);
  ASSERT_EQ(w.size(), 3u);
  EXPECT_EQ(w[0], std::string("a\0b", 3));
  EXPECT_EQ(w[1], "\xff\xfe");
  EXPECT_EQ(w[2], ";");
}

TEST(XWordReader, ReadsAcrossItsBufferBoundary) {
  // Words that straddle the 64 KiB buffer, and a "//" split across it.
  std::string text(65535, ' ');
  text += "//c\nword";
  std::string padded(65534, ' ');
  padded += "abcdef";
  EXPECT_EQ(Words(text), (W{"word"}));
  EXPECT_EQ(Words(padded), (W{"abcdef"}));
}

TEST(XWordReader, CountsConsumedBytesAndCutsLongWordsAcrossBuffers) {
  // A word of 70,000 bytes runs over the buffer's end; the next word and the count of
  // consumed bytes must come out as if read byte by byte.
  std::string text = "ab;" + std::string(70000, 'x') + " cd#x\n," + std::string(65530, 'y') + "/z";
  std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
  XWordReader reader(f);
  ASSERT_EQ(reader.Read(1024), XWordReader::WORD_OK);
  EXPECT_STREQ(reader.word(), "ab");
  EXPECT_EQ(reader.position(), 2u);
  ASSERT_EQ(reader.Read(1024), XWordReader::WORD_OK);
  ASSERT_EQ(reader.Read(1024), XWordReader::WORD_TOO_LONG);
  EXPECT_EQ(reader.position(), 70003u);
  ASSERT_EQ(reader.Read(1024), XWordReader::WORD_OK);
  EXPECT_STREQ(reader.word(), "cd");
  ASSERT_EQ(reader.Read(1024), XWordReader::WORD_OK);
  EXPECT_STREQ(reader.word(), ",");
  EXPECT_EQ(reader.line(), 2);
  ASSERT_EQ(reader.Read(XWordReader::kTopCapacity), XWordReader::WORD_TOO_LONG);
  EXPECT_EQ(reader.position(), text.size());
  EXPECT_EQ(reader.Read(1024), XWordReader::WORD_END);
  std::fclose(f);
}

TEST(NumberWords, IntegersReadTheirLeadingDigits) {
  int v = 0;
  EXPECT_TRUE(IntFromWord("12abc", &v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(IntFromWord("3.7", &v));
  EXPECT_EQ(v, 3);
  EXPECT_TRUE(IntFromWord("-2147483648", &v));
  EXPECT_EQ(v, -2147483647 - 1);
  EXPECT_TRUE(IntFromWord("+5", &v));
  EXPECT_EQ(v, 5);
  EXPECT_FALSE(IntFromWord("abc", &v));
  EXPECT_FALSE(IntFromWord("-", &v));
  EXPECT_FALSE(IntFromWord("2147483648", &v));
  EXPECT_FALSE(IntFromWord("99999999999999999999999", &v));
}

// Plain decimals of every length and magnitude, as writers put coordinates: the value is the
// full conversion's to the last bit (the reading takes a shorter road for most of them).
TEST(NumberWords, PlainDecimalsReadBitForBitAsTheFullConversion) {
  std::mt19937_64 random(21);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> scale(-8, 16), decimals(0, 24);
  char word[400];
  for (int i = 0; i < 200000; ++i) {
    const double x = mantissa(random) * std::pow(10.0, scale(random));
    if (i % 3 == 2)
      std::snprintf(word, sizeof word, "%.0f.", x);  // "12." and "-0."
    else
      std::snprintf(word, sizeof word, "%.*f", decimals(random), x);
    if (i % 5 == 4 && word[0] == '0' && word[1] == '.' && word[2] != '\0')
      std::memmove(word, word + 1, 399);  // ".5"
    double read = 0.0, full = 0.0;
    ASSERT_TRUE(FloatFromWord(word, &read)) << word;
    std::from_chars(word, word + std::strlen(word), full);
    ASSERT_EQ(std::memcmp(&read, &full, sizeof read), 0) << word;
  }
}

TEST(NumberWords, FloatsRefuseWhatIsNotAFiniteNumber) {
  double v = 0;
  EXPECT_TRUE(FloatFromWord("-0.492126", &v));
  EXPECT_DOUBLE_EQ(v, -0.492126);
  EXPECT_TRUE(FloatFromWord(".5", &v));
  EXPECT_DOUBLE_EQ(v, 0.5);
  EXPECT_TRUE(FloatFromWord("+1e2x", &v));
  EXPECT_DOUBLE_EQ(v, 100.0);
  EXPECT_TRUE(FloatFromWord("1e-400", &v));
  EXPECT_EQ(v, 0.0);
  EXPECT_FALSE(FloatFromWord("nan", &v));
  EXPECT_FALSE(FloatFromWord("-inf", &v));
  EXPECT_FALSE(FloatFromWord("1e400", &v));
  EXPECT_FALSE(FloatFromWord(".", &v));
  EXPECT_FALSE(FloatFromWord("x1", &v));
}
