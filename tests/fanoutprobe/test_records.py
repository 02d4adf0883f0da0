"""The record classes: members, operations and text forms."""

import pytest

import fanoutprobe as fp


@pytest.mark.parametrize("record, text", [
    (fp.PortmapEntry("xe0", 1, "swp1"), "dport: xe0, lport: 1, linux_port: swp1, port_vid: -1"),
    (fp.PortmapEntry("xe0", 1, None), "dport: xe0, lport: 1, linux_port: None, port_vid: -1"),
    (fp.VlanXlate(3, 100, 1100), "lport: 3, ivid: 100, evid: 1100"),
    (fp.VlanEntry(10, ["xe1", "xe2"]), "vid: 10, untagged_ports: xe1,xe2"),
    (fp.VlanEntry(10, []), "vid: 10, untagged_ports: "),
    (fp.Encap("swp1", "xe0", -1, -1, -1), "port: swp1"),
    (fp.Encap("swp1", "xe0", 5, 100, 100), "port: swp1, vlan: 100"),
    (fp.Encap("swp1", "xe0", 5, 100, 0), "port: swp1, vlan: 0"),
    (fp.ReplicationGroup(1, [], []), ""),
    (fp.ReplicationGroup(1, [fp.Encap("swp2", "xe1", -1, -1, -1)], []),
     "  L2 replication ports:\n    port: swp2\n"),
    (fp.ReplicationGroup(1, [fp.Encap("swp2", "xe1", -1, -1, -1)],
                         [fp.Encap("swp1", "xe0", 5, 100, 100)]),
     "  port: swp1, vlan: 100\n  L2 replication ports:\n    port: swp2\n"),
    (fp.Hmroute("10.0.0.1", "239.1.1.1", 100, 1, "default"), "default, (10.0.0.1, 239.1.1.1), iif: 100"),
    (fp.KernDevEntry("br0", "bridge", 1), "br0: kind: bridge vlan_filtering: 1\n"),
    (fp.KernVlanDevEntry("br0.10", 10, "br0"), "dev: br0.10 vid: 10 atlink: br0"),
    (fp.KernVlanEntry(10), "vid: 10\n  tagged: \n  untagged: \n"),
    (fp.KernMdbEntry(-1, "01:00:5e:01:01:01"), "  grp: 01:00:5e:01:01:01\n"),
    (fp.KernMdbEntry(0, "01:00:5e:01:01:01"), "  vid: 0 grp: 01:00:5e:01:01:01\n"),
    (fp.KernMdbCache("br0", 0), "dev: br0:\n"),
])
def test_text_forms(record, text):
    assert str(record) == text


class Unprintable:
    def __str__(self):
        raise LookupError("unprintable")


def with_port(entry, port):
    entry.add_port(port)
    return entry


@pytest.mark.parametrize("record", [
    fp.Hmroute("10.0.0.1", "239.1.1.1", 100, 1, Unprintable()),
    fp.KernMdbEntry(-1, Unprintable()),
    fp.KernMdbEntry(0, Unprintable()),
    with_port(fp.KernMdbEntry(0, "01:00:5e:01:01:01"), Unprintable()),
    fp.KernMdbCache(Unprintable(), 0),
    fp.KernMdbCache("br0", 0, {"01:00:5e:01:01:01": Unprintable()}),
])
def test_a_text_form_passes_on_the_error_of_a_part(record):
    with pytest.raises(LookupError, match="unprintable"):
        str(record)


def test_route_members_and_differences():
    route = fp.Hmroute("10.0.0.1", "239.1.1.1", 100, 1, "default")
    assert vars(route) == {"sip": "10.0.0.1", "dip": "239.1.1.1", "iif": 100, "kernel_iif": None,
                           "grp": 0x2000001, "iif_mismatch": [], "oil_mismatch": [], "vrf": "default"}
    assert list(vars(route)) == ["sip", "dip", "iif", "kernel_iif", "grp", "iif_mismatch",
                                 "oil_mismatch", "vrf"]
    assert fp.Hmroute("a", "b", 1, 0x2000005, "v").grp == 0x2000005
    other = fp.Hmroute("a", "b", 1, 1, "v")
    assert other.iif_mismatch is not route.iif_mismatch
    route.iif_mismatch.append("kernel IIF does not match hw IIF")
    route.oil_mismatch.append("kernel has OIFs not in the hw")
    assert str(route).split("\n") == ["default, (10.0.0.1, 239.1.1.1), iif: 100", "  errors:",
                                      "    kernel IIF does not match hw IIF",
                                      "    kernel has OIFs not in the hw"]
    route.kernel_iif = "br0"
    assert str(route).startswith("default, (10.0.0.1, 239.1.1.1), iif: br0\n")


def test_record_operations():
    entry = fp.PortmapEntry("xe0", 1, "swp1")
    entry.update_port_vid(10)
    assert str(entry).endswith("port_vid: 10")
    tagged = fp.Encap("swp1", "xe0", 5, 100, 100)
    assert tagged.encap2swp() == "swp1.100"
    assert fp.Encap("swp1", "xe0", -1, -1, -1).encap2swp() == "swp1"
    group = fp.ReplicationGroup(1, [fp.Encap("swp3", "xe2", -1, -1, -1)],
                                [tagged, fp.Encap("swp1", "xe0", 6, 100, 100)])
    assert group.get_l3_linux_encaps() == {"swp1.100"}
    assert group.get_l2_linux_encaps() == {"swp3"}
    assert fp.ReplicationGroup(1, [], []).get_l2_linux_encaps() == set()


def test_kernel_records_grow_by_add_port():
    vlan = fp.KernVlanEntry(10)
    for port, untagged in (("swp1", 0), ("swp2", False), ("swp3", 1), ("swp1", True)):
        vlan.add_port(port, untagged)
    assert str(vlan) == "vid: 10\n  tagged: swp1,swp2\n  untagged: swp3,swp1\n"
    entry = fp.KernMdbEntry(10, "01:00:5e:00:00:01")
    entry.add_port("swp1")
    entry.add_port("swp1")
    assert str(entry) == "  vid: 10 grp: 01:00:5e:00:00:01\n    port: swp1\n    port: swp1\n"
    first, second = fp.KernMdbCache("br0", 1), fp.KernMdbCache("br1", 1)
    first.mdb_entries["k"] = entry
    assert second.mdb_entries == {}
    assert str(first) == "dev: br0:\n" + str(entry)
    shared = {}
    assert fp.KernMdbCache("br2", 0, shared).mdb_entries is shared


def test_classes_are_plain_python_classes():
    names = ["KernMdbEntry", "KernMdbCache", "KernVlanEntry", "KernVlanDevEntry", "KernDevEntry",
             "PortmapEntry", "VlanXlate", "VlanEntry", "Encap", "ReplicationGroup", "Hmroute", "Asic"]
    for name in names:
        cls = getattr(fp, name)
        assert cls.__bases__ == (object,) and cls.__module__ == "fanoutprobe"
    assert fp.Asic._devs_supported == ("bridge", "bond", "vlan", "swp")
    with pytest.raises(TypeError, match="missing 1 required positional argument: 'grp'"):
        fp.KernMdbEntry(1)
