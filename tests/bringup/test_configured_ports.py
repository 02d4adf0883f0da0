"""Configured ports over real family ports (and small fakes where a value
must be chosen): forwarding, gangs, naming, numbering, bitmaps, polarity."""

import types

import pytest

import asicmodel
import bringup
from bringup_fakes import tomahawk_100g, trident_two_10g


def sdk(mode, port, port_base=1, mac_index=0, cls=bringup.SDKConfiguredPort):
    return cls(mode, port, port_base, mac_index, False)


def test_abstract_base():
    port = bringup.ConfiguredPort("40G", 3, True)
    assert vars(port) == {"mode": "40G", "mac_index": 3, "loopback": True}
    for name in ("label", "speed", "num_logical_ports", "max_logical_ports", "leds",
                 "serdes_if_type", "gang_label"):
        with pytest.raises(NotImplementedError):
            getattr(port, name)
    assert (port.an_c37, port.an_c73) == (None, None)
    with pytest.raises(AttributeError):
        port.linux_prefix


def test_forwarding_to_a_tomahawk_port():
    physical = tomahawk_100g("3")
    port = sdk("4x25G", physical, port_base=9, mac_index=12)
    assert port.ganged_ports is None and port.physical_port is physical
    assert (port.label, port.speed, port.num_lanes, port.num_logical_ports) == ("3", 25, 1, 4)
    assert [port.sdk_intf(sub) for sub in range(4)] == ["xe4", "xe5", "xe6", "xe7"]
    assert [port.linux_port_name(sub) for sub in (0, 3)] == ["swp3s0", "swp3s3"]
    assert (port.port_mac_index(2), port.sdk_logical_port_num(3), port.unit) == (14, 12, 0)
    assert port.sdk_config_intf(1) == "xe5.0" and port.sdk_config_intf(1, 1) == "xe5"
    with pytest.raises(KeyError):  # no pbmp_map on this bare family port: passed through
        port.sdk_pbmp(0)
    assert sdk("100G", physical).linux_port_name(0) == "swp3"
    with pytest.raises(asicmodel.NoSuchMode):
        sdk("1G", physical).speed


@pytest.mark.parametrize("serdes, ganged, leader, label", [
    (8, True, True, "5"), (9, True, False, "5")])
def test_40g_gang_on_trident_two(serdes, ganged, leader, label):
    port = sdk("40G/4", trident_two_10g("7", serdes))
    assert (port.ganged, port.gang_leader, port.gang_label) == (ganged, leader, label)
    assert port.linux_port_name(0) == "swp" + label
    single = sdk("10G", trident_two_10g("7", serdes))
    assert (single.ganged, single.gang_leader, single.gang_label) == (False, False, "7")


def fake_port(**values):
    base = dict(label="1", gang_modes=(), autoneg_pref=None, phy_layer="QSFP+", phy_addrs=None,
                phy_types=None, is_fabric=False, name_override=None, disable_prefix_xlate=None,
                unit=0, hw_ports=("xe0",))
    base.update(values)
    return types.SimpleNamespace(**base)


@pytest.mark.parametrize("pref, layer, expected", [
    (False, "10GBaseT", False), (None, "1GBaseT", True), (None, "10GBaseT", True),
    (None, "QSFP+", False), (None, "10gbaset", False), ("x", "QSFP+", "x")])
def test_enable_auto_neg(pref, layer, expected):
    assert sdk("40G", fake_port(autoneg_pref=pref, phy_layer=layer)).enable_auto_neg == expected


@pytest.mark.parametrize("label, mode, expected", [
    ("7", "40G/4", "5"), ("7", "100G/4", "7"), ("4", "40G/4", "1"), ("05", "40G/4", "5")])
def test_gang_label(label, mode, expected):
    assert sdk(mode, fake_port(label=label)).gang_label == expected


@pytest.mark.parametrize("prefix, xlate, expected", [
    ("hg", None, "xe"), ("hg", False, "xe"), ("hg", True, "hg"), ("xe12", None, "xe"),
    ("HG", None, "HG"), ("ce", True, "ce")])
def test_sdk_intf_prefix(prefix, xlate, expected):
    physical = fake_port(disable_prefix_xlate=xlate, hw_intf_prefix=lambda mode, sub: prefix)
    assert sdk("40G", physical).sdk_intf_prefix(0) == expected


def test_names_and_phy_values_of_a_fake_port():
    physical = fake_port(label="3", is_fabric=True, num_logical_ports=lambda mode: 1,
                         hw_intf_num=lambda mode, sub: "12", phy_types=["84328"])
    port = sdk("40G", physical)
    assert (port.linux_port_name(0), port.hw_intf_num(0)) == ("fp3", 12)
    assert (port.phy_addr(0), port.phy_type(0)) == (None, "84328")
    physical.name_override = ""
    assert port.linux_port_name(1) == ""


def test_mapped_and_dport_numbering():
    physical = fake_port(unit=1, hw_intf_prefix=lambda mode, sub: "xe",
                         logical_port_num=lambda mode, sub, base: (mode, sub, base) == ("4x25G", 1, 9) and 34)
    mapped = sdk("4x25G", physical, port_base=5, cls=bringup.SDKConfiguredMappedPort)
    assert (mapped.sdk_pbmp(0), mapped.sdk_intf_num(0), mapped.sdk_unit_intf_num(0)) == (32, 4, 4)
    assert (mapped.sdk_intf(0), mapped.sdk_config_intf(0, 1), mapped.sdk_config_intf(0, 2)) == \
        ("xe4", "5", "5.1")
    dport = bringup.BCMConfiguredDportPort(mac_index=12, loopback=False, if_port_base=3,
                                           port_base=9, physical_port=physical, mode="4x25G")
    assert (dport.sdk_logical_port_num(1), dport.sdk_pbmp(1), dport.sdk_intf_num(1),
            dport.sdk_unit_intf_num(1), dport.sdk_config_intf(1, 1)) == (34, 1 << 34, 3, 9, "34")
    assert (dport.port_base, dport.if_port_base, dport.mac_index) == (9, 3, 12)
    with pytest.raises(TypeError):
        bringup.BCMConfiguredDportPort("4x25G", physical, 9, 3, 12)
    assert bringup.BCMConfiguredMappedPort("10G", physical, 1, 0).loopback is False


class FlipPort(object):
    """A platform port answering a chosen logical flip value."""
    gang_modes = ("40G/4",)

    def __init__(self, number, flip, logical_ports=1, unit=0):
        self.hw_ports = ("xe%d" % number,)
        self.flip, self.logical_ports, self.unit = flip, logical_ports, unit

    def num_logical_ports(self, mode):
        return self.logical_ports

    def hw_intf_num(self, mode, sub):
        return int(self.hw_ports[0][2:])

    def rx_logical_polarity_flip(self, mode, sub):
        return self.flip

    tx_logical_polarity_flip = rx_logical_polarity_flip


def test_gang_leader_combines_members_in_hardware_order():
    members = [sdk("40G/4", FlipPort(n, flip, int(n == 8))) for n, flip in
               [(11, 1), (9, 0), (10, 0), (8, 1)]]
    leader = members[3]
    leader.ganged_ports = frozenset(members)
    assert leader.rx_logical_polarity_flip(0) == 9 and leader.tx_logical_polarity_flip(0) == 9
    assert members[0].rx_logical_polarity_flip(0) == 1
    order = [sdk("40G/4", FlipPort(n, flip, int(n == 9))) for n, flip in [(10, 1), (9, 0)]]
    order[1].ganged_ports = frozenset(order)
    assert order[1].rx_logical_polarity_flip(0) == 2


# Keyed by physical lane and the port's unit.
@pytest.mark.parametrize("mode, number, flip, unit, lines", [
    ("4x25G", 12, 1, 0, ["{13.0}=0x1"]),
    ("100G", 4, 5, 0, ["{5.0}=0x1", "{6.0}=0x0", "{7.0}=0x1", "{8.0}=0x0"]),
    ("2x50G", 0, 2, 1, ["{1.1}=0x0", "{2.1}=0x1"]),
    ("2x40G", 0, 0, 2, ["{1.2}=0x0", "{2.2}=0x0"])])
def test_per_lane_lines(mode, number, flip, unit, lines):
    port = sdk(mode, FlipPort(number, flip, unit=unit))
    portmap = ["kept"]
    assert port.td3_rx_logical_polarity_flip(port, portmap, 0) is portmap
    assert portmap == ["kept"] + ["phy_chain_rx_polarity_flip_physical" + l for l in lines]
    assert port.td3_tx_logical_polarity_flip(port=port, portmap=[], sub=0)[0].startswith(
        "phy_chain_tx_polarity_flip_physical")


def test_per_lane_unknown_mode_appends_nothing():
    port = sdk("13G", FlipPort(0, 1))
    portmap = []
    with pytest.raises(KeyError):
        port.td3_rx_logical_polarity_flip(port, portmap, 0)
    assert portmap == []
