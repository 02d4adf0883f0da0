"""Kernel state through recorded output: device kinds and the device cache,
bond slaves, bridge VLANs, VLAN devices, base devices, bridge members and
the multicast database."""

import json
import os
import signal
import subprocess
import time

import pytest

import fanoutprobe as fp

from kernel_fixtures import asic, kernel  # noqa: F401

IP = ("/bin/ip", "-d", "link", "show")


def test_cmd_output_runs_programs_directly():
    run = fp.Asic._get_cmd_output
    assert run(["/bin/sh", "-c", "echo out; echo err >&2"]) == "out\n"
    assert run(["/bin/sh", "-c", "exit 1"], "{}") == "{}"
    assert run(["/bin/sh", "-c", "kill -9 $$"]) is None
    assert run(["/bin/echo", "a b", "*"], dispStr="") == "a b *\n"
    with pytest.raises(FileNotFoundError) as error:
        run(["/nonexistent/program"], "")
    assert error.value.filename == "/nonexistent/program"


@pytest.mark.parametrize("words", ["/bin/true", b"/bin/true", bytearray(b"/bin/true")])
def test_cmd_output_refuses_a_text_for_the_word_list(words):
    with pytest.raises(TypeError, match="must be a list of the program and its arguments"):
        fp.Asic._get_cmd_output(words, "")


class TimedOut(Exception):
    pass


def raise_timed_out(signum, frame):
    raise TimedOut()


@pytest.fixture
def alarm():
    """Arms SIGALRM in half a second with the given handler; restores the old one."""
    previous = signal.getsignal(signal.SIGALRM)
    yield lambda handler: (signal.signal(signal.SIGALRM, handler),
                           signal.setitimer(signal.ITIMER_REAL, 0.5))
    signal.setitimer(signal.ITIMER_REAL, 0)
    signal.signal(signal.SIGALRM, previous)


@pytest.mark.parametrize("handler, error", [
    (signal.default_int_handler, KeyboardInterrupt),  # what Ctrl-C raises
    (raise_timed_out, TimedOut),
])
def test_cmd_output_wait_ends_with_the_signal_handler_error(tmp_path, alarm, handler, error):
    pid_file = tmp_path / "pid"
    alarm(handler)
    start = time.monotonic()
    with pytest.raises(error):
        fp.Asic._get_cmd_output(
            ["/bin/sh", "-c", 'echo $$ > "$0"; exec /bin/sleep 3', str(pid_file)], "")
    assert time.monotonic() - start < 2
    # The program is killed and reaped.
    assert not os.path.exists("/proc/%s" % pid_file.read_text().strip())


def test_cmd_output_wait_goes_on_after_a_handler_that_returns(alarm):
    seen = []
    alarm(lambda signum, frame: seen.append(signum))
    assert fp.Asic._get_cmd_output(["/bin/sh", "-c", "sleep 1; echo done"], "") == "done\n"
    assert seen == [signal.SIGALRM]


@pytest.mark.parametrize("output, kind", [
    ("1: x: <UP>\n    link/ether\n    bridge forward_delay 1500\n", "bridge"),
    ("1: x: <UP>\n    link/ether\n", "unk"),
    ('Device "x" does not exist.\n2\n3 vlan\n', "unk"),
    ("1: x: <UP>\n    link/ether\n    veth\n", "veth"),
    (None, "unk"),
])
def test_kind_parse(asic, kernel, output, kind):
    if output is not None:
        kernel.commands[IP + ("x",)] = (0, output)
    assert asic._kern_dev_kind_parse("x") == kind
    assert kernel.ran() == [IP + ("x",)]


@pytest.mark.parametrize("name", ["", ".", "..", "a/b", "../br0", "a b", "a\x00b"])
def test_names_of_no_device_read_nothing(asic, kernel, name):
    assert (asic._kern_dev_kind_get(name), asic._kern_dev_vlan_filtering_get(name)) == ("unk", 0)
    assert asic._expand_kern_bond(name) == []
    assert asic._kern_get_br_members(name) == []
    assert asic._kern_dev_get_mdb_entry(name, -1, "01:00:5e:01:01:01") is None
    assert kernel.log == []


def test_device_cache_asks_each_name_once(asic, kernel):
    for _ in range(2):
        assert asic._kern_dev_kind_get("swp1") == "swp"
        assert asic._kern_dev_kind_get("br0") == "bridge"
        assert asic._kern_dev_vlan_filtering_get("br0") == 1
        assert asic._kern_dev_kind_get("nothere") == "unk"
    assert kernel.ran() == [IP + ("br0",), IP + ("nothere",)]
    assert str(asic.kern_dev_cache["br0"]) == "br0: kind: bridge vlan_filtering: 1\n"
    assert sorted(asic.kern_dev_cache) == ["br0", "nothere", "swp1"]


@pytest.mark.parametrize("content, value", [(None, 0), ("1\n", 1), ("0\n", 0), ("0x1", 1), ("", 0)])
def test_vlan_filtering_file(asic, kernel, content, value):
    kernel.files["/sys/class/net/brx/bridge/vlan_filtering"] = content
    assert asic._kern_dev_vlan_filtering_parse("brx") == value


def test_vlan_filtering_fault_stores_nothing(asic, kernel):
    kernel.files["/sys/class/net/brx/bridge/vlan_filtering"] = "yes\n"
    with pytest.raises(ValueError):
        asic._kern_dev_cache_get("brx")
    assert "brx" not in asic.kern_dev_cache


def test_bond_slaves_read_at_every_call(asic, kernel):
    assert asic._expand_kern_bond("bond0") == ["swp3", "swp4"]
    kernel.files["/sys/class/net/bond0/bonding/slaves"] = "swp4\n swp1\tswp2\n"
    assert asic._expand_kern_bond("bond0") == ["swp4", "swp1", "swp2"]
    assert asic._expand_kern_bond("swp1") == []


@pytest.mark.parametrize("listing", [
    json.dumps({"swp1": [{"vlan": 100, "flags": ["PVID", "Egress Untagged"]}],
                "swp2": [{"vlan": "100"}, {"vlan": 101}], "br0": [{"vlan": 100}],
                "bond0": [{"vlan": 101, "flags": ["Egress Untagged"]}]}),
    json.dumps([{"ifname": "swp1", "vlans": [{"vlan": 100, "flags": ["Egress Untagged"]}]},
                {"ifname": "br0", "vlans": [{"vlan": 100}]}, {"ifname": "swp3"},
                {"ifname": "swp2", "vlans": [{"vlan": 100}, {"vlan": 101}]},
                {"ifname": "bond0", "vlans": [{"vlan": 101, "flags": ["Egress Untagged"]}]}]),
])
def test_bridge_vlan_members(asic, kernel, listing):
    kernel.bridge_vlans(listing)
    assert asic._kern_get_vlan_members(100) == ["swp2", "swp1"]
    assert asic._kern_get_vlan_members(101) == ["swp2", "swp3", "swp4"]
    members = asic._kern_get_vlan_members(101)
    members.append("x")
    assert asic._kern_get_vlan_members(101) == ["swp2", "swp3", "swp4"]
    assert asic._kern_get_vlan_members("100") == [] and asic._kern_get_vlan_members(7) == []
    assert str(asic.kern_vlan_cache[100]) == "vid: 100\n  tagged: swp2\n  untagged: swp1\n"
    assert kernel.ran().count(("/sbin/bridge", "-j", "vlan", "show")) == 1


@pytest.mark.parametrize("recorded, error, members", [
    ((1, "garbage"), None, []), ((0, '"other shape"'), None, []),
    ((0, "{not json"), json.JSONDecodeError, []),
    ((0, '{"swp1": [{"vlan": 5}], "swp2": [{"vlan": "five"}]}'), ValueError, ["swp1"]),
    ((0, '{"swp1": [{"vlan": 5}], "swp2": [{"vlan": null}], "swp3": [{"vlan": 5}]}'), TypeError,
     ["swp1"]),
    # A bridge's own VLAN objects are passed over before their id is read.
    ((0, '{"br0": [{"vlan": "five"}, {"vlan": null}], "swp1": [{"vlan": 5}]}'), None, ["swp1"]),
])
def test_bridge_vlan_faults(asic, kernel, recorded, error, members):
    kernel.commands[("/sbin/bridge", "-j", "vlan", "show")] = recorded
    if error:
        with pytest.raises(error):
            asic._kern_get_vlan_members(5)
    assert asic._kern_get_vlan_members(5) == members
    assert asic.kern_vlan_cache_created is True
    assert kernel.ran().count(("/sbin/bridge", "-j", "vlan", "show")) == 1


def test_vlan_devices_and_base_devices(asic, kernel):
    assert asic._kern_get_vlan_and_atlink("swp1.1100") == (1100, "swp1")
    assert asic._kern_get_vlan_and_atlink("swp1") == (None, None)
    assert str(asic.kern_vlan_dev_cache["vlan100"]) == "dev: vlan100 vid: 100 atlink: br0"
    base = asic._kern_base_dev_kind_get
    assert base("swp1.1100", 7) == ("swp", "swp1", 1100)
    assert base("vlan100") == ("bridge", "br0", 100)
    assert base("bond0.300") == ("bond", "bond0", 300)
    assert (base("swp2", 100), base("swp2")) == (("swp", "swp2", 100), ("swp", "swp2", -1))
    assert base("vlan0dev", 5) == ("vlan", "vlan0dev", 5)
    assert kernel.log.count(("read", "/proc/net/vlan/config")) == 1


@pytest.mark.parametrize("config, cached", [
    (None, []), ("VLAN Dev name | VLAN ID\n", []), ("head\nhead\n", []),
    ("head\nhead\na | 1 | b\nshort | 2\nc|3|d|e\na | 4 | f\n", ["dev: a vid: 4 atlink: f",
                                                               "dev: c vid: 3 atlink: d"]),
])
def test_vlan_device_table(asic, kernel, config, cached):
    kernel.files["/proc/net/vlan/config"] = config
    asic._kern_create_vlan_dev_cache()
    assert sorted(str(entry) for entry in asic.kern_vlan_dev_cache.values()) == cached


def test_vlan_device_table_fault_keeps_lines_before(asic, kernel):
    kernel.files["/proc/net/vlan/config"] = "h\nh\na | 1 | b\nc | x | d\n"
    with pytest.raises(ValueError, match="base 10: 'x'"):
        asic._kern_get_vlan_and_atlink("a")
    assert asic._kern_get_vlan_and_atlink("a") == (1, "b")


def test_bridge_members(asic, kernel):
    assert asic._kern_get_br_members("br1") == ["swp3.200", "swp3.300", "swp4.300"]
    assert asic._kern_get_br_members("br0") == ["swp1", "swp2", "swp3", "swp4"]
    assert asic._kern_get_br_members("swp1") == [] and asic.kern_br_cache["swp1"] == []
    asic._kern_get_br_members("br1")
    assert [entry for entry in kernel.log if entry[0] == "listdir"] == [
        ("listdir", "/sys/class/net/br1/brif"), ("listdir", "/sys/class/net/br0/brif"),
        ("listdir", "/sys/class/net/swp1/brif")]


@pytest.mark.parametrize("dev, vlan, grp, ports", [
    ("br0", 100, "239.1.0.0", ["swp1"]),
    ("br0", 100, "239.129.0.0", ["swp1"]),
    ("br0", 101, "239.1.0.1", ["swp3", "swp4"]),
    ("br0", -1, "239.1.0.0", None),
    ("br1", -1, "239.1.0.0", ["swp4"]),
    ("br1", -1, "239.1.0.7", ["swp3.300", "swp4.300"]),
    ("br1", 100, "239.1.0.0", None),
])
def test_multicast_database(asic, kernel, dev, vlan, grp, ports):
    entry = asic._kern_dev_get_mdb_entry(dev, vlan, asic._grp_ip2mac(grp))
    assert (entry and entry.swp) == ports
    asic._kern_dev_get_mdb_entry(dev, vlan, "01:00:5e:00:00:09")
    assert kernel.ran().count(("/sbin/bridge", "mdb", "show", "dev", dev)) == 1
    assert list(asic.kern_mdb_cache) == [dev]


def test_multicast_database_text(asic, kernel):
    asic._kern_dev_get_mdb_entry("br0", 100, "x")
    assert str(asic.kern_mdb_cache["br0"]) == (
        "dev: br0:\n  vid: 100 grp: 01:00:5e:01:00:00\n    port: swp1\n"
        "  vid: 101 grp: 01:00:5e:01:00:01\n    port: swp3\n    port: swp4\n")


def test_multicast_database_keys_by_the_objects_group_mac(state, kernel):
    asked = []

    class OwnMacs(fp.Asic):
        def _grp_ip2mac(self, grp):
            asked.append(grp)
            return "MAC-" + grp

    asic = OwnMacs()
    kernel.bridge("br5", [], mdb="dev br5 port swp1 grp 239.1.0.0 permanent\n"
                                 "dev br5 port swp2 grp 239.1.0.0 temp\n"
                                 "dev br5 port swp3 grp ff0e::1 permanent\n")
    assert asic._kern_dev_get_mdb_entry("br5", -1, "MAC-239.1.0.0").swp == ["swp1", "swp2"]
    assert list(asic.kern_mdb_cache["br5"].mdb_entries) == ["-1.MAC-239.1.0.0"]
    assert asked == ["239.1.0.0"]  # once per group, IPv6 groups skipped before
    asic.flood_mdb_misses, asic.tmp_encaps = False, set()
    asic._expand_kern_dev("239.1.0.0", "br1")
    assert asic.tmp_encaps == {"swp4"}


@pytest.mark.parametrize("grp", ["ff0e::1", "239.1.2", "239.1.2.256", "x.1.2.3", 5])
def test_group_mac_refuses_what_is_not_ipv4(asic, grp):
    with pytest.raises((ValueError, TypeError)):
        asic._grp_ip2mac(grp)
