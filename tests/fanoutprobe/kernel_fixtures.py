"""A recorded kernel beside the small simulated ASIC of conftest.py: two
bridges (br0 filtering VLANs, br1 not), a bond, VLAN devices on ports,
bridges and the bond, and the bridge VLAN table."""

import json

import pytest

import fanoutprobe as fp

from fanoutprobe_helpers import RecordedKernel

BRIDGE_VLANS = {
    "swp1": [{"vlan": 100, "flags": ["PVID", "Egress Untagged"]}],
    "swp2": [{"vlan": 100}, {"vlan": 101, "flags": []}],
    "bond0": [{"vlan": 101, "flags": ["Egress Untagged"]}],
    "br0": [{"vlan": 100, "flags": ["Egress Untagged"]}, {"vlan": 101}],
}


def recorded_kernel():
    kernel = RecordedKernel()
    kernel.bond("bond0", ["swp3", "swp4"])
    kernel.bridge("br0", ["swp1", "swp2", "bond0"], vlan_filtering=1, mdb=(
        "dev br0 port swp1 grp 239.1.0.0 permanent vid 100\n"
        "dev br0 port bond0 grp 239.1.0.1 permanent vid 101\n"
        "dev br0 port swp2 grp ff0e::1 permanent vid 100\n"
        "dev br1 port swp2 grp 239.1.0.0 permanent vid 100\n"))
    kernel.bridge("br1", ["swp3.200", "bond0.300"], mdb=(
        "dev br1 port swp4 grp 239.1.0.0 permanent\n"
        "dev br1 port bond0.300 grp 239.1.0.7 temp\n"))
    kernel.vlan_devices([("vlan100", 100, "br0"), ("vlan101", 101, "br0"),
                         ("swp1.1100", 1100, "swp1"), ("swp3.200", 200, "swp3"),
                         ("bond0.300", 300, "bond0"), ("vlan0dev", 0, "br0")])
    kernel.bridge_vlans(json.dumps(BRIDGE_VLANS))
    return kernel


@pytest.fixture
def kernel():
    recorded = recorded_kernel()
    fp._kernel_seam = recorded
    yield recorded
    fp._kernel_seam = None


@pytest.fixture
def asic(build, kernel):
    made = build()
    kernel.log.clear()
    return made
