#include "glimmer/core/main_loop_lines.hpp"

namespace glimmer {

const char* const kPadCountLoadFormat = "\n        ld      a, %u";
const char* const kPortPositionLoadFormat = "\n        ld      a,%u";
const char* const kCallLineFormat = "\n        call    %s";

std::string pad_count_load(std::int64_t length) {
  return "\n        ld      a, " + std::to_string(length);
}

std::string port_position_load(std::int64_t position) {
  return "\n        ld      a," + std::to_string(position);
}

std::string call_line(std::string_view name) {
  std::string line = "\n        call    ";
  line.append(name);
  return line;
}

}  // namespace glimmer
