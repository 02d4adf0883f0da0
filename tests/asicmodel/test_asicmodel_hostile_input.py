"""Hostile values at asicmodel's boundary: every port, chip and switch
operation of the example platforms, given odd modes, sub-ports, labels and
file names, returns or raises one of the host's clean errors (never
SystemError, never a crash), and a refused call leaves the object as it was."""

import pytest

import asicmodel
from platforms import (hurricane2_box, maverick_box, tomahawk_box, tomahawk_two_box,
                       trident_three_box, trident_two_box)

HUGE = "x" * 1000000
HOSTILE = [None, "", "\0", "40G\0", "\ud800", "\udcff", HUGE, 5, -1, 2 ** 100, -2 ** 100, 1.5,
           ["40G"], {"40G": 1}, b"40G"]
CLEAN = (TypeError, ValueError, KeyError, IndexError, OverflowError, OSError, RuntimeError,
         NotImplementedError, AttributeError, asicmodel.NoSuchMode, asicmodel.NoSuchChip,
         asicmodel.NoSuchPlatform)

PORT_OPERATIONS = ["_check_mode", "an_c37", "an_c73", "base_hw_intf_num", "blocked_adj_split_num",
                   "complete_mode", "hw_intf", "hw_intf_num", "hw_intf_num_portmap",
                   "hw_intf_prefix", "hw_pbmp", "hw_port_num", "led_port_num",
                   "logical_port_num", "mac_addrs_contrib_total", "num_logical_ports",
                   "num_phys", "polarity_flip_val", "port_mac_index", "port_mangler",
                   "rx_logical_polarity_flip", "serdes_if_type", "set_leds", "speed",
                   "tx_logical_polarity_flip", "phy_autodetect"]
BOXES = [hurricane2_box, maverick_box, tomahawk_box, tomahawk_two_box, trident_three_box,
         trident_two_box]


def snapshot(value):
    """A comparable copy of a value and every object it holds."""
    if isinstance(value, dict):
        return {key: snapshot(item) for key, item in value.items()}
    if isinstance(value, (list, tuple, set)):
        return (type(value).__name__, [snapshot(item) for item in value])
    if hasattr(value, "__dict__") and not isinstance(value, type) and not callable(value):
        return (type(value).__name__, snapshot(vars(value)))
    return value


def refused(call):
    """True when the call fails with a clean error, False when it returns."""
    try:
        call()
    except SystemError:
        raise
    except CLEAN:
        return True
    return False


def argument_lists(port):
    modes = getattr(port, "modes", None) or ("40G",)
    mode = modes[0] if isinstance(modes, (tuple, list)) and modes else "40G"
    for value in HOSTILE:
        yield (value,)
        yield (mode, value)
        yield (value, 0)
        yield (value, value, value)


@pytest.mark.parametrize("box", BOXES, ids=lambda box: box.__name__.split(".")[-1])
def test_port_operations(box):
    platform = box.build()
    for port in platform.switch.ports:
        for operation in PORT_OPERATIONS:
            method = getattr(port, operation, None)
            if method is None or not callable(method):
                continue
            for arguments in argument_lists(port):
                before = snapshot(port)
                if refused(lambda: method(*arguments)):
                    assert snapshot(port) == before, (operation, arguments)


@pytest.mark.parametrize("name", [None, 5, "", "\0", "a\0b", "../../../../etc/passwd", "/etc/passwd",
                                  "\ud800", "\udcff", "d" * 5000, HUGE, b"hw_desc", "."])
def test_chip_files(name):
    chip = tomahawk_box.build().switch.chip
    before = snapshot(chip)
    refused(lambda: chip.get_config(name))
    assert snapshot(chip) == before
    for path_property in ("chip_config_path", "bcm_config_path"):
        refused(lambda: getattr(chip, path_property))


@pytest.mark.parametrize("label", HOSTILE)
def test_port_lookup(label):
    switch = tomahawk_box.build().switch
    before = snapshot(switch)
    refused(lambda: switch.find_port(label))
    assert snapshot(switch) == before


@pytest.mark.parametrize("value", HOSTILE)
def test_port_construction(value):
    for cls in (asicmodel.Tomahawk100GPort, asicmodel.TridentTwo10GPort, asicmodel.Maverick40GPort):
        refused(lambda: cls(value, value, value, value, value, value, value))
        refused(lambda: cls("1", (0, 1, 2, 3), None, None, "QSFP28", (0, 1), value))
        refused(lambda: cls("1", value, None, None, "QSFP28", (0, 1), 0,
                            rx_polarity_flip=value, tx_polarity_flip=value))
