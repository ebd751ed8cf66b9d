// The field syntax in both directions, with empty fields, escapes and bad input.
#include "support/Fields.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

template <class T, class Reader>
void expectRead(const char* input, Reader reader, int result, T expected, const char* rest) {
  std::istringstream in(input);
  T value{};
  if constexpr (std::is_same_v<T, std::uint32_t> || std::is_same_v<T, std::int32_t>) value = 77;
  EXPECT_EQ(reader(in, value), result) << "input: " << input;
  EXPECT_EQ(value, expected) << "input: " << input;
  in.clear();
  std::string left((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(left, rest) << "input: " << input;
}

// Numbers read with their result (0 read, 1 empty field, -1 bad) and what is left, and are written plain.
TEST(Fields, HexadecimalAndDecimalNumbers) {
  auto hex = [](std::istream& in, std::uint32_t& v) { return readHex(in, v); };
  expectRead<std::uint32_t>(" 1c,", hex, 0, 0x1c, ",");
  expectRead<std::uint32_t>(",5", hex, 1, 77, ",5");
  expectRead<std::uint32_t>("zz", hex, -1, 77, "zz");
  expectRead<std::uint32_t>("ffffffff", hex, 0, 0xffffffffu, "");
  expectRead<std::uint32_t>("100000000,", hex, -1, 77, ",");
  expectRead<std::uint32_t>("99999999999999999999999999", hex, -1, 77, "");
  auto dec = [](std::istream& in, std::int32_t& v) { return readDecimal(in, v); };
  expectRead<std::int32_t>("-12,", dec, 0, -12, ",");
  expectRead<std::int32_t>("-2147483648", dec, 0, INT32_MIN, "");
  expectRead<std::int32_t>("2147483648", dec, -1, 77, "");
  expectRead<std::int32_t>("-,", dec, -1, 77, ",");
  expectRead<std::int32_t>(",", dec, 1, 77, ",");
  std::ostringstream out;
  writeHex(out, 0x1c);
  writeDecimal(out << '|', -40);
  writeDecimal(out << '|', INT32_MIN);
  EXPECT_EQ(out.str(), "1c|-40|-2147483648");
}

TEST(Fields, QuotedStringsRoundTripEveryByteAndTheirEdgeCases) {
  std::string text = "a\"b\\c\n\x07";
  std::ostringstream out;
  writeQuoted(out, text);
  EXPECT_EQ(out.str(), R"("a\"b\\c\n\07")");

  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  all += "caf\xC3\xA9, \"quoted\"";
  std::ostringstream out2;
  writeQuoted(out2, all);
  std::istringstream in(out2.str() + ",next");
  std::string back;
  EXPECT_EQ(readQuoted(in, back), 0);
  EXPECT_EQ(back, all);
  EXPECT_EQ(in.peek(), ',');
  // Edge cases of reading.
  struct Case {
    const char* input;
    int result;
    const char* value;
  };
  const Case cases[] = {
      {R"(  "plain")", 0, "plain"},
      {R"("cut off)", 1, "cut off"},
      {R"("ends in \)", 1, "ends in "},
      {"no quote", -1, "unchanged"},
      {"\"tab\there\xC3\xA9\"", 0, "tab\there\xC3\xA9"},  // every byte is kept, unescaped ones too
      {R"("\4g")", 0, "\x04g"},           // one hex digit alone is a byte
      {R"("\q")", 0, "q"},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.input);
    std::string value = "unchanged";
    EXPECT_EQ(readQuoted(in, value), c.result) << c.input;
    EXPECT_EQ(value, c.value) << c.input;
  }
}

TEST(Fields, PointsRectanglesExpectCharAndSkipTo) {
  std::ostringstream out;
  writePoint(out, {3, -4});
  writeRect(out << ',', {1, 2, 30, 40});
  EXPECT_EQ(out.str(), "3 -4,1 2 30 40");

  std::istringstream in("3   -4 , 1 2\t30 40");
  POINT p;
  RECT r;
  EXPECT_EQ(readPoint(in, p), 0);
  EXPECT_EQ(expectChar(in, ','), 0);
  EXPECT_EQ(readRect(in, r), 0);
  EXPECT_EQ(p, (POINT{3, -4}));
  EXPECT_EQ(r, (RECT{1, 2, 30, 40}));

  std::istringstream bad("1 2 x 4");
  RECT kept{9, 9, 9, 9};
  EXPECT_EQ(readRect(bad, kept), -1);
  EXPECT_EQ(kept, (RECT{9, 9, 9, 9}));
  EXPECT_FALSE(bad.fail());
  std::istringstream half("5");
  POINT q{1, 1};
  EXPECT_EQ(readPoint(half, q), -1);
  EXPECT_EQ(q, (POINT{1, 1}));
  // Expected characters and skipping to one outside quotes.
  std::istringstream comma("  ,x");
  EXPECT_EQ(expectChar(comma, ','), 0);
  EXPECT_EQ(expectChar(comma, ','), -1);
  EXPECT_EQ(comma.peek(), 'x');

  std::istringstream path(R"x(1,"a)b\")",2)rest)x");
  EXPECT_EQ(skipTo(path, ')'), 0);
  EXPECT_EQ(path.peek(), 'r');
  std::istringstream none("abc");
  EXPECT_EQ(skipTo(none, ')'), -1);
  std::istringstream open(R"("never closed ) )");
  EXPECT_EQ(skipTo(open, ')'), -1);
}

}  // namespace
