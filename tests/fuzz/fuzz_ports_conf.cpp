// The ports.conf reader: entries or numbered bad lines, never both; the
// entries written back as a file ("label=mode", continuation lines for a
// mode's further lines) read back to the same entries.
#include <string>

#include "bringup/core/ports_conf.hpp"
#include "tests/fuzz/fuzz_check.hpp"

namespace {

std::string written(const bringup::ParsedLayout& layout) {
  std::string file;
  for (const auto& [label, mode] : layout.entries) {
    file += label + "=";
    for (char c : mode) file += c == '\n' ? std::string("\n ") : std::string(1, c);
    file += "\n";
  }
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::text_of(data, size);
  bringup::ParsedLayout layout = bringup::parse_ports_conf(text);
  if (!layout.bad_lines.empty()) {
    fuzz::require(layout.entries.empty());
    int previous = 1;
    for (const auto& line : layout.bad_lines) {
      fuzz::require(line.number > previous);
      previous = line.number;
    }
    return 0;
  }
  bringup::ParsedLayout again = bringup::parse_ports_conf(written(layout));
  fuzz::require(again.bad_lines.empty() && again.entries == layout.entries);
  return 0;
}
