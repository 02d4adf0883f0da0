"""Port modes: the check, completion, speed, lanes, counts and MAC needs."""

import pytest

import asicmodel
from core_ports import Quad40GPort, make_port


def mode_class(*modes, speeds=None):
    return type("Modes", (asicmodel.BCMPort,), {"modes": modes, "_speed_map": speeds or {}})


@pytest.mark.parametrize("modes,mode,shown", [
    ((), "10G", "10G, must be one of: []"),
    (("10G", "1G"), "25G", "25G, must be one of: ['10G', '1G']"),
    (("40G", "4x10G"), "2x20G", "2x20G, must be one of: ['1x', '4x', '/1', '40G', '4x10G']"),
    (("40G", "4x10G"), "4x", "4x, must be one of: ['1x', '4x', '/1', '40G', '4x10G']"),
    (("10G", "40G/4"), "x", "x, must be one of: ['1x', '/4', '/1', '10G', '40G/4']"),
    (("100G", "2x50G", "4x25G", "100G/4"), "",
     ", must be one of: ['1x', '/4', '2x', '4x', '/1', '100G', '2x50G', '4x25G', '100G/4']"),
    ((), None, "None, must be one of: []"),
])
def test_check_mode_refusal_message(modes, mode, shown):
    with pytest.raises(asicmodel.NoSuchMode) as caught:
        mode_class(*modes)._check_mode(mode)
    assert str(caught.value) == "error: mode not found: " + shown


def test_check_mode_accepts_listed_modes_only():
    cls = mode_class("40G", "4x10G")
    assert cls._check_mode("4x10G") is None
    assert make_port(cls)._check_mode(mode="40G") is None
    with pytest.raises(RuntimeError):
        cls._check_mode("40g")


@pytest.mark.parametrize("cage,shorthand,completed", [
    ("SFP+", "/4", "40G/4"), ("SFP28", "/4", "100G/4"), ("QSFP28", "4x", "4x25G"),
    ("SFP28", "2x", "2x12G"), ("QSFP+", "1x", "40G"), ("QSFP+", "/1", "40G"),
    ("SFP+", "4x", "4x2G"), ("SFP+", "/2", "20G/2"), ("QSFP28", "/2", "200G/2"),
])
def test_complete_mode(cage, shorthand, completed):
    port = make_port(phy_layer=cage)
    assert port.complete_mode(port, shorthand) == completed


@pytest.mark.parametrize("mode", ["40G", "4x10G", "disabled", "", "1X", "4x "])
def test_complete_mode_leaves_other_texts_alone(mode):
    port = make_port(phy_layer=None)
    assert port.complete_mode(self=port, mode=mode) == mode


@pytest.mark.parametrize("cage", ["10GBaseT", None])
def test_complete_mode_needs_a_known_cage(cage):
    port = make_port(phy_layer=cage)
    with pytest.raises(KeyError) as caught:
        port.complete_mode(port, "4x")
    assert caught.value.args == (cage,)


SPEEDS = {"1G": 1, "10G": 10, "25G": 25, "40G": 40, "40G/4": 40, "100G": 100, "100G/4": 100,
          "4x25G": 25, "4x10G": 10, "2x50G": 50, "2x40G": 40, "2x20G": 20, "50G": 50,
          "5G": 5, "2.5G": 2.5}
AllSpeeds = mode_class(*SPEEDS, speeds=SPEEDS)


@pytest.mark.parametrize("mode,lanes", [
    ("4x25G", 1), ("2x50G", 2), ("40G", 4), ("40G/4", 4), ("100G", 4), ("100G/4", 4),
    ("1G", 1), ("10G", 1), ("50G", 2),
    # A split in two takes two lanes per logical port whatever the speed.
    ("2x40G", 2), ("2x20G", 2),
])
def test_num_lanes(mode, lanes):
    answer = AllSpeeds.num_lanes(mode)
    assert answer == lanes and type(answer) is int


@pytest.mark.parametrize("mode,message", [("5G", "invalid speed: 5"), ("2.5G", "invalid speed: 2")])
def test_num_lanes_refuses_speeds_without_a_lane_count(mode, message):
    with pytest.raises(RuntimeError) as caught:
        AllSpeeds.num_lanes(mode)
    assert str(caught.value) == message


def test_speed_keeps_the_fraction_and_checks_the_mode_first():
    assert AllSpeeds.speed("2.5G") == 2.5 and type(AllSpeeds.speed("2.5G")) is float
    with pytest.raises(asicmodel.NoSuchMode):
        AllSpeeds.speed("3G")
    with pytest.raises(asicmodel.NoSuchMode):
        AllSpeeds.num_lanes("2x")
    with pytest.raises(KeyError):
        mode_class("40G").speed("40G")


def test_base_counts_are_abstract():
    port = make_port()
    with pytest.raises(NotImplementedError) as caught:
        port.num_logical_ports("40G")
    assert caught.value.args == ()
    for question in (lambda: port.max_logical_ports, lambda: port.num_physical_ports("40G")):
        with pytest.raises(NotImplementedError):
            question()


def test_physical_ports_follow_the_logical_count():
    port = make_port(Quad40GPort, hw_ports=["hg0", "hg1", "hg2", "hg3"])
    assert port.num_physical_ports("4x10G") == 4 and port.num_physical_ports("40G") == 1


class FabricBoth(Quad40GPort):
    is_fabric = True
    create_fabric = True


class FabricOnly(Quad40GPort):
    is_fabric = True


@pytest.mark.parametrize("cls,config_map,total", [
    (Quad40GPort, {"1": "40G"}, 4),
    (Quad40GPort, {"1": "4x10G"}, 4),
    (Quad40GPort, {"1": "disabled"}, 0),
    (FabricOnly, {"Fabric-1": "40G"}, 0),
    (FabricBoth, {"Fabric-1": "40G"}, 4),
])
def test_mac_addrs_contrib_total(cls, config_map, total):
    assert make_port(cls).mac_addrs_contrib_total(config_map) == total


def test_mac_total_skips_max_logical_ports_when_not_needed():
    # SDKPort has no max_logical_ports; a disabled port never asks for it.
    assert make_port().mac_addrs_contrib_total({"1": "disable"}) == 0
    with pytest.raises(NotImplementedError):
        make_port().mac_addrs_contrib_total({"1": "40G"})


@pytest.mark.parametrize("mac_index,sub,expected", [(10, 3, 13), (10, 0, 10), (0, 7, 7)])
def test_port_mac_index(mac_index, sub, expected):
    assert make_port().port_mac_index("any mode", mac_index, sub) == expected
