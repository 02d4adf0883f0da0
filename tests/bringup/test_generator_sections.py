"""The generated sections, each rule on its own worked example, over
duck-typed configured ports (generator_fakes)."""

import json
import os

import pytest

import bringup
import tervane.platform
from generator_fakes import Configured, chip, config_with

GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden")


def golden(name):
    with open(os.path.join(GOLDEN, name), encoding="utf-8") as handle:
        return handle.read()


SECTION_CASES = [
    # (what, configured ports, chip flags, attribute, expected lines)
    ("bitmaps: ce folds into xe, hg has no xport line, mixed oversubscription",
     [Configured(["xe0"], bits=[0x2]), Configured(["ce0"], bits=[0x4], oversub=True),
      Configured(["hg0"], bits=[0x8])],
     dict(base_pbmp=0x1, mixed_oversub=True), "sdk_pbmp",
     ["pbmp_xport_xe.0=0x6", "pbmp_valid.0=0xf", "pbmp_oversubscribe.0=0x4"]),
    ("bitmaps: whole-chip oversubscription, wide bitmaps",
     [Configured(["xe0"], bits=[1 << 200], oversub=True), Configured(["xe1"], unit=1, bits=[2])],
     dict(base_pbmp=0x1), "sdk_pbmp",
     ["pbmp_xport_xe.0=0x" + format(1 << 200, "x"), "pbmp_xport_xe.1=0x2",
      "pbmp_valid.0=0x" + format((1 << 200) | 1, "x"), "pbmp_valid.1=0x3",
      "oversubscribe_mode=1"]),
    ("port map with lane count",
     [Configured(["ce0"], portmap_capable=True, hw=[0], speed=100, rx_polarity_flip=5,
                 rx_flips=[5], rx_lane_map=0x1023)],
     dict(portmap_capable=True, needs_lane_config=True), "portmap",
     ["portmap_1.0=1:100:4", "phy_xaui_rx_polarity_flip_1.0=0x0005",
      "xgxs_rx_lane_map_1.0=0x1023"]),
    ("port map on a physical-lane chip",
     [Configured(["ce0"], portmap_capable=True, hw=[4], speed=100, mode="100G",
                 rx_polarity_flip=5, rx_flips=[5], rx_lane_map=0x1023, mdi_pair_map=0)],
     dict(portmap_capable=True), "portmap",
     ["portmap_1.0=5:100", "phy_chain_rx_polarity_flip_physical{5.0}=0x1",
      "phy_chain_rx_polarity_flip_physical{6.0}=0x0",
      "phy_chain_rx_polarity_flip_physical{7.0}=0x1",
      "phy_chain_rx_polarity_flip_physical{8.0}=0x0",
      "phy_chain_rx_lane_map_physical{5.0}=0x1023", "phy_mdi_pair_map_1.0=0x0000"]),
    ("Dport map",
     [Configured(["xe0", "xe1"], logical=[5, 6], unit_intf=[0, 1])],
     dict(dport_capable=True), "dportmap",
     ["dport_map_enable=1\n", "dport_map_port_5.0=1", "dport_map_port_6.0=2"]),
    ("wiring of a chip without port maps",
     [Configured(["xe0"], tx_polarity_flip=0, tx_flips=[0], tx_lane_map=0x3210)],
     dict(portmap_capable=1), "portmap_uncapable_config",
     ["phy_xaui_tx_polarity_flip_1=0x0000", "xgxs_tx_lane_map_1=0x3210"]),
    ("emphasis: per lane in 40G, single lines elsewhere",
     [Configured(["xe0"], pre_emphasis=[26, 27, 28, 29], pre_drv_current=[1, 2, 3, 4]),
      Configured(["xe4", "xe5", "xe6", "xe7"], mode="4x10G", pre_emphasis=[16, 17, 18, 19],
                 drv_current=[5, 6, 7, 0])],
     {}, "port_emphasis",
     ["serdes_preemphasis_lane%d_1.0=0x%04x" % (n, 26 + n) for n in range(4)] +
     ["serdes_pre_driver_current_lane%d_1.0=0x%x" % (n, n + 1) for n in range(4)] +
     ["serdes_preemphasis_2.0=0x0010", "serdes_driver_current_2.0=0x0005",
      "serdes_preemphasis_3.0=0x0011", "serdes_driver_current_3.0=0x0006",
      "serdes_preemphasis_4.0=0x0012", "serdes_driver_current_4.0=0x0007",
      "serdes_preemphasis_5.0=0x0013", "serdes_driver_current_5.0=0x0000"]),
    ("emphasis: entries past those read may hold anything",
     [Configured(["xe0"], pre_emphasis=[1, 2, 3, 4, "junk"]),
      Configured(["xe4", "xe5"], mode="2x20G", drv_current=[5, 6, "junk"])],
     {}, "port_emphasis",
     ["serdes_preemphasis_lane%d_1.0=0x%04x" % (n, n + 1) for n in range(4)] +
     ["serdes_driver_current_2.0=0x0005", "serdes_driver_current_3.0=0x0006"]),
    ("port initialisation",
     [Configured(["xe0"], serdes_if_type="KR4", an_c37="off", an_c73="auto", sys_interface=18),
      Configured(["xe4", "xe5"], mode="2x20G", enable_auto_neg=True, an_c73="on")],
     {}, "port_init",
     ["port_init_autoneg_xe0=0", "port_init_speed_xe0=40000", "port_init_duplex_xe0=1",
      "serdes_if_type_xe0=12 # KR4", "port_init_autoneg_xe4=1", "port_init_autoneg_xe5=1"]),
    ("auto-negotiation codes",
     [Configured(["xe0"], an_c37="off", an_c73="auto"),
      Configured(["xe4", "xe5"], an_c37="bogus", an_c73="on"), Configured(["xe8"], an_c37="bam")],
     {}, "phy_an",
     ["phy_an_c37_xe0=0", "phy_an_c73_xe0=3", "phy_an_c73_xe4=2", "phy_an_c73_xe5=2",
      "phy_an_c37_xe8=1"]),
    ("system interfaces always carry the unit",
     [Configured(["xe0"], sys_interface=18), Configured(["xe1"], sys_interface=0)],
     {}, "sys_interfaces", ["phy_sys_interface_xe0.0=0x12", "phy_sys_interface_xe1.0=0x0"]),
    ("primary offsets and PHY identifiers",
     [Configured(["xe0", "xe1"], prim_offset=255, phy_id1=3, logical=[7, 8])],
     {}, "prim_offsets", ["phy_port_primary_and_offset_xe0=0xff"]),
    ("PHY identifiers by logical port",
     [Configured(["xe0"], phy_id1=0x1f, logical=[7])], {}, "phy_id1s", ["port_phy_id1_7=0x1f"]),
    ("fibre preference per sub-port",
     [Configured(["xe0", "xe1"], set_fiber_pref=True), Configured(["xe2"])],
     {}, "fiber_pref", ["serdes_fiber_pref_xe0=1", "serdes_fiber_pref_xe1=1"]),
    ("PHY models: auto-detected ones are not named",
     [Configured(["xe0"], phy_types=["84328"], phy_addrs=[32, 33, 34, 35], autodetect=True),
      Configured(["xe4"], phy_types=["1234"], phy_addrs=[1])],
     {}, "phys", ["phy_1234_xe4=1"]),
    ("PHY addresses of every sub-port with a model",
     [Configured(["xe0"], phy_types=["84328"], phy_addrs=[32, 33], autodetect=True)],
     {}, "phy_addrs", ["port_phy_addr_xe0=0x20"]),
    ("PHY table: further PHYs under the port's one interface",
     [Configured(["xe0"], phy_addrs=[32, 33, 34, 35], linux_names=["swp1"])],
     {}, "phytab", ["0x%x\tswp1\txe0\t40G" % a for a in (32, 33, 34, 35)]),
    ("PHY script: PHY 0 only in a single-port mode",
     [Configured(["xe0"], phy_addrs=[32, 33], phy_init={"K": "V", 7: 9})],
     {}, "rcphy", ["phy raw c45 32 K V", "phy raw c45 32 7 9"]),
    ("MAC-index table",
     [Configured(["xe0", "xe1", "xe2", "xe3"], mac_index=8, linux_names=["a", "b", "c", "d"]),
      Configured([], mac_index=12)],
     {}, "ethertab", ["a\t8", "b\t9", "c\t10", "d\t11"]),
    ("SFP table: hexadecimal address only after a leading character",
     [Configured(["xe0", "xe1"], linux_names=["s0", "s1"],
                 sfp=type("S", (), dict(type="SFP+", accessmethod="i2c-sdk", address=80))),
      Configured([], linux_names=["g"],
                 sfp=type("S", (), dict(type="QSFP", accessmethod="sdk", address=80)))],
     {}, "sfptab", ["s0\tSFP+\ti2c-sdk\t0x50", "s1\tSFP+\ti2c-sdk\t0x50", "g\tQSFP\tsdk\t80"]),
]


@pytest.mark.parametrize("what, ports, flags, attribute, lines", SECTION_CASES,
                         ids=[case[0] for case in SECTION_CASES])
def test_section_text(what, ports, flags, attribute, lines, monkeypatch):
    if "physical-lane" in what:
        monkeypatch.setattr(tervane.platform, "TomahawkTwo_56970_Chip", type(chip()))
    config = config_with(ports, chip(**flags))
    assert getattr(config, attribute) == "\n".join(lines)


@pytest.mark.parametrize("attribute, flags, message", [
    ("portmap", dict(portmap_capable=1), "platform: test-box is not portmap capable"),
    ("dportmap", dict(dport_capable=1), "platform test-box is not dportmap capable"),
    ("portmap_uncapable_config", dict(portmap_capable=True), "platform: test-box is portmap capable"),
])
def test_wrong_kind_of_chip_is_refused(attribute, flags, message):
    with pytest.raises(RuntimeError, match="^%s$" % message):
        getattr(config_with([], chip(**flags)), attribute)


# Before the first `config` there are no ports and no `units`: the texts
# whose rules never use the unit count are empty, not errors.
@pytest.mark.parametrize("attribute", ["sdk_pbmp", "port_emphasis", "phy_id1s", "sys_interfaces",
                                       "phytab", "rcphy", "ethertab", "sfptab", "porttab"])
def test_texts_without_the_unit_count_before_config(attribute, monkeypatch):
    monkeypatch.delenv("IFMAKER_USE_TUNTAP", raising=False)
    config = bringup.BCMConfig(config_with([]).platform, dummy=True)
    assert getattr(config, attribute) == ""


def test_bitmaps_need_the_chips_base():
    with pytest.raises(TypeError):
        config_with([Configured(["xe0"], bits=[2])], chip(base_pbmp=None)).sdk_pbmp


def test_emphasis_list_too_short_is_an_index_error():
    with pytest.raises(IndexError):
        config_with([Configured(["xe0"], pre_emphasis=[1, 2, 3])]).port_emphasis


def test_unknown_serdes_type_is_a_key_error():
    with pytest.raises(KeyError, match="XAUI"):
        config_with([Configured(["xe0"], serdes_if_type="XAUI")]).port_init


def test_two_units_suffix_every_name():
    config = config_with([Configured(["xe0"]), Configured(["xe4"], unit=1, enable_auto_neg=True)])
    assert config.port_init.splitlines() == [
        "port_init_autoneg_xe0.0=0", "port_init_speed_xe0.0=40000", "port_init_duplex_xe0.0=1",
        "port_init_autoneg_xe4.1=1"]


def test_link_defaults_json_layout():
    ports = [Configured(["xe0"], speed=100, linux_names=["swp1"]),
             Configured(["xe4", "xe5"], speed=50, linux_names=["swp2s0", "swp2s1"]),
             Configured(["xe8"], speed=10, enable_auto_neg=True, linux_names=["swp10"]),
             Configured(["hg0"], is_fabric=True, linux_names=["fp1"])]
    assert config_with(ports).linkdefaults == golden("linkdefaults_ports.json")
    assert config_with(ports, chip(sw_base="vx")).linkdefaults == golden("linkdefaults_vx.json")


def test_link_defaults_escape_names_to_ascii():
    # As the host's json.dumps writes them, a lone surrogate included.
    name = "sw\u00e9\"1\x7f\udcff\U0001f600"
    text = config_with([Configured(["xe0"], linux_names=[name])]).linkdefaults
    assert json.dumps(name) + ": {" in text


def test_port_script_lists_are_compressed_through_the_object():
    config = config_with([Configured(["xe0", "xe1"], speed=10)])
    config._compress_portlist = lambda names: "+".join(names)
    assert config.rcports(0) == "setenv allports xe0+xe1\nsetenv 10Gports xe0+xe1"


@pytest.mark.parametrize("names, compressed", [
    (["xe3", "xe1", "xe2", "xe0", "xe5", "ce0", "xe6"], "ce0,xe0-xe3,xe5,xe6"),
    (["xe0", "xe1"], "xe0,xe1"),
    (["xe1", "xe1", "xe2"], "xe1,xe1,xe2"),
    (["xe999", "xe1000"], "xe1000,xe999"),
    (["ce3", "xe4", "xe5", "xe6"], "ce3,xe4-xe6"),
    ([], ""),
])
def test_compressed_port_lists(names, compressed):
    assert config_with([])._compress_portlist(names) == compressed


def test_port_name_without_a_number_is_a_value_error():
    with pytest.raises(ValueError, match="invalid literal for int"):
        config_with([])._compress_portlist(["xeq"])


def test_port_script_of_one_unit():
    ports = [Configured(["xe0", "xe1", "xe2", "xe3"], speed=10),
             Configured(["xe9"], unit=1, speed=10),
             Configured(["ce0"], speed=100, loopback=True, sdk_group=0)]
    config = config_with(ports)
    assert config.rcports(0) == "\n".join([
        "setenv allports ce0,xe0-xe3", "setenv 10Gports xe0-xe3", "setenv 100Gports ce0",
        "setenv lbports ce0", "port $lbports lb=mac", "setenv sdk_group_0 ce0"])
    assert config.output("rcports_a_1") == "setenv allports xe9\nsetenv 10Gports xe9"
    assert config.output("rcports_-1") == "setenv allports "
    with pytest.raises(ValueError):
        config.output("rcports_x")


class Controller(object):
    def __init__(self, commands):
        self.commands = commands

    def led_memory_init_commands(self, index):
        return self.commands


def test_led_script_blocks():
    config = config_with([])
    config._led_programs = {0: Controller([]), 1: Controller(["C1", "C2"])}
    assert config.rcled == (
        "led 0 stop\nled 0 auto on\nled 0 load /etc/bcm.d/led0.hex\nled 0 start\n\n"
        "led 1 stop\nled 1 auto on\nled 1 load /etc/bcm.d/led1.hex\nled 1 start\n\nC1\nC2")


def test_configuration_body_order_and_headers():
    config = config_with([], chip(base_pbmp=0, portmap_capable=True))
    assert config.output("portsbcm") == (
        "\n# pbmp\n\n\n# portmap\n\n\n# emphasis\n\n\n# port initializations\n\n\n# phys\n\n"
        "\n# addrs\n\n\n# autoneg\n\n\n# prime_offsets\n\n\n# phy_id1s\n\n\n# sys_interfaces\n")
    both = config_with([Configured(["xe0"], set_fiber_pref=True, bits=[2], unit_intf=[0])],
                       chip(base_pbmp=0, dport_capable=True)).output("portsbcm")
    assert "\n# dport map\ndport_map_enable=1\n\n" in both
    assert "\n# non portmap capable config\n" in both
    assert both.endswith("\n\n# fiber pref\nserdes_fiber_pref_xe0=1")


@pytest.mark.parametrize("exploded, mdio, spi_rom, method, value", [
    (True, True, True, "MDIO", 0), (False, True, True, "SPI-ROM", 3000),
    (True, False, True, "SPI-ROM", 3000), (False, True, False, "MDIO", 0),
    (True, False, False, "MDIO", 0), (False, False, False, "MDIO", 0),
])
def test_microcode_download_method(exploded, mdio, spi_rom, method, value):
    config = config_with([], switch=dict(has_phy_ucode_mdio=mdio, has_phy_ucode_spi_rom=spi_rom))
    config.exploded = exploded
    assert config.output("ucodebcm") == (
        "# use %s method for ucode download\nphy_ext_rom_boot=%d" % (method, value))


@pytest.mark.parametrize("name, text, expected", [
    ("hwdesc", "", " # chip description file\n"), ("uft", "", ""),
    ("datapath", "x", " # chip datapath configuration file\nx"), ("riot", None, None),
    ("rcforwarding", "r", " # chip forwarding configuration file\nr"), ("sdk", "s", "s"),
])
def test_chip_data_files(name, text, expected):
    files = {"hwdesc": "hw_desc", "uft": "uft.json", "riot": "riot.json", "sdk": "sdk.bcm",
             "datapath": "datapath.conf", "rcforwarding": "rc.forwarding"}
    made = chip()
    made.texts = {files[name]: text}
    assert config_with([], made).output(name) == expected


@pytest.mark.parametrize("name", ["PORTSBCM", "portsbcm ", "rcport", ""])
def test_unknown_names_are_refused(name):
    with pytest.raises(ValueError, match="unknown generated file name"):
        config_with([]).output(name)


class IncompleteLeader(Configured):
    """A gang leader whose gang never completed (members left out of the
    layout): its member set was never made."""
    ganged, gang_leader, ganged_ports, label = True, True, None, "5"


@pytest.mark.parametrize("flags, physical_lanes, attribute, side", [
    (dict(portmap_capable=True), False, "portmap", "rx"),
    (dict(portmap_capable=True), True, "portmap", "tx"),
    (dict(portmap_capable=True), False, "portmap", None),
    ({}, False, "portmap_uncapable_config", "rx"),
    ({}, False, "portmap_uncapable_config", None),
])
def test_gang_leader_without_its_set_is_refused_naming_it(flags, physical_lanes, attribute, side,
                                                          monkeypatch):
    if physical_lanes:
        monkeypatch.setattr(tervane.platform, "TomahawkTwo_56970_Chip", type(chip()))
    flips = {side + "_polarity_flip": 1} if side else {}  # no polarity lines without a side
    leader = IncompleteLeader(["xe4"], mode="40G/4", hw=[4], **flips)
    with pytest.raises(RuntimeError,
                       match="^platform: test-box: Incomplete ganged set led by port 5$"):
        getattr(config_with([leader], chip(**flags)), attribute)
