"""Trident, Trident2 and Trident2+ speed port classes: tables, gangs and
breakouts, polarity forms, constructors and the fabric port."""

import pytest

import asicmodel as am

TEN_G = [am.Trident10GPort, am.TridentTwo10GPort, am.TridentTwo10GFabricPort,
         am.TridentTwoPlus10GPort]
FORTY_G = [am.Trident40GPort, am.TridentTwo40GPort, am.TridentTwoPlus40GPort]
MASK_40G = [am.TridentTwo40GPort, am.TridentTwoPlus40GPort]

# How each class is built from a first serdes number (and extra keywords).
BUILD = {
    am.Trident10GPort: lambda s, **kw: am.Trident10GPort("1", s, None, None, "SFP+", None, 0, **kw),
    am.TridentTwo10GPort: lambda s, **kw: am.TridentTwo10GPort(
        "1", (s,), None, None, "SFP+", None, 0, **kw),
    am.TridentTwo10GFabricPort: lambda s, **kw: am.TridentTwo10GFabricPort("1", (s,), 0, 0, **kw),
    am.TridentTwoPlus10GPort: lambda s, **kw: am.TridentTwoPlus10GPort(
        "1", (s,), None, None, "SFP+", None, 0, **kw),
    am.Trident40GPort: lambda s, **kw: am.Trident40GPort(
        "1", tuple(range(s, s + 4)), None, None, None, 0, **kw),
    am.TridentTwo40GPort: lambda s, **kw: am.TridentTwo40GPort(
        "1", tuple(range(s, s + 4)), None, None, "QSFP+", None, 0, **kw),
    am.TridentTwoPlus40GPort: lambda s, **kw: am.TridentTwoPlus40GPort(
        "1", tuple(range(s, s + 4)), None, None, None, 0, **kw),
}

TABLES = [
    (am.Trident10GPort, ("10G", "40G/4"), ("40G/4",), 4, "10G", {"10G": 10, "40G/4": 40}),
    (am.TridentTwo10GPort, ("10G", "40G/4"), ("40G/4",), 4, "10G", {"10G": 10, "40G/4": 40}),
    (am.TridentTwo10GFabricPort, ("10G", "40G/4"), ("40G/4",), 4, "10G", {"10G": 10, "40G/4": 40}),
    (am.TridentTwoPlus10GPort, ("10G", "40G/4", "1G"), ("40G/4",), 4, "10G",
     {"1G": 1, "10G": 10, "40G/4": 40}),
    (am.Trident40GPort, ("40G", "4x10G"), (), 0, "40G", {"4x10G": 10, "40G": 40}),
    (am.TridentTwo40GPort, ("40G", "4x10G"), (), 0, "40G", {"4x10G": 10, "40G": 40}),
    (am.TridentTwoPlus40GPort, ("40G", "4x10G", "4x1G"), (), 0, "40G",
     {"4x1G": 1, "4x10G": 10, "40G": 40}),
]


@pytest.mark.parametrize("cls,modes,gang_modes,gang_size,default,speeds", TABLES)
def test_class_tables(cls, modes, gang_modes, gang_size, default, speeds):
    assert (cls.modes, cls.gang_modes, cls.max_gang_size) == (modes, gang_modes, gang_size)
    assert list(cls._speed_map.items()) == list(speeds.items())
    port = BUILD[cls](8)
    assert port.default_mode == default and "default_mode" not in vars(port)
    assert port.max_logical_ports == (1 if cls in TEN_G else 4)
    assert type(port.max_logical_ports) is int


@pytest.mark.parametrize("cls", TEN_G)
@pytest.mark.parametrize("first,logical,physical", [
    (12, 1, 4), (13, 0, 0), (14, 0, 0), (15, 0, 0), (0, 1, 4), (16, 1, 4)])
def test_ten_gig_gang_leader_stands_for_the_gang(cls, first, logical, physical):
    port = BUILD[cls](first)
    assert (port.num_logical_ports("40G/4"), port.num_physical_ports("40G/4")) == (logical, physical)
    assert (port.num_logical_ports("10G"), port.num_physical_ports("10G")) == (1, 1)


def test_trident_two_plus_ten_gig_runs_at_1g():
    port = BUILD[am.TridentTwoPlus10GPort](13)
    assert (port.num_logical_ports("1G"), port.num_physical_ports("1G")) == (1, 1)


@pytest.mark.parametrize("cls,modes", [
    (am.TridentTwoPlus40GPort, {"4x10G": 4, "4x1G": 4, "40G": 1}),
    (am.TridentTwo40GPort, {"4x10G": 4, "40G": 1}),
    (am.Trident40GPort, {"4x10G": 4, "40G": 1}),
])
def test_forty_gig_counts(cls, modes):
    port = BUILD[cls](4)
    for mode, count in modes.items():
        assert port.num_logical_ports(mode) == count
        assert port.num_physical_ports(mode) == count


@pytest.mark.parametrize("cls,mode", [
    (am.Trident10GPort, "4x10G"), (am.TridentTwoPlus10GPort, "4x1G"),
    (am.TridentTwo10GFabricPort, "40G"), (am.Trident40GPort, "10G"),
    (am.TridentTwo40GPort, "40G/4"), (am.TridentTwoPlus40GPort, "1G")])
def test_unlisted_modes_are_refused(cls, mode):
    port = BUILD[cls](0)
    for question in (port.num_logical_ports, port.num_physical_ports,
                     lambda m: port.polarity_flip_val(m, 0, True)):
        with pytest.raises(am.NoSuchMode, match="mode not found: %s," % mode):
            question(mode)


@pytest.mark.parametrize("cls", TEN_G)
@pytest.mark.parametrize("flag,value", [(True, 1), (1, 0), ("yes", 0), (False, 0), (None, 0)])
def test_single_lane_polarity_is_an_identity_test_with_true(cls, flag, value):
    port = BUILD[cls](5, tx_polarity_flip=flag, rx_polarity_flip=flag)
    for mode in ("10G", "40G/4"):
        for sub in (0, 3):
            assert port.tx_logical_polarity_flip(mode, sub) == value
            assert port.rx_logical_polarity_flip(mode, sub) == value
            assert type(port.polarity_flip_val(mode, sub, flag)) is int


@pytest.mark.parametrize("cls", MASK_40G)
@pytest.mark.parametrize("mode,sub,mask,value", [
    ("4x10G", 2, 4, 1), ("4x10G", 1, 4, 0), ("4x10G", 0, 0b0101, 1), ("4x10G", 1, 0b0101, 0),
    ("4x10G", 2, 0b0101, 1), ("4x10G", 3, 0b0101, 0), ("40G", 0, 5, 5), ("40G", 3, None, None),
    ("40G", 0, 0xabcd, 0xabcd)])
def test_lane_mask_polarity(cls, mode, sub, mask, value):
    assert BUILD[cls](0).polarity_flip_val(mode, sub, mask) == value


def test_trident_two_plus_lane_mask_in_1g_breakout():
    port = BUILD[am.TridentTwoPlus40GPort](0, rx_polarity_flip=0b1000)
    assert [port.rx_logical_polarity_flip("4x1G", sub) for sub in range(4)] == [0, 0, 0, 1]


@pytest.mark.parametrize("cls,mode", [
    (am.TridentTwo40GPort, "4x10G"), (am.TridentTwoPlus40GPort, "4x1G"),
    (am.Trident40GPort, "4x10G"), (am.Trident40GPort, "40G")])
def test_lane_polarity_question_without_lanes_names_the_mode(cls, mode):
    port = BUILD[cls](0)  # polarity left at its default, None
    with pytest.raises(TypeError, match="port 1 in mode %s needs a polarity" % mode):
        port.rx_logical_polarity_flip(mode, 1)


@pytest.mark.parametrize("flags,sub,breakout,whole", [
    ([False, True, False, False], 1, 1, 240),
    ([False, True, False, False], 0, 0, 240),
    ([True, False, False, True], 3, 1, 0xF00F),
    ([True, False, False, False], 0, 1, 15),
    ([False] * 4, 2, 0, 0),
    ([1, 0, 0, 1], 0, 0, 0),
    ([True] * 20, 19, 1, (1 << 80) - 1),
])
def test_trident_forty_gig_per_lane_flags(flags, sub, breakout, whole):
    port = BUILD[am.Trident40GPort](0)
    assert port.polarity_flip_val("4x10G", sub, flags) == breakout
    assert port.polarity_flip_val("40G", sub, flags) == whole
    assert port.polarity_flip_val("40G", 0, []) == 0


def test_trident_ten_gig_constructor_wraps_single_values():
    port = am.Trident10GPort(label="7", serdes=12, phy_type="84328", phy_addr=3, phy_layer="SFP+",
                             leds=(0, 7), unit=1, mdi_pair_map=0x1032)
    assert (port.hw_ports, port.phy_types, port.phy_addrs) == (("hg12",), ("84328",), (3,))
    assert (port.prim_offset, port.unit, port.leds, port.mdi_pair_map) == (None, 1, (0, 7), 0x1032)
    assert port.phy_autodetect("10G", 0) is True
    with pytest.raises(TypeError):
        am.Trident10GPort("7", 12, None, None, "SFP+", None)  # unit is required here


@pytest.mark.parametrize("cls", [am.Trident40GPort, am.TridentTwoPlus40GPort])
def test_qsfp_classes_fix_the_cage_type(cls):
    port = BUILD[cls](0)
    assert port.phy_layer == "QSFP+"
    with pytest.raises(TypeError):
        BUILD[cls](0, phy_layer="QSFP28")
    if cls is am.TridentTwoPlus40GPort:
        assert port.set_fiber_pref is True


SPEED_PORT_ORDER = ["label", "serdes", "phy_types", "phy_addrs", "phy_layer", "leds", "unit",
                    "rx_lane_map", "rx_polarity_flip", "tx_lane_map", "tx_polarity_flip",
                    "mdi_pair_map", "pre_emphasis", "drv_current", "pre_drv_current", "oversub",
                    "phy_id1", "sys_interface", "prim_offset"]


@pytest.mark.parametrize("cls", [am.TridentTwo10GPort, am.TridentTwo40GPort,
                                 am.TridentTwoPlus10GPort])
def test_speed_port_positional_order(cls):
    values = ["L", (4, 5, 6, 7)] + ["v%d" % n for n in range(2, 19)]
    port = cls(*values)
    for name, value in zip(SPEED_PORT_ORDER, values):
        if name != "serdes":
            assert getattr(port, name) == value, name
    assert port.hw_ports == ("hg4", "hg5", "hg6", "hg7")


def test_fabric_port():
    port = am.TridentTwo10GFabricPort("9", (20,), 0x0123, 0x3210, True)
    assert (port.tx_lane_map, port.rx_lane_map, port.tx_polarity_flip) == (0x0123, 0x3210, True)
    assert port.is_fabric is True and port.create_fabric is True
    assert (port.unit, port.oversub, port.default_mode) == (0, True, "10G")
    for field in ("phy_types", "phy_addrs", "leds", "phy_layer", "rx_polarity_flip",
                  "mdi_pair_map", "phy_id1", "sys_interface", "prim_offset"):
        assert getattr(port, field) is None, field
    assert vars(port)["_serdes_intf_map"] == {10: "KR"}
    assert port._serdes_intf_map is not am.TridentTwo10GFabricPort("8", (21,), 0, 0)._serdes_intf_map
    assert (port.serdes_if_type(10), port.serdes_if_type(10.0), port.serdes_if_type(40)) == (
        "KR", "KR", None)
    for mode in ("10G", "4x10G", None):
        assert (port.an_c37(mode), port.an_c73(mode)) == ("off", "off")
    assert port.mac_addrs_contrib_total({}) == 1
    assert port.tx_logical_polarity_flip("10G", 0) == 1
    with pytest.raises(TypeError):
        am.TridentTwo10GFabricPort("9", (20,), 0, 0, leds=(0, 1))
