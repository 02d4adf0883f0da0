"""The routes from the listing and the memory dump, and the replication groups."""

import pytest

import bcmshell
import fanoutprobe
import tervane.fanoutlib

HEADER = "SRC IP ADDRESS  MC IP ADDRESS  VLAN  MOD  PORT  V  VRF  GROUP\n------\n"


@pytest.fixture
def asic(build):
    tervane.fanoutlib.install({0: "default", 1: "red", 16: "blue"})
    return build()


def routes_from(asic, state, command, output):
    state.raw[command] = output
    asic.mroutes = {}
    if command == "ipmc table show":
        asic._parse_ipmc_table()
    else:
        asic._parse_l3_entry_ipmc_table()
    return {key: (r.sip, r.dip, r.iif, r.grp, r.vrf) for key, r in asic.mroutes.items()}


@pytest.mark.parametrize("titles", [
    ["SRC", "MC", "VLAN", "MOD", "PORT", "V", "VRF", "GROUP"],
    ["SRC", "MC", "GROUP", "VRF", "VLAN"],
    ["V", "SRC", "MC", "VRF", "HIT", "GROUP", "VLAN"],
])
def test_listing_layouts(build, state, titles):
    state.layout["ipmc_titles"] = titles
    state.layout["group_index_format"] = "0x{:x}"
    state.routes = [bcmshell.Route("10.0.0.1", "239.1.1.1", 100, 0x1f, 0)]
    asic = build()
    route = asic.mroutes["default, (10.0.0.1, 239.1.1.1)"]
    assert (route.iif, route.grp, route.vrf) == (100, 0x200001f, "default")


def test_listing_rows(asic, state):
    rows = ("10.0.0.1 239.1.1.1 100 0 0 Y 1 1f\n\n1 2 3 4 5 6 7\n"
            "10.0.0.1 239.1.1.1 200 0 0 Y 1 0x1f\n0.0.0.0 239.1.1.2 5 0 0 Y 16 2\n")
    assert routes_from(asic, state, "ipmc table show", HEADER + rows) == {
        "red, (10.0.0.1, 239.1.1.1)": ("10.0.0.1", "239.1.1.1", 200, 0x200001f, "red"),
        "blue, (0.0.0.0, 239.1.1.2)": ("0.0.0.0", "239.1.1.2", 5, 0x2000002, "blue")}
    assert routes_from(asic, state, "ipmc table show", HEADER + "1 2 3 4 5 6 0 8\n") == {
        "default, (1, 2)": ("1", "2", 3, 0x2000008, "default")}


@pytest.mark.parametrize("output, error, message, stored", [
    ("", IndexError, "list index out of range", 0),
    ("SRC IP ADDRESS MC IP ADDRESS VLAN GROUP", ValueError, "'VRF' is not in list", 0),
    ("SRC IP MC IP ADDRESS VLAN VRF GROUP", ValueError, "ipmc table show format unexpected", 0),
    ("SRC IP ADDRESS MC IP ADDRESS GROUP VLAN VRF\n-\n1.1.1.1 2.2.2.2 3",
     ValueError, "ipmc table show row has no VLAN or VRF column: 1.1.1.1 2.2.2.2 3", 0),
    (HEADER + "1.1.1.1 2.2.2.2 1 0 0 Y 0 1\n1.1.1.1 2.2.2.3 1 0 0 Y 0 zz\n",
     ValueError, "invalid literal for int() with base 16: 'zz'", 1),
    (HEADER + "1.1.1.1 2.2.2.2 1 0 0 Y 7 1\n", KeyError, "7", 0),
])
def test_listing_faults(asic, state, output, error, message, stored):
    with pytest.raises(error) as raised:
        routes_from(asic, state, "ipmc table show", output)
    assert str(raised.value) == message
    assert len(asic.mroutes) == stored


def entry(index, fields):
    return "L3_ENTRY_IPV4_MULTICAST.ipipe0[%d]: <%s>" % (index, fields)


def test_dump_entries(asic, state):
    output = "\n".join([
        "banner line",
        entry(0, "VALID_0=1,GROUP_IP_ADDR=0xef010101,SOURCE_IP_ADDR=0a000001,VRF_ID=0x10,"
                 "EXPECTED_L3_IIF=10,L3MC_INDEX=10"),
        entry(1, "VALID_1=1,GROUP_IP_ADDR=ef010102"),
        entry(2, "VALID_0=0,VALID_1=0,GROUP_IP_ADDR=ef010103"),
        entry(3, "GROUP_IP_ADDR=ef010104"),
        "[4]: <VALID_0=1, GROUP_IP_ADDR=ef010105>",
    ])
    assert routes_from(asic, state, "dump chg l3_entry_ipv4_multicast", output) == {
        "blue, (10.0.0.1, 239.1.1.1)": ("10.0.0.1", "239.1.1.1", 10, 0x2000010, "blue"),
        "default, (0.0.0.0, 239.1.1.2)": ("0.0.0.0", "239.1.1.2", 0, 0x2000000, "default")}


@pytest.mark.parametrize("fields, error", [
    ("VALID_0=1", KeyError),
    ("VALID_0=1,GROUP_IP_ADDR=1ffffffff", ValueError),
    ("VALID_0=x,GROUP_IP_ADDR=1", ValueError),
    ("VALID_0=1,GROUP_IP_ADDR=1,VRF_ID=5", KeyError),
])
def test_dump_faults(asic, state, fields, error):
    with pytest.raises(error):
        routes_from(asic, state, "dump chg l3_entry_ipv4_multicast", entry(0, fields))


def test_field_dict_build(asic):
    assert asic._field_dict_build("x[7]: <A=1,B,C=2=3>") == ("7", {"A": "1", "C": "2"})
    assert asic._field_dict_build("x[7]: <A=1, B=2>") == (None, {})


def groups_from(asic, state, output):
    state.raw["multicast show"] = output
    asic.replication_groups = {}
    asic._parse_multicast_repln_groups()
    return {gid: (str(g), g.mcast_grp) for gid, g in asic.replication_groups.items()}


def test_groups(asic, state):
    output = ("multicast show\nGroup 0x2000001 (L3)\n\tport xe0, encap id 1\n\tport xe1, encap id -1\n"
              "  port xe2, encap id +2 extra\nport xe3, encap id 1\n\tport xe3, encap id 99\n"
              "Group 0x1000002 (L2)\n\tport xe0, encap id -1\n"
              "Group 0x2000003 L2MC\nGroup 0x2000004 (VXLAN)\n"
              "Group 0x2000005\n\tport xe0, encap id 1\nGroup 0x2000005\n\tport xe1, encap id -1\n"
              "Group 0x2000006\n")
    assert groups_from(asic, state, output) == {
        0x2000001: ("  port: swp1, vlan: 1100\n  port: swp3, vlan: 101\n  port: swp4\n"
                    "  L2 replication ports:\n    port: swp2\n", 0x2000001),
        0x2000005: ("  L2 replication ports:\n    port: swp2\n", 0x2000005),
        0x2000006: ("", 0x2000006)}
    members = asic.replication_groups[0x2000001].l3_encaps
    assert [(e.bcm_dport, e.intf, e.vlan, e.evid) for e in members] == [
        ("xe0", 1, 100, 1100), ("xe2", 2, 101, 101), ("xe3", 99, -1, -1)]
    assert groups_from(asic, state, "no groups here") == {}
    assert groups_from(asic, state, "Group") == {}


@pytest.mark.parametrize("output, error", [
    ("Group\n", IndexError), ("Group zz\n", ValueError),
    ("Group 1\n port xe9, encap id -1\n", KeyError),
])
def test_group_faults(asic, state, output, error):
    with pytest.raises(error):
        groups_from(asic, state, output)


def test_group_read_sees_lists_changed_in_place(asic, state):
    asic._ivid2evid("xe0", 100)  # asked once before the change
    asic.vlan_xlate[0] = type(asic.vlan_xlate[0])(1, 100, 7)
    groups_from(asic, state, "Group 0x2000001\n\tport xe0, encap id 1\n")
    assert asic.replication_groups[0x2000001].l3_encaps[0].evid == 7


def test_member_calls_in_order(asic, state, monkeypatch):
    calls = []

    class Interfaces(dict):
        def get(self, *args):
            calls.append(("l3_intfs.get",) + args)
            return dict.get(self, *args)

    def ivid2evid(dport, ivid):
        calls.append(("_ivid2evid", dport, ivid))
        return type(asic)._ivid2evid(asic, dport, ivid)

    def bcm2linux(name):
        calls.append(("bcm2linux", name))
        return "swp-" + name

    asic.l3_intfs = Interfaces(asic.l3_intfs)
    monkeypatch.setattr(asic, "_ivid2evid", ivid2evid, raising=False)
    monkeypatch.setattr(asic.pt, "bcm2linux", bcm2linux)
    groups_from(asic, state, "Group 0x2000001\n\tport xe1, encap id -1\n\tport xe0, encap id 2\n")
    assert calls == [("bcm2linux", "xe1"), ("l3_intfs.get", 2, -1), ("_ivid2evid", "xe0", 101),
                     ("bcm2linux", "xe0")]


class Name(str):
    """A port name that is text but not a plain str."""


@pytest.mark.parametrize("untagged", [["xe3", "xe1"], [Name("xe1"), "xe3"]])
def test_untagged_questions_repeated_within_the_group_read(asic, state, untagged):
    # VLAN 101 (L3 interface 2) asked about five times in one read.
    asic.vlans[101] = fanoutprobe.VlanEntry(101, untagged)
    output = "Group 0x2000001\n" + "".join("\tport %s, encap id 2\n" % p
                                           for p in ("xe1", "xe2", "xe3", "xe1", "xe2"))
    groups_from(asic, state, output)
    members = asic.replication_groups[0x2000001].l3_encaps
    assert [(e.bcm_dport, e.evid) for e in members] == [
        ("xe1", -1), ("xe2", 101), ("xe3", -1), ("xe1", -1), ("xe2", 101)]


# (A __new__ given to the class and taken away again leaves CPython calling
# object.__new__ with the arguments, so it is not tried here.)
@pytest.mark.parametrize("change", ["subclass", "init", "setattr"])
def test_routes_made_through_whatever_the_record_class_is_now(build, state, monkeypatch, change):
    made, original = [], fanoutprobe.Hmroute.__dict__["__init__"]

    def init(self, *args):
        made.append(args[:2])
        original(self, *args)

    route_class = fanoutprobe.Hmroute
    if change == "subclass":
        monkeypatch.setattr(fanoutprobe, "Hmroute", type("Route", (route_class,), {"__init__": init}))
    elif change == "init":
        monkeypatch.setattr(route_class, "__init__", init)
    else:
        route_class.__setattr__ = lambda self, name, value: made.append(name) or object.__setattr__(
            self, name, value)
    try:
        asic = build()
    finally:
        if "__setattr__" in route_class.__dict__:
            del route_class.__setattr__
    assert made and all(type(route) is route_class or change == "subclass"
                        for route in asic.mroutes.values())
    route = next(iter(asic.mroutes.values()))
    assert (route.sip, route.grp, route.iif_mismatch) == ("10.0.0.0", 0x2000001, [])
