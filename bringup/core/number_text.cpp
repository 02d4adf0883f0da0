#include "bringup/core/number_text.hpp"

#include <cstdint>

namespace bringup {

namespace {

// Digits of |value| in `base`, then the sign in front of the zero padding.
std::string with_sign(std::int64_t value, unsigned base, int width) {
  const bool negative = value < 0;
  // The magnitude as unsigned, so the most negative value has one too.
  std::uint64_t magnitude = negative ? ~static_cast<std::uint64_t>(value) + 1
                                     : static_cast<std::uint64_t>(value);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789abcdef"[magnitude % base]);
    magnitude /= base;
  } while (magnitude != 0);
  const int used = static_cast<int>(digits.size()) + (negative ? 1 : 0);
  if (used < width) digits.insert(0, static_cast<std::size_t>(width - used), '0');
  return negative ? "-" + digits : digits;
}

}  // namespace

std::string decimal(std::int64_t value, int width) { return with_sign(value, 10, width); }

std::string hexadecimal(std::int64_t value, int width) { return with_sign(value, 16, width); }

}  // namespace bringup
