"""A made-up Hurricane2 box: four 1G copper ports, two 10G SFP+ ports and
one 13G fabric link.

The ports take hardware interface names directly ("ge0", "xe0", "hg0");
the class computes the bitmap positions and LED numbers from them.
"""

import asicmodel


class Hurricane2Box(asicmodel.Platform):
    name = "hurricane2-box"


def build():
    platform = Hurricane2Box()
    platform.switch = asicmodel.BCMSwitch(asicmodel.Hurricane2Chip())
    ports = [asicmodel.Hurricane21GPort(str(n + 1), "ge%d" % n, "54282", n, None, (0, n), 0)
             for n in range(4)]
    ports += [asicmodel.Hurricane210GPort(str(n + 5), "xe%d" % n, None, None, "SFP+", (0, n + 4),
                                          0, rx_polarity_flip=True)
              for n in range(2)]
    ports.append(asicmodel.Hurricane213GFabricPort("1", "hg0", 0))
    platform.switch.ports = ports
    return platform
