"""The kernel readers against real devices: bridges, a veth pair, a tap
device and permanent multicast database entries, made in a private network
and mount namespace (root only; skipped otherwise)."""

import json
import os
import shutil
import subprocess
import sys

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))


@pytest.fixture(scope="module")
def answers():
    if os.geteuid() != 0 or not shutil.which("unshare"):
        pytest.skip("needs root and unshare for a private network namespace")
    if subprocess.run(["unshare", "-n", "-m", "true"]).returncode != 0:
        pytest.skip("private namespaces are not available here")
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    done = subprocess.run(["unshare", "-n", "-m", "/usr/bin/python3",
                           os.path.join(HERE, "netns_probe.py")],
                          capture_output=True, text=True, env=env)
    assert done.returncode == 0, done.stderr
    return json.loads(done.stdout)


@pytest.mark.parametrize("name, expected", [
    ("kinds", ["bridge", "veth", "swp", "unk"]),
    ("vlan_filtering", 0),
    ("members", [["swp1", "swp2"], [], []]),
    ("mdb", [["swp1", "swp2"], ["swp1"], None]),
    ("mdb_entries", ["-1.01:00:5e:01:00:00", "-1.01:00:5e:01:00:01"]),
    ("bond_slaves", []),
    ("vlan_members", []),
    ("vlan_devices", [None, None]),
    ("expansions", [["swp1"], ["swp1", "swp2"], [], ["swp2"]]),
    ("compare", False),
    ("texts", [["kernel IIF does not match hw IIF"],
               ["hw has OIFs not in the kernel", "kernel has L2-OIFs not in the hw"]]),
    ("kinds_cached", ["br0", "br1", "nothere", "swp1", "swp2", "swp3", "v1"]),
])
def test_real_kernel_devices(answers, name, expected):
    assert answers[name] == expected
