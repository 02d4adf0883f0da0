"""A made-up Maverick box: four 10G SFP+ cages (ports 1 to 4, a group of
four that can gang into one 40G port), two 100G cages, one 40G cage and
one 10G fabric link.

Besides the family's port rules it shows what a board adds to them: LED
routines that drive each cage's LEDs from its port (through `set_leds`),
SFP objects on the SFP+ cages and the 40G cage, and external PHYs behind
ports 6 and 7 with the register values they start with (`phy_init`).
"""

import asicmodel
import sfp

from leds.box_controllers import MaverickBoxLEDController
from leds.example_leds import ACTIVITY_ROUTINE, LINK_ROUTINE


class CageLEDs(object):
    """Each cage has a link LED and an activity LED, numbers 2p - 2 and
    2p - 1 for the cage at chain position p. A port drives the LEDs of every
    cage of its gang from its first logical port; the further logical ports
    of a broken-out port have no LEDs of their own."""

    def set_leds(self, mode, led_port, sub, led_index_list):
        if sub:
            return {}
        port = self.led_port_num(mode, sub)
        calls = {}
        for position in led_index_list:
            calls[2 * position - 2] = ("link", LINK_ROUTINE, port)
            calls[2 * position - 1] = ("activity", ACTIVITY_ROUTINE, port)
        return calls


class RetimedCage(CageLEDs):
    """A cage behind external retimer PHYs, which start in low-latency mode
    with their receive equaliser on."""
    phy_init = {"0x1ca0b": "0x0003", "0x1ca0c": "0x8100"}


class MaverickBox10GPort(CageLEDs, asicmodel.Maverick10GPort):
    pass


class MaverickBox100GPort(CageLEDs, asicmodel.Maverick100GPort):
    pass


class MaverickBoxRetimed100GPort(RetimedCage, asicmodel.Maverick100GPort):
    pass


class MaverickBoxRetimed40GPort(RetimedCage, asicmodel.Maverick40GPort):
    pass


class MaverickBox(asicmodel.Platform):
    name = "maverick-box"


def _sfp_cage(n):
    port = MaverickBox10GPort(str(1 + n), (n,), None, None, "SFP+", (0, 1 + n), 0,
                              rx_polarity_flip=(n == 0))
    # Read over the cage's own I2C bus; the address is the bus device's name.
    port.sfp = sfp.Sfp("SFP+", "i2c", "%d-0050" % (11 + n))
    return port


def build():
    """The platform object, its LED controller class on the switch."""
    platform = MaverickBox()
    platform.switch = asicmodel.BCMSwitch(asicmodel.Maverick_56762_Chip())
    ports = [_sfp_cage(n) for n in range(4)]
    # Port 6's PHYs are a model the SDK detects by itself, port 7's not.
    ports += [
        MaverickBox100GPort("5", (40, 41, 42, 43), None, None, (0, 5), 0,
                            rx_polarity_flip=0b1010, tx_polarity_flip=0),
        MaverickBoxRetimed100GPort("6", (44, 45, 46, 47), ("84328",) * 4,
                                   (0x10, 0x11, 0x12, 0x13), (0, 6), 0),
        MaverickBoxRetimed40GPort("7", (48, 49, 50, 51), ("82390",) * 4,
                                  (0x14, 0x15, 0x16, 0x17), (0, 7), 0),
    ]
    # The 40G cage's module is read through the switch chip's own bus.
    ports[-1].sfp = sfp.Sfp("QSFP+", "via_sdk", 0x70)
    ports.append(asicmodel.Maverick10GFabricPort("1", (72,), None, False, None, False))
    platform.switch.ports = ports
    platform.switch.glimmer = MaverickBoxLEDController
    return platform
