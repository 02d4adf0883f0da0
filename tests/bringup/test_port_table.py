"""The port table and the device work its reading does, with runners that
record the commands and answer the listings."""

import pytest

import bringup
import porttab
from generator_fakes import Configured, chip, config_with


class Runner(object):
    def __init__(self, log, name, answers):
        self.log, self.name, self.answers = log, name, answers

    def run(self, args):
        self.log.append("%s %s" % (self.name, " ".join(args)))
        return self.answers.get(" ".join(args), "")


LINKS = "1: lo: <LOOPBACK> mtu 65536\n7: switch0@eth0: <UP>\n8: br-switch: <UP>\n9: swp9: <UP>\n"


def table(ports, sw_base="bcm", listing="", links=LINKS, dport=False, tuntap=None,
          monkeypatch=None):
    config = config_with(ports, chip(sw_base=sw_base, dport_capable=dport))
    config.dummy = False
    log = []
    config.iproute2 = Runner(log, "ip", {"-o link show": links, "tuntap show": listing})
    config.ifmaker = Runner(log, "ifmaker", {"show type bcm_knet": listing,
                                             "show type mlx_sx_netdev": listing})
    config.macbase = [2, 0, 0, 0, 0, 0]
    if tuntap is None:
        monkeypatch.delenv("IFMAKER_USE_TUNTAP", raising=False)
    else:
        monkeypatch.setenv("IFMAKER_USE_TUNTAP", tuntap)
    return config, log


PORTS = [Configured(["xe0", "xe1"], linux_names=["swp1s0", "swp1s1"], mac_index=4, loopback=True,
                    logical=[5, 6]),
         Configured(["hg0"], linux_names=["fp1"], is_fabric=True),
         Configured([], linux_names=["swp2"])]


def test_knet_devices_listed_created_and_removed(monkeypatch, knet_file):
    config, log = table(PORTS, listing="swp1s1 bcm_knet 0\nswitch x\nswid 0\n old\nswp7 x\n",
                        dport=True, monkeypatch=monkeypatch)
    assert config.porttab == "swp1s0\txe0\t0\t0\t5\t1\nswp1s1\txe1\t0\t0\t6\t1\nfp1\thg0\t0\t1\t1\t0"
    assert log == [
        "ifmaker show type bcm_knet",
        "ifmaker add name swp1s0 type bcm_knet unit 0",
        "ip link set swp1s0 down", "ip link set dev swp1s0 address 2:0:0:0:0:4",
        "ip -o link show", "ip link set switch0 up", "ip link set br-switch up",
        "ip link del dev swp7"]
    assert knet_file.read_text() == "swp1s1=down"  # the last mark written


def test_tap_mode_lists_and_creates_taps(monkeypatch):
    config, log = table(PORTS[:1], sw_base="other", listing="swp1s0: tap\nswp3: tap\n",
                        tuntap="1", monkeypatch=monkeypatch)
    assert config.porttab.splitlines()[1] == "swp1s1\txe1\t0\t0\t-1\t1"
    assert log == ["ip tuntap show", "ip tuntap add dev swp1s1 mode tap one_queue",
                   "ip link set swp1s1 down", "ip link set dev swp1s1 address 2:0:0:0:0:5",
                   "ip link del dev swp3"]


@pytest.mark.parametrize("sw_base, dummy, blanks", [("other", True, 22), ("vx", False, 27)])
def test_unsupported_software_base(monkeypatch, sw_base, dummy, blanks):
    config, log = table(PORTS[:1], sw_base=sw_base, monkeypatch=monkeypatch)
    config.dummy = dummy
    with pytest.raises(porttab.UnsupportedPlatformError) as caught:
        config.porttab
    assert str(caught.value) == ("Kernel netdevs are not supported" + " " * blanks +
                                 "on %s, only on Broadcom and Mellanox" % sw_base)


def test_mellanox_devices_and_second_reading(monkeypatch):
    config, log = table(PORTS[:1], sw_base="mlx", monkeypatch=monkeypatch)
    config.porttab
    assert log[:2] == ["ifmaker show type mlx_sx_netdev",
                       "ifmaker add name swp1s0 type mlx_sx_netdev unit 0"]
    config.ifmaker.answers["show type mlx_sx_netdev"] = "swp1s0 x\nswp1s1 x\n"
    del log[:]
    config.porttab
    assert log == ["ifmaker show type mlx_sx_netdev"]


def test_dummy_mode_runs_nothing(monkeypatch):
    config = config_with(PORTS, chip(sw_base="bcm"))
    monkeypatch.delenv("IFMAKER_USE_TUNTAP", raising=False)
    assert config.output("porttab").splitlines()[0] == (
        "# linux_intf\tsdk_intf\tunit\tis_fabric\tlogical_port\tis_loopback")


# Listings are cut at LF, CR and CRLF only: a form feed or group separator
# in a line (an alias, say) keeps the line whole, so no fragment of it is
# taken for a device to delete or bring up.
@pytest.mark.parametrize("listing, links, commands", [
    ("swp1s0 bcm_knet 0 a\x1cswp7 x\r\nswp1s1 x\r\nswp3 x\rswp4 x", "",
     ["ip link del dev swp3", "ip link del dev swp4"]),
    ("swp1s0 x\x0cswp8 x\nswp1s1 x", "7: br0: <UP> alias a\x1c8: switch9: b\r\n9: switch1: <UP>",
     ["ip link set switch1 up"]),
    ("swp1s0 x\nswp1s1 x", "7: br0: <UP> alias a\x85switch3: b\u2028x: switch4: c", []),
])
def test_listings_split_at_line_ends_only(monkeypatch, knet_file, listing, links, commands):
    config, log = table(PORTS[:1], listing=listing, links=links, monkeypatch=monkeypatch)
    config.porttab
    assert [line for line in log if not line.startswith(("ifmaker", "ip -o"))] == commands
