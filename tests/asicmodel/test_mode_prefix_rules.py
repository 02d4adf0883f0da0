"""The two prefix rules on mode texts, `configurable` (the lowered mode
starts with "disable") and `num_lanes` (a mode starting with "2x" takes two
lanes), answer as the host's `str.lower` and `str.startswith` do, for plain
texts, any letter case, non-ASCII texts and text subclasses with their own
methods."""

import pytest

import asicmodel as A


class Shouting(str):
    def lower(self):
        return "disabled"


class NeverBreakout(str):
    def startswith(self, prefix, *args):
        return False


PORT = A.Tomahawk100GPort("1", (0, 1, 2, 3), None, None, "QSFP28", (0, 1), 0)

CONFIGURABLE = [
    ("Disabled", False), ("DISABLE", False), ("disable", False), ("disabl", True),
    (" disable", True), ("disable\u0130", False), ("d\u0130sable", True), ("", True),
    (Shouting("100G"), False), (str(Shouting("disable")), False),
]


@pytest.mark.parametrize("mode, expected", CONFIGURABLE)
def test_configurable_lowers_the_mode_as_the_host_does(mode, expected):
    assert PORT.configurable({"1": mode}) is expected


@pytest.mark.parametrize("mode, expected", [
    ("2x50G", 2), ("4x25G", 1), ("2x40G", 2), ("100G", 4), (NeverBreakout("2x40G"), 4)])
def test_a_split_in_two_takes_two_lanes(mode, expected):
    assert PORT.num_lanes(mode) == expected
