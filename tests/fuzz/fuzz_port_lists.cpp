// The port list compressor over interface names, one per line: a
// PortNumberError for a name without a decimal number, otherwise a list in
// which every name appears, alone or inside a range.
#include <string>
#include <vector>

#include "bringup/core/port_lists.hpp"
#include "tests/fuzz/fuzz_check.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::text_of(data, size);
  std::vector<std::string> names;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    names.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  std::string list;
  try {
    list = bringup::compress_portlist(names);
  } catch (const bringup::PortNumberError&) {
    return 0;
  }
  std::size_t bare = 0;
  for (const std::string& name : names) bare += name.size() + 1;
  fuzz::require(list.size() + 1 <= bare);
  for (const std::string& name : names) {
    // A name inside a range is hidden; its run's ends are written.
    if (list.find(name) == std::string::npos) fuzz::require(list.find('-') != std::string::npos);
  }
  return 0;
}
