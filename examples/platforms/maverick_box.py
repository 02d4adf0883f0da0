"""A made-up Maverick box: four 10G SFP+ cages (ports 1 to 4, a group of
four that can gang into one 40G port), two 100G cages, one 40G cage and
one 10G fabric link."""

import asicmodel

from leds.box_controllers import MaverickBoxLEDController


class MaverickBox(asicmodel.Platform):
    name = "maverick-box"


def build():
    """The platform object, its LED controller class on the switch."""
    platform = MaverickBox()
    platform.switch = asicmodel.BCMSwitch(asicmodel.Maverick_56762_Chip())
    ports = [asicmodel.Maverick10GPort(str(1 + n), (n,), None, None, "SFP+", (0, 1 + n), 0,
                                       rx_polarity_flip=(n == 0))
             for n in range(4)]
    ports += [
        asicmodel.Maverick100GPort("5", (40, 41, 42, 43), None, None, (0, 5), 0,
                                   rx_polarity_flip=0b1010, tx_polarity_flip=0),
        asicmodel.Maverick100GPort("6", (44, 45, 46, 47), None, None, (0, 6), 0),
        asicmodel.Maverick40GPort("7", (48, 49, 50, 51), None, None, (0, 7), 0),
    ]
    ports.append(asicmodel.Maverick10GFabricPort("1", (72,), None, False, None, False))
    platform.switch.ports = ports
    platform.switch.glimmer = MaverickBoxLEDController
    return platform
