// The kernel output and file readers over the same text: link kind, bond
// slaves, /proc/net/vlan/config, group addresses and "bridge mdb show";
// every name a view into the text, every group MAC well formed.
#include "fanoutprobe/core/kernel_outputs.hpp"
#include "tests/fuzz/fuzz_check.hpp"

using namespace fanoutprobe;

namespace {

void require_group_mac(std::string_view mac) {
  fuzz::require(mac.size() == 17 && mac.substr(0, 9) == "01:00:5e:");
  fuzz::require(mac[9] <= '7');  // the top bit of the group's second byte is dropped
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::text_of(data, size);
  is_device_name(text);
  if (std::optional<std::string_view> kind = link_kind(text)) {
    fuzz::require(!kind->empty());
    fuzz::require_inside(*kind, text);
  }
  for (std::string_view slave : bond_slaves(text)) {
    fuzz::require(!slave.empty());
    fuzz::require_inside(slave, text);
  }
  VlanDeviceRead vlans = read_vlan_devices(text);
  for (const VlanDevice& device : vlans.devices) {
    fuzz::require_inside(device.dev, text);
    fuzz::require_inside(device.atlink, text);
  }
  if (std::optional<std::string> mac = group_mac(text)) require_group_mac(*mac);
  for (bool filtering : {false, true}) {
    for (const MdbLine& line : read_mdb(text, "br0", filtering)) {
      fuzz::require(!line.port.empty() && (filtering ? line.vid >= 0 : line.vid == -1));
      fuzz::require_inside(line.port, text);
      // Only dotted IPv4 groups are kept, and each has its MAC address.
      fuzz::require_inside(line.group, text);
      std::optional<std::string> mac = group_mac(line.group);
      fuzz::require(mac.has_value());
      require_group_mac(*mac);
    }
  }
  return 0;
}
