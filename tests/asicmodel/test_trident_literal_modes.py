"""Trident-family counts and polarity are keyed on the literal mode texts of
each class: a platform subclass that overrides `gang_modes` or lists a mode
of its own changes what the mode check accepts, never what a known mode
counts. And an operation that asks the object twice asks in its rule's
order."""

import pytest

import asicmodel as am


def build(cls, first):
    """A port of `cls` whose first interface number is `first`."""
    if issubclass(cls, am.Trident10GPort):
        return cls("1", first, None, None, "SFP+", None, 0)
    if issubclass(cls, (am.Trident40GPort, am.TridentTwoPlus40GPort)):
        return cls("1", tuple(range(first, first + 4)), None, None, None, 0)
    lanes = 4 if issubclass(cls, (am.TridentTwo40GPort, am.TridentThree100GPort)) else 1
    return cls("1", tuple(range(first, first + lanes)), None, None, "SFP+", None, 0)


def variant(base, gang_modes=None, extra=()):
    """A platform subclass of `base`: its own `gang_modes`, extra modes."""
    attributes = {"modes": tuple(base.modes) + tuple(extra)}
    if gang_modes is not None:
        attributes["gang_modes"] = gang_modes
    return type("Platform" + base.__name__, (base,), attributes)


ONLY_100G_GANGS = ("100G/4",)

# (class, gang_modes override, extra modes, first interface, mode,
#  logical ports, physical ports)
COUNTS = [
    # "40G/4" keeps the gang-leader rule whatever `gang_modes` says...
    (am.Trident10GPort, ONLY_100G_GANGS, ("100G/4",), 13, "40G/4", 0, 0),
    (am.TridentTwo10GPort, ONLY_100G_GANGS, ("100G/4",), 13, "40G/4", 0, 0),
    (am.TridentTwoPlus10GPort, ONLY_100G_GANGS, ("100G/4",), 13, "40G/4", 0, 0),
    (am.TridentThree25GPort, ONLY_100G_GANGS, (), 5, "40G/4", 0, 0),
    (am.TridentThree25GPort, ONLY_100G_GANGS, (), 4, "40G/4", 1, 4),
    # ...and a gang mode a class does not know has no count.
    (am.Trident10GPort, ONLY_100G_GANGS, ("100G/4",), 12, "100G/4", None, None),
    (am.TridentTwoPlus10GPort, ONLY_100G_GANGS, ("100G/4",), 12, "100G/4", None, None),
    # Modes the rule lists but the class does not.
    (am.TridentThree10GPort, None, ("40G/4",), 8, "40G/4", 1, 4),
    (am.TridentThree10GPort, None, ("40G/4",), 9, "40G/4", 0, 0),
    (am.TridentThree10GPort, None, ("25G",), 8, "25G", None, None),
    (am.TridentThreeMGPort, None, ("25G",), 8, "25G", 0, 0),
    (am.TridentThreeMGPort, None, ("40G/4",), 8, "40G/4", 0, 0),
    # Four-lane ports: an added split has no count of its own...
    (am.Trident40GPort, None, ("2x20G",), 0, "2x20G", None, None),
    (am.TridentTwo40GPort, None, ("2x20G",), 0, "2x20G", None, None),
    (am.TridentTwoPlus40GPort, None, ("2x20G",), 0, "2x20G", None, None),
    (am.TridentTwoPlus40GPort, ("40G",), (), 0, "40G", 1, 1),
    # ...except on the 100G port, which reads the count from the mode text.
    (am.TridentThree100GPort, None, ("8x10G",), 0, "8x10G", 8, 8),
]


@pytest.mark.parametrize("cls,gang_modes,extra,first,mode,logical,physical", COUNTS)
def test_counts_follow_the_literal_mode(cls, gang_modes, extra, first, mode, logical, physical):
    port = build(variant(cls, gang_modes, extra), first)
    assert (port.num_logical_ports(mode), port.num_physical_ports(mode)) == (logical, physical)


# (class, extra modes, mode, sub, polarity value, answer)
POLARITY = [
    (am.TridentTwo40GPort, ("2x20G",), "2x20G", 1, 5, None),
    (am.TridentTwoPlus40GPort, ("2x20G",), "2x20G", 1, 5, None),
    (am.TridentTwoPlus40GPort, ("2x20G",), "4x1G", 2, 5, 1),
    (am.Trident40GPort, ("2x20G",), "2x20G", 1, [True] * 4, None),
    (am.TridentThree100GPort, ("8x10G",), "8x10G", 1, 5, 5),
    (am.TridentThree100GPort, ("2x25G",), "2x25G", 1, 14, 3),
]


@pytest.mark.parametrize("cls,extra,mode,sub,value,answer", POLARITY)
def test_polarity_follows_the_literal_mode(cls, extra, mode, sub, value, answer):
    assert build(variant(cls, extra=extra), 0).polarity_flip_val(mode, sub, value) == answer


class Recorded(am.TridentThree100GPort):
    """Logs the calls the 100G polarity rule makes through the object."""

    def _check_mode(self, mode):
        self.log.append(("_check_mode", mode))
        return am.TridentThree100GPort._check_mode(mode)

    def num_logical_ports(self, mode):
        self.log.append(("num_logical_ports", mode))
        return super().num_logical_ports(mode)


@pytest.mark.parametrize("mode,calls,error", [
    ("4x25G", ["_check_mode", "num_logical_ports", "_check_mode"], None),
    ("25G", ["_check_mode"], am.NoSuchMode),
])
def test_hundred_gig_polarity_checks_the_mode_before_counting(mode, calls, error):
    port = build(Recorded, 0)
    port.log = []
    if error:
        with pytest.raises(error):
            port.polarity_flip_val(mode, 0, 1)
    else:
        port.polarity_flip_val(mode, 0, 1)
    assert [name for name, _ in port.log] == calls


@pytest.mark.parametrize("cls,mode,error", [
    (am.TridentThree25GPort, "4x25G", am.NoSuchMode),  # the check comes first
    (am.TridentThree25GPort, "40G/4", ValueError),     # then the leader test
    (am.TridentTwo10GPort, "4x10G", am.NoSuchMode),
    (am.TridentTwo10GPort, "40G/4", ValueError),
])
def test_gang_counts_check_the_mode_before_reading_the_lanes(cls, mode, error):
    port = build(cls, 0)
    port.hw_ports = ("ceX",)
    with pytest.raises(error):
        port.num_logical_ports(mode)
