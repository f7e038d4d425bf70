#include "settings/text_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <clocale>
#include <cstring>
#include <string>
#include <vector>

#include "tests/settings/private_store.h"

namespace {

// Every line read_line gives for `bytes` with a buffer of `capacity`.
std::vector<std::string> lines_of(const std::string& bytes, int capacity = 256) {
  std::FILE* file = stream_of(bytes);
  std::vector<std::string> lines;
  std::vector<char> buffer(static_cast<std::size_t>(capacity));
  while (read_line(buffer.data(), capacity, file)) lines.push_back(buffer.data());
  std::fclose(file);
  return lines;
}

using Lines = std::vector<std::string>;

std::string delimited(int ld_mode, const char* text) {
  std::FILE* file = std::tmpfile();
  print_delimited(ld_mode, file, "%s", text);
  std::string bytes = contents_of(file);
  std::fclose(file);
  return bytes;
}

}  // namespace

TEST(ReadLine, CrLfAndCrLfEachEndOneLine) {
  EXPECT_EQ(lines_of("ab\r\ncd\rx"), (Lines{"ab", "cd", "x"}));
  EXPECT_EQ(lines_of("a\n\nb\r\r\nc\n"), (Lines{"a", "", "b", "", "c"}));
  EXPECT_EQ(lines_of("\n\r"), (Lines{"", ""}));
}

TEST(ReadLine, EmptyFileGivesNothing) {
  EXPECT_EQ(lines_of(""), Lines{});
  std::FILE* file = stream_of("");
  char buffer[8] = "junk";
  EXPECT_EQ(read_line(buffer, sizeof buffer, file), nullptr);
  std::fclose(file);
}

TEST(ReadLine, TabBecomesBlankAndOtherControlBytesEndLine) {
  EXPECT_EQ(lines_of("a\tb\x01"
                     "c\x1f"
                     "d"),
            (Lines{"a b", "c", "d"}));
  EXPECT_EQ(lines_of(std::string("x\0y", 3)), (Lines{"x", "y"}));
}

TEST(ReadLine, KeepsBytesOf128AndAbove) {
  EXPECT_EQ(lines_of("Gr\xc3\xbc\xc3\x9f"
                     "e\n\xff\x80\n"),
            (Lines{"Gr\xc3\xbc\xc3\x9f"
                   "e",
                   "\xff\x80"}));
}

TEST(ReadLine, LongLineComesInPiecesOfCapacityLessOne) {
  EXPECT_EQ(lines_of("abcdefg\nh", 4), (Lines{"abc", "def", "g", "h"}));
  std::string long_line(10000, 'z');
  Lines pieces = lines_of(long_line + "\n", 1024);
  ASSERT_EQ(pieces.size(), 10u);
  std::string joined;
  for (const std::string& piece : pieces) joined += piece;
  EXPECT_EQ(joined, long_line);
}

TEST(ReadLine, LineThatExactlyFillsBufferIsNotFollowedByEmptyLine) {
  EXPECT_EQ(lines_of("abc\nde\n", 4), (Lines{"abc", "de"}));
  EXPECT_EQ(lines_of("abc\r\nde", 4), (Lines{"abc", "de"}));
  EXPECT_EQ(lines_of("abc\n\nde", 4), (Lines{"abc", "", "de"}));
}

TEST(FileSize, GivesSizeAndKeepsReadPosition) {
  std::FILE* file = stream_of("0123456789");
  std::fgetc(file);
  std::fgetc(file);
  EXPECT_EQ(file_size(file), 10);
  EXPECT_EQ(std::fgetc(file), '2');
  std::fclose(file);
}

TEST(SkipBlanks, SkipsBlanksButNotTabs) {
  EXPECT_STREQ(skip_blanks("   x y"), "x y");
  EXPECT_STREQ(skip_blanks(" \tx"), "\tx");
  EXPECT_STREQ(skip_blanks("    "), "");
}

TEST(PrintDelimited, EachModeWritesItsLineEnd) {
  EXPECT_EQ(delimited(LD_DOS, "a\nb\n"), "a\r\nb\r\n");
  EXPECT_EQ(delimited(LD_UNIX, "a\nb\n"), "a\nb\n");
  EXPECT_EQ(delimited(LD_MAC, "a\nb\n"), "a\rb\r");
  EXPECT_EQ(delimited(3, "a\nb"), "ab");
  EXPECT_EQ(delimited(-1, "a\r\nb"), "a\rb");
}

TEST(PrintDelimited, ReturnsLengthBeforeReplacement) {
  std::FILE* file = std::tmpfile();
  EXPECT_EQ(print_delimited(LD_DOS, file, "%d\n%s\n", 42, "x"), 5);
  EXPECT_EQ(contents_of(file), "42\r\nx\r\n");
  std::fclose(file);
}

TEST(PrintDelimited, LongTextIsWrittenWhole) {
  std::string text;
  for (int i = 0; i < 600; ++i) text += "line " + std::to_string(i) + "\n";
  ASSERT_GT(text.size(), 4000u);
  std::FILE* file = std::tmpfile();
  EXPECT_EQ(print_delimited(LD_UNIX, file, "%s%s", text.c_str(), "end"),
            static_cast<int>(text.size() + 3));
  EXPECT_EQ(contents_of(file), text + "end");
  std::fclose(file);

  std::string dos;
  for (char c : text) dos += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(delimited(LD_DOS, text.c_str()), dos);
}

TEST(PrintVector, SeparatorModeChoosesBlankCommaOrTab) {
  for (auto [mode, expected] : {std::pair<int, const char*>{0, "1.000000 -2.500000 0.000001"},
                                {1, "1.000000,-2.500000,0.000001"},
                                {2, "1.000000\t-2.500000\t0.000001"}}) {
    std::FILE* file = std::tmpfile();
    double xyz[3] = {1.0, -2.5, 0.000001};
    EXPECT_EQ(print_vector(LD_DOS, file, xyz, mode), static_cast<int>(std::strlen(expected)));
    EXPECT_EQ(contents_of(file), expected);
    std::fclose(file);
  }
}

TEST(PrintDelimited, NumbersKeepDecimalPointUnderCommaLocale) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
  char probe[32];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  std::FILE* file = std::tmpfile();
  print_delimited(LD_UNIX, file, "%f\n", 1.5);
  print_vector(LD_UNIX, file, 0.25, 2.0, -3.0, 1);
  std::string written = contents_of(file);
  std::fclose(file);
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_STREQ(probe, "1,5");  // the locale really uses a decimal comma
  EXPECT_EQ(written, "1.500000\n0.250000,2.000000,-3.000000");
}

TEST(OpenRegularFile, OpensFilesAndRefusesFifosFoldersAndMissingNamesAtOnce) {
  TempFolder folder;
  const std::string file = folder.path() + "/model.x";
  const std::string fifo = folder.path() + "/pipe.x";
  {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    std::fputs("xof", out);
    std::fclose(out);
  }
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  std::FILE* in = open_regular_file(file.c_str());
  ASSERT_NE(in, nullptr);
  char text[8] = "";
  EXPECT_NE(std::fgets(text, sizeof text, in), nullptr);
  EXPECT_STREQ(text, "xof");
  std::fclose(in);
  // A FIFO without a writer would block fopen for ever; here it is refused at once.
  EXPECT_EQ(open_regular_file(fifo.c_str()), nullptr);
  EXPECT_EQ(open_regular_file(folder.path().c_str()), nullptr);
  EXPECT_EQ(open_regular_file((folder.path() + "/missing.x").c_str()), nullptr);
}
