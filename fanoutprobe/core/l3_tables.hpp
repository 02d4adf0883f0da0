// Readers of "l3 intf show" (L3 interface to VLAN) and "vlan translate show"
// (per-port VLAN translations).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "fanoutprobe/core/parse_failure.hpp"

namespace fanoutprobe {

struct L3IntfRow {
  std::int64_t intf;
  std::int64_t vlan;
};

struct L3IntfRead {
  std::vector<L3IntfRow> rows;
  Failure failure;
};

// Header: the second line; rows from the fourth. A row without a word at
// the Intf or the VLAN column is skipped.
L3IntfRead read_l3_intfs(std::string_view output);

struct XlateRow {
  std::int64_t lport;
  std::int64_t ivid;  // the line's new_vid
  std::int64_t evid;  // the line's old_vid
};

struct XlateRead {
  std::vector<XlateRow> rows;
  Failure failure;
};

// One record per line, from comma-separated fields: "modid = M port = P"
// and "key = value"; a field with neither is skipped; a missing key is -1.
XlateRead read_vlan_translations(std::string_view output);

}  // namespace fanoutprobe
