// Readers of the IPv4 multicast routes: the "ipmc table show" listing and
// one entry line of the "dump chg l3_entry_ipv4_multicast" memory dump.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fanoutprobe/core/parse_failure.hpp"

namespace fanoutprobe {

// One listing row's fields as printed; the caller converts them in the
// route's order (VLAN, VRF, group index) so faults arise where they would.
struct IpmcRow {
  std::string_view source;
  std::string_view group;
  std::string_view vlan;
  std::string_view vrf;
  std::string_view group_index;
};

struct IpmcRead {
  std::vector<IpmcRow> rows;
  Failure failure;
};

// Header: the first line; rows from the third. Each address title spans
// three title words over one data column, so the columns right of "MC" are
// four title words left of their titles.
IpmcRead read_ipmc_table(std::string_view output);

struct DumpEntry {
  bool is_entry = false;
  std::string_view index;  // the entry index, as its digits
  std::vector<std::pair<std::string_view, std::string_view>> fields;  // first-seen order
};

// "[<digits>]: <NAME=value,...>" anywhere in the line.
DumpEntry read_dump_entry(std::string_view line);

// The dotted-decimal text of an IPv4 address value; a value outside
// 0..2^32-1 is a fault.
std::string dotted_quad(std::int64_t value, Failure& fault);

}  // namespace fanoutprobe
