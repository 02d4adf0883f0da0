"""Numbers and texts in generated lines are written exactly as the host's
`%` writes them, errors included: one table of odd values through a
decimal and a zero-padded hexadecimal placeholder, and through "%s"."""

import pytest

from generator_fakes import Configured, chip, config_with


class Wide(int):
    def __str__(self):
        return "wide"


class Named(str):
    def __str__(self):
        return "named"


VALUES = [0, 7, -5, 255, 0x12345, True, False, 2 ** 70, -(2 ** 64), 2.9, -2.9, Wide(10),
          "x", None, "\udcff"]


def host_line(format, *values):
    try:
        return format % values
    except Exception as error:  # the host's own error, type and text
        return type(error), str(error)


def generated(attribute, port):
    try:
        return getattr(config_with([port], chip()), attribute)
    except Exception as error:
        return type(error), str(error)


@pytest.mark.parametrize("value", VALUES, ids=repr)
def test_decimal_and_hexadecimal_placeholders(value):
    # "phy_mdi_pair_map_%d=0x%04x": the logical number, then the map (an
    # absent map writes no line, so None stands only in the first place).
    mdi_pair_map = 0 if value is None else value
    assert generated("portmap_uncapable_config", Configured(["xe0"], logical=[value],
                                                           mdi_pair_map=mdi_pair_map)) == \
        host_line("phy_mdi_pair_map_%d=0x%04x", value, mdi_pair_map)


@pytest.mark.parametrize("value", VALUES + [Named("n")], ids=repr)
def test_text_placeholders(value):
    port = Configured(["xe0"], linux_names=[value], mac_index=3)
    assert generated("ethertab", port) == host_line("%s\t%s", value, 3)
