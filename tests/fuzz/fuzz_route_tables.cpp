// The multicast route readers: "ipmc table show" rows and dump entry lines
// as views into the output; an address value written in dotted decimal
// reads back as a group address.
#include <cstring>

#include "fanoutprobe/core/kernel_outputs.hpp"
#include "fanoutprobe/core/route_tables.hpp"
#include "fanoutprobe/core/text_scan.hpp"
#include "tests/fuzz/fuzz_check.hpp"

using namespace fanoutprobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view output = fuzz::text_of(data, size);
  IpmcRead table = read_ipmc_table(output);
  for (const IpmcRow& row : table.rows) {
    for (std::string_view field : {row.source, row.group, row.vlan, row.vrf, row.group_index}) {
      fuzz::require(!field.empty());
      fuzz::require_inside(field, output);
    }
  }
  for (std::string_view line : split_lines(output)) {
    DumpEntry entry = read_dump_entry(line);
    if (!entry.is_entry) continue;
    fuzz::require(!entry.index.empty());
    fuzz::require_inside(entry.index, line);
    for (const auto& [name, value] : entry.fields) {
      fuzz::require_inside(name, line);
      fuzz::require_inside(value, line);
      fuzz::require(value.find('=') == std::string_view::npos);
    }
  }
  if (size >= 8) {
    std::int64_t value;
    std::memcpy(&value, data, sizeof value);
    Failure fault;
    std::string dotted = dotted_quad(value, fault);
    fuzz::require(dotted.empty() == static_cast<bool>(fault));
    if (!fault) fuzz::require(group_mac(dotted).has_value());
  }
  return 0;
}
