"""Layouts refused by the platform's name and the port's, as ports.conf
names it: a port reaching past the SDK logical ports and MAC indexes it
reserves, a four-way breakout without the port that numbers its last
sub-ports, two devices or keys on one thing, and a polarity flip on a port
whose class has no polarity rule."""

import types

import pytest

import asicmodel
import bringup
import tervane.platform  # noqa: F401  (the chip classes the port map tests against)
import tervane.platforms
from leds.box_controllers import TomahawkBoxLEDController
from generator_fakes import Configured, chip, config_with
from platforms import hurricane2_box, tomahawk_box, tomahawk_two_box, trident_three_box

CLASH_TEXTS = ("portsbcm", "porttab", "ethertab")


def configured(module, layout, more_ports=(), fabric_devices=True):
    platform = module.build()
    platform.switch.ports += list(more_ports)
    for port in platform.switch.ports:
        if port.is_fabric:
            port.create_fabric = fabric_devices
    if not hasattr(platform.switch, "glimmer"):
        platform.switch.glimmer = TomahawkBoxLEDController
    config = bringup.BCMConfig(tervane.platforms.register(platform), dummy=True)
    config.config(layout)
    config.made = []
    config.makekernnet = config.maketap = lambda name, index, *rest: config.made.append(
        (name, index))
    return config


# The Tomahawk2 box pairs port 2 with port 1 and port 4 with port 3 (each
# blocked by a four-way split of its partner, and split in two at most);
# a third and fourth sub-port of port 1 take port 2's SDK logical ports.
SHARED_SDK_PORTS = [
    # (what, platform, layout, the refusal after "platform: <name>: ", or None)
    ("a four-way breakout beside its partner", tomahawk_two_box, "1=4x25G\n",
     "Port 2 must be disabled while port 1 is split into 4 ports"),
    ("the second pair", tomahawk_two_box, "3=4x10G\n4=2x50G\n",
     "Port 4 must be disabled while port 3 is split into 4 ports"),
    ("a partner split four ways", tomahawk_two_box, "2=4x25G\n",
     "Port 2 in mode 4x25G makes 4 logical ports, more than the 2 it reserves"),
    ("a fabric port broken out", tomahawk_box, "Fabric-1=4x25G\n",
     "Port Fabric-1 in mode 4x25G makes 4 logical ports, more than the 1 it reserves"),
    ("a four-way breakout beside its disabled partner", tomahawk_two_box,
     "1=4x25G\n2=disabled\n", None),
    ("a fabric port making no device, broken out", tomahawk_box, "Fabric-1=4x25G\n", None),
]




def tomahawk_two(*ports, chip_class=asicmodel.TomahawkTwo_56970_Chip):
    """A Tomahawk2 board of the given ports, built as a platform module is."""
    def build():
        platform = tomahawk_two_box.TomahawkTwoBox()
        platform.switch = asicmodel.BCMSwitch(chip_class())
        platform.switch.ports = [make() for make in ports]
        return platform
    return types.SimpleNamespace(build=build)


def cage(label, adj_label=None, first_lane=0, unit=0, cls=asicmodel.TomahawkTwo100GPort):
    return lambda: cls(
        str(label), adj_label, tuple(range(first_lane, first_lane + 4)), None, None, "QSFP28",
        (0, label), unit, blocked_adj_split=None if adj_label is None else 4)


def other(port_class, label, *lanes):
    if port_class is asicmodel.Tomahawk100GFabricPort:
        return lambda: port_class(str(label), lanes, None, None, None, None)
    return lambda: port_class(str(label), lanes, None, None, "QSFP28", (0, label), 0)


def with_port(module, make):
    """The example platform with one more port, built as a platform module is."""
    def build():
        platform = module.build()
        platform.switch.ports.append(make())
        return platform
    return types.SimpleNamespace(build=build)


class PairedCage(asicmodel.TomahawkTwo100GPort):
    """Finds the port above it as the cage of its own chip that names it its
    partner."""
    def find_port(self, label):
        return next((port for port in tervane.platforms.probe().switch.ports
                     if port.adj_label == self.label), None)


class SelfNumberedCage(asicmodel.TomahawkTwo100GPort):
    """Numbers all four sub-ports of a breakout from its own first lane."""
    def logical_port_num(self, mode, sub, port_base):
        return self.hw_port_num(mode, 0) + 1 + sub


class HelperNamedFindPort(asicmodel.Tomahawk100GPort):
    """A Tomahawk port with a platform helper of its own called find_port."""
    def find_port(self, label):
        return None


# Each chip's pairs declared on that chip, labels alternating between two
# chips that number their lanes alike: the port labelled one above port 1
# is unit 1's.
INTERLEAVED = tomahawk_two(cage(1, None, 0, 0), cage(2, None, 0, 1), cage(3, "1", 4, 0),
                           cage(4, "2", 4, 1))
TAKES = "Port 1 in mode 4x25G takes sub-ports 2 and 3 from port 2, which "
SHARED_SDK_PORTS += [
    ("labels interleaved over two chips", INTERLEAVED, "1=4x25G\n3=disabled\n",
     TAKES + "is on unit 1, not 0"),
    ("the port above missing", tomahawk_two(cage(1)), "1=4x25G\n",
     TAKES + "the platform does not have"),
    ("the port above a fabric port",
     tomahawk_two(cage(1), other(asicmodel.Tomahawk100GFabricPort, 2, 4, 5, 6, 7)),
     "1=4x25G\n", TAKES + "is a fabric port"),
    ("the port above a 25G port", tomahawk_two(cage(1), other(asicmodel.Tomahawk25GPort, 2, 4)),
     "1=4x25G\n", TAKES + "has too few lanes to carry them"),
    ("the port above a management port",
     tomahawk_two(cage(1), other(asicmodel.TomahawkMgmt10GPort, 2, 128)),
     "1=4x25G\n", TAKES + "has too few lanes to carry them"),
    ("the port above of another 100G class",
     tomahawk_two(cage(1), other(asicmodel.Tomahawk100GPort, 2, 4, 5, 6, 7)), "1=4x25G\n",
     "ports 1 and 2 both take SDK logical port 5 on unit 0"),
    ("a partner left undeclared", tomahawk_two(cage(1), cage(2, None, 4)), "1=4x25G\n",
     "ports 1 and 2 both take SDK logical port 3 on unit 0"),
    ("labels interleaved, split in two", INTERLEAVED, "1=2x50G\n2=2x50G\n", None),
    # A port's own numbering, not a table of labels, says where its sub-ports
    # come from.
    ("labels interleaved, each cage finding its own chip's partner",
     tomahawk_two(*(cage(label, adj, lane, unit, PairedCage) for label, adj, lane, unit in (
         (1, None, 0, 0), (2, None, 0, 1), (3, "1", 4, 0), (4, "2", 4, 1)))),
     "1=4x25G\n3=disabled\n", None),
    ("a cage finding a partner on the other chip",
     tomahawk_two(cage(1, None, 0, 0, PairedCage), cage(2, None, 4, 0, PairedCage),
                  cage(3, "1", 4, 1, PairedCage)), "1=4x25G\n3=disabled\n",
     "Port 1 in mode 4x25G takes sub-ports 2 and 3 from port 3, which is on unit 1, not 0"),
    ("a cage numbering its own four sub-ports",
     tomahawk_two(cage(1), cage(2, None, 4, 0, SelfNumberedCage)), "2=4x25G\n", None),
    ("a Tomahawk port with a find_port helper", tomahawk_two(
        other(HelperNamedFindPort, 1, 0, 1, 2, 3), other(HelperNamedFindPort, 2, 4, 5, 6, 7),
        chip_class=asicmodel.TomahawkChip), "2=4x25G\n", None),
    ("labels interleaved, default modes", INTERLEAVED, "", None),
    # Only the port wiring keys lanes.
    ("one lane wired to two cages",
     with_port(trident_three_box, lambda: asicmodel.TridentThree25GPort(
         "12", (3,), None, None, "SFP28", (0, 12), 0, rx_polarity_flip=True)), "",
     "ports 1 and 12 both wire physical lane 4 on unit 0"),
    ("a port without a unit",
     with_port(trident_three_box, lambda: asicmodel.TridentThree10GPort(
         "12", (21,), None, None, "SFP+", (0, 12), None)), "", "Port 12 has no unit"),
]


@pytest.mark.parametrize("what, module, layout, refusal", SHARED_SDK_PORTS,
                         ids=[case[0] for case in SHARED_SDK_PORTS])
def test_a_port_past_its_sdk_ports_is_refused_before_any_device(what, module, layout, refusal):
    config = configured(module, layout, fabric_devices="no device" not in what)
    refusing = () if refusal is None else ("portsbcm",) if "wire physical lane" in refusal else CLASH_TEXTS
    for text in CLASH_TEXTS:
        if text not in refusing:
            config.output(text)
            continue
        with pytest.raises(RuntimeError, match="^platform: %s: %s$"
                           % (config.platform.name, refusal)):
            config.output(text)
    indexes = [index for name, index in config.made]
    assert ("porttab" in refusing) != bool(config.made) and len(set(indexes)) == len(indexes)


def test_the_l3_only_mode_is_written():
    config = configured(tomahawk_two_box, "")
    config.set_macmode("l3-only")
    for text in CLASH_TEXTS:
        config.output(text)
    assert len(config.made) == 4


def port(label, names, **values):
    return Configured(names, label=label, linux_names=["swp%s_%d" % (label, sub)
                                                        for sub in range(len(names))], **values)


# What the result itself may not share, on configured ports of given
# answers (each port's MAC index is its `mac_index` plus the sub-port).
SHARED_RESULTS = [
    # (what, ports, MAC mode, the refusal after "platform: test-box: ", or None)
    ("an SDK logical port", [port("1", ["xe0"], logical=[3]),
                             port("2", ["xe1"], logical=[3], mac_index=1)],
     "standard", "ports 1 and 2 both take SDK logical port 3 on unit 0"),
    ("one logical port number on two units", [port("1", ["xe0"], logical=[3]),
                                              port("2", ["xe0"], logical=[3], unit=1, mac_index=1)],
     "standard", None),
    ("an SDK interface", [port("1", ["xe0"]), port("2", ["xe0"], logical=[2], mac_index=1)],
     "standard", "ports 1 and 2 both take SDK interface xe0 on unit 0"),
    ("a MAC index", [port("1", ["xe0"]), port("2", ["xe1"], logical=[2])],
     "standard", "ports 1 and 2 both take MAC index 0"),
    ("a MAC index in the l3-only mode", [port("1", ["xe0"]), port("2", ["xe1"], logical=[2])],
     "l3-only", None),
    ("two sub-ports of one port", [port("1", ["xe0", "xe1"], logical=[3, 3])],
     "standard", "sub-ports 0 and 1 of port 1 both take SDK logical port 3 on unit 0"),
    ("a fabric port making no device",
     [port("1", ["xe0"], is_fabric=True), port("2", ["xe1"])], "standard", None),
    # A gang member's key named after the next port's SDK port is not written.
    ("a gang member's PHY identifier key",
     [port("2", [], logical=[2], phy_id1=5, ganged=True),
      port("3", ["xe4"], logical=[2], phy_id1=6)], "standard", None),
    ("a port of no logical port outside a gang",
     [port("2", [], logical=[2], phy_id1=5), port("3", ["xe4"], logical=[2], phy_id1=6)],
     "standard", "ports 2 and 3 both write port_phy_id1_2"),
]


@pytest.mark.parametrize("what, ports, macmode, refusal", SHARED_RESULTS,
                         ids=[case[0] for case in SHARED_RESULTS])
def test_a_result_sharing_what_is_one_devices_own_is_refused(what, ports, macmode, refusal,
                                                             monkeypatch):
    made = chip(portmap_capable=True)
    monkeypatch.setattr(tervane.platform, "TomahawkTwo_56970_Chip", type(made))
    config = config_with(ports, made)
    config.macmode = macmode
    if refusal is None:
        config.output("ethertab")
        return
    with pytest.raises(RuntimeError, match="^platform: test-box: %s$" % refusal):
        config.output("ethertab")


class LaneWiringUnknown(asicmodel.Hurricane213GPort):
    def polarity_flip_val(self, mode, sub, polarity_flip):
        raise NotImplementedError("lane wiring unknown")


# An empty NotImplementedError is the class's own lack of a rule; one with a
# message is the platform's, and passes unchanged.
@pytest.mark.parametrize("port_class, raised, message", [
    (asicmodel.Hurricane213GPort, RuntimeError,
     "^platform: hurricane2-box: Port 7 has a polarity flip but its class has no polarity rule$"),
    (LaneWiringUnknown, NotImplementedError, "^lane wiring unknown$")])
def test_a_flip_on_a_port_without_a_polarity_rule_is_refused_naming_it(port_class, raised, message):
    port = port_class("7", "hg1", 0, rx_polarity_flip=True)
    config = configured(hurricane2_box, "", [port])
    with pytest.raises(raised, match=message):
        config.output("portsbcm")
