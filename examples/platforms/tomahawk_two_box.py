"""A made-up Tomahawk2 box with four 100G cages in two pairs.

Ports 1 and 3 may break out into four 25G or 10G ports; their sub-ports 2
and 3 then take the SDK logical port numbers of ports 2 and 4, which name
their partner in `adj_label` and are blocked by a four-way split of it.
"""

import asicmodel


class TomahawkTwoBox(asicmodel.Platform):
    name = "tomahawk-two-box"


def _cage(label, adj_label, first_lane):
    return asicmodel.TomahawkTwo100GPort(
        label, adj_label, tuple(range(first_lane, first_lane + 4)), None, None, "QSFP28",
        (0, int(label)), 0, rx_polarity_flip=0b1101, tx_polarity_flip=0,
        blocked_adj_split=None if adj_label is None else 4)


def build():
    platform = TomahawkTwoBox()
    platform.switch = asicmodel.BCMSwitch(asicmodel.TomahawkTwo_56970_Chip())
    platform.switch.ports = [_cage("1", None, 0), _cage("2", "1", 4),
                             _cage("3", None, 64), _cage("4", "3", 68)]
    return platform


def show_breakout(platform, out):
    """The logical port numbers of port 1 broken out in four; sub-ports 2
    and 3 are answered by port 2 (the platform must be registered)."""
    port = platform.switch.ports[0]
    numbers = [port.logical_port_num("4x25G", sub, 1) for sub in range(4)]
    out.write("  port %s in 4x25G: logical ports %s\n" % (port.label, numbers))


DEMO_EXTRAS = (show_breakout,)
