"""L3 interfaces, VLAN translations and the VLAN translations per port."""

import pytest

import fanoutprobe as fp

from fanoutprobe_helpers import commands


@pytest.fixture
def asic(build):
    return build()


@pytest.mark.parametrize("output, table", [
    ("Unit 0\nUnit Intf VRF Group VLAN\n0 9 0 0 99\n0 1 0 0 100\n0 12 0 0\n0 1 0 0 300\n",
     {1: 300}),
    ("x\nVLAN Intf\n---\n5\n5 7\n", {7: 5}),
    ("x\nIntf VLAN\n", {}),
])
def test_l3_interfaces(asic, state, output, table):
    state.raw["l3 intf show"] = output
    asic.l3_intfs = {}
    asic._parse_l3_intf()
    assert asic.l3_intfs == table


@pytest.mark.parametrize("output, error, message", [
    ("one line", IndexError, "list index out of range"),
    ("x\nUnit Intf\n", ValueError, "'VLAN' is not in list"),
    ("x\nIntf VLAN\n-\n1 x\n", ValueError, "invalid literal for int() with base 10: 'x'"),
])
def test_l3_interface_faults(asic, state, output, error, message):
    state.raw["l3 intf show"] = output
    with pytest.raises(error, match="^%s$" % message.replace("(", r"\(").replace(")", r"\)")):
        asic._parse_l3_intf()


def test_translations(asic, state):
    state.raw["vlan translate show"] = ("modid = 0 port = 12, old_vid = 30, new_vid = 4000\n"
                                        "port = 7, new_vid = 5\n\nprio = 1\n")
    asic.vlan_xlate = []
    asic._parse_vlan_xlate()
    assert [str(x) for x in asic.vlan_xlate] == [
        "lport: 12, ivid: 4000, evid: 30", "lport: 7, ivid: 5, evid: -1",
        "lport: -1, ivid: -1, evid: -1", "lport: -1, ivid: -1, evid: -1"]
    assert asic._evid2ivid(12, 30) == 4000
    assert asic._evid2ivid(12, 31) == -1
    state.raw["vlan translate show"] = "port = x"
    with pytest.raises(ValueError, match="base 10: 'x'"):
        asic._parse_vlan_xlate()


def test_ivid2evid(asic, state):
    # generated: xe0 (logical 1) translates 100 -> 1100; xe0, xe2 untagged in 100
    asic.vlan_xlate.append(fp.VlanXlate(1, 100, 9))
    asic.vlan_xlate.append(fp.VlanXlate(2, 101, -1))
    assert asic._ivid2evid("xe0", 100) == 1100
    assert asic._ivid2evid("xe1", 101) == -1
    state.log.clear()
    assert asic._ivid2evid("ce7", 100) == 100
    assert asic._ivid2evid("xe2", 100) == -1
    assert asic._ivid2evid("xe1", 100) == 100
    assert asic._ivid2evid("xe3", 102) == 102
    assert commands(state) == ["vlan show 102"]
