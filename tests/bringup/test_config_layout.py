"""Config: construction, the port layout (parsing, completion, validation,
default file) and the chip texts."""

import os
import time
import types

import pytest

import bringup
from bringup_fakes import Chip, platform_of, tomahawk_100g, trident_two_10g

GOLDEN = os.path.join(os.path.dirname(__file__), "golden")


def config_for(ports=(), chip=None):
    return bringup.Config(platform_of(ports, chip), dummy=True)


def test_dummy_construction():
    config = config_for()
    assert vars(config)["macbase"] == [255, 255, 255, 255, 255, 0]
    assert (config.macrange, config.macmode, config.ports) == (255, "standard", [])
    assert list(vars(config)) == ["platform", "verbose", "exploded", "dummy", "eeprom", "iproute2",
                                  "ifmaker", "ports", "macbase", "macrange", "macmode"]
    assert (config.eeprom.dummy, config.eeprom.sw_base, config.iproute2.dummy) == (True, "bcm", True)


@pytest.mark.parametrize("text", ["ff:ff:ff:ff:ff", "ff:ff:ff:ff:ff:100", "zz:0:0:0:0:0"])
def test_bad_base_mac_is_refused(monkeypatch, text):
    monkeypatch.setattr(bringup.Boardinfo, "macaddr", property(lambda self: text))
    with pytest.raises(ValueError, match="base MAC address"):
        config_for()


def test_layout_is_parsed_and_completed():
    ports = [tomahawk_100g("1"), tomahawk_100g("2", 8)]
    fabric = types.SimpleNamespace(label="2", is_fabric=True)
    config = config_for(ports + [fabric])
    config.config("1=4x\n2 = 40G ; note\nFabric-2=4x\n7=1x\n")
    assert config.config_map == {"1": "4x25G", "2": "40G", "Fabric-2": "4x", "7": "1x"}
    config.config("")
    assert config.config_map == {}
    assert config.find_hw_port("2") is ports[1]


def test_bad_lines_are_all_named_and_the_map_kept():
    config = config_for()
    config.config("1=40G\n")
    with pytest.raises(ValueError) as caught:
        config.config("1=40G\nbad line\n  \n=x\n")
    assert str(caught.value) == ("ports.conf contains parsing errors:\n\t[line  3]: 'bad line'"
                                 "\n\t[line  5]: '=x'")
    assert config.config_map == {"1": "40G"}


def test_parse_error_costs_time_linear_in_the_bad_lines():
    """Timed against parsing as many good lines, which is linear."""
    count = 100000
    config = config_for()
    start = time.perf_counter()
    config.config("%d=x\n" * count % tuple(range(count)))
    good = time.perf_counter() - start
    start = time.perf_counter()
    with pytest.raises(ValueError) as caught:
        config.config("bad\n" * count)
    bad = time.perf_counter() - start
    assert str(caught.value).count("\n\t[line") == count
    assert bad < 10 * good + 0.5, (bad, good)


@pytest.mark.parametrize("failing, asked", [(None, ["-r", "-a"]), ("-r", ["-r"]), ("-a", ["-r", "-a"])])
def test_range_is_asked_before_the_address(monkeypatch, failing, asked):
    log = []

    class Board(object):
        def __init__(self, dummy=False, sw_base=None):
            pass

        def answer(self, option, value):
            log.append(option)
            if option == failing:
                raise RuntimeError("error: boardinfo %s failed" % option)
            return value

        macrange = property(lambda self: self.answer("-r", 16))
        macaddr = property(lambda self: self.answer("-a", "1:2:3:4:5:6\n"))

    monkeypatch.setattr(bringup, "Boardinfo", Board)
    if failing:
        with pytest.raises(RuntimeError, match=failing):
            bringup.Config(platform_of([]))
    else:
        config = bringup.Config(platform_of([]))
        assert (config.macrange, config.macbase) == (16, [1, 2, 3, 4, 5, 6])
    assert log == asked


def test_failed_completion_keeps_the_old_map():
    config = config_for([trident_two_10g("1", 1)])
    config.platform.switch.ports[0].phy_layer = "10GBaseT"
    config.config("1=10G\n")
    with pytest.raises(KeyError):
        config.config("1=4x\n")
    assert config.config_map == {"1": "10G"}


class FakeConformer(object):
    errors, reported = [], []

    def __init__(self, path, debug=True):
        assert debug is False
        self.path = path

    def conformer(self):
        return list(self.errors)

    def portwriteerrors(self, errors):
        self.reported.append(errors)


@pytest.fixture
def conformer(monkeypatch):
    FakeConformer.errors, FakeConformer.reported = [], []
    monkeypatch.setattr(bringup, "tervane", types.SimpleNamespace(
        conformer=types.SimpleNamespace(Conformer=FakeConformer)))
    return FakeConformer


def test_read_config_loads_chip_texts_without_validation(conformer):
    config = config_for(chip=Chip(texts={"hw_desc": "desc", "sdk.bcm": "sdk"}))
    for name, attribute in [("hw_desc", "hw_desc"), ("rc.forwarding", "rc_forwarding"),
                            ("datapath.conf", "datapath_conf"), ("sdk.bcm", "sdk_bcm"),
                            ("uft.json", "uft"), ("riot.json", "riot")]:
        config.read_config(name)
    assert (config.hw_desc, config.sdk_bcm, config.uft) == ("desc", "sdk", None)
    with pytest.raises(FileNotFoundError):
        config.read_config("/nonexistent/hw_desc")  # a path, validated then read


def test_read_config_validates_then_parses(conformer, tmp_path):
    layout = tmp_path / "ports.conf"
    layout.write_text("1=40G\n")
    config = config_for()
    config.read_config(str(layout))
    assert config.config_map == {"1": "40G"}
    conformer.errors = ["bad"]
    with pytest.raises(SystemExit) as caught:
        config.read_config(str(layout))
    assert caught.value.code == -1 and conformer.reported == [["bad"]]


@pytest.mark.parametrize("name, reaches_config", [("hw_desc", False), ("ports.conf", True)])
def test_read_config_reaches_a_derived_config(conformer, tmp_path, name, reaches_config):
    class Derived(bringup.Config):
        def config(self, text):
            self.seen = text
            bringup.Config.config(self, text)

    (tmp_path / "ports.conf").write_text("1=40G\n")
    config = Derived(platform_of([]), dummy=True)
    config.read_config(name if name == "hw_desc" else str(tmp_path / name))
    assert getattr(config, "seen", None) == ("1=40G\n" if reaches_config else None)
    assert getattr(config, "config_map", None) == ({"1": "40G"} if reaches_config else None)


def test_write_config_writes_the_default_file(tmp_path):
    config = config_for()
    config.config_map = {"10": "40G", "9": "4x10G", "Fabric-1": "10G", "1": None}
    target = tmp_path / "ports.conf"
    config.write_config(str(target))
    with open(os.path.join(GOLDEN, "default_ports.conf")) as golden:
        assert target.read_text() == golden.read()
    config.config_map = {"99999999999999999999": "40G", "10": "10G"}  # labels beyond 64 bits
    config.write_config(str(target))
    assert target.read_text().splitlines()[1:] == ["10=10G", "99999999999999999999=40G"]
    config.config_map = {}
    config.write_config(str(target))
    assert target.read_text() == "# XXX - default config file (needs documentation comments)\n"


def test_write_config_refuses_a_bad_label_without_touching_the_file(tmp_path):
    target = tmp_path / "ports.conf"
    target.write_text("old\n")
    config = config_for()
    config.config_map = {"1": "40G", "swp2": "10G"}
    with pytest.raises(ValueError, match="swp2"):
        config.write_config(str(target))
    assert target.read_text() == "old\n" and os.listdir(tmp_path) == ["ports.conf"]
