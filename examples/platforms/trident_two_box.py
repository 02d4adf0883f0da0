"""A made-up Trident2 box: eight SFP+ cages that run at 10G or gang by four
into 40G, two QSFP+ cages that run at 40G or break out into four 10G
ports, and one 10G fabric link to a microserver."""

import asicmodel

from leds.box_controllers import TridentTwoBoxLEDController


class TridentTwoBox(asicmodel.Platform):
    name = "trident-two-box"


def _sfp_port(label, serdes):
    return asicmodel.TridentTwo10GPort(
        str(label), (serdes,), None, None, "SFP+", (0, label), 0,
        tx_polarity_flip=(serdes % 3 == 0))


def _qsfp_port(label, first_lane):
    return asicmodel.TridentTwo40GPort(
        str(label), tuple(range(first_lane, first_lane + 4)), None, None, "QSFP+", (0, label), 0,
        rx_lane_map=0x3210, tx_lane_map=0x1032, rx_polarity_flip=0b0101, tx_polarity_flip=0)


def build():
    """The platform object, its LED controller class on the switch."""
    platform = TridentTwoBox()
    platform.switch = asicmodel.BCMSwitch(asicmodel.TridentTwo_56854_Chip())
    ports = [_sfp_port(n + 1, 4 + n) for n in range(8)]
    ports += [_qsfp_port(9, 28), _qsfp_port(10, 32)]
    ports.append(asicmodel.TridentTwo10GFabricPort("11", (100,), 0x0123, 0x3210))
    platform.switch.ports = ports
    platform.switch.glimmer = TridentTwoBoxLEDController
    return platform


def _show_modes(platform, out):
    """What the ganged and broken-out modes give, and the fabric link's
    serdes and auto-negotiation settings."""
    ports = platform.switch.ports
    out.write("  40G/4 gang of ports 1-4: logical %s, physical %s\n" % (
        [p.num_logical_ports("40G/4") for p in ports[:4]],
        [p.num_physical_ports("40G/4") for p in ports[:4]]))
    qsfp = ports[8]
    out.write("  port %s in 4x10G: %s, rx polarity %s\n" % (
        qsfp.label, [qsfp.hw_intf("4x10G", sub) for sub in range(4)],
        [qsfp.rx_logical_polarity_flip("4x10G", sub) for sub in range(4)]))
    fabric = ports[10]
    out.write("  fabric port %s: serdes %s at 10G, an_c37 %s, an_c73 %s\n" % (
        fabric.label, fabric.serdes_if_type(10), fabric.an_c37("10G"), fabric.an_c73("10G")))


DEMO_EXTRAS = (_show_modes,)
