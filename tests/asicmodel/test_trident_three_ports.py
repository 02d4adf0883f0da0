"""Trident3 speed port classes: the 100G port's modes and breakouts, the
25G gangs, and the 10G and multi-gigabit ports' auto-negotiation, logical
numbering and fiber preference."""

import pytest

import asicmodel as am

HUNDRED_MODES = ["40G", "2x50G", "100G", "50G", "2x20G", "4x25G", "4x10G", "2x40G"]
SINGLE_LANE = [am.TridentThree25GPort, am.TridentThree10GPort, am.TridentThreeMGPort]


def port(cls, serdes=(1,), phy_layer="SFP+", **keywords):
    return cls("1", serdes, None, None, phy_layer, None, 0, **keywords)


def hundred(**keywords):
    return port(am.TridentThree100GPort, (1, 2, 3, 4), "QSFP28", **keywords)


@pytest.mark.parametrize("cls,modes,default,speeds", [
    (am.TridentThree100GPort, HUNDRED_MODES, "100G",
     {"100G": 100, "40G": 40, "50G": 50, "2x50G": 50, "2x40G": 40, "2x20G": 20, "4x25G": 25,
      "4x10G": 10}),
    (am.TridentThree25GPort, ("25G", "10G", "100G/4", "40G/4"), "25G",
     {"10G": 10, "25G": 25, "40G/4": 40, "100G/4": 100}),
    (am.TridentThree10GPort, ("10G", "1G"), "10G", {"1G": 1, "10G": 10}),
    (am.TridentThreeMGPort, ("10G", "5G", "2.5G", "1G"), "10G",
     {"1G": 1, "2.5G": 2.5, "5G": 5, "10G": 10}),
])
def test_class_tables(cls, modes, default, speeds):
    assert cls.modes == modes and type(cls.modes) is type(modes)
    assert list(cls._speed_map.items()) == list(speeds.items())
    assert port(cls).default_mode == default


@pytest.mark.parametrize("cls,own_default", [
    (am.TridentThree100GPort, True), (am.TridentThree25GPort, True),
    (am.TridentThree10GPort, True), (am.TridentThreeMGPort, False)])
def test_constructor_sets_the_default_mode_on_the_object(cls, own_default):
    assert ("default_mode" in vars(port(cls))) is own_default


def test_hundred_gig_default_is_not_its_first_mode():
    assert am.TridentThree100GPort.modes[0] == "40G"
    assert hundred().default_mode == "100G"


def test_gang_tables_of_the_25g_port():
    assert am.TridentThree25GPort.gang_modes == ("100G/4", "40G/4")
    assert am.TridentThree25GPort.max_gang_size == 4


def test_multi_gig_speed_stays_fractional_on_one_lane():
    mg = port(am.TridentThreeMGPort)
    assert mg.speed("2.5G") == 2.5 and type(mg.speed("2.5G")) is float
    assert type(mg.speed("5G")) is int
    # One lane in every mode, though the speed rule has no lane count for 2.5 or 5.
    assert [mg.num_lanes(mode) for mode in mg.modes] == [1, 1, 1, 1]


@pytest.mark.parametrize("mode,count", [
    ("100G", 1), ("50G", 1), ("40G", 1), ("2x50G", 2), ("2x40G", 2), ("2x20G", 2), ("4x25G", 4),
    ("4x10G", 4)])
def test_hundred_gig_counts(mode, count):
    assert hundred().num_logical_ports(mode) == count
    assert hundred().num_physical_ports(mode) == count


@pytest.mark.parametrize("mode", ["25G", "100G/4", "1x"])
def test_hundred_gig_refuses_unlisted_modes(mode):
    with pytest.raises(am.NoSuchMode):
        hundred().num_logical_ports(mode)


@pytest.mark.parametrize("mode,sub,number,name,base", [
    ("100G", 0, 1, "ce1", 1), ("40G", 0, 1, "xe1", 1), ("2x50G", 0, 1, "xe1", 1),
    ("2x50G", 1, 3, "xe3", 1), ("4x25G", 1, 2, "xe2", 2), ("4x25G", 3, 4, "xe4", 4)])
def test_hundred_gig_interface_naming(mode, sub, number, name, base):
    p = hundred()
    assert (p.hw_intf_num(mode, sub), p.hw_intf(mode, sub)) == (number, name)
    assert p.base_hw_intf_num(mode, sub) == base
    assert p.led_port_num(mode, sub) == number


@pytest.mark.parametrize("mode,sub,mask,value", [
    ("4x25G", 2, 4, 1), ("4x25G", 1, 4, 0), ("2x50G", 1, 14, 3), ("2x50G", 0, 14, 2),
    ("2x20G", 1, 0b0100, 1), ("100G", 0, 13, 13), ("40G", 0, None, None), ("50G", 0, "any", "any")])
def test_hundred_gig_polarity(mode, sub, mask, value):
    assert hundred().polarity_flip_val(mode, sub, mask) == value


@pytest.mark.parametrize("mode", ["4x25G", "2x50G"])
def test_hundred_gig_breakout_polarity_without_a_mask_names_the_mode(mode):
    with pytest.raises(TypeError, match="mode %s needs a polarity lane mask" % mode):
        hundred().tx_logical_polarity_flip(mode, 0)


@pytest.mark.parametrize("name,logical,physical", [
    ("ce4", 1, 4), ("ce5", 0, 0), ("ce6", 0, 0), ("ce7", 0, 0), ("ce8", 1, 4), ("ce0", 1, 4)])
def test_twenty_five_gig_gang_leader(name, logical, physical):
    p = port(am.TridentThree25GPort, (int(name[2:]),))
    for gang in ("40G/4", "100G/4"):
        assert (p.num_logical_ports(gang), p.num_physical_ports(gang)) == (logical, physical)
    for mode in ("25G", "10G"):
        assert (p.num_logical_ports(mode), p.num_physical_ports(mode)) == (1, 1)


@pytest.mark.parametrize("cls,listed,refused", [
    (am.TridentThree10GPort, ("10G", "1G"), ("40G/4", "25G")),
    (am.TridentThreeMGPort, ("10G", "5G", "2.5G", "1G"), ("25G", "40G/4")),
    (am.TridentThree25GPort, ("25G", "10G"), ("1G", "4x25G"))])
def test_single_lane_counts(cls, listed, refused):
    p = port(cls, (9,))
    assert p.max_logical_ports == 1
    for mode in listed:
        assert (p.num_logical_ports(mode), p.num_physical_ports(mode)) == (1, 1)
    for mode in refused:
        with pytest.raises(am.NoSuchMode):
            p.num_logical_ports(mode)
        with pytest.raises(am.NoSuchMode):
            p.num_physical_ports(mode)


@pytest.mark.parametrize("cls", SINGLE_LANE)
@pytest.mark.parametrize("flag,value", [(True, 1), (1, 0), ("x", 0), (None, 0)])
def test_single_lane_polarity_is_an_identity_test_with_true(cls, flag, value):
    p = port(cls, rx_polarity_flip=flag)
    assert p.rx_logical_polarity_flip(cls.modes[0], 0) == value


@pytest.mark.parametrize("cls", [am.TridentThree10GPort, am.TridentThreeMGPort])
@pytest.mark.parametrize("phy_layer,mode,c37,c73", [
    ("SFP+", "10G", "on", "off"), ("SFP+", "1G", None, None), ("SFP+", "5G", None, None),
    ("SFP+", "2.5G", None, None), ("SFP+", "", "on", "off"), ("SFP+", "0G", "on", "off"),
    ("SFP+", "unlisted", None, None), ("10GBaseT", "10G", None, None),
    ("1GBaseT", "10G", None, None), ("1GBaseT", 10, None, None)])
def test_single_lane_auto_negotiation(cls, phy_layer, mode, c37, c73):
    p = port(cls, phy_layer=phy_layer)
    assert (p.an_c37(mode), p.an_c73(mode)) == (c37, c73)


@pytest.mark.parametrize("cls", [am.TridentThree10GPort, am.TridentThreeMGPort])
def test_single_lane_auto_negotiation_needs_a_text_mode(cls):
    with pytest.raises(TypeError):
        port(cls).an_c37(10)


@pytest.mark.parametrize("cls,serdes,logical", [
    (am.TridentThree10GPort, 70, 71), (am.TridentThreeMGPort, 70, 71),
    (am.TridentThreeMGPort, 63, 64), (am.TridentThree25GPort, 70, 73)])
def test_logical_port_numbers(cls, serdes, logical):
    assert port(cls, (serdes,)).logical_port_num("10G", 0, 1000) == logical


@pytest.mark.parametrize("cls", [am.TridentThree10GPort, am.TridentThreeMGPort])
@pytest.mark.parametrize("phy_layer,preferred", [
    ("SFP+", True), ("SFP28", True), ("QSFP28", True), ("10GBaseT", False), ("1GBaseT", False)])
def test_fiber_preference(cls, phy_layer, preferred):
    assert port(cls, phy_layer=phy_layer).set_fiber_pref is preferred


def test_fiber_preference_needs_a_cage_type_and_stays_false_elsewhere():
    with pytest.raises(TypeError):
        port(am.TridentThree10GPort, phy_layer=None).set_fiber_pref
    assert port(am.TridentThree25GPort).set_fiber_pref is False
    assert hundred().set_fiber_pref is False


def test_speed_port_positional_order():
    values = ["L", (4,), "t", "a", "SFP28", "leds", 2, "rxl", True, "txl", False, "mdi", "pe",
              "dc", "pdc", True, "id1", "sys", "prim"]
    p = am.TridentThree25GPort(*values)
    assert (p.label, p.hw_ports, p.leds, p.unit, p.rx_lane_map, p.rx_polarity_flip) == (
        "L", ("ce4",), "leds", 2, "rxl", True)
    assert (p.mdi_pair_map, p.oversub, p.sys_interface, p.prim_offset) == ("mdi", True, "sys", "prim")
    with pytest.raises(TypeError):
        am.TridentThree25GPort(*values, "surplus")
