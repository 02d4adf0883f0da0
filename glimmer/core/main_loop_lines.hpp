// The lines of the LED program's main loop. Every operand starts in column
// 17; the pad count load has a blank after its comma, the port position
// load has none. Each line starts with its own line feed and has none after.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace glimmer {

// The same lines as the host's "%" formats, for values that are not plain
// integers (the host writes those).
extern const char* const kPadCountLoadFormat;      // "\n        ld      a, %u"
extern const char* const kPortPositionLoadFormat;  // "\n        ld      a,%u"
extern const char* const kCallLineFormat;          // "\n        call    %s"

// A numbered line, held without allocating.
class NumberedLine {
 public:
  NumberedLine(std::string_view prefix, std::int64_t number);
  std::string_view text() const { return {text_, size_}; }

 private:
  char text_[48];
  std::size_t size_ = 0;
};

// A count load before a counted pad routine: the run length in decimal.
NumberedLine pad_count_load(std::int64_t length);
// The chain position a port routine receives in register a.
NumberedLine port_position_load(std::int64_t position);
// A call of the routine `name`.
std::string call_line(std::string_view name);

}  // namespace glimmer
