#include "glimmer/core/main_loop_lines.hpp"

#include <charconv>
#include <cstring>

namespace glimmer {

const char* const kPadCountLoadFormat = "\n        ld      a, %u";
const char* const kPortPositionLoadFormat = "\n        ld      a,%u";
const char* const kCallLineFormat = "\n        call    %s";

NumberedLine::NumberedLine(std::string_view prefix, std::int64_t number) {
  std::memcpy(text_, prefix.data(), prefix.size());
  // A 64-bit number takes at most 20 characters: the prefix leaves room.
  size_ = static_cast<std::size_t>(
      std::to_chars(text_ + prefix.size(), text_ + sizeof text_, number).ptr - text_);
}

NumberedLine pad_count_load(std::int64_t length) {
  return NumberedLine("\n        ld      a, ", length);
}

NumberedLine port_position_load(std::int64_t position) {
  return NumberedLine("\n        ld      a,", position);
}

std::string call_line(std::string_view name) {
  std::string line = "\n        call    ";
  line.append(name);
  return line;
}

}  // namespace glimmer
