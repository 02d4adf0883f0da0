// Strict decimal integer parsing over plain text.
//
// Accepts ASCII digits with an optional sign and surrounding blanks, as the
// host's int() does for ordinary text, but nothing else: no "_" separators,
// no other digit sets, no empty number. A value outside 64 bits is refused
// rather than wrapped.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace common {

enum class IntParseError { kInvalid, kOverflow };

struct IntParseResult {
  std::optional<std::int64_t> value;
  IntParseError error = IntParseError::kInvalid;
};

IntParseResult parse_decimal(std::string_view text);

}  // namespace common
