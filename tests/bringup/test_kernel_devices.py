"""MAC derivation and the device steps, with runners that record."""

import os

import pytest

import bringup
from bringup_fakes import trident_two_10g


@pytest.mark.parametrize("base, index, result, printed", [
    ([1, 2, 3, 0xff, 0xff, 0xfe], 1, [1, 2, 3, 0xff, 0xff, 0xff], ""),
    ([1, 2, 3, 0xff, 0xff, 0xfe], 2, 0, "Tried to carry into OUI.\n"),
    ([1, 2, 3, 0, 0, 0xff], 1, [1, 2, 3, 0, 1, 0], ""),
    ([1, 2, 3, 0, 0, 0], 2 ** 32, 0, "Tried to carry into OUI.\n"),
    (None, 5, None, ""),
])
def test_makemacaddr(recorded, capsys, base, index, result, printed):
    config, _ = recorded()
    assert config.makemacaddr(base, index) == result
    assert capsys.readouterr().out == printed


def test_index_zero_gives_a_new_equal_list(recorded):
    config, _ = recorded()
    base = [2, 0, 10, 27, 192, 5]
    assert config.makemacaddr(base, 0) == base and config.makemacaddr(base, 0) is not base


@pytest.mark.parametrize("macmode, address", [
    ("standard", "2:0:a:1b:c0:8"), ("l3-only", "2:0:a:1b:c0:5"), ("other", "2:0:a:1b:c0:8")])
def test_setmac_by_mac_mode(recorded, macmode, address):
    config, log = recorded()
    config.macbase = [2, 0, 10, 0x1b, 0xc0, 5]
    config.set_macmode(macmode)
    config.setmac("swp1", 3)
    assert log == [("ip", ["link", "set", "swp1", "down"]),
                   ("ip", ["link", "set", "dev", "swp1", "address", address])]


@pytest.mark.parametrize("macbase", [None, [1, 2, 3, 0xff, 0xff, 0xff]])
def test_no_address_means_no_device(recorded, knet_file, capsys, macbase):
    config, log = recorded()
    config.macbase = macbase
    config.setmac("swp1", 1)
    config.maketap("swp1", 1, set())
    config.makekernnet("swp1", 1, 0, set())
    assert log == [] and knet_file.read_text() == "swp1=down"


def test_maketap_creates_and_addresses_unless_existing(recorded):
    config, log = recorded()
    existing = {"swp1", "swp9"}
    config.maketap("swp1", 1, existing)
    config.maketap("swp2", 2, existing)
    assert existing == {"swp9"}
    assert [words for _, words in log] == [
        ["tuntap", "add", "dev", "swp2", "mode", "tap", "one_queue"],
        ["link", "set", "swp2", "down"], ["link", "set", "dev", "swp2", "address", "ff:ff:ff:ff:ff:2"]]


@pytest.mark.parametrize("sw_base, link_type, marked", [
    ("bcm", "bcm_knet", "swp2=down"), ("mlx", "mlx_sx_netdev", None)])
def test_makekernnet(recorded, knet_file, sw_base, link_type, marked):
    config, log = recorded(sw_base=sw_base)
    existing = {"swp1"}
    config.makekernnet("swp1", 1, 0, existing)
    config.makekernnet("swp2", 2, 1, existing)
    assert existing == set()
    assert log[0] == ("ifmaker", ["add", "name", "swp2", "type", link_type, "unit", "1"])
    assert len(log) == 3
    assert (knet_file.read_text() if knet_file.exists() else None) == marked


@pytest.mark.parametrize("sw_base", ["vx", None])
def test_makekernnet_refuses_other_software_bases(recorded, sw_base):
    config, log = recorded(sw_base=sw_base)
    with pytest.raises(bringup.UnsupportedPlatformError) as caught:
        config.makekernnet("swp2", 2, 0, set())
    assert str(caught.value) == ("Kernel netdevs are not supported" + " " * 27 +
                                 "on %s, only on Broadcom and Mellanox" % sw_base)
    config.makekernnet("swp1", 1, 0, {"swp1"})  # an existing device: no error
    assert log == []


@pytest.mark.parametrize("existing", [set(), {"swp9"}, {"swp9", "swp10"}])
def test_refused_makekernnet_leaves_the_set(recorded, existing):
    config, log = recorded(sw_base="vx")
    before = set(existing)
    with pytest.raises(bringup.UnsupportedPlatformError):
        config.makekernnet("swp2", 2, 0, existing)
    assert existing == before and log == []


def test_makekernnet_does_nothing_in_dummy_mode(recorded):
    config, log = recorded()
    config.dummy = True
    existing = {"swp1"}
    config.makekernnet("swp1", 1, 0, existing)
    assert existing == {"swp1"} and log == []


def test_knet_mark_without_the_driver_is_an_os_error(recorded):
    if os.path.exists("/proc/bcm/knet/link"):
        pytest.skip("the knet driver is loaded here")
    config, log = recorded()
    with pytest.raises(FileNotFoundError):
        config.makekernnet("swp1", 1, 0, {"swp1"})


def test_destroyints_sorted_keeping_switch_devices(recorded):
    config, log = recorded()
    names = {"swp2", "switch0", "swp10"}
    config.destroyints(names)
    assert names == set()
    assert log == [("ip", ["link", "del", "dev", "swp10"]), ("ip", ["link", "del", "dev", "swp2"])]
    config.destroyints(names)
    assert len(log) == 2


@pytest.mark.parametrize("name", ["swp 1", "", "swp\t1", "swp\x001", "swp\x1b[1", "swp\x7f", "swp\x851"])
def test_bad_device_names_run_nothing(recorded, name):
    config, log = recorded()
    names = {"swp1", name}
    for call in (lambda: config.setmac(name, 1), lambda: config.maketap(name, 1, set()),
                 lambda: config.makekernnet(name, 1, 0, set()), lambda: config.destroyints(names)):
        with pytest.raises(ValueError, match="bad device name"):
            call()
    assert log == [] and names == {"swp1", name}
    with pytest.raises(ValueError) as caught:
        config.setmac(name, 1)
    assert repr(name) in str(caught.value)


def test_set_macmode_stores_anything(recorded):
    config, _ = recorded([trident_two_10g("1", 1)])
    config.set_macmode(42)
    assert config.macmode == 42
