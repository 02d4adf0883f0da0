"""Layouts refused by the platform's name and the port's, as ports.conf
names it: a port reaching past the SDK logical ports and MAC indexes it
reserves, and a polarity flip on a port whose class has no polarity rule."""

import pytest

import asicmodel
import bringup
import tervane.platform  # noqa: F401  (the chip classes the port map tests against)
import tervane.platforms
from leds.box_controllers import TomahawkBoxLEDController
from platforms import hurricane2_box, tomahawk_box, tomahawk_two_box

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


@pytest.mark.parametrize("what, module, layout, refusal", SHARED_SDK_PORTS,
                         ids=[case[0] for case in SHARED_SDK_PORTS])
def test_a_port_past_its_sdk_ports_is_refused_before_any_device(what, module, layout, refusal):
    config = configured(module, layout, fabric_devices="no device" not in what)
    for text in CLASH_TEXTS:
        if refusal is None:
            config.output(text)
            continue
        with pytest.raises(RuntimeError, match="^platform: %s: %s$"
                           % (config.platform.name, refusal)):
            config.output(text)
    indexes = [index for name, index in config.made]
    assert (refusal is None) == bool(config.made) and len(set(indexes)) == len(indexes)


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
