// Readers of the SDK shell's port tables: "show portmap", "pvlan show",
// "vlan show <vid>" and the "ports <list>" listing of a VLAN's untagged ports.
//
// Each returns what it read up to the first fault and the fault itself, so
// the caller can act on the rows in order and then fail where the output
// failed (rows before a bad one stay, as when reading line by line).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "fanoutprobe/core/parse_failure.hpp"

namespace fanoutprobe {

struct PortmapRow {
  std::string_view dport;
  std::int64_t logical_port;
};

struct PortmapRead {
  std::vector<PortmapRow> rows;
  Failure failure;
};

// Header: the first line; the logical column of a row is one after the
// header's "logical" (a row's port name spans two words). Blank rows are
// skipped; a shorter row is an index fault.
PortmapRead read_portmap(std::string_view output);

struct PortVlan {
  std::string_view port;
  std::int64_t vlan;
};

struct PortVlanRead {
  std::vector<PortVlan> rows;
  Failure failure;
};

// Lines that begin "Port <name> default VLAN is <digits>".
PortVlanRead read_port_vlans(std::string_view output);

struct VlanShowRead {
  bool found = false;
  std::int64_t vlan = 0;
  std::string_view untagged_ports;  // the SDK's port-list notation, unchanged
  Failure failure;
};

// The first "vlan <digits>" whose line also holds "untagged <word>"; the
// last such "untagged" of that line gives the port list.
VlanShowRead read_vlan_show(std::string_view output);

struct UntaggedPortsRead {
  bool found = false;  // false: the output had no row after its two header lines
  std::vector<std::string_view> ports;
};

// Rows after two header lines, blank rows skipped; a port name is the first
// word cut before "(".
UntaggedPortsRead read_untagged_ports(std::string_view output);

}  // namespace fanoutprobe
