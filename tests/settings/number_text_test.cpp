// Numbers formatted without printf must give exactly the bytes printf gives, for every double
// the writers can meet, and the delimited writer the bytes print_delimited gives.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "settings/delimited_writer.h"
#include "settings/number_text.h"
#include "settings/text_file.h"

namespace {

std::string fixed6(double v) {
  char text[kFixed6Capacity];
  return std::string(text, format_fixed6(text, v));
}

std::string printf_fixed(double v) {
  char text[400];
  std::snprintf(text, sizeof text, "%f", v);
  return text;
}

std::string int_text(int32_t v) {
  char text[16];
  return std::string(text, format_int(text, v));
}

double from_bits(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

TEST(NumberText, FixedMatchesPrintfOnSpecialValues) {
  const double values[] = {0.0,
                           -0.0,
                           1.0,
                           -1.0,
                           0.5,
                           1e-7,
                           -1e-7,
                           4e-7,
                           5e-7,
                           -5e-7,
                           6e-7,
                           0.0000005,
                           0.0000015,
                           0.0000025,
                           1.0000005,
                           2.5e-6,
                           999999.9999995,
                           0.1,
                           0.7,
                           0.8,
                           32.0,
                           1e6,
                           1e15,
                           1e16,
                           1e22,
                           1e300,
                           -1e300,
                           2147483647.9999995,
                           2147483648.0,
                           -2147483648.0,
                           4294967296.5,
                           std::numeric_limits<double>::max(),
                           -std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::denorm_min(),
                           -std::numeric_limits<double>::denorm_min(),
                           123456.1234565,
                           0.1234565,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN()};
  for (double v : values) EXPECT_EQ(fixed6(v), printf_fixed(v)) << v;
}

TEST(NumberText, FixedMatchesPrintfOnRandomValuesOfEveryScale) {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-12, 12);
  for (int i = 0; i < 400000; ++i) {
    double v = unit(random) * std::pow(10.0, exponent(random));
    ASSERT_EQ(fixed6(v), printf_fixed(v)) << v;
  }
  // Any bit pattern at all.
  for (int i = 0; i < 200000; ++i) {
    double v = from_bits(random());
    ASSERT_EQ(fixed6(v), printf_fixed(v)) << v;
  }
}

TEST(NumberText, FixedMatchesPrintfNearEveryRoundingHalf) {
  // Values a few units in the last place around k + 1/2 millionths, where the fast rounding
  // must hand over to the exact one.
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int64_t> millionths(0, 4000000000000LL);
  for (int i = 0; i < 100000; ++i) {
    double half = (static_cast<double>(millionths(random)) + 0.5) / 1e6;
    if (i % 2) half = -half;
    double v = half;
    for (int step = 0; step < 4; ++step) v = std::nextafter(v, 0.0);
    for (int step = 0; step < 9; ++step, v = std::nextafter(v, 2 * half))
      ASSERT_EQ(fixed6(v), printf_fixed(v)) << v;
  }
  // Exactly representable halves round to even.
  for (int k = 0; k < 4096; ++k) {
    double v = (2 * k + 1) / 2097152.0;  // odd multiples of 2^-21
    ASSERT_EQ(fixed6(v), printf_fixed(v)) << v;
  }
}

TEST(NumberText, IntMatchesPrintf) {
  const int32_t values[] = {0, 1, -1, 9, 10, 99, 100, 123456789, 2147483647, -2147483647 - 1};
  char text[16];
  for (int32_t v : values) {
    std::snprintf(text, sizeof text, "%d", v);
    EXPECT_EQ(int_text(v), text);
  }
  std::mt19937 random(3);
  for (int i = 0; i < 100000; ++i) {
    int32_t v = static_cast<int32_t>(random());
    std::snprintf(text, sizeof text, "%d", v);
    ASSERT_EQ(int_text(v), text);
  }
}

std::string stream_bytes(void (*write)(std::FILE*, int), int ld_mode) {
  std::FILE* file = std::tmpfile();
  write(file, ld_mode);
  std::fflush(file);
  std::string bytes;
  std::rewind(file);
  char block[4096];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;) bytes.append(block, n);
  std::fclose(file);
  return bytes;
}

TEST(DelimitedWriter, WritesTheBytesOfPrintDelimitedInEveryLineEndMode) {
  auto by_printf = [](std::FILE* file, int ld) {
    for (int i = 0; i < 20000; ++i) {
      print_delimited(ld, file, " %f;%f;%f;,\n", i * 0.37, -i / 3.0, 1e-9 * i);
      print_delimited(ld, file, " 3;%d,%d,%d;%s", i, -i, 3 * i, i % 2 ? ",\n" : ";\n\n");
    }
    print_delimited(ld, file, "Mesh %s {\n", "a\nb");
  };
  auto by_writer = [](std::FILE* file, int ld) {
    DelimitedWriter out(ld, file);
    for (int i = 0; i < 20000; ++i) {
      out.Char(' ').Fixed(i * 0.37).Char(';').Fixed(-i / 3.0).Char(';').Fixed(1e-9 * i).Text(
          ";,\n");
      out.Text(" 3;").Int(i).Char(',').Int(-i).Char(',').Int(3 * i).Char(';').Text(i % 2 ? ",\n"
                                                                                         : ";\n\n");
    }
    out.Text("Mesh ").Text("a\nb").Text(" {").Newline();
  };
  for (int ld : {0, 1, 2, 7}) {
    std::string expected = stream_bytes(by_printf, ld);
    EXPECT_EQ(stream_bytes(by_writer, ld), expected) << "ld_mode " << ld;
  }
}

TEST(DelimitedWriter, WritesTextLongerThanItsBufferWhole) {
  std::string long_text(200000, 'x');
  long_text[150000] = '\n';
  std::FILE* file = std::tmpfile();
  {
    DelimitedWriter out(LD_DOS, file);
    out.Text("head").Text(long_text.data(), long_text.size()).Text("tail");
  }
  std::fflush(file);
  long size = std::ftell(file);
  std::fclose(file);
  EXPECT_EQ(size, static_cast<long>(4 + 200000 + 1 + 4));
}

// Raw pieces of every length (chunks another thread formatted) come out in order and whole,
// whether they pass through the buffer or go to the stream (or memory) directly.
TEST(DelimitedWriter, RawPiecesOfEveryLengthKeepTheirOrder) {
  std::string expected;
  auto write = [&expected](DelimitedWriter& out) {
    expected.clear();
    for (std::size_t length : {3u, 20000u, 70000u, 5u, 16384u, 16383u, 65536u, 1u, 200000u}) {
      const std::string piece(length, static_cast<char>('a' + length % 26));
      out.Raw(piece.data(), piece.size()).Char('|');
      expected += piece + "|";
    }
  };
  std::FILE* file = std::tmpfile();
  {
    DelimitedWriter out(LD_UNIX, file);
    write(out);
  }
  std::string from_file(expected.size() + 1, '\0');
  std::rewind(file);
  from_file.resize(std::fread(&from_file[0], 1, from_file.size(), file));
  std::fclose(file);
  EXPECT_TRUE(from_file == expected);
  std::string in_memory;
  {
    DelimitedWriter out(LD_UNIX, &in_memory);
    write(out);
  }
  EXPECT_TRUE(in_memory == expected);
}

}  // namespace
