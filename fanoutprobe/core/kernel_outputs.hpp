// Readers of what the kernel's network tools and files say: the detailed
// link listing, a bond's slaves file, the VLAN device table and a bridge's
// multicast database. Plain C++ over UTF-8 text; whitespace and line breaks
// as in text_scan.hpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fanoutprobe/core/parse_failure.hpp"

namespace fanoutprobe {

// A name that can stand for a network device: not empty, not "." or "..",
// and free of "/", NUL and whitespace. Anything else never reaches a
// command line or a path: it names no device.
bool is_device_name(std::string_view name);

// The kind word of "ip -d link show <dev>": the first word of the third
// line; none when there are fewer than three lines, the first line says
// "does not exist", or the third line is blank.
std::optional<std::string_view> link_kind(std::string_view output);

// The slave names of a bond's "slaves" file, in order.
std::vector<std::string_view> bond_slaves(std::string_view file);

// One line of /proc/net/vlan/config past its two header lines.
struct VlanDevice {
  std::string_view dev;
  std::int64_t vid;
  std::string_view atlink;
};

struct VlanDeviceRead {
  std::vector<VlanDevice> devices;  // the lines read before `failure`
  Failure failure;                  // a VLAN id that is not decimal
};

VlanDeviceRead read_vlan_devices(std::string_view config);

// "01:00:5e:xx:xx:xx" of an IPv4 group in dotted decimal (four parts of
// one to three ASCII digits, each 0 to 255); none for anything else.
std::optional<std::string> group_mac(std::string_view group);

// One line of "bridge mdb show dev <bridge>" that names `bridge`:
// "dev <bridge> port <port> grp <group>", and with VLAN filtering a further
// word then "vid <digits>"; anything after is ignored. Lines naming another
// bridge, lines of another shape and groups that are not IPv4 are skipped.
struct MdbLine {
  std::string_view port;
  std::string_view group;  // dotted IPv4, as printed
  std::int64_t vid;        // -1 without VLAN filtering
};

std::vector<MdbLine> read_mdb(std::string_view output, std::string_view bridge,
                              bool vlan_filtering);

}  // namespace fanoutprobe
