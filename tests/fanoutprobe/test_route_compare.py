"""Outgoing interface expansion and the route comparison over the recorded
kernel of kernel_fixtures.py and the simulated ASIC of conftest.py, where
route 0 ("default, (10.0.0.0, 239.1.0.0)") has hardware IIF 100, L3
members swp1.1100, swp2, swp3 and the L2 member swp1, and route 1 (group
239.1.0.1) IIF 101, L3 members swp2, swp3, swp4 and the L2 member swp2."""

import collections

import pytest

import fanoutprobe as fp

from kernel_fixtures import asic, kernel  # noqa: F401

KEY0 = "default, (10.0.0.0, 239.1.0.0)"
KEY1 = "default, (10.0.0.1, 239.1.0.1)"
IIF_TEXT = "kernel IIF does not match hw IIF"
HW_L3, KERN_L3 = "hw has OIFs not in the kernel", "kernel has OIFs not in the hw"
HW_L2, KERN_L2 = "hw has L2-OIFs not in the kernel", "kernel has L2-OIFs not in the hw"
AGREEING = ["vlan100", "swp1.1100", "swp2", "swp3"]


@pytest.mark.parametrize("dev, grp, flood, names", [
    ("swp3", "239.1.0.0", True, {"swp3"}),
    ("swp3.200", "239.1.0.0", True, {"swp3.200"}),
    ("bond0", "239.1.0.0", True, {"swp3", "swp4"}),
    ("bond0.300", "239.1.0.0", True, {"swp3.300", "swp4.300"}),
    ("vlan100", "239.1.0.0", True, {"swp1.100"}),
    ("vlan101", "239.1.0.1", False, {"swp3.101", "swp4.101"}),
    ("vlan100", "239.9.9.9", True, {"swp2.100", "swp1.100"}),
    ("vlan100", "239.9.9.9", False, set()),
    ("br0", "239.1.0.0", True, set()),
    ("br1", "239.1.0.0", True, {"swp4"}),
    ("br1", "239.9.9.9", True, {"swp3.200", "swp3.300", "swp4.300"}),
    ("br1", "239.9.9.9", False, set()),
    ("vlan0dev", "239.1.0.0", True, set()),
    ("veth9", "239.1.0.0", True, set()),
])
def test_expansion(asic, kernel, dev, grp, flood, names):
    kernel.link("veth9", "veth")
    asic.flood_mdb_misses = flood
    asic.tmp_encaps = {"kept"}
    assert asic._expand_kern_dev(grp, dev) is None
    assert asic.tmp_encaps == names | {"kept"}


def test_expansion_sees_a_subclass_device_kind(state, kernel):
    class OwnKinds(fp.Asic):
        def _kern_dev_kind_get(self, dev):
            return {"eth9": "swp", "team0": "bond"}.get(dev) or fp.Asic._kern_dev_kind_get(self, dev)

    asic = OwnKinds()
    kernel.files["/sys/class/net/team0/bonding/slaves"] = "swp1 swp2\n"
    asic.tmp_encaps = set()
    for dev in ("eth9", "team0", "swp3.200"):
        asic._expand_kern_dev("239.1.0.0", dev)
    assert asic.tmp_encaps == {"eth9", "swp1", "swp2", "swp3.200"}
    assert not [words for words in kernel.ran() if words[-1] in ("eth9", "team0")]


def test_each_device_costs_one_command_for_the_life_of_the_asic(asic, kernel):
    for _ in range(2):
        for key in (KEY0, KEY1):
            for iif in ("vlan100", "vlan101", "br0", "br1", "bond0", "swp1.1100", "nothere"):
                asic.mroute_eq(key, iif, AGREEING + ["bond0.300", "br1", "nothere", "vlan0dev"])
    counts = collections.Counter(kernel.ran())
    assert counts and set(counts.values()) == {1}
    assert ("/bin/ip", "-d", "link", "show", "nothere") in counts


def test_expansion_with_parent_vlan_and_empty_database_entry(asic, kernel):
    asic.tmp_encaps = set()
    asic._expand_kern_dev("239.1.0.0", "bond0", 42)
    asic._expand_kern_dev("239.1.0.0", "swp2", 42)
    assert asic.tmp_encaps == {"swp3.42", "swp4.42", "swp2.42"}
    kernel.files["/sys/class/net/bond0/bonding/slaves"] = None
    asic.tmp_encaps = set()
    asic._expand_kern_dev("239.1.0.1", "vlan101")  # the entry lists bond0, now slave-less
    assert asic.tmp_encaps == set()


@pytest.mark.parametrize("key, iif, oil, iif_texts, oil_texts", [
    (KEY0, "vlan100", AGREEING, [], []),
    (KEY0, "vlan100", ["swp1.1100", "swp2"], [], [HW_L3]),
    (KEY0, "vlan100", AGREEING + ["swp4", "swp2"], [], [KERN_L3]),
    (KEY0, "vlan100", ["swp1.1100", "swp2", "swp4"], [], [HW_L3, KERN_L3]),
    (KEY0, "vlan100", ["swp1", "swp2", "swp3"], [], [HW_L3, KERN_L3]),
    (KEY0, "vlan100", [], [], [HW_L3]),
    (KEY0, "swp2", ["swp1.1100", "swp2", "swp3"], [IIF_TEXT], [HW_L3, HW_L2]),
    (KEY0, "swp1.1100", ["swp2", "swp3"], [], [HW_L3, HW_L2]),
    (KEY0, "swp9", AGREEING[1:], [IIF_TEXT], [HW_L2]),
    (KEY0, "br0", AGREEING[1:], [IIF_TEXT], [HW_L2]),
    (KEY1, "vlan101", ["swp2", "bond0"], [], [HW_L2, KERN_L2]),
    (KEY1, "br1", ["swp2", "bond0"], [IIF_TEXT], [HW_L2, KERN_L2]),
])
def test_comparison(asic, key, iif, oil, iif_texts, oil_texts):
    asic.linux_ports.append("swp9")  # a switch port the SDK port map lacks
    hmroute = asic.mroutes[key]
    assert asic.mroute_eq(key, iif, oil) is (not iif_texts and not oil_texts)
    assert (hmroute.iif_mismatch, hmroute.oil_mismatch) == (iif_texts, oil_texts)


def test_differences_accumulate(asic):
    hmroute = asic.mroutes[KEY0]
    assert asic.mroute_eq(KEY0, "vlan100", ["swp2"]) is False
    assert asic.mroute_eq(KEY0, "vlan100", AGREEING) is False
    assert asic.mroute_eq(KEY0, "vlan100", ["swp2"]) is False
    assert hmroute.oil_mismatch == [HW_L3, HW_L3]
    assert asic.mroute_eq(KEY1, "vlan101", ["swp2", "swp3", "swp4"]) is False


@pytest.mark.parametrize("key", ["default, (10.9.9.9, 239.1.0.0)", "no key", ""])
def test_route_the_hardware_lacks(asic, kernel, key):
    assert asic.mroute_eq(key, "nothere", ["a/b", "eth7"]) is True
    assert kernel.log == []
    assert not hasattr(asic, "tmp_encaps")


def test_key_that_does_not_split_uses_the_route_group(asic):
    hmroute = asic.mroutes.pop(KEY0)
    asic.mroutes["odd key"] = hmroute
    assert asic._key_to_sip_dip("odd key") == (None, None, None)
    assert asic.mroute_eq("odd key", "vlan100", AGREEING) is True


def test_first_member_is_the_smallest_name(asic):
    asic.mroute_eq(KEY1, "bond0", [])
    assert asic.tmp_encaps == {"swp4"}  # swp3 was taken as the IIF's member


@pytest.mark.parametrize("kind, iif_vlan, member, vlan", [
    ("bridge", 100, "", 100),
    ("bridge", -1, "", -1),
    ("swp", 100, None, -1),
    ("swp", 5, "swp2", 1),
    ("bond", 5, "swp2.-1", 1),
    ("swp", -1, "swp1.1100", 100),
    ("swp", -1, "swp1.1100.7", 100),
    ("swp", -1, "swp1.9", -1),
    ("swp", -1, "swp9", -1),
])
def test_kernel_iif_to_hardware_vlan(asic, kind, iif_vlan, member, vlan):
    assert asic._kern_iif_to_hw_vlan(kind, "x", iif_vlan, member) == vlan


def test_kernel_iif_member_fault(asic):
    with pytest.raises(ValueError, match="base 10: 'x'"):
        asic._kern_iif_to_hw_vlan("swp", "swp1", -1, "swp1.x")
