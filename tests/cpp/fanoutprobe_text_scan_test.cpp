// Word and line splitting and number reading as the host does them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fanoutprobe/core/route_tables.hpp"
#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {
namespace {

std::vector<std::string> strings(const std::vector<std::string_view>& views) {
  return {views.begin(), views.end()};
}

TEST(FanoutprobeTextScan, LinesBreakAtLfCrAndCrLfOnly) {
  struct Case { std::string text; std::vector<std::string> lines; };
  const Case cases[] = {
      {"", {}},
      {"a\n", {"a"}},
      {"\n", {""}},
      {"a\r\nb\rc\n\nd", {"a", "b", "c", "", "d"}},
      {"a\x0b" "b\x0c" "c", {"a\x0b" "b\x0c" "c"}},  // vertical tab and form feed stay
  };
  for (const Case& c : cases) EXPECT_EQ(strings(split_lines(c.text)), c.lines) << c.text;
}

TEST(FanoutprobeTextScan, WordsSplitAtTheHostsWhitespace) {
  struct Case { std::string text; std::vector<std::string> words; };
  const Case cases[] = {
      {"  a  b\t c \n", {"a", "b", "c"}},
      {"a\x1f" "b", {"a", "b"}},                   // unit separator is blank to the host
      {"a\xc2\xa0" "b\xe3\x80\x80" "c", {"a", "b", "c"}},  // no-break and ideographic space
      {"\xc3\xa9t\xc3\xa9", {"\xc3\xa9t\xc3\xa9"}},        // other non-ASCII stays in the word
      {"a\xc2 b", {"a\xc2", "b"}},                  // a lead byte alone swallows no blank
      {"\xf2 )2 x\xe3", {"\xf2", ")2", "x\xe3"}},
  };
  for (const Case& c : cases) EXPECT_EQ(strings(split_words(c.text)), c.words) << c.text;
  EXPECT_EQ(strip(" \xe2\x80\x83x y\xc2\x85 "), "x y");
}

TEST(FanoutprobeTextScan, NumbersReadAsTheHostReadsThem) {
  struct Case { const char* text; Number (*read)(std::string_view); std::int64_t value; FailureKind kind; };
  const Case cases[] = {
      {" -12 ", decimal, -12, FailureKind::kNone},
      {"+7", decimal, 7, FailureKind::kNone},
      {"1_0", decimal, 0, FailureKind::kInvalidDecimal},
      {"0x10", decimal, 0, FailureKind::kInvalidDecimal},
      {"99999999999999999999", decimal, 0, FailureKind::kOverflow},
      {"1f", hexadecimal, 31, FailureKind::kNone},
      {"0X1F", hexadecimal, 31, FailureKind::kNone},
      {" -0x10\n", hexadecimal, -16, FailureKind::kNone},
      {"0x", hexadecimal, 0, FailureKind::kInvalidHex},
      {"", hexadecimal, 0, FailureKind::kInvalidHex},
      {"0x1g", hexadecimal, 0, FailureKind::kInvalidHex},
      {"0x10000000000000000", hexadecimal, 0, FailureKind::kOverflow},
      {"0x10", hex_or_decimal, 16, FailureKind::kNone},
      {"10", hex_or_decimal, 10, FailureKind::kNone},
      {"ff", hex_or_decimal, 0, FailureKind::kInvalidDecimal},
  };
  for (const Case& c : cases) {
    Number n = c.read(c.text);
    EXPECT_EQ(n.failure.kind, c.kind) << c.text;
    if (c.kind == FailureKind::kNone) EXPECT_EQ(n.value, c.value) << c.text;
    else EXPECT_EQ(n.failure.text, c.text);
  }
}

TEST(FanoutprobeTextScan, DottedQuadOfAddressValues) {
  Failure fault;
  EXPECT_EQ(dotted_quad(0x0a000001, fault), "10.0.0.1");
  EXPECT_EQ(dotted_quad(0, fault), "0.0.0.0");
  EXPECT_EQ(dotted_quad(0xffffffffLL, fault), "255.255.255.255");
  EXPECT_FALSE(fault);
  dotted_quad(0x100000000LL, fault);
  EXPECT_EQ(fault.kind, FailureKind::kValue);
  Failure negative;
  dotted_quad(-1, negative);
  EXPECT_EQ(negative.kind, FailureKind::kValue);
}

}  // namespace
}  // namespace fanoutprobe
