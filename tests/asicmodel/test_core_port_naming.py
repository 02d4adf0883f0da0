"""Interface names and numbers, bitmap positions and bits."""

import pytest

import asicmodel
from core_ports import Quad40GPort, make_port

LANES = ["hg4", "hg5", "hg6", "hg7"]


@pytest.mark.parametrize("mode,sub,number,name", [
    ("40G", 0, 4, "hg4"),
    ("4x10G", 1, 5, "hg5"),
    ("4x10G", 3, 7, "hg7"),
    ("2x20G", 0, 4, "hg4"),
    ("2x20G", 1, 6, "hg6"),  # a split in two strides over lane pairs
])
def test_interface_number_and_name(mode, sub, number, name):
    port = make_port(Quad40GPort, hw_ports=LANES)
    assert port.hw_intf_num(mode, sub) == number
    assert port.hw_intf_num_portmap(mode, sub) == number
    assert port.hw_intf(mode, sub) == name


def test_bitmap_position_never_strides():
    port = make_port(Quad40GPort, hw_ports=LANES)
    assert port.hw_port_num("2x20G", 1) == 6
    assert port.led_port_num("2x20G", 1) == 6
    assert port.hw_pbmp("2x20G", 1) == 1 << 6


@pytest.mark.parametrize("name,position,bit", [("hg5", 6, 64), ("hg127", 128, 2 ** 128),
                                               ("hg0", 1, 2)])
def test_bitmaps_are_unbounded_ints(name, position, bit):
    port = make_port(Quad40GPort, hw_ports=[name])
    assert port.hw_port_num("40G", 0) == position
    assert port.hw_pbmp("40G", 0) == bit


def test_position_132_bit():
    Wide = type("Wide", (Quad40GPort,), {"pbmp_map": {"xe131": 132}})
    assert make_port(Wide, hw_ports=["xe131"]).hw_pbmp("any", 0) == 2 ** 132


@pytest.mark.parametrize("mode,sub,expected", [
    ("40G", 2, 4),      # more lanes than logical ports: the lowest number
    ("4x10G", 1, 5),    # one lane per logical port: its own number
    ("2x20G", 1, 4),    # only lanes that exist are scanned
])
def test_base_hw_intf_num(mode, sub, expected):
    port = make_port(Quad40GPort, hw_ports=LANES)
    assert port.base_hw_intf_num(mode, sub) == expected


class GangMember(asicmodel.BCMPort):
    """A single-lane port in a gang: the leader has one logical port, the
    others none."""
    modes = ("10G", "40G/4")

    def num_logical_ports(self, mode):
        return 0 if mode == "40G/4" and self.hw_ports[0] != "hg4" else 1


def test_base_hw_intf_num_of_gang_members():
    leader = make_port(GangMember, hw_ports=["hg4"])
    member = make_port(GangMember, hw_ports=["hg5"])
    assert leader.base_hw_intf_num("40G/4", 0) == 4
    assert member.base_hw_intf_num("40G/4", 0) == 5


class NoCount(asicmodel.BCMPort):
    def num_logical_ports(self, mode):
        return None


def test_a_missing_count_scans_every_lane():
    assert make_port(NoCount, hw_ports=["hg9", "hg3"]).base_hw_intf_num("x", 0) == 3


def test_a_port_without_lanes_has_no_lowest_number():
    # Nothing to scan is a failure, as min() of nothing is, not a number.
    with pytest.raises(ValueError):
        make_port(NoCount, hw_ports=[]).base_hw_intf_num("x", 0)


def test_prefix_ignores_the_mode_and_hg0_keeps_its_digit():
    port = make_port(hw_ports=["xe7"])
    assert port.hw_intf_prefix("no such mode", 0) == "xe"
    assert make_port(hw_ports=["x"]).hw_intf_prefix(None, 0) == "x"
    assert make_port(Quad40GPort, hw_ports=["hg0"]).hw_intf("40G", 0) == "hg0"


def test_a_class_without_a_map_names_but_cannot_place():
    port = make_port(type("Single", (GangMember,), {}), hw_ports=["hg3"])
    assert port.hw_intf("10G", 0) == "hg3"
    for question in (port.hw_port_num, port.hw_pbmp, port.led_port_num):
        with pytest.raises(KeyError) as caught:
            question("10G", 0)
        assert caught.value.args == ("hg3",)


@pytest.mark.parametrize("hw_ports,mode,sub,error", [
    (["hg4"], "40G", 1, IndexError),
    (["hg4", "hg5"], "2x20G", 1, IndexError),     # 2 x sub past the end
    (["hgX"], "40G", 0, ValueError),
    (["hg1_0"], "40G", 0, ValueError),
    (["hg4"], "100G", 0, asicmodel.NoSuchMode),
])
def test_naming_failures(hw_ports, mode, sub, error):
    port = make_port(Quad40GPort, hw_ports=hw_ports)
    with pytest.raises(error):
        port.hw_intf(mode, sub)


def test_number_part_errors_speak_like_int():
    with pytest.raises(ValueError) as caught:
        make_port(Quad40GPort, hw_ports=["hgX"]).hw_intf_num("40G", 0)
    assert str(caught.value) == "invalid literal for int() with base 10: 'X'"


def test_base_rules_without_a_count_are_abstract():
    port = make_port(hw_ports=["hg1"])
    for question in (port.hw_intf_num, port.hw_intf, port.base_hw_intf_num,
                     port.hw_intf_num_portmap, port.logical_port_num):
        with pytest.raises(NotImplementedError):
            question("40G", 0)


class Renumbered(Quad40GPort):
    """Overrides reached through the object change every answer built on them."""
    def hw_intf_num(self, mode, sub):
        return 100 + sub

    def hw_intf_prefix(self, mode, sub):
        return "ce"

    def hw_port_num(self, mode, sub):
        return 999


def test_base_rules_follow_overrides():
    port = make_port(Renumbered, hw_ports=LANES)
    assert port.hw_intf("4x10G", 2) == "ce102"
    assert port.hw_intf_num_portmap("4x10G", 2) == 102
    assert port.base_hw_intf_num("40G", 0) == 100
    # The bitmap bit is looked up directly, not through hw_port_num.
    assert port.hw_pbmp("40G", 0) == 1 << 5
