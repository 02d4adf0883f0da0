"""Made-up boards of one chip for each chip family of asicmodel, built from
the family's front-panel port classes, for test_layout_sweep.

`FAMILIES` maps a family's chip class to its board's slots, one (port
class, lanes, wiring) per port; the lanes are serdes lanes, or the
hardware interface name the older classes take. A family with gang modes
has eight slots, the first four single-lane ports on lanes 4n to 4n+3, so
that on one chip, and on either chip of two with labels in blocks, they
gang on labels 4k+1 to 4k+4 (a "40G/4" gang is named after 4k+1). WIRED
slots carry polarity flips and lane maps where the class takes them, PHY
slots a phy_id1 (set on the port object: the older classes' constructors
do not take it). Tomahawk2 ports come in pairs, the second naming the
first as its partner.
"""

import asicmodel as A

PLAIN, WIRED, PHY = "plain", "wired", "phy"


def _quads(cls, firsts, wirings):
    return [(cls, tuple(range(first, first + 4)), wiring) for first, wiring in zip(firsts, wirings)]


def _singles(cls, first):
    return [(cls, (first + n,), wiring) for n, wiring in enumerate((WIRED, PLAIN, PLAIN, PHY))]


def _older(one_g, ten_g, ten_g_names, more=()):
    """1G copper ports on ge0 to ge3, then the 10G ports."""
    return ([(one_g, "ge%d" % n, PHY if n == 3 else PLAIN) for n in range(4)]
            + [(ten_g, name, WIRED if n == 0 else PLAIN) for n, name in enumerate(ten_g_names)]
            + list(more))


FAMILIES = {
    A.TridentPlusChip: _singles(A.Trident10GPort, 4)
    + _quads(A.Trident40GPort, (8, 12, 16, 20), (WIRED, PHY, PLAIN, WIRED)),
    A.TridentTwoChip: _singles(A.TridentTwo10GPort, 4)
    + _quads(A.TridentTwo40GPort, (8, 12, 16), (WIRED, PHY, PLAIN))
    + [(A.TridentTwo10GFabricPort, (100,), WIRED)],
    A.TridentTwoPlusChip: _singles(A.TridentTwoPlus10GPort, 4)
    + _quads(A.TridentTwoPlus40GPort, (8, 12, 16, 20), (WIRED, PHY, PLAIN, WIRED)),
    # The 10G and multi-gigabit ports sit below interface 64, the 25G gang
    # above the family's gap at 65 and 66.
    A.TridentThreeX7Chip: _singles(A.TridentThree25GPort, 64)
    + _quads(A.TridentThree100GPort, (1, 5), (WIRED, PHY))
    + [(A.TridentThree10GPort, (17,), WIRED), (A.TridentThreeMGPort, (19,), PLAIN)],
    A.TomahawkChip: _singles(A.Tomahawk25GPort, 32)
    + _quads(A.Tomahawk100GPort, (0, 4), (WIRED, PHY))
    + [(A.TomahawkMgmt10GPort, (128,), WIRED)]
    + _quads(A.Tomahawk100GFabricPort, (64,), (WIRED,)),
    A.TomahawkTwoChip: _quads(A.TomahawkTwo100GPort, (0, 4, 8, 12, 64, 68),
                              (WIRED, WIRED, PHY, PLAIN, WIRED, PLAIN)),
    A.MaverickChip: _singles(A.Maverick10GPort, 0)
    + _quads(A.Maverick100GPort, (40,), (WIRED,)) + _quads(A.Maverick40GPort, (48,), (PHY,))
    + _quads(A.Maverick40GFabricPort, (56,), (WIRED,))
    + [(A.Maverick10GFabricPort, (72,), WIRED)],
    A.TriumphChip: _older(A.Triumph1GPort, A.Triumph10GPort, ("hg0", "hg1")),
    A.ApolloChip: _older(A.Apollo1GPort, A.Apollo10GPort, ("hg0", "hg1")),
    A.Helix4Chip: _older(A.Helix41GPort, A.Helix410GPort, ("hg0", "hg1")),
    # The 13G ports have no polarity rule: lane maps only.
    A.Hurricane2Chip: _older(A.Hurricane21GPort, A.Hurricane210GPort, ("xe0", "xe1"), [
        (A.Hurricane213GPort, "hg0", WIRED), (A.Hurricane213GFabricPort, "hg1", PLAIN)]),
}
FAMILIES[A.TridentThreeX5Chip] = FAMILIES[A.TridentThreeX7Chip]

FABRIC = (A.TridentTwo10GFabricPort, A.Tomahawk100GFabricPort, A.Maverick40GFabricPort,
          A.Maverick10GFabricPort)
NO_PHY_LAYER = (A.Trident40GPort, A.TridentTwoPlus40GPort, A.Maverick100GPort, A.Maverick40GPort,
                A.Apollo1GPort)


def family_of(chip_class):
    """The nearest class of the chip's that has a board, or None."""
    return next((cls for cls in chip_class.__mro__ if cls in FAMILIES), None)


def _wiring(cls, lanes, wiring):
    if wiring != WIRED or cls is A.Apollo10GPort:
        return {}
    wires = {"rx_lane_map": 0x1032, "tx_lane_map": 0x3210}
    if cls is A.Trident40GPort:  # a flag per lane
        wires.update(rx_polarity_flip=[True, False, True, False],
                     tx_polarity_flip=[True, True, False, False])
    elif cls is not A.Hurricane213GPort:
        four = isinstance(lanes, tuple) and len(lanes) == 4
        wires.update(rx_polarity_flip=0b0101 if four else True,
                     tx_polarity_flip=0b0011 if four else False)
    return wires


def _port(cls, label, lanes, unit, leds, wires, partner):
    if cls in FABRIC:
        unwired = dict.fromkeys(("rx_lane_map", "tx_lane_map", "rx_polarity_flip",
                                 "tx_polarity_flip"))
        return cls(label, lanes, **dict(unwired, **wires))
    if cls is A.Hurricane213GFabricPort:
        return cls(label, lanes, unit)
    if cls is A.Hurricane213GPort:
        return cls(label, lanes, unit, leds=leds, **wires)
    if cls is A.TomahawkTwo100GPort:
        return cls(label, partner, lanes, None, None, "QSFP28", leds, unit,
                   blocked_adj_split=None if partner is None else 4, **wires)
    if cls in NO_PHY_LAYER:
        return cls(label, lanes, None, None, leds, unit, **wires)
    return cls(label, lanes, None, None, "SFP+", leds, unit, **wires)


def ports(chip_class, unit, labels):
    """The board's ports on chip `unit`, its slots labelled by `labels`."""
    slots = FAMILIES[family_of(chip_class)]
    assert len(labels) == len(slots)
    made = []
    for n, (cls, lanes, wiring) in enumerate(slots):
        partner = labels[n - 1] if cls is A.TomahawkTwo100GPort and n % 2 else None
        port = _port(cls, labels[n], lanes, unit, (unit, n + 1), _wiring(cls, lanes, wiring),
                     partner)
        port.unit = unit  # the fabric classes take none
        if wiring == PHY:
            port.phy_id1 = 0x100 + n
        made.append(port)
    return made


def slot_count(chip_class):
    return len(FAMILIES[family_of(chip_class)])
