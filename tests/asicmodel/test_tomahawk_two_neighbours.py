"""Tomahawk2 neighbour lookup: find_port over the registered platform and
the numbering of sub-ports 2 and 3 through the next front-panel port."""

import types

import pytest

import asicmodel
import tervane.platforms


class RecordingPort(asicmodel.TomahawkTwo100GPort):
    """Remembers how it was asked for a logical port number."""

    def logical_port_num(self, mode, sub, port_base):
        self.asked = (mode, sub, port_base)
        return super().logical_port_num(mode, sub, port_base)


def cage(label, first_lane, cls=asicmodel.TomahawkTwo100GPort):
    return cls(label, None, tuple(range(first_lane, first_lane + 4)), None, None, "QSFP28",
               None, 0)


def fabric(label):
    return asicmodel.Tomahawk100GFabricPort(label, (200, 201, 202, 203), 0, 0, None, None)


def platform_with(ports):
    platform = asicmodel.Platform()
    platform.switch = asicmodel.BCMSwitch(asicmodel.TomahawkTwo_56970_Chip())
    platform.switch.ports = ports
    return platform


@pytest.fixture(autouse=True)
def registry():
    tervane.platforms.clear()
    yield tervane.platforms
    tervane.platforms.clear()


def test_sub_ports_two_and_three_are_the_next_ports_first_two(registry):
    five, six = cage("5", 0), cage("6", 64, RecordingPort)
    registry.register(platform_with([five, six]))
    assert five.logical_port_num("4x25G", 2, 11) == 34
    assert six.asked == ("4x25G", 0, 11)
    assert five.logical_port_num("4x25G", 3, 12) == 35
    assert six.asked == ("4x25G", 1, 12)
    assert [five.logical_port_num("4x10G", sub, 1) for sub in range(4)] == [1, 2, 34, 35]


@pytest.mark.parametrize("ports,found", [
    (["fabric 6", "port 6"], 1),
    (["port 6", "port 6"], 0),
    (["fabric 6"], None),
    (["port 7"], None),
    ([], None),
])
def test_find_port_skips_fabric_ports(registry, ports, found):
    objects = [fabric(text.split()[1]) if text.startswith("fabric") else cage(text.split()[1], 0)
               for text in ports]
    registry.register(platform_with(objects))
    result = cage("5", 0).find_port("6")
    assert result is (None if found is None else objects[found])


def test_missing_neighbour_is_an_error_naming_both_ports(registry):
    registry.register(platform_with([cage("5", 0), fabric("6")]))
    with pytest.raises(RuntimeError) as failure:
        cage("5", 0).logical_port_num("4x25G", 2, 1)
    assert "port 5" in str(failure.value) and "labelled 6" in str(failure.value)
    assert not isinstance(failure.value, asicmodel.NoSuchMode)


def test_probe_is_asked_at_call_time_through_the_module_name(monkeypatch):
    neighbour = cage("10", 8)
    calls = []

    def probe():
        calls.append(1)
        return platform_with([neighbour])

    fake = types.SimpleNamespace(platforms=types.SimpleNamespace(probe=probe))
    monkeypatch.setattr(asicmodel, "tervane", fake)
    port = cage("9", 0)
    assert port.find_port("10") is neighbour
    assert port.logical_port_num("4x25G", 2, 1) == 5
    assert len(calls) == 2


def test_nothing_registered_passes_the_probe_failure_through():
    with pytest.raises(tervane.platforms.NoPlatformRegistered):
        cage("5", 0).logical_port_num("4x25G", 3, 1)
    # Sub-ports 0 and 1 need no neighbour.
    assert cage("5", 0).logical_port_num("4x25G", 1, 1) == 2


@pytest.mark.parametrize("label,error", [("five", ValueError), ("5_0", ValueError),
                                         (None, TypeError)])
def test_label_must_be_a_decimal_number_to_find_the_neighbour(registry, label, error):
    registry.register(platform_with([]))
    with pytest.raises(error):
        cage(label, 0).logical_port_num("4x25G", 2, 1)
