#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "common/strict_int_core.hpp"

namespace {

using common::IntParseError;
using common::parse_decimal;

struct Case {
  std::string text;
  std::optional<std::int64_t> value;
  IntParseError error = IntParseError::kInvalid;
};

TEST(ParseDecimal, AcceptsOnlyPlainDecimalNumbers) {
  const Case cases[] = {
      {"0", 0},
      {"12", 12},
      {"  7\t", 7},
      {"+5", 5},
      {"-3", -3},
      {"9223372036854775807", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
      {"", std::nullopt},
      {"  ", std::nullopt},
      {"+", std::nullopt},
      {"1_000", std::nullopt},
      {"12a", std::nullopt},
      {"0x10", std::nullopt},
      {"1 2", std::nullopt},
      {"--1", std::nullopt},
      {"9223372036854775808", std::nullopt, IntParseError::kOverflow},
      {"-9223372036854775809", std::nullopt, IntParseError::kOverflow},
      {"99999999999999999999999", std::nullopt, IntParseError::kOverflow},
  };
  for (const Case& c : cases) {
    auto result = parse_decimal(c.text);
    EXPECT_EQ(result.value, c.value) << "text: '" << c.text << "'";
    if (!c.value) {
      EXPECT_EQ(result.error, c.error) << "text: '" << c.text << "'";
    }
  }
}

}  // namespace
