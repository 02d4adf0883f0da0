// The "bridge -j vlan show" reader: a listing or invalid JSON,
// never a crash or an escaping exception; what it read, written back as a
// listing of devices, reads back the same.
#include <string>

#include <nlohmann/json.hpp>

#include "fanoutprobe/core/bridge_vlans.hpp"
#include "tests/fuzz/fuzz_check.hpp"

using namespace fanoutprobe;

namespace {

std::string written(const std::vector<DeviceVlans>& devices) {
  nlohmann::ordered_json listing = nlohmann::ordered_json::array();
  for (const DeviceVlans& device : devices) {
    nlohmann::ordered_json vlans = nlohmann::ordered_json::array();
    for (const BridgeVlan& vlan : device.vlans) {
      nlohmann::ordered_json entry = {{"vlan", vlan.vid}};
      if (vlan.untagged) entry["flags"] = {"PVID", "Egress Untagged"};
      vlans.push_back(entry);
    }
    listing.push_back({{"ifname", device.device}, {"vlans", vlans}});
  }
  return listing.dump();
}

bool same(const std::vector<DeviceVlans>& a, const std::vector<DeviceVlans>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].device != b[i].device || a[i].vlans.size() != b[i].vlans.size()) return false;
    for (std::size_t k = 0; k < a[i].vlans.size(); ++k)
      if (a[i].vlans[k].vid != b[i].vlans[k].vid ||
          a[i].vlans[k].untagged != b[i].vlans[k].untagged)
        return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::text_of(data, size);
  BridgeVlanRead read = read_bridge_vlans(text);
  if (read.invalid_json) {
    fuzz::require(read.devices.empty() && !read.json_error.empty());
    fuzz::require(read.json_error_at <= size);
    return 0;
  }
  // Every number the JSON library would refuse as too large is marked
  // before it parses.
  fuzz::require(!read.failure);
  BridgeVlanRead again = read_bridge_vlans(written(read.devices));
  fuzz::require(!again.invalid_json && !again.failure && same(again.devices, read.devices));
  return 0;
}
