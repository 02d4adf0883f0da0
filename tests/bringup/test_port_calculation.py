"""Configured ports, units, gangs and LED controllers computed by `config`,
over duck-typed platform ports."""

import pytest

import bringup
from bringup_fakes import Chip, platform_of


class PlatformPort(object):
    """What the port calculation reads of a platform port."""
    gang_modes = ("40G/4",)
    max_gang_size = 4
    create_fabric = False
    name_override = None

    def __init__(self, label, unit=0, fabric=False, leds=None, hw="xe", mangled=1):
        self.label, self.unit, self.is_fabric, self.leds = label, unit, fabric, leds
        self.default_mode = "40G"
        self.hw_ports = ["%s%s" % (hw, label)]
        self.mangled = mangled

    def complete_mode(self, port, mode):
        return mode

    def configurable(self, config_map):
        key = ("Fabric-" if self.is_fabric else "") + self.label
        return not config_map.get(key, self.default_mode).lower().startswith("disable")

    def port_mangler(self, mode):
        return [(self, mode)] * self.mangled

    def hw_intf_prefix(self, mode, sub):
        return self.hw_ports[0][:2]

    def num_logical_ports(self, mode):
        if mode == "40G/4":
            return 1 if int(self.label) % 4 == 1 else 0
        return {"4x10G": 4}.get(mode, 1)

    def mac_addrs_contrib_total(self, config_map):
        return 0 if self.is_fabric else 4


def flat_chip():
    chip = Chip()
    chip.dport_capable = chip.portmap_capable = None
    return chip


def configured(ports, layout, macrange=255, chip=None, **switch):
    platform = platform_of(ports, chip or flat_chip())
    platform.name = "calc-box"
    platform.switch.led_controllers = switch.pop("led_controllers", None)
    platform.switch.glimmer = switch.pop("glimmer", None)
    config = bringup.BCMConfig(platform, dummy=True)
    config.macrange = macrange
    config.config(layout)
    return config


def summary(config):
    return [(p.physical_port.label, p.mode, p.port_base, p.mac_index, p.loopback)
            for p in config.ports]


def test_worked_example_numbering_and_mac_indexes():
    ports = [PlatformPort("1"), PlatformPort("2"), PlatformPort("3", unit=1)]
    config = configured(ports, "1=4x10G\n2=disabled\n3=loopback\n", macrange=8)
    assert summary(config) == [("1", "4x10G", 1, 0, False), ("3", "40G", 1, 4, True)]
    assert config.mapped_portnums == {0: 5, 1: 2}
    assert config.macmode == "standard"
    assert config._calculate_configuration() == 8


def test_too_few_macs_fall_back_to_l3_only(monkeypatch, capsys):
    logged = []
    monkeypatch.setattr(bringup, "syslog", type("S", (), dict(
        LOG_INFO=6, syslog=staticmethod(lambda *a: logged.append(a)))))
    config = configured([PlatformPort("1"), PlatformPort("2")], "", macrange=7)
    assert config.macmode == "l3-only"
    assert logged == [(6, "Not enough macs in platform, falling to l3-only")]
    config.verbose = True
    config.macrange = 255
    config.config("")
    assert config.macmode == "l3-only"  # never set back
    assert capsys.readouterr().out == "max_mac_index 8 macrange 255\n"


@pytest.mark.parametrize("layout, expected", [
    ("1=LOOPBACK\n", [("1", "LOOPBACK", 1, 0, False)]),
    ("1=Disabled-port\n", [("1", "40G", 1, 0, False)]),  # only the fabric port is left
    ("Fabric-1=disable\n1=4x10G\n", [("1", "4x10G", 1, 0, False)]),
])
def test_layout_words(layout, expected):
    ports = [PlatformPort("1"), PlatformPort("1", fabric=True)]
    assert summary(configured(ports, layout))[:1] == expected


def test_dport_numbering_per_unit_and_prefix():
    chip = flat_chip()
    chip.dport_capable, chip.portmap_capable = True, True
    ports = [PlatformPort("1"), PlatformPort("2", hw="ce"), PlatformPort("3"),
             PlatformPort("4", unit=1)]
    config = configured(ports, "1=4x10G\n", chip=chip)
    assert [type(p).__name__ for p in config.ports] == ["BCMConfiguredDportPort"] * 4
    assert [(p.port_base, p.if_port_base) for p in config.ports] == [(1, 1), (5, 1), (6, 5), (1, 1)]


def test_mangled_port_gives_several_configured_ports():
    config = configured([PlatformPort("1", mangled=2)], "")
    assert summary(config) == [("1", "40G", 1, 0, False), ("1", "40G", 2, 4, False)]


def test_gang_leader_holds_its_members_in_hardware_order():
    ports = [PlatformPort(label) for label in ("4", "1", "3", "2", "5")]
    config = configured(ports, "1=40G/4\n2=40G/4\n3=40G/4\n4=40G/4\n")
    leader = [p for p in config.ports if p.physical_port.label == "1"][0]
    assert sorted(p.physical_port.label for p in leader.ganged_ports) == ["1", "2", "3", "4"]
    assert isinstance(leader.ganged_ports, frozenset)
    assert [p.ganged_ports for p in config.ports if p is not leader] == [None] * 4
    assert config.units == {0}


def test_gang_without_a_leader_names_the_platform_and_the_port_that_would_lead():
    # The walk gives the leaderless ports no set; the port wiring refuses
    # them, naming the disabled port that leads in their mode.
    ports = [PlatformPort(label) for label in ("1", "2", "3", "4", "6")]
    config = configured(ports, "1=disabled\n" + "".join(
        "%s=40G/4\n" % p.label for p in ports[1:]))
    assert [p.ganged_ports for p in config.ports] == [None] * 4
    with pytest.raises(RuntimeError, match="^platform: calc-box: Incomplete ganged set led by port 1$"):
        config.portmap_uncapable_config


def test_duplicate_gang_member_is_refused():
    config = configured([PlatformPort("1")], "1=40G/4\n")
    port = config.ports[0]
    with pytest.raises(RuntimeError, match="Duplicate port 1 already in ganged set"):
        config._calculate_gangs([port, port])


class Recorder(object):
    made = []

    def __init__(self):
        Recorder.made.append(self)

    def configure(self, index, ports):
        self.index, self.labels = index, [p.physical_port.label for p in ports]


class NeedsArgument(Recorder):
    def __init__(self, required):
        raise AssertionError("never built")


@pytest.mark.parametrize("controllers, glimmer, built", [
    ([1, 0], {0: Recorder, 1: Recorder}, [(0, ["1"]), (1, ["2"])]),
    (None, Recorder, [(0, ["1"]), (1, ["2"])]),
    ([], {0: NeedsArgument, 1: NeedsArgument}, None),
    ([2], Recorder, [(2, [])]),
])
def test_led_controllers(controllers, glimmer, built):
    Recorder.made = []
    ports = [PlatformPort("1", leds=(0, 1)), PlatformPort("2", leds=(1, 1)), PlatformPort("3")]
    if built is None:
        with pytest.raises(TypeError) as caught:
            configured(ports, "", led_controllers=controllers, glimmer=glimmer)
        assert isinstance(caught.value.__context__, TypeError)
        return
    config = configured(ports, "", led_controllers=controllers, glimmer=glimmer)
    assert [(c.index, c.labels) for c in Recorder.made] == built
    assert sorted(config.led_chains) == [index for index, _ in built]
    assert config.port_units == [0]
