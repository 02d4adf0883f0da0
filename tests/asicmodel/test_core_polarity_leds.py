"""Polarity accessors, serdes interface type, auto-negotiation and LEDs."""

import pytest

import asicmodel
from core_ports import make_port


def test_polarity_needs_a_family_rule():
    port = make_port(tx_polarity_flip=True, rx_polarity_flip=True)
    for question in (port.tx_logical_polarity_flip, port.rx_logical_polarity_flip):
        with pytest.raises(NotImplementedError) as caught:
            question("no mode", 0)
        assert caught.value.args == ()


class Recording(asicmodel.BCMPort):
    def polarity_flip_val(self, mode, sub, polarity_flip):
        return (mode, sub, polarity_flip)


def test_polarity_accessors_hand_the_stored_setting_over():
    mask = object()
    port = make_port(Recording, tx_polarity_flip=mask, rx_polarity_flip=0x5)
    assert port.tx_logical_polarity_flip("4x10G", 2) == ("4x10G", 2, mask)
    assert port.rx_logical_polarity_flip(mode="40G", sub=0) == ("40G", 0, 0x5)


def test_serdes_interface_type():
    port = make_port()
    assert port.serdes_if_type(10) is None
    port._serdes_intf_map = {10: "KR"}
    assert (port.serdes_if_type(10), port.serdes_if_type(10.0), port.serdes_if_type(40)) == \
        ("KR", "KR", None)
    assert asicmodel.SDKPort._serdes_intf_map == {}


@pytest.mark.parametrize("value", ["40G", "no such mode", None, 10])
def test_base_auto_negotiation_is_unset(value):
    port = make_port()
    assert port.an_c37(value) is None and port.an_c73(speed=value) is None


def test_set_leds_returns_a_fresh_empty_map_each_time():
    port = make_port()
    first = port.set_leds("40G", 1, 0, [3])
    first[1] = 0
    second = port.set_leds(mode="40G", led_port=1, sub=0, led_index_list=[3])
    assert second == {} and second is not first
