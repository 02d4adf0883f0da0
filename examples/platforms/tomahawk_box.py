"""A made-up Tomahawk box: four 100G cages, four 25G SFP28 cages that can
gang into one 100G or 40G port, one fabric link and a management port.

Serdes lanes are given per port; the port classes name the interfaces
("ce0", ...) and number them.
"""

import asicmodel

from leds.box_controllers import TomahawkBoxLEDController


class TomahawkBox(asicmodel.Platform):
    name = "tomahawk-box"


def _cage_100g(label, first_lane):
    return asicmodel.Tomahawk100GPort(
        label, tuple(range(first_lane, first_lane + 4)), None, None, "QSFP28",
        (0, int(label)), 0, rx_polarity_flip=0b0101, tx_polarity_flip=0)


def _cage_25g(label, lane):
    return asicmodel.Tomahawk25GPort(
        label, (lane,), None, None, "SFP28", (0, int(label)), 0,
        rx_polarity_flip=True, tx_polarity_flip=False)


def build():
    """The platform object, its LED controller class on the switch."""
    platform = TomahawkBox()
    platform.switch = asicmodel.BCMSwitch(asicmodel.TomahawkChip())
    ports = [_cage_100g(str(n + 1), 4 * n) for n in range(4)]
    ports += [_cage_25g(str(n + 5), 32 + n) for n in range(4)]
    ports.append(asicmodel.Tomahawk100GFabricPort("1", (64, 65, 66, 67), 0, 0, None, None))
    ports.append(asicmodel.TomahawkMgmt10GPort("mgmt", (128,), None, None, "SFP+", (1, 0), 0))
    platform.switch.ports = ports
    platform.switch.glimmer = TomahawkBoxLEDController
    return platform
