// The SDK shell's port table readers ("show portmap", "pvlan show",
// "vlan show <vid>", "ports <list>") over the same text: rows or a failure,
// every name a view into the output.
#include "fanoutprobe/core/port_tables.hpp"
#include "tests/fuzz/fuzz_check.hpp"

using namespace fanoutprobe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view output = fuzz::text_of(data, size);
  PortmapRead portmap = read_portmap(output);
  for (const PortmapRow& row : portmap.rows) {
    fuzz::require(!row.dport.empty());
    fuzz::require_inside(row.dport, output);
  }
  PortVlanRead pvlan = read_port_vlans(output);
  for (const PortVlan& row : pvlan.rows) {
    fuzz::require(!row.port.empty() && row.vlan >= 0);
    fuzz::require_inside(row.port, output);
  }
  VlanShowRead show = read_vlan_show(output);
  if (show.found) {
    fuzz::require(!show.failure && show.vlan >= 0 && !show.untagged_ports.empty());
    fuzz::require_inside(show.untagged_ports, output);
  }
  UntaggedPortsRead untagged = read_untagged_ports(output);
  for (std::string_view port : untagged.ports) {
    fuzz::require(port.find('(') == std::string_view::npos);
    fuzz::require_inside(port, output);
  }
  return 0;
}
