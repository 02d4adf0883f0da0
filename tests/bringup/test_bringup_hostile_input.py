"""Hostile values at bringup's boundary: odd layout texts, base addresses,
indices and port names end in the host's clean errors (never SystemError,
never a crash), and a refused call leaves the configuration and the files as
they were."""

import pytest

import bringup
from bringup_fakes import platform_of, tomahawk_100g

HUGE = "x" * 1000000


def config_for():
    return bringup.Config(platform_of([tomahawk_100g("1")]), dummy=True)


def outcome(call):
    """None when the call returns, else the type of its error."""
    try:
        call()
    except SystemError:
        raise
    except Exception as error:  # noqa: BLE001 - the type is what is checked
        return type(error)
    return None


def raises(call, error):
    got = outcome(call)
    return got is None if error is None else got is not None and issubclass(got, error)


# (layout text, error or None)
LAYOUTS = [
    (None, TypeError), (5, TypeError), (b"1=40G\n", TypeError), (["1=40G"], TypeError),
    ("", None), ("\0", ValueError), ("1=\0\n", None), ("\0=40G\n", None),
    ("1=\udcff\n", None),                    # a file byte that is not UTF-8
    ("\ud800=40G\n", UnicodeEncodeError),     # no file reads as this ("1=40G\n" * 100000, None),
    (HUGE, ValueError), ("1=" + HUGE, None), ("[" * 100000, ValueError),
    ("=\n:\n \n\t1=2\n", ValueError), ("\r\r\n\n", None),
]


@pytest.mark.parametrize("text, error", LAYOUTS,
                         ids=lambda value: repr(value)[:30])
def test_layout_texts(text, error):
    config = config_for()
    config.config("1=40G\n")
    before = dict(config.config_map)
    assert raises(lambda: config.config(text), error)
    if error is not None:
        assert config.config_map == before


@pytest.mark.parametrize("inmac, index, error", [
    (None, 1, None),                           # no base address: no address
    ([0, 0, 0, 0, 0, 0], None, TypeError),
    ([0, 0, 0, 0, 0, 0], 1.5, TypeError),
    ([0, 0, 0, 0, 0, 0], "1", TypeError),
    ([0, 0, 0, 0, 0, 0], -1, None),            # below the extension: refused, 0
    ([0, 0, 0, 0, 0, 0], 2 ** 100, None),      # carry into the OUI: refused, 0
    ([0, 0, 0, 0, 0, 0], -2 ** 100, None),
    ([0, 0, 0], 1, IndexError),
    ("nonsense", 1, TypeError),
    ([None] * 6, 1, TypeError),
    ([2 ** 100] * 6, 1, ValueError),
    (5, 1, TypeError),
])
def test_mac_arithmetic(inmac, index, error):
    config = config_for()
    before = dict(vars(config))
    assert raises(lambda: config.makemacaddr(inmac, index), error)
    assert vars(config) == before


@pytest.mark.parametrize("text, error", [
    (None, ValueError), (5, ValueError), ("", ValueError), ("\0", ValueError),
    ("ff:ff:ff:ff:ff:ff:ff", ValueError), ("\udcff:0:0:0:0:0", ValueError),
    ("-1:0:0:0:0:0", ValueError), (HUGE, ValueError),
    (":".join(["0" * 1000] * 6), None),     # leading zeros: still bytes
], ids=lambda value: repr(value)[:20])
def test_base_addresses(monkeypatch, text, error):
    monkeypatch.setattr(bringup.Boardinfo, "macaddr", property(lambda self: text))
    assert raises(config_for, error)


@pytest.mark.parametrize("label", [None, 1, "", "\0", "\ud800", HUGE, ["1"]])
def test_port_lookup(label):
    config = config_for()
    assert raises(lambda: config.find_hw_port(label), (KeyError, TypeError, ValueError)) or \
        config.find_hw_port(label) is None


@pytest.mark.parametrize("path, error", [
    (None, TypeError), (5, TypeError), ("", OSError), ("\0", ValueError),
    ("\udcff/ports.conf", OSError), ("/nonexistent/" + "d" * 5000, OSError),
])
def test_layout_paths(tmp_path, path, error):
    config = config_for()
    config.config_map = {"1": "40G"}
    assert raises(lambda: config.write_config(path), error)


@pytest.mark.parametrize("config_map, error", [
    ({"\0": "40G"}, ValueError), ({"1": "\ud800"}, UnicodeEncodeError),
    ({None: "40G"}, AttributeError), ({"1\n2": "x"}, ValueError), ({"1": 5}, None),
])
def test_refused_write_leaves_the_old_file(tmp_path, config_map, error):
    target = tmp_path / "ports.conf"
    target.write_text("old\n")
    config = config_for()
    config.config_map = config_map
    assert raises(lambda: config.write_config(str(target)), error)
    assert (target.read_text() == "old\n") is (error is not None)
    assert [p.name for p in tmp_path.iterdir()] == ["ports.conf"]


@pytest.mark.parametrize("names, error", [
    ([None], (TypeError, ValueError)), (None, TypeError), (["xe"], ValueError), (["xe\0"], ValueError),
    (["xe\ud800"], ValueError), (["xe1", "xe-9223372036854775808", "xe9223372036854775807"], None),
    (["xe" + "9" * 30], ValueError), (["xe%d" % i for i in range(100000)], None),
])
def test_port_lists(names, error):
    assert raises(lambda: bringup.SDKConfig._compress_portlist(None, names), error)
