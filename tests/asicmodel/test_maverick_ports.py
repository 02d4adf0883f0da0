"""Maverick port classes: the worked 100G example, modes, gangs, prefixes,
numbering, polarity, auto-negotiation, fiber preference and fabric ports."""

import pytest

import asicmodel

QSFP_MODES = ("40G", "2x50G", "100G", "50G", "2x20G", "4x25G", "4x10G", "2x40G")


def port_100g(serdes=(40, 41, 42, 43), **extra):
    return asicmodel.Maverick100GPort("1", serdes, None, None, (0, 1), 0, **extra)


def port_40g(**extra):
    return asicmodel.Maverick40GPort("2", (0, 1, 2, 3), None, None, (0, 2), 0, **extra)


def port_10g(lane=8, phy_layer="SFP+", **extra):
    return asicmodel.Maverick10GPort("3", (lane,), None, None, phy_layer, (0, 3), 0, **extra)


def fabric_10g(**extra):
    return asicmodel.Maverick10GFabricPort("4", (70,), "rxl", True, "txl", False, **extra)


# mode, sub, hw_intf, hw_port_num, led_port_num, hw_pbmp bit, rx polarity (flip 10 = 0b1010)
WORKED_EXAMPLE = [
    ("100G", 0, "ce40", 40, 5, 41, 10),
    ("2x50G", 0, "xe40", 40, 5, 41, 2),
    ("2x50G", 1, "xe42", 41, 7, 42, 2),
    ("4x25G", 2, "xe42", 42, 7, 43, 0),
    ("4x25G", 3, "xe43", 43, 8, 44, 1),
]


@pytest.mark.parametrize("mode,sub,name,hw_port,led,bit,polarity", WORKED_EXAMPLE)
def test_worked_example(mode, sub, name, hw_port, led, bit, polarity):
    port = port_100g(rx_polarity_flip=10)
    assert port.hw_ports == ("xe40", "xe41", "xe42", "xe43")
    assert port.phy_layer == "QSFP28"
    assert port.hw_intf(mode, sub) == name
    assert port.hw_port_num(mode, sub) == hw_port
    assert port.led_port_num(mode, sub) == led
    assert port.hw_pbmp(mode, sub) == 1 << bit
    assert port.rx_logical_polarity_flip(mode, sub) == polarity


def test_mode_order_shows_in_the_refusal():
    # The 100G modes are its speed map's keys as a list, in the map's order.
    assert type(asicmodel.Maverick100GPort.modes) is list
    assert asicmodel.Maverick100GPort.modes == list(asicmodel.Maverick100GPort._speed_map) \
        == list(QSFP_MODES)
    assert asicmodel.Maverick40GPort.modes == ("40G", "4x10G", "4x1G")
    assert asicmodel.Maverick10GPort.modes == ("10G", "40G/4", "1G")
    assert asicmodel.Maverick10GFabricPort.modes == ("10G", "40G/4", "1G")
    with pytest.raises(asicmodel.NoSuchMode) as refused:
        port_100g().num_logical_ports("4x1G")
    assert str(refused.value).endswith(repr(list(QSFP_MODES))[1:])


# class maker, mode, speed, logical ports, physical ports, prefix
PER_MODE = [
    (port_100g, "100G", 100, 1, 1, "ce"),
    (port_100g, "40G", 40, 1, 1, "xe"),
    (port_100g, "50G", 50, 1, 1, "xe"),
    (port_100g, "2x50G", 50, 2, 2, "xe"),
    (port_100g, "2x40G", 40, 2, 2, "xe"),
    (port_100g, "2x20G", 20, 2, 2, "xe"),
    (port_100g, "4x25G", 25, 4, 4, "xe"),
    (port_100g, "4x10G", 10, 4, 4, "xe"),
    (port_40g, "40G", 40, 1, 1, "xe"),
    (port_40g, "4x10G", 10, 4, 4, "xe"),
    (port_40g, "4x1G", 1, 4, 4, "xe"),
    (port_10g, "10G", 10, 1, 1, "xe"),
    (port_10g, "40G/4", 40, 1, 4, "xe"),
    (port_10g, "1G", 1, 1, 1, "ge"),
]


@pytest.mark.parametrize("make,mode,speed,logical,physical,prefix", PER_MODE)
def test_per_mode_summary(make, mode, speed, logical, physical, prefix):
    port = make()
    assert port.speed(mode) == speed
    assert port.num_logical_ports(mode) == logical
    assert port.num_physical_ports(mode) == physical
    assert port.hw_intf_prefix(mode, 0) == prefix


@pytest.mark.parametrize("lane,logical,physical", [(8, 1, 4), (9, 0, 0), (0, 1, 4), (11, 0, 0)])
def test_10g_gang_leader(lane, logical, physical):
    port = port_10g(lane)
    assert (port.num_logical_ports("40G/4"), port.num_physical_ports("40G/4")) \
        == (logical, physical)
    assert (port.num_logical_ports("10G"), port.num_physical_ports("1G")) == (1, 1)


@pytest.mark.parametrize("mode,sub,value", [
    ("4x1G", 0, 0), ("4x1G", 1, 1), ("4x10G", 3, 1), ("4x10G", 2, 0), ("40G", 0, 10)])
def test_40g_polarity(mode, sub, value):
    assert port_40g().polarity_flip_val(mode, sub, 10) == value


@pytest.mark.parametrize("flip,value", [(True, 1), (False, 0), (None, 0), (0, 0), (1, 0)])
def test_10g_polarity_is_one_only_for_true(flip, value):
    assert port_10g().polarity_flip_val("10G", 0, flip) == value
    with pytest.raises(asicmodel.NoSuchMode):
        port_10g().polarity_flip_val("25G", 0, flip)


@pytest.mark.parametrize("phy_layer,mode,c37,c73", [
    ("SFP+", "10G", "on", "off"),
    ("SFP+", "4x10G", "on", "off"),
    ("SFP+", "1G", None, None),
    ("SFP+", "40G/4", None, None),
    ("10GBaseT", "10G", None, None),
    ("1GBaseT", "10G", None, None),
    (None, "10G", "on", "off"),
])
def test_10g_auto_negotiation(phy_layer, mode, c37, c73):
    port = port_10g(phy_layer=phy_layer)
    assert (port.an_c37(mode), port.an_c73(mode)) == (c37, c73)


@pytest.mark.parametrize("phy_layer,preferred", [
    ("SFP+", True), ("SFP28", True), ("QSFP+", True), ("10GBaseT", False), ("", False)])
def test_10g_fiber_preference(phy_layer, preferred):
    assert port_10g(phy_layer=phy_layer).set_fiber_pref is preferred


def test_fiber_preference_needs_a_cage_type():
    with pytest.raises(TypeError):
        port_10g(phy_layer=None).set_fiber_pref
    assert port_100g().set_fiber_pref is False and port_40g().set_fiber_pref is False


@pytest.mark.parametrize("mode", ["10G", "1G", "40G/4", "not a mode"])
def test_10g_fabric_port_answers_alike_in_every_mode(mode):
    port = fabric_10g()
    assert (port.an_c37(mode), port.an_c73(mode), port.set_fiber_pref) == ("off", "auto", None)


def test_10g_fabric_port_record():
    port = fabric_10g(pre_emphasis="pe", drv_current="dc", pre_drv_current="pdc",
                      mdi_pair_map="mdi", oversub=False, phy_id1="id", sys_interface="si",
                      prim_offset=5)
    assert port.is_fabric is True and port.create_fabric is True
    assert (port.unit, port.oversub, port.leds, port.phy_layer) == (0, True, None, None)
    assert (port.phy_types, port.phy_addrs, port.num_phys) == (None, None, 0)
    assert (port.rx_lane_map, port.rx_polarity_flip) == ("rxl", True)
    assert (port.tx_lane_map, port.tx_polarity_flip) == ("txl", False)
    assert (port.pre_emphasis, port.drv_current, port.pre_drv_current) == ("pe", "dc", "pdc")
    assert (port.mdi_pair_map, port.phy_id1, port.sys_interface, port.prim_offset) \
        == (None, None, None, None)
    assert (port.serdes_if_type(10), port.serdes_if_type(40)) == ("KR", None)
    assert port.sdk_group is None and port.max_logical_ports == 1


def test_40g_fabric_port():
    port = asicmodel.Maverick40GFabricPort("5", (60, 61, 62, 63), "rxl", 3, "txl", 12,
                                           sdk_group="g1")
    assert (port.sdk_group, port.phy_layer, port.max_logical_ports) == ("g1", "QSFP+", 1)
    assert (port.serdes_if_type(40), port.serdes_if_type(10)) == ("KR4", None)
    assert port.num_logical_ports("4x10G") == 4
    assert port.is_fabric is True and port.create_fabric is True
    assert (port.unit, port.oversub, port.leds) == (0, True, None)
    assert port.tx_logical_polarity_flip("4x10G", 2) == 1
    assert port_40g().serdes_if_type(40) is None


@pytest.mark.parametrize("lane,led", [(0, 1), (35, 36), (36, 1), (73, 38)])
def test_led_numbers_fold_at_lane_36(lane, led):
    assert port_10g(lane).led_port_num("10G", 0) == led


def test_led_of_a_two_port_breakout_uses_the_third_lane():
    assert port_100g((0, 1, 40, 41)).led_port_num("2x50G", 1) == 5


def test_logical_port_is_base_plus_sub_port():
    assert port_100g().logical_port_num("4x10G", 3, 17) == 20
    assert port_100g().logical_port_num("unchecked", 0, 5) == 5


def test_bitmap_table_covers_lanes_0_to_73():
    table = asicmodel.MaverickPort.pbmp_map
    assert len(table) == 74 and table["xe0"] == 1 and table["xe73"] == 74
    with pytest.raises(KeyError):
        port_10g(74).hw_pbmp("10G", 0)


def test_constructors():
    port = asicmodel.Maverick100GPort("1", (0, 1, 2, 3), "t", "a", "leds", 1, "rxl", 5, "txl", 6,
                                      "mdi", "pe", "dc", "pdc", True, "id", "si", 7)
    assert (port.rx_lane_map, port.rx_polarity_flip, port.tx_lane_map, port.tx_polarity_flip) \
        == ("rxl", 5, "txl", 6)
    assert (port.mdi_pair_map, port.oversub, port.prim_offset, port.unit) == ("mdi", True, 7, 1)
    assert port_40g().phy_layer == "QSFP+"
    base = asicmodel.MaverickPort("1", (3,), None, None, "SFP+", None, None)
    assert (base.hw_ports, base.unit, base.oversub) == (("xe3",), 0, False)
    with pytest.raises(TypeError):
        asicmodel.Maverick100GPort("1", (0,), None, None, None)
    with pytest.raises(TypeError):
        asicmodel.Maverick10GPort("1", (0,), None, None, "SFP+", None, 0, phy_layer="SFP+")
    with pytest.raises(NotImplementedError):
        base.max_logical_ports
