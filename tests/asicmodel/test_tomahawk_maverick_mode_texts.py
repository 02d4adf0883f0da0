"""The Tomahawk 25G, Maverick 10G and Maverick 40G counts and polarity are
keyed on the classes' own mode texts, so a platform subclass that narrows
`gang_modes` or offers a mode of its own gets the same answers for the
listed texts and no answer (None) for its own."""

import pytest

import asicmodel


class GangOf100GOnly(asicmodel.Tomahawk25GPort):
    gang_modes = ("100G/4",)


class Tomahawk25GWith50G(asicmodel.Tomahawk25GPort):
    modes = asicmodel.Tomahawk25GPort.modes + ("50G",)


class MaverickWithoutGangs(asicmodel.Maverick10GPort):
    gang_modes = ()


class Maverick10GWith25G(asicmodel.Maverick10GPort):
    modes = asicmodel.Maverick10GPort.modes + ("25G",)


class Maverick40GWith2x20G(asicmodel.Maverick40GPort):
    modes = asicmodel.Maverick40GPort.modes + ("2x20G",)


def single_lane(cls, lane):
    return cls("1", (lane,), None, None, "SFP28", (0, 1), 0)


def quad(cls):
    return cls("2", (0, 1, 2, 3), None, None, (0, 2), 0)


# port class, first lane, mode, logical ports, physical ports, polarity of
# sub-port 1 (single-lane ports: flip True; 40G ports: flip 0b0101)
CASES = [
    (GangOf100GOnly, 9, "40G/4", 0, 0, 1),
    (GangOf100GOnly, 9, "100G/4", 0, 0, 1),
    (GangOf100GOnly, 8, "40G/4", 1, 4, 1),
    (GangOf100GOnly, 9, "25G", 1, 1, 1),
    (Tomahawk25GWith50G, 8, "50G", None, None, 1),
    (MaverickWithoutGangs, 9, "40G/4", 0, 0, 1),
    (MaverickWithoutGangs, 12, "40G/4", 1, 4, 1),
    (Maverick10GWith25G, 8, "25G", None, None, 1),
    (Maverick10GWith25G, 8, "1G", 1, 1, 1),
    (Maverick40GWith2x20G, None, "2x20G", None, None, None),
    (Maverick40GWith2x20G, None, "4x1G", 4, 4, 0),
    (Maverick40GWith2x20G, None, "4x10G", 4, 4, 0),
    (Maverick40GWith2x20G, None, "40G", 1, 1, 0b0101),
]


@pytest.mark.parametrize("cls,lane,mode,logical,physical,polarity", CASES)
def test_counts_follow_the_mode_texts(cls, lane, mode, logical, physical, polarity):
    if lane is None:
        port, flip = quad(cls), 0b0101
    else:
        port, flip = single_lane(cls, lane), True
    assert port.num_logical_ports(mode) == logical
    assert port.num_physical_ports(mode) == physical
    assert port.polarity_flip_val(mode, 1, flip) == polarity
