"""Tomahawk and Tomahawk2 port classes: modes, counts, gangs, interface
names, hardware, LED and logical numbering, polarity and constructors."""

import pytest

import asicmodel

BREAKOUT_MODES = ("40G", "2x50G", "100G", "50G", "2x20G", "4x25G", "4x10G", "2x40G")


def port_100g(serdes=(4, 5, 6, 7), **extra):
    return asicmodel.Tomahawk100GPort("1", serdes, None, None, "QSFP28", (0, 1), 0, **extra)


def port_25g(lane, **extra):
    return asicmodel.Tomahawk25GPort("1", (lane,), None, None, "SFP28", (0, 1), 0, **extra)


def port_two(first_lane=0, adj_label=None, **extra):
    return asicmodel.TomahawkTwo100GPort("5", adj_label, tuple(range(first_lane, first_lane + 4)),
                                         None, None, "QSFP28", None, 0, **extra)


def test_lanes_become_ce_interface_names():
    assert port_100g().hw_ports == ("ce4", "ce5", "ce6", "ce7")


@pytest.mark.parametrize("mode,sub,name", [
    ("100G", 0, "ce4"), ("2x50G", 1, "xe6"), ("4x25G", 3, "xe7"), ("40G", 0, "xe4"),
    ("50G", 0, "xe4"), ("2x20G", 0, "xe4")])
def test_interface_names_follow_the_mode(mode, sub, name):
    assert port_100g().hw_intf(mode, sub) == name


def test_hardware_port_uses_the_entry_itself_but_interface_number_the_lane_pair():
    port = port_100g()
    assert port.hw_port_num("2x50G", 1) == 5
    assert port.hw_intf_num("2x50G", 1) == 6
    assert port.logical_port_num("2x50G", 1, 1) == 6
    assert port.logical_port_num("2x50G", 1, 999) == 6


@pytest.mark.parametrize("lane,logical", [
    (0, 1), (31, 32), (32, 34), (63, 65), (64, 68), (95, 99), (96, 102), (127, 133),
    (128, 66), (130, 100)])
def test_logical_port_numbers_skip_the_pipe_gaps(lane, logical):
    assert port_25g(lane).logical_port_num("25G", 0, None) == logical


@pytest.mark.parametrize("number,led", [
    (0, 0), (31, 31), (32, 0), (95, 63), (96, 32), (127, 63), (128, 0), (129, 65), (130, 1),
    (131, 67)])
def test_led_numbers(number, led):
    assert port_25g(number).led_port_num("10G", 0) == led


@pytest.mark.parametrize("mode,count", [
    ("100G", 1), ("40G", 1), ("50G", 1), ("2x50G", 2), ("2x20G", 2), ("2x40G", 2),
    ("4x25G", 4), ("4x10G", 4)])
def test_breakout_counts(mode, count):
    assert port_100g().num_logical_ports(mode) == count
    assert port_100g().num_physical_ports(mode) == count


@pytest.mark.parametrize("cls", [asicmodel.Tomahawk100GPort, asicmodel.Tomahawk25GPort,
                                 asicmodel.TomahawkMgmt10GPort, asicmodel.TomahawkTwo100GPort])
@pytest.mark.parametrize("mode", ["4x", "25G/4", "", "100g"])
def test_unknown_modes_are_refused_before_anything_else(cls, mode):
    if cls is asicmodel.TomahawkTwo100GPort:
        port = cls("5", None, (0,), None, None, None, None, 0)
    else:
        port = cls("1", (0,), None, None, None, None, 0)
    for question in (port.num_logical_ports, lambda m: port.polarity_flip_val(m, 0, 1)):
        with pytest.raises(asicmodel.NoSuchMode):
            question(mode)


# class, modes (the speed map's keys as a list, in the map's order)
SPEED_MAP_MODES = [
    (asicmodel.Tomahawk100GPort, list(BREAKOUT_MODES)),
    (asicmodel.TomahawkTwo100GPort, list(BREAKOUT_MODES[:-1])),
    (asicmodel.TomahawkMgmt10GPort, ["10G"]),
]


@pytest.mark.parametrize("cls,modes", SPEED_MAP_MODES)
def test_modes_are_the_speed_map_keys_in_the_map_order(cls, modes):
    assert type(cls.modes) is list and cls.modes == modes
    assert list(cls._speed_map) == modes
    assert all(mode is key for mode, key in zip(cls.modes, cls._speed_map))


def test_mode_lists_keep_their_order_in_the_refusal():
    assert asicmodel.Tomahawk25GPort.modes == ("25G", "10G", "100G/4", "40G/4")
    assert asicmodel.Tomahawk25GPort.default_mode == "25G"
    with pytest.raises(asicmodel.NoSuchMode) as refused:
        port_100g().num_logical_ports("25G")
    assert str(refused.value).endswith(repr(list(BREAKOUT_MODES))[1:])


@pytest.mark.parametrize("mode,polarities", [
    ("4x25G", [1, 0, 1, 1]), ("4x10G", [1, 0, 1, 1]), ("2x50G", [1, 3]), ("100G", [13]),
    ("40G", [13])])
def test_polarity_of_each_sub_port(mode, polarities):
    for cls in (port_100g, port_two):
        port = cls(rx_polarity_flip=13, tx_polarity_flip=0)
        assert [port.rx_logical_polarity_flip(mode, sub) for sub in range(len(polarities))] \
            == polarities
        assert port.tx_logical_polarity_flip(mode, 0) == 0


@pytest.mark.parametrize("lane,mode,logical,physical", [
    (8, "100G/4", 1, 4), (8, "40G/4", 1, 4), (9, "100G/4", 0, 0), (9, "40G/4", 0, 0),
    (0, "40G/4", 1, 4), (8, "25G", 1, 1), (9, "25G", 1, 1), (9, "10G", 1, 1)])
def test_25g_gangs_are_led_by_the_lane_multiple_of_four(lane, mode, logical, physical):
    port = port_25g(lane)
    assert (port.num_logical_ports(mode), port.num_physical_ports(mode)) == (logical, physical)


@pytest.mark.parametrize("mode,prefix", [
    ("100G/4", "ce"), ("40G/4", "xe"), ("25G", "xe"), ("10G", "xe"), ("anything", "xe")])
def test_25g_prefix(mode, prefix):
    assert port_25g(8).hw_intf_prefix(mode, 0) == prefix


@pytest.mark.parametrize("make,mode", [(lambda: port_25g(8), "25G"),
                                       (lambda: asicmodel.TomahawkMgmt10GPort(
                                           "m", (128,), None, None, "SFP+", None, 0), "10G")])
@pytest.mark.parametrize("flip,value", [(True, 1), (1, 0), (None, 0), (False, 0), (5, 0)])
def test_single_lane_polarity_is_one_only_for_true(make, mode, flip, value):
    assert make().polarity_flip_val(mode, 0, flip) == value


def test_management_port():
    port = asicmodel.TomahawkMgmt10GPort("m", (128,), None, None, "SFP+", None, 0)
    assert port.num_logical_ports("10G") == 1 and port.max_logical_ports == 1
    assert port.hw_intf("10G", 0) == "xe128"
    with pytest.raises(asicmodel.NoSuchMode):
        port.num_logical_ports("25G")


def test_fabric_port():
    port = asicmodel.Tomahawk100GFabricPort("3", (8, 9, 10, 11), 1, 2, "tx", "rx", sdk_group=7)
    assert port.max_logical_ports == 1
    assert port.num_logical_ports("4x25G") == 4
    assert port.serdes_if_type(100) == "KR4" and port.serdes_if_type(40) is None
    assert port.is_fabric is True and port.create_fabric is True
    assert port.unit == 0 and port.oversub is True
    assert (port.tx_polarity_flip, port.rx_polarity_flip) == (1, 2)
    assert (port.tx_lane_map, port.rx_lane_map) == ("tx", "rx")
    assert port.leds is None and port.phy_layer is None and port.prim_offset is None
    assert port.sdk_group == 7
    assert asicmodel.Tomahawk100GPort("1", (0,), None, None, None, None, 0).serdes_if_type(100) \
        is None


@pytest.mark.parametrize("mode,lanes", [
    ("100G", 4), ("40G", 4), ("50G", 2), ("2x50G", 2), ("2x20G", 2), ("4x25G", 1), ("4x10G", 1)])
def test_lane_counts(mode, lanes):
    assert asicmodel.Tomahawk100GPort.num_lanes(mode) == lanes
    assert port_100g().num_lanes(mode) == lanes


def test_speeds():
    assert [asicmodel.Tomahawk100GPort.speed(m) for m in BREAKOUT_MODES] \
        == [40, 50, 100, 50, 20, 25, 10, 40]
    assert port_25g(0).speed("100G/4") == 100


def test_base_constructor_signature_and_field_order():
    port = asicmodel.TomahawkPort("1", (0, 1), "types", "addrs", "QSFP28", 3, (0, 1),
                                  2, 4, 5, "rxl", "txl", "pe", "dc", "pdc", True, "id", "si", "mdi")
    assert (port.unit, port.rx_polarity_flip, port.tx_polarity_flip) == (2, 4, 5)
    assert (port.rx_lane_map, port.tx_lane_map, port.pre_emphasis) == ("rxl", "txl", "pe")
    assert (port.drv_current, port.pre_drv_current, port.oversub) == ("dc", "pdc", True)
    assert (port.phy_id1, port.sys_interface, port.mdi_pair_map) == ("id", "si", "mdi")
    assert port.prim_offset == 3 and port.hw_ports == ("ce0", "ce1")
    defaults = asicmodel.TomahawkPort("1", (), None, None, None, None, None)
    assert defaults.unit == 0 and defaults.oversub is False and defaults.mdi_pair_map is None


def test_speed_class_constructor_takes_receive_lane_map_first_and_requires_unit():
    port = asicmodel.Tomahawk25GPort("1", (3,), None, None, "SFP28", None, 1, "rxl", True, "txl",
                                     False, "mdi", prim_offset=9)
    assert (port.rx_lane_map, port.rx_polarity_flip) == ("rxl", True)
    assert (port.tx_lane_map, port.tx_polarity_flip) == ("txl", False)
    assert (port.mdi_pair_map, port.prim_offset, port.unit) == ("mdi", 9, 1)
    with pytest.raises(TypeError):
        asicmodel.Tomahawk25GPort("1", (3,), None, None, "SFP28", None)
    with pytest.raises(TypeError):
        asicmodel.Tomahawk25GPort("1", (3,), None, None, "SFP28", None, 0, lane_map=None)


def test_tomahawk_two_port_numbering_without_a_neighbour():
    assert asicmodel.TomahawkTwo100GPort.default_mode == "100G"
    assert "2x40G" in asicmodel.Tomahawk100GPort.modes
    with pytest.raises(asicmodel.NoSuchMode):
        port_two().num_logical_ports("2x40G")
    paired = port_two(adj_label="4", blocked_adj_split=4)
    assert (paired.adj_label, paired.max_logical_ports, paired.blocked_adj_split_num()) \
        == ("4", 2, 4)
    alone = port_two()
    assert (alone.max_logical_ports, alone.blocked_adj_split_num()) == (4, 0)
    assert alone.hw_ports == ("ce0", "ce1", "ce2", "ce3")


@pytest.mark.parametrize("first_lane,numbers", [
    (0, (1, 2)), (62, (32, 34)), (64, (34, 35)), (128, (68, 69)), (130, (69, 70)),
    (192, (102, 103))])
def test_tomahawk_two_sub_ports_zero_and_one(first_lane, numbers):
    port = port_two(first_lane)
    assert tuple(port.logical_port_num("4x25G", sub, 50) for sub in (0, 1)) == numbers


@pytest.mark.parametrize("number,led", [
    (0, 0), (63, 63), (64, 0), (127, 63), (128, 0), (191, 63), (192, 0), (255, 63)])
def test_tomahawk_two_led_numbers_wrap_every_64(number, led):
    assert port_two(number).led_port_num("100G", 0) == led
