"""A made-up Trident3 X7 box: four QSFP28 cages (100G, or broken out in two
or four), four SFP28 cages that run at 25G or gang by four, two SFP+ 10G
cages and one 10GBASE-T multi-gigabit port."""

import asicmodel

from leds.box_controllers import TridentThreeBoxLEDController


class TridentThreeBox(asicmodel.Platform):
    name = "trident-three-box"


def _qsfp28_port(label, first_lane):
    return asicmodel.TridentThree100GPort(
        str(label), tuple(range(first_lane, first_lane + 4)), None, None, "QSFP28", (0, label), 0,
        rx_polarity_flip=0b1010, tx_polarity_flip=0)


def _single_lane_port(port_class, label, serdes, phy_layer):
    return port_class(str(label), (serdes,), None, None, phy_layer, (0, label), 0,
                      rx_polarity_flip=True, tx_polarity_flip=False)


def build():
    """The platform object, its LED controller class on the switch."""
    platform = TridentThreeBox()
    platform.switch = asicmodel.BCMSwitch(asicmodel.TridentThreeX7_56870_Chip())
    ports = [_qsfp28_port(n + 1, 1 + 4 * n) for n in range(4)]
    ports += [_single_lane_port(asicmodel.TridentThree25GPort, 5 + n, 64 + n, "SFP28")
              for n in range(4)]
    # The 10G and multi-gigabit ports sit below interface 64: their classes
    # number logical ports without the family's gap at 65 and 66.
    ports += [_single_lane_port(asicmodel.TridentThree10GPort, 9 + n, 17 + n, "SFP+")
              for n in range(2)]
    ports.append(_single_lane_port(asicmodel.TridentThreeMGPort, 11, 19, "10GBaseT"))
    platform.switch.ports = ports
    platform.switch.glimmer = TridentThreeBoxLEDController
    return platform


def _show_numbering(platform, out):
    """SDK logical port numbers (the family leaves out 65 and 66),
    auto-negotiation, breakouts and the chip's data."""
    ports = platform.switch.ports
    for port in ports[4:]:
        mode = port.default_mode
        out.write("  port %-3s %-5s logical port %d, an_c37 %s, fiber pref %s\n" % (
            port.label, mode, port.logical_port_num(mode, 0, 0), port.an_c37(mode),
            port.set_fiber_pref))
    first = ports[0]
    for mode in ("2x50G", "4x25G"):
        count = first.num_logical_ports(mode)
        out.write("  port %s in %s: %s, rx polarity %s\n" % (
            first.label, mode, [first.hw_intf(mode, sub) for sub in range(count)],
            [first.rx_logical_polarity_flip(mode, sub) for sub in range(count)]))
    chip = platform.switch.chip
    out.write("  hw_desc: %s\n" % chip.get_config("hw_desc").splitlines()[0])


DEMO_EXTRAS = (_show_numbering,)
