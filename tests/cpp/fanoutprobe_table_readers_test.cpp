// The SDK shell table readers: columns, skipped lines and where they fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fanoutprobe/core/l3_tables.hpp"
#include "fanoutprobe/core/port_tables.hpp"
#include "fanoutprobe/core/replication_groups.hpp"
#include "fanoutprobe/core/route_tables.hpp"

namespace fanoutprobe {
namespace {

TEST(FanoutprobeReaders, PortmapColumnsAndFaults) {
  struct Case { std::string output; std::vector<std::pair<std::string, std::int64_t>> rows; FailureKind kind; std::string text; };
  const Case cases[] = {
      {"port pipe logical\n xe0 (1) 0 5\n\n  \n ce1 (2) 0 9", {{"xe0", 5}, {"ce1", 9}}, FailureKind::kNone, ""},
      {"logical\nxe0 3", {{"xe0", 3}}, FailureKind::kNone, ""},
      {"port logical\n", {}, FailureKind::kRuntime, "show portmap is not supported on this chip"},
      {"Error: no portmap\nxe0 1 2", {}, FailureKind::kRuntime, "show portmap is not supported on this chip"},
      {"port pipe\nxe0 1 2", {}, FailureKind::kRuntime, "show portmap format unexpected"},
      {"port logical\nxe0 x 4\nxe1 x", {{"xe0", 4}}, FailureKind::kIndex, ""},
      {"port logical\nxe0 x 4\nxe1 x y", {{"xe0", 4}}, FailureKind::kInvalidDecimal, "y"},
  };
  for (const Case& c : cases) {
    PortmapRead read = read_portmap(c.output);
    std::vector<std::pair<std::string, std::int64_t>> rows;
    for (const auto& row : read.rows) rows.emplace_back(std::string(row.dport), row.logical_port);
    EXPECT_EQ(rows, c.rows) << c.output;
    EXPECT_EQ(read.failure.kind, c.kind) << c.output;
    EXPECT_EQ(read.failure.text, c.text) << c.output;
  }
}

TEST(FanoutprobeReaders, PortVlansMatchAtLineStartOnly) {
  PortVlanRead read = read_port_vlans(
      "Port xe0 default VLAN is 100\n Port xe1 default VLAN is 5\nPort xe2 default VLAN is 7 tail\n"
      "Port  xe3 default VLAN is 8\nPort xe4\tdefault VLAN is 9\nPort xe5 default VLAN is x");
  ASSERT_EQ(read.rows.size(), 2u);
  EXPECT_EQ(read.rows[0].port, "xe0");
  EXPECT_EQ(read.rows[0].vlan, 100);
  EXPECT_EQ(read.rows[1].port, "xe2");
  EXPECT_EQ(read.rows[1].vlan, 7);
  EXPECT_EQ(read_port_vlans("Port xe0 default VLAN is 99999999999999999999").failure.kind,
            FailureKind::kOverflow);
}

TEST(FanoutprobeReaders, VlanShowTakesTheLastUntaggedOfTheFirstMatchingLine) {
  struct Case { std::string output; bool found; std::int64_t vlan; std::string ports; };
  const Case cases[] = {
      {"vlan 100\tports xe0-xe3 (0x1), untagged xe2-xe3 (0x2) MCAST", true, 100, "xe2-xe3"},
      {"vlan 1 untagged a untagged b\nvlan 2 untagged c", true, 1, "b"},
      {"vlan 1 untagged \nvlan 2 untagged c", true, 2, "c"},
      {"vlan 3\nuntagged c", false, 0, ""},
      {"xvlan 4 untagged d\r", true, 4, "d"},
      {"vlan x untagged d", false, 0, ""},
      {"vlan 7 untagged a untagged ", true, 7, "a"},
  };
  for (const Case& c : cases) {
    VlanShowRead read = read_vlan_show(c.output);
    EXPECT_EQ(read.found, c.found) << c.output;
    if (c.found) {
      EXPECT_EQ(read.vlan, c.vlan) << c.output;
      EXPECT_EQ(read.untagged_ports, c.ports) << c.output;
    }
  }
}

TEST(FanoutprobeReaders, UntaggedPortRowsAfterTwoHeaderLines) {
  EXPECT_FALSE(read_untagged_ports("h1\nh2\n").found);
  UntaggedPortsRead read = read_untagged_ports("h1\nh2\n xe2( 3) up\n\n   \nxe3(4) up\nce0 up");
  EXPECT_TRUE(read.found);
  EXPECT_EQ(std::vector<std::string>(read.ports.begin(), read.ports.end()),
            (std::vector<std::string>{"xe2", "xe3", "ce0"}));
}

TEST(FanoutprobeReaders, L3InterfaceColumnsFromTheSecondLine) {
  struct Case { std::string output; std::vector<std::pair<std::int64_t, std::int64_t>> rows; FailureKind kind; };
  const Case cases[] = {
      {"Unit 0\nUnit Intf VRF Group VLAN\n0 1 0 0 9\n0 12 0 0 300\n0 13 0 0\n0 12 0 0 301",
       {{12, 300}, {12, 301}}, FailureKind::kNone},
      {"x\nVLAN a Intf\n--\n5 b\n5 b 7", {{7, 5}}, FailureKind::kNone},  // VLAN before Intf
      {"only one line", {}, FailureKind::kIndex},
      {"x\nUnit VLAN\n", {}, FailureKind::kNotInList},
      {"x\nIntf VLAN\n-\n1 2\nx 3", {{1, 2}}, FailureKind::kInvalidDecimal},
  };
  for (const Case& c : cases) {
    L3IntfRead read = read_l3_intfs(c.output);
    std::vector<std::pair<std::int64_t, std::int64_t>> rows;
    for (const auto& row : read.rows) rows.emplace_back(row.intf, row.vlan);
    EXPECT_EQ(rows, c.rows) << c.output;
    EXPECT_EQ(read.failure.kind, c.kind) << c.output;
  }
}

TEST(FanoutprobeReaders, VlanTranslationFields) {
  struct Case { std::string line; std::int64_t lport, ivid, evid; };
  const Case cases[] = {
      {"modid = 0 port = 12, old_vid = 30, new_vid = 4000", 12, 4000, 30},
      {" port = 7 , new_vid = 5", 7, 5, -1},
      {"modid=0 port=12, old_vid = 3", -1, -1, 3},
      {"modid = 0 port = 12, port = 9, junk, , a = b = c", 9, -1, -1},
      {"prio = 3", -1, -1, -1},
      {"x modid = 1 port = 2 modid = 3 port = 4", 2, -1, -1},
  };
  for (const Case& c : cases) {
    XlateRead read = read_vlan_translations(c.line);
    ASSERT_EQ(read.rows.size(), 1u) << c.line;
    EXPECT_EQ(read.rows[0].lport, c.lport) << c.line;
    EXPECT_EQ(read.rows[0].ivid, c.ivid) << c.line;
    EXPECT_EQ(read.rows[0].evid, c.evid) << c.line;
  }
  EXPECT_TRUE(read_vlan_translations("").rows.empty());
  XlateRead bad = read_vlan_translations("port = 1\nport = 0x2\nport = 3");
  EXPECT_EQ(bad.rows.size(), 1u);
  EXPECT_EQ(bad.failure.kind, FailureKind::kInvalidDecimal);
  EXPECT_EQ(bad.failure.text, "0x2");
}

TEST(FanoutprobeReaders, IpmcColumnsAndLayoutChecks) {
  const std::string header = "SRC IP ADDRESS MC IP ADDRESS VLAN MOD PORT V VRF GROUP\n----\n";
  // Rows point into the output, which must outlive them.
  const std::string output = header + "10.0.0.1 239.1.1.1 100 0 1 Y 2 0x1f\n\n1 2 3 4 5 6 7\n";
  IpmcRead read = read_ipmc_table(output);
  ASSERT_EQ(read.rows.size(), 1u);
  EXPECT_EQ(read.rows[0].source, "10.0.0.1");
  EXPECT_EQ(read.rows[0].group, "239.1.1.1");
  EXPECT_EQ(read.rows[0].vlan, "100");
  EXPECT_EQ(read.rows[0].vrf, "2");
  EXPECT_EQ(read.rows[0].group_index, "0x1f");
  struct Fault { std::string output; FailureKind kind; std::string text; };
  const Fault faults[] = {
      {"", FailureKind::kIndex, ""},
      {"SRC IP ADDRESS MC IP ADDRESS VLAN VRF", FailureKind::kNotInList, "GROUP"},
      {"SRC IP MC IP ADDRESS GROUP VLAN VRF", FailureKind::kValue, "ipmc table show format unexpected"},
      {"SRC IP ADDRESS MC IP GROUP VLAN VRF", FailureKind::kValue, "ipmc table show format unexpected"},
      {"SRC IP ADDRESS MC IP ADDRESS GROUP VLAN VRF\n-\n1 2 3 4", FailureKind::kValue,
       "ipmc table show row has no VLAN or VRF column: 1 2 3 4"},
  };
  for (const Fault& f : faults) {
    IpmcRead failed = read_ipmc_table(f.output);
    EXPECT_TRUE(failed.rows.empty()) << f.output;
    EXPECT_EQ(failed.failure.kind, f.kind) << f.output;
    EXPECT_EQ(failed.failure.text, f.text) << f.output;
  }
}

TEST(FanoutprobeReaders, DumpEntryLines) {
  struct Case { std::string line; bool entry; std::string index; std::vector<std::pair<std::string, std::string>> fields; };
  const Case cases[] = {
      {"L3.ipipe0[12]: <A=1,B,C=2=3,A=4>", true, "12", {{"A", "4"}, {"C", "2"}}},
      {"x[0]: <V=1>trailing>more", true, "0", {{"V", "1>trailing"}}},
      {"[1]: <A=1, B=2>", false, "", {}},
      {"[a]: <A=1> [3]: <B=2>", true, "3", {{"B", "2"}}},
      {"[4]:<A=1>", false, "", {}},
      {"[5]: <>", false, "", {}},
  };
  for (const Case& c : cases) {
    DumpEntry entry = read_dump_entry(c.line);
    EXPECT_EQ(entry.is_entry, c.entry) << c.line;
    EXPECT_EQ(entry.index, c.index) << c.line;
    std::vector<std::pair<std::string, std::string>> fields;
    for (const auto& f : entry.fields) fields.emplace_back(std::string(f.first), std::string(f.second));
    EXPECT_EQ(fields, c.fields) << c.line;
  }
}

TEST(FanoutprobeReaders, ReplicationGroupBlocks) {
  std::vector<std::string_view> blocks =
      split_group_blocks("banner\nGroup 0x2000001 (L3)\n\tport xe0, encap id 5\nGroup");
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[1], "");
  EXPECT_TRUE(split_group_blocks("no groups").empty());

  GroupRead read = read_group_block(
      " 0x2000001 (L3)\n  port xe0, encap id 100\nport xe9, encap id 1\n\tport xe1, encap id -1 x\n"
      "  port xe2,encap id 3\n  port a,b, encap id +7\n");
  EXPECT_TRUE(read.record);
  EXPECT_EQ(read.id, 0x2000001);
  ASSERT_EQ(read.members.size(), 3u);
  EXPECT_EQ(read.members[0].port, "xe0");
  EXPECT_EQ(read.members[1].intf, -1);
  EXPECT_EQ(read.members[2].port, "a,b");
  EXPECT_EQ(read.members[2].intf, 7);

  struct Case { std::string block; bool record; FailureKind kind; };
  const Case cases[] = {
      {"", false, FailureKind::kNone},
      {" 0x5 (L2)\n port xe0, encap id 1", false, FailureKind::kNone},
      {" 0x5 L2MC", false, FailureKind::kNone},
      {" 0x5 VXLAN", false, FailureKind::kNone},
      {"\n", false, FailureKind::kIndex},
      {" zz (L3)", false, FailureKind::kInvalidHex},
      {" 1f\n port xe0, encap id 99999999999999999999", false, FailureKind::kOverflow},
  };
  for (const Case& c : cases) {
    GroupRead r = read_group_block(c.block);
    EXPECT_EQ(r.record, c.record) << c.block;
    EXPECT_EQ(r.failure.kind, c.kind) << c.block;
  }
}

}  // namespace
}  // namespace fanoutprobe
