// The readers of kernel tool output and files, the bridge VLAN listing and
// the route key split.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fanoutprobe/core/bridge_vlans.hpp"
#include "fanoutprobe/core/kernel_outputs.hpp"
#include "fanoutprobe/core/route_key.hpp"

namespace fanoutprobe {
namespace {

TEST(FanoutprobeKernelOutputs, DeviceNames) {
  for (const char* good : {"swp1", "br0.100", "bond-0", "a..b", "\xc3\xa9th0"})
    EXPECT_TRUE(is_device_name(good)) << good;
  for (std::string bad : std::vector<std::string>{"", ".", "..", "a/b", "/", "a b", "a\tb", "a\xc2\xa0" "b", std::string("a\0b", 3)})
    EXPECT_FALSE(is_device_name(bad)) << bad;
}

TEST(FanoutprobeKernelOutputs, LinkKind) {
  struct Case { std::string output; std::optional<std::string> kind; };
  const Case cases[] = {
      {"1: br0: <UP>\n    link/ether x\n    bridge forward_delay 1500\n", "bridge"},
      {"1: b: <UP>\r\n link\r\n\tbond mode 4\n more\n", "bond"},
      {"1: v: <UP>\n    link/ether x\n", std::nullopt},
      {"", std::nullopt},
      {"Device \"x\" does not exist.\nsecond\nvlan protocol\n", std::nullopt},
      {"1: x: <UP>\nsecond\n   \n", std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<std::string_view> kind = link_kind(c.output);
    EXPECT_EQ(kind ? std::optional<std::string>(std::string(*kind)) : std::nullopt, c.kind) << c.output;
  }
}

TEST(FanoutprobeKernelOutputs, VlanDeviceTable) {
  VlanDeviceRead read = read_vlan_devices(
      "VLAN Dev name    | VLAN ID\nName-Type: VLAN_NAME_TYPE_RAW_PLUS_VID_NO_PAD\n"
      "swp2s0.200     | 200  | swp2s0\nmy111          | 111  | br0 | extra\nno-bars\n"
      "one|bar\n bad | x12 | br1\nlast | 5 | br2\n");
  ASSERT_EQ(read.devices.size(), 2u);
  EXPECT_EQ(read.devices[0].dev, "swp2s0.200");
  EXPECT_EQ(read.devices[0].vid, 200);
  EXPECT_EQ(read.devices[0].atlink, "swp2s0");
  EXPECT_EQ(read.devices[1].dev, "my111");
  EXPECT_EQ(read.devices[1].atlink, "br0");
  EXPECT_EQ(read.failure.kind, FailureKind::kInvalidDecimal);
  EXPECT_EQ(read.failure.text, "x12");
  EXPECT_TRUE(read_vlan_devices("a | 1 | b\nc | 2 | d\n").devices.empty());
}

TEST(FanoutprobeKernelOutputs, GroupMac) {
  struct Case { std::string group; std::optional<std::string> mac; };
  const Case cases[] = {
      {"239.129.2.3", "01:00:5e:01:02:03"}, {"239.1.2.3", "01:00:5e:01:02:03"},
      {"224.1.1.1", "01:00:5e:01:01:01"},   {"224.255.255.255", "01:00:5e:7f:ff:ff"},
      {"239.001.2.3", "01:00:5e:01:02:03"}, {"ff0e::1", std::nullopt},
      {"239.1.2", std::nullopt},            {"239.1.2.3.4", std::nullopt},
      {"239.1.2.256", std::nullopt},        {"239.1.2.", std::nullopt},
      {"239.1.2.3 ", std::nullopt},         {"+239.1.2.3", std::nullopt},
      {"239.1.2.0003", std::nullopt},       {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(group_mac(c.group), c.mac) << c.group;
}

TEST(FanoutprobeKernelOutputs, MulticastDatabase) {
  const std::string output =
      "dev br0 port swp1 grp 239.1.1.1 permanent vid 100\n"
      "dev br0 port swp2 grp 239.1.1.1 temp vid 7 offload\n"
      "dev br0 port swp3 grp 239.1.1.2 permanent\n"
      "dev br1 port swp4 grp 239.1.1.1 permanent vid 100\n"
      "dev br0 port swp5 grp ff0e::1 permanent vid 100\n"
      " dev br0 port swp6 grp 239.1.1.1 permanent vid 100\n"
      "dev br0  port swp7 grp 239.1.1.1 permanent vid 100\n"
      "dev br0 port swp8 grp 239.1.1.1 permanent vid x\n"
      "dev br0 port swp9 grp 239.1.1.300 permanent vid 9\r\n"
      "router ports on br0: swp1\n";
  struct Case { bool vlan_filtering; std::vector<std::string> expected; };
  const Case cases[] = {
      {true, {"swp1 239.1.1.1 100", "swp2 239.1.1.1 7"}},
      {false, {"swp1 239.1.1.1 -1", "swp2 239.1.1.1 -1",
               "swp3 239.1.1.2 -1", "swp8 239.1.1.1 -1"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> read;
    for (const MdbLine& line : read_mdb(output, "br0", c.vlan_filtering))
      read.push_back(std::string(line.port) + " " + std::string(line.group) + " " +
                     std::to_string(line.vid));
    EXPECT_EQ(read, c.expected) << c.vlan_filtering;
  }
}

TEST(FanoutprobeKernelOutputs, BridgeVlanListing) {
  // A VLAN object whose id cannot be read shows as "?" and its failure's
  // kind is the case's `failure`.
  struct Case { std::string json; std::string expected; FailureKind failure; };
  auto shown = [](const BridgeVlanRead& read, FailureKind& failure) {
    std::string text;
    failure = read.failure ? read.failure.kind : FailureKind::kNone;
    for (const DeviceVlans& device : read.devices) {
      text += device.device + ":";
      for (const BridgeVlan& vlan : device.vlans) {
        if (vlan.failure) failure = vlan.failure.kind;
        text += " " + (vlan.failure ? "?" : std::to_string(vlan.vid)) + (vlan.untagged ? "u" : "t");
      }
      text += ";";
    }
    return text;
  };
  const Case cases[] = {
      {R"({"swp2": [{"vlan": 100, "flags": ["PVID", "Egress Untagged"]}, {"vlan": "7"}],
           "br0": [{"flags": []}], "swp1": [{"vlan": 100.9}, 3]})",
       "swp2: 100u 7t;br0: 0t;swp1: 100t;", FailureKind::kNone},
      {R"([{"ifname": "swp2", "vlans": [{"vlan": 5, "flags": ["Egress Untagged"]}]},
          {"ifname": "br0"}, {"ifname": "swp1", "vlans": [{"vlan": 6, "flags": "Egress Untagged"}]}])",
       "swp2: 5u;br0:;swp1: 6t;", FailureKind::kNone},
      {"[]", "", FailureKind::kNone},
      {"{}", "", FailureKind::kNone},
      {R"({"swp1": {"vlan": 5}})", "", FailureKind::kNone},
      {R"([{"vlans": []}])", "", FailureKind::kNone},
      {R"("text")", "", FailureKind::kNone},
      {R"({"swp1": [{"vlan": 5}], "swp2": [{"vlan": "x"}, {"vlan": 6}]})", "swp1: 5t;swp2: ?t 6t;",
       FailureKind::kInvalidDecimal},
      {R"({"swp1": [{"vlan": null, "flags": ["Egress Untagged"]}], "swp2": [{"vlan": [1]}]})",
       "swp1: ?u;swp2: ?t;", FailureKind::kType},
      // Numbers beyond a double are valid JSON: they fail only as a "vlan".
      {R"js({"swp1": [{"vlan": 100, "flags": ["Egress Untagged"], "note": 1e400}],
           "swp2": [{"vlan": -1E+400, "x": ["\" 1e400", 1e400]}], "swp3": [{"vlan": 7, "n": 1)js" +
           std::string(400, '0') + "}]}",
       "swp1: 100u;swp2: ?t;swp3: 7t;", FailureKind::kOverflow},
      // ... and a VLAN list item beyond a double is no VLAN object.
      {R"({"swp1": [1e400, {"vlan": 10}], "swp2": [)" + std::string(320, '9') + "]}",
       "swp1: 10t;swp2:;", FailureKind::kNone},
      {R"([{"ifname": "swp1", "vlans": [-1e999, {"vlan": 10}, 1e-999]}])", "swp1: 10t;",
       FailureKind::kNone},
      // No text written in the listing reads as such a number.
      {R"({"swp1": [{"\u0000beyond a double": "7"}, {"vlan": 10}, {"vlan": {"\u0000beyond a double": "7"}}]})",
       "swp1: 0t 10t ?t;", FailureKind::kType},
  };
  for (const Case& c : cases) {
    BridgeVlanRead read = read_bridge_vlans(c.json);
    EXPECT_FALSE(read.invalid_json) << c.json;
    FailureKind failure;
    EXPECT_EQ(shown(read, failure), c.expected) << c.json;
    EXPECT_EQ(failure, c.failure) << c.json;
  }
  for (const char* broken : {"", "{", "{\"a\": [}", "nonsense", "[1e400, 01e400]"}) {
    EXPECT_TRUE(read_bridge_vlans(broken).invalid_json) << broken;
  }
  // An error is placed in the text as given, numbers beyond a double and all.
  EXPECT_EQ(read_bridge_vlans("[1e400, 1e400, x]").json_error_at, 15u);
  // ... and counted in characters, as the host counts ("\xc3\xa9" is one).
  EXPECT_EQ(read_bridge_vlans("{\"sw\xc3\xa9p1\": [{\"vlan\": 5},]}").json_error_at, 23u);
}

TEST(FanoutprobeKernelOutputs, RouteKeys) {
  struct Case { std::string key; std::optional<std::string> parts; };
  const Case cases[] = {
      {"default, (10.0.0.1, 239.1.1.1)", "default|10.0.0.1|239.1.1.1"},
      {"red, (10.0.0.1, 239.1.1.1) trailing", "red|10.0.0.1|239.1.1.1"},
      {"a,b, (x,y, z)w)", "a,b|x,y|z)w"},
      {"v, (s, ))", "v|s|)"},
      {"v, (s, )", std::nullopt},
      {" v, (s, g)", std::nullopt},
      {"v,\t(s, g)", std::nullopt},
      {", (s, g)", std::nullopt},
      {"v, (, g)", std::nullopt},
      {"v, (s, g", std::nullopt},
      {"v, s, g", std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<RouteKey> key = split_route_key(c.key);
    std::optional<std::string> parts;
    if (key) parts = std::string(key->vrf) + "|" + std::string(key->sip) + "|" + std::string(key->dip);
    EXPECT_EQ(parts, c.parts) << c.key;
  }
}

}  // namespace
}  // namespace fanoutprobe
