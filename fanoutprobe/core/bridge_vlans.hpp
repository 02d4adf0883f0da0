// Reader of "bridge -j vlan show": per device, in listing order, each VLAN
// id with whether it leaves the device untagged. Two layouts are read: an
// object keyed by device name whose values are lists of VLAN objects, and a
// list of objects with "ifname" and "vlans" (a missing "vlans" is none).
// Any other layout lists nothing. Of a VLAN object only "vlan" (a number
// or decimal text; 0 when missing) and "flags" (untagged when it holds
// "Egress Untagged") are read. A "vlan" that cannot be read fails that
// object only: the caller raises it when it comes to use that object. A
// number beyond the range of a double is valid JSON: it fails only as a
// "vlan", and as an item of a VLAN list it is passed over like any other
// item that is no object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fanoutprobe/core/parse_failure.hpp"

namespace fanoutprobe {

struct BridgeVlan {
  std::int64_t vid;
  bool untagged;
  Failure failure;  // a VLAN id that is not a number; `vid` is then 0
};

struct DeviceVlans {
  std::string device;
  std::vector<BridgeVlan> vlans;
};

struct BridgeVlanRead {
  std::vector<DeviceVlans> devices;
  Failure failure;                   // a number nlohmann refused as too
                                     // large, where it was not marked
  bool invalid_json = false;         // the text is not JSON at all
  std::string json_error;            // then: nlohmann's message (UTF-8 it
                                     // may cut inside a character)
  std::size_t json_error_at = 0;     // and where, in characters of the text
};

BridgeVlanRead read_bridge_vlans(std::string_view json_text);

}  // namespace fanoutprobe
