#include "common/strict_int_core.hpp"

#include <limits>

namespace common {

namespace {
bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
}  // namespace

IntParseResult parse_decimal(std::string_view text) {
  // Most texts are a few plain digits: no blanks, no sign, no overflow.
  if (!text.empty() && text.size() <= 18) {
    std::int64_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    if (i == text.size()) return {value, IntParseError::kInvalid};
  }
  std::size_t begin = 0, end = text.size();
  while (begin < end && is_blank(text[begin])) ++begin;
  while (end > begin && is_blank(text[end - 1])) --end;
  bool negative = false;
  if (begin < end && (text[begin] == '+' || text[begin] == '-')) {
    negative = text[begin] == '-';
    ++begin;
  }
  if (begin == end) return {};
  // Accumulate as a negative number so that the most negative value fits.
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t value = 0;
  bool overflow = false;
  for (std::size_t i = begin; i < end; ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return {};
    int digit = c - '0';
    if (value < (kMin + digit) / 10) overflow = true;
    if (!overflow) value = value * 10 - digit;
  }
  if (overflow || (!negative && value == kMin)) return {std::nullopt, IntParseError::kOverflow};
  return {negative ? value : -value, IntParseError::kInvalid};
}

}  // namespace common
