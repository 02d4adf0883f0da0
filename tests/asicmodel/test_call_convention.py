"""Operations are matched to their arguments as Python functions are: the
same TypeError texts for missing, surplus, unexpected and repeated
arguments, defaults filled in, keywords in any order."""

import pytest

import asicmodel as A


class SDKPort:
    """Python twins of the operations' signatures, for the expected texts."""

    def hw_intf(self, mode, sub):
        return mode, sub

    def configurable(self, config_map):
        return config_map


class TomahawkTwo100GPort:
    def __init__(self, label, adj_label, serdes, phy_types, phy_addrs, phy_layer, leds, unit,
                 rx_lane_map=None, rx_polarity_flip=None, tx_lane_map=None,
                 tx_polarity_flip=None, mdi_pair_map=None, pre_emphasis=None,
                 blocked_adj_split=None, drv_current=None, pre_drv_current=None,
                 oversub=False, phy_id1=None, sys_interface=None, prim_offset=None):
        pass


def message(call):
    with pytest.raises(TypeError) as raised:
        call()
    return str(raised.value)


PORT = A.Tomahawk25GPort("1", (1,), None, None, "SFP28", (0, 1), 0)

CALLS = [
    # (twin, real, args, kwargs)
    (SDKPort().hw_intf, PORT.hw_intf, (), {}),
    (SDKPort().hw_intf, PORT.hw_intf, ("25G",), {}),
    (SDKPort().hw_intf, PORT.hw_intf, ("25G", 0, 1), {}),
    (SDKPort().hw_intf, PORT.hw_intf, ("25G",), {"mode": "25G"}),
    (SDKPort().hw_intf, PORT.hw_intf, ("25G",), {"lane": 0}),
    (SDKPort().configurable, PORT.configurable, ({}, {}), {}),
    (SDKPort.configurable, A.SDKPort.configurable, (), {}),
    (TomahawkTwo100GPort, A.TomahawkTwo100GPort, (), {}),
    (TomahawkTwo100GPort, A.TomahawkTwo100GPort, tuple(range(22)), {}),
    (TomahawkTwo100GPort, A.TomahawkTwo100GPort, tuple(range(8)), {"label": 1}),
    (TomahawkTwo100GPort, A.TomahawkTwo100GPort, tuple(range(6)), {"unit": 0}),
]


@pytest.mark.parametrize("twin, real, args, kwargs", CALLS)
def test_argument_errors_use_the_host_texts(twin, real, args, kwargs):
    assert message(lambda: real(*args, **kwargs)) == message(lambda: twin(*args, **kwargs))


def test_keywords_in_any_order_and_defaults():
    assert PORT.hw_intf(sub=0, mode="25G") == PORT.hw_intf("25G", 0)
    port = A.TomahawkTwo100GPort(unit=0, leds=None, phy_layer="QSFP28", phy_addrs=None,
                                 phy_types=None, serdes=(0, 1, 2, 3), adj_label="2", label="1")
    assert (port.oversub, port.prim_offset, port.adj_label) == (False, None, "2")


def test_operations_carry_their_own_names():
    assert A.SDKPort.__init__.__name__ == "__init__"
    assert A.SDKPort.hw_intf.__name__ == "hw_intf"
    assert A.SDKPort.speed.__func__.__name__ == "speed"


def test_repeated_keyword_calls_match_as_the_first():
    # Each call site passes the same keyword-name tuple every time; the
    # answers and errors of the tenth call are those of the first.
    def ask(*args, **kwargs):
        try:
            return PORT.hw_intf(*args, **kwargs)
        except TypeError as error:
            return str(error)

    sites = [lambda: PORT.hw_intf("25G", sub=0), lambda: PORT.hw_intf(sub=0, mode="25G"),
             lambda: ask("25G", mode="25G"), lambda: ask(sub=0), lambda: ask("25G", 0, sub=0),
             lambda: ask(*("25G",), **{"sub": 0})]
    first = [site() for site in sites]
    assert first[:2] == ["xe1", "xe1"] and first[5] == "xe1"
    for _ in range(10):
        assert [site() for site in reversed(sites)] == first[::-1]


def test_a_missing_table_fails_as_indexing_none_does():
    # The port has no PHY types: the host's own error for None[0].
    with pytest.raises(TypeError) as ours:
        PORT.phy_autodetect("25G", 0)
    with pytest.raises(TypeError) as hosts:
        (lambda table: table[0])(None)
    assert str(ours.value) == str(hosts.value)
