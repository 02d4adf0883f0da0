"""On a switch of several chips each chip numbers its ports and lanes
alike, so every key of the SDK configuration carries the unit: two chips
wired differently on the same lanes each get their own keys and values."""

import pytest

import asicmodel
import bringup
import tervane.platform  # noqa: F401  (the chip classes the port map tests against)
import tervane.platforms
from leds.box_controllers import TomahawkBoxLEDController

# Unit 0's and unit 1's wiring of the same lanes.
WIRING = [dict(rx_lane_map=0x3210, tx_lane_map=0x1032, rx_polarity_flip=0b0101,
               tx_polarity_flip=0b0011),
          dict(rx_lane_map=0x0123, tx_lane_map=0x2301, rx_polarity_flip=0b1010,
               tx_polarity_flip=0b1100)]


class TwoChipBox(asicmodel.Platform):
    name = "two-chip-box"


def trident_three(unit):
    return asicmodel.TridentThree100GPort(str(unit + 1), (1, 2, 3, 4), None, None, "QSFP28",
                                          (0, unit), unit, phy_id1=0xa + unit, **WIRING[unit])


def tomahawk_two(unit):
    return asicmodel.TomahawkTwo100GPort(str(unit + 1), None, (0, 1, 2, 3), None, None,
                                         "QSFP28", (0, unit), unit, phy_id1=0xa + unit,
                                         **WIRING[unit])


def single(port_class, hw_name):
    def build(unit):
        port = port_class(str(unit + 1), hw_name, None, None, "SFP+", (0, unit), unit,
                          **WIRING[unit])
        port.phy_id1 = 0xa + unit
        return port
    return build


def lane_keys(first):
    """Each unit's per-lane keys of one four-lane cage at physical lane `first`."""
    lines = []
    for unit, wiring in enumerate(WIRING):
        for side in ("rx", "tx"):
            flip = wiring[side + "_polarity_flip"]
            lines += ["phy_chain_%s_polarity_flip_physical{%d.%d}=0x%x"
                      % (side, first + lane, unit, flip >> lane & 1) for lane in range(4)]
        lines += ["phy_chain_%s_lane_map_physical{%d.%d}=0x%04x"
                  % (side, first, unit, wiring[side + "_lane_map"]) for side in ("rx", "tx")]
    return lines


# Each unit's keys by SDK logical port 1 (these classes' rules give both
# flips 0 on a 10G port's sub-port 0).
BY_LOGICAL_PORT = ["%s_1.%d=0x%04x" % (key, unit, value)
                   for unit, wiring in enumerate(WIRING)
                   for key, value in [("phy_xaui_rx_polarity_flip", 0),
                                      ("phy_xaui_tx_polarity_flip", 0),
                                      ("xgxs_rx_lane_map", wiring["rx_lane_map"]),
                                      ("xgxs_tx_lane_map", wiring["tx_lane_map"])]]
BY_LOGICAL_PORT += ["port_phy_id1_1.0=0xa", "port_phy_id1_1.1=0xb"]


PER_LANE = lane_keys(2) + ["port_phy_id1_2.0=0xa", "port_phy_id1_2.1=0xb"]
CHIPS = [
    (asicmodel.TridentThreeX7_56870_Chip, trident_three, PER_LANE),
    (asicmodel.TridentThreeX7_56873_Chip, trident_three, PER_LANE),
    (asicmodel.TridentThreeX5_56771_Chip, trident_three, PER_LANE),
    (asicmodel.TomahawkTwo_56970_Chip, tomahawk_two,
     lane_keys(1) + ["port_phy_id1_1.0=0xa", "port_phy_id1_1.1=0xb"]),
    (asicmodel.TriumphChip, single(asicmodel.Triumph10GPort, "hg1"),
     BY_LOGICAL_PORT),
    (asicmodel.Helix4Chip, single(asicmodel.Helix410GPort, "hg1"),
     BY_LOGICAL_PORT),
    (asicmodel.Hurricane2Chip, single(asicmodel.Hurricane210GPort, "xe0"),
     BY_LOGICAL_PORT),
]


@pytest.mark.parametrize("chip_class, port, expected", CHIPS,
                         ids=[case[0].__name__ for case in CHIPS])
def test_two_chips_each_write_their_own_keys(chip_class, port, expected):
    platform = TwoChipBox()
    platform.switch = asicmodel.BCMSwitch(chip_class())
    platform.switch.ports = [port(0), port(1)]
    platform.switch.glimmer = TomahawkBoxLEDController
    config = bringup.BCMConfig(tervane.platforms.register(platform), dummy=True)
    config.config("")
    body = config.output("portsbcm").splitlines()
    keyed = [line for line in body if "=" in line and not line.startswith("#")]
    assert len({line.split("=")[0] for line in keyed}) == len(keyed)
    assert [line for line in keyed if line.split("=")[0] in {e.split("=")[0] for e in expected}] \
        == expected
