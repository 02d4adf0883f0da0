// Checks shared by the fuzz targets: a broken promise aborts, which
// libFuzzer reports as a crash and keeps the input.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace fuzz {

inline void require(bool promise) {
  if (!promise) std::abort();
}

// Readers hand back views into the text they were given: each must lie
// inside it (an empty view may point anywhere).
inline void require_inside(std::string_view part, std::string_view whole) {
  if (part.empty()) return;
  require(part.data() >= whole.data() &&
          part.data() + part.size() <= whole.data() + whole.size());
}

inline std::string_view text_of(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzz
