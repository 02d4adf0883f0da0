"""Port map, port VLANs, VLAN membership and the lookups over them."""

import pytest

from fanoutprobe_helpers import commands


@pytest.fixture
def asic(build):
    return build()


def reread_portmap(asic, state, output):
    state.raw["show portmap"] = output
    asic.portmap = []
    asic._parse_portmap()
    return [(e.dport, e.logical_port, e.linux_port) for e in asic.portmap]


@pytest.mark.parametrize("output, rows", [
    ("port pipe logical\nxe0 (1) 0 7\nxe1 (2) 0 8\n", [("xe0", 7, "swp1"), ("xe1", 8, "swp2")]),
    ("logical port\nxe2 5 x\n\n \nxe9 6\n", [("xe2", 5, "swp3"), ("xe9", 6, None)]),
])
def test_portmap_layouts(asic, state, output, rows):
    assert reread_portmap(asic, state, output) == rows


@pytest.mark.parametrize("output, error, message", [
    ("port pipe logical", RuntimeError, "show portmap is not supported on this chip"),
    ("", RuntimeError, "show portmap is not supported on this chip"),
    ("Error: unknown command\nxe0 1", RuntimeError, "show portmap is not supported on this chip"),
    ("port pipe\nxe0 1 2", RuntimeError, "show portmap format unexpected"),
    ("port logical\nxe0 (1) 3\nxe1 (2)", IndexError, "list index out of range"),
    ("port logical\nxe0 (1) 3\nxe1 (2) 0x4", ValueError, "invalid literal for int() with base 10: '0x4'"),
])
def test_portmap_faults(asic, state, output, error, message):
    with pytest.raises(error) as raised:
        reread_portmap(asic, state, output)
    assert str(raised.value) == message
    assert [e.dport for e in asic.portmap] == (["xe0"] if "xe0 (1) 3" in output else [])


def test_linux_name_failure_is_swallowed_but_not_interrupts(asic, state, monkeypatch):
    def bcm2linux(name):
        if name == "xe1":
            raise LookupError(name)
        if name == "xe2":
            raise KeyboardInterrupt
        return "swp-" + name
    monkeypatch.setattr(asic.pt, "bcm2linux", bcm2linux)
    assert reread_portmap(asic, state, "port logical\nxe0 (1) 1\nxe1 (2) 2\n") == [
        ("xe0", 1, "swp-xe0"), ("xe1", 2, None)]
    assert asic._dport2logical_port("xe1") == 2
    with pytest.raises(KeyboardInterrupt):
        reread_portmap(asic, state, "port logical\nxe2 (1) 1\n")


def test_port_vlans(asic, state):
    reread_portmap(asic, state, "port logical\nxe0 (1) 1\nxe1 (2) 2\nxe0 (3) 3\nxe3 (4) 4\n")
    state.raw["pvlan show"] = ("Port xe0 default VLAN is 100\n Port xe1 default VLAN is 5\n"
                               "Port xe1 default VLAN is 7 (tail)\nPort xe1 default VLAN is 8\n")
    asic._parse_ports()
    assert [e.port_vid for e in asic.portmap] == [100, 8, 100, -1]
    assert asic._get_logical_port_and_pvid("swp2") == (2, 8)
    assert asic._get_logical_port_and_pvid("swp4") == (4, -1)
    assert asic._get_logical_port_and_pvid("swp9") == (-1, -1)
    assert asic._dport2logical_port("xe0") == 1
    assert asic._dport2logical_port("ce0") == -1


def test_vlan_membership_is_read_once_per_vlan(asic, state):
    state.log.clear()
    state.raw["vlan show 300"] = "vlan 300 ports xe0-xe3 (0x1), untagged xe2-xe3 (0x2) MCAST\n"
    state.raw["ports xe2-xe3"] = "h1\nh2\n   xe2(3) up\nxe3( 4) up\n"
    assert asic._is_port_untagged_for_vid("xe2", 300) is True
    assert asic._is_port_untagged_for_vid("xe0", 300) is False
    assert commands(state) == ["vlan show 300", "ports xe2-xe3"]
    assert asic.vlans[300].untagged_dports == ["xe2", "xe3"]


@pytest.mark.parametrize("vlan_output, ports_output, sent", [
    ("Error: vlan 7 does not exist", None, ["vlan show 7"]),
    ("vlan 7 ports xe0 (0x1), untagged xe0 (0x1)", "h1\nh2\n", ["vlan show 7", "ports xe0"]),
])
def test_vlan_that_stores_nothing_is_read_again(asic, state, vlan_output, ports_output, sent):
    state.log.clear()
    state.raw["vlan show 7"] = vlan_output
    if ports_output is not None:
        state.raw["ports xe0"] = ports_output
    assert asic._is_port_untagged_for_vid("xe0", 7) is False
    assert asic._is_port_untagged_for_vid("xe0", 7) is False
    assert commands(state) == sent * 2 and 7 not in asic.vlans


def test_vlan_stored_under_the_number_the_output_names(asic, state):
    state.raw["vlan show -1"] = "vlan 12 ports xe0, untagged xe1 (0x0)"
    state.raw["ports xe1"] = "h\nh\nxe1(2) up"
    assert asic._is_port_untagged_for_vid("xe1", -1) is False
    assert str(asic.vlans[12]) == "vid: 12, untagged_ports: xe1"


def test_lookups_follow_changes_to_the_lists(asic):
    assert asic._dport2logical_port("xe0") == 1
    entry = asic.portmap[0]
    asic.portmap.insert(0, type(entry)("xe0", 40, "swp40"))
    assert asic._dport2logical_port("xe0") == 40
    asic.portmap = [type(entry)("xe0", 41, "swp41")]
    assert asic._dport2logical_port("xe0") == 41
    asic.portmap[0].dport = "xe5"
    assert asic._dport2logical_port("xe0") == -1
    assert asic._dport2logical_port("xe5") == 41
    assert asic._dport2logical_port(["unhashable"]) == -1


def test_port_vlans_over_records_of_any_name(asic, state):
    import fanoutprobe

    class Name(str):
        pass

    reread_portmap(asic, state, "port logical\nxe0 (1) 1\nxe1 (2) 2\n")
    asic.portmap.append(fanoutprobe.PortmapEntry(Name("xe0"), 3, None))
    asic.portmap.append(fanoutprobe.PortmapEntry(5, 4, None))
    state.raw["pvlan show"] = "Port xe0 default VLAN is 100\nPort xe1 default VLAN is 5\n"
    asic._parse_ports()
    assert [e.port_vid for e in asic.portmap] == [100, 5, 100, -1]
