// A number read from a platform object for one printf-style placeholder:
// an integer, or None, which only the placeholder itself refuses (with the
// host's own message), so a None that is never written is no error.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace bringup {

using HostNumber = std::optional<std::int64_t>;

// The host's TypeError for a placeholder that cannot write its value.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "%d", "%u" or "%i" of the number; FormatError for None.
std::string decimal_of(const HostNumber& number, char placeholder = 'u');
// "%x" (width 0) or "%0<width>x" of the number; FormatError for None.
std::string hexadecimal_of(const HostNumber& number, int width = 0);

}  // namespace bringup
