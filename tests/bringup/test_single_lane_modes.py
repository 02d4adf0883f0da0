"""The Trident3 10G and multi-gigabit ports in every mode they list: their
port map lines on the chips that write polarity per lane, and their speed
in the Mb/s fields."""

import json

import pytest

import asicmodel
import bringup
import tervane.platform  # noqa: F401  (the chip classes the port map tests against)
from platforms import trident_three_box

PER_LANE_CHIPS = ["TridentThreeX7_56870_Chip", "TridentThreeX7_56873_Chip",
                  "TridentThreeX5_56771_Chip"]
# Port 9 is a 10G port on interface 17 and port 11 a multi-gigabit one on
# interface 19, each with its receive polarity flipped and not its transmit.
SINGLE_LANE_PORTS = [("9", 18, ("10G", "1G")), ("11", 20, ("10G", "5G", "2.5G", "1G"))]
GIGABITS = {"10G": "10", "5G": "5", "2.5G": "2", "1G": "1"}


def configured(layout, chip=None, phy_layer=None):
    platform = trident_three_box.build()
    if chip:
        platform.switch.chip = getattr(asicmodel, chip)()
    if phy_layer:
        platform.switch.ports[10].phy_layer = phy_layer
    config = bringup.BCMConfig(platform, dummy=True)
    config.config(layout)
    return config


@pytest.mark.parametrize("chip", PER_LANE_CHIPS)
@pytest.mark.parametrize("label, physical, mode", [
    (label, physical, mode) for label, physical, modes in SINGLE_LANE_PORTS for mode in modes])
def test_a_single_lane_port_has_one_polarity_line_a_side_in_every_mode(chip, label, physical,
                                                                       mode):
    portsbcm = configured("%s=%s\n" % (label, mode), chip).output("portsbcm")
    lines = [line for line in portsbcm.splitlines()
             if line.startswith("portmap_%d." % physical) or "{%d.0}" % physical in line]
    lane_count = ":1" if chip == "TridentThreeX5_56771_Chip" else ""
    assert lines == ["portmap_%d.0=%d:%s%s" % (physical, physical, GIGABITS[mode], lane_count),
                     "phy_chain_rx_polarity_flip_physical{%d.0}=0x1" % physical,
                     "phy_chain_tx_polarity_flip_physical{%d.0}=0x0" % physical]


@pytest.mark.parametrize("mode, megabits", [("2.5G", "2500"), ("5G", "5000"), ("1G", "1000"),
                                            ("10G", "10000")])
def test_speeds_are_written_in_whole_megabits(mode, megabits):
    # On fibre the port does not negotiate, so its speed is set at start-up.
    config = configured("11=%s\n" % mode, phy_layer="SFP+")
    assert "port_init_speed_20=%s" % megabits in config.output("portsbcm").splitlines()
    link = json.loads(config.output("linkdefaults"))["ethtool"]["iface_defaults"]["swp11"]
    assert link["link-speed"] == megabits


def test_a_mode_without_a_lane_count_is_refused_naming_the_port_and_mode():
    class SevenGigPort(asicmodel.TridentThreeMGPort):
        modes = ("10G", "7G")
        _speed_map = {"10G": 10, "7G": 7}

        def num_logical_ports(self, mode):
            return 1

    platform = trident_three_box.build()
    platform.switch.ports[10] = SevenGigPort("11", (19,), None, None, "SFP+", (0, 11), 0,
                                             rx_polarity_flip=True)
    config = bringup.BCMConfig(platform, dummy=True)
    config.config("11=7G\n")
    with pytest.raises(RuntimeError, match="^platform: trident-three-box: Port 11 in mode 7G has "
                                           "no lane count for its polarity flips$"):
        config.output("portsbcm")
