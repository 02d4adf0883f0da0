"""Run inside a private network and mount namespace (see
test_kernel_namespace.py): makes real bridges, a veth pair and a tap device
with permanent multicast database entries (an IPv6 group beside the IPv4
ones), then asks fanoutprobe about them and prints the answers as JSON."""

import json
import subprocess
import sys

import bcmshell
import tervane.porttab

import fanoutprobe as fp

SETUP = [
    "mount --make-rprivate /", "mount -t sysfs sysfs /sys",
    "ip link add br0 type bridge", "ip link add br1 type bridge",
    "ip link add swp1 type veth peer name v1", "ip tuntap add swp2 mode tap",
    "ip link set swp1 master br0", "ip link set swp2 master br0",
    "ip link set br0 up", "ip link set swp1 up", "ip link set swp2 up",
    "bridge mdb add dev br0 port swp1 grp 239.1.0.0 permanent",
    "bridge mdb add dev br0 port swp2 grp 239.1.0.0 permanent",
    "bridge mdb add dev br0 port swp2 grp ff0e::1 permanent",
    "bridge mdb add dev br0 port swp1 grp 239.1.0.1 permanent",
]


def main():
    for command in SETUP:
        subprocess.run(command.split(), check=True)
    state = bcmshell.AsicState.generate(ports=4, vlans=2, groups=2)
    bcmshell.install(state)
    tervane.porttab.install(state.linux_names())
    asic = fp.Asic()
    mac = asic._grp_ip2mac

    def ports(entry):
        return None if entry is None else sorted(entry.swp)

    def expansion(grp, dev):
        asic.tmp_encaps = set()
        asic._expand_kern_dev(grp, dev)
        return sorted(asic.tmp_encaps)

    answers = {
        "kinds": [asic._kern_dev_kind_get(dev) for dev in ("br0", "v1", "swp1", "nothere")],
        "vlan_filtering": asic._kern_dev_vlan_filtering_get("br0"),
        "members": [sorted(asic._kern_get_br_members(dev)) for dev in ("br0", "br1", "v1")],
        "mdb": [ports(asic._kern_dev_get_mdb_entry("br0", -1, mac(grp)))
                for grp in ("239.1.0.0", "239.1.0.1", "239.1.0.2")],
        "mdb_entries": sorted(asic.kern_mdb_cache["br0"].mdb_entries),
        "bond_slaves": asic._expand_kern_bond("br0"),
        "vlan_members": asic._kern_get_vlan_members(100),
        "vlan_devices": asic._kern_get_vlan_and_atlink("br0"),
        "expansions": [expansion("239.1.0.1", "br0"), expansion("239.1.0.9", "br0"),
                       expansion("239.1.0.0", "br1"), expansion("239.1.0.0", "swp2")],
        "compare": asic.mroute_eq("default, (10.0.0.0, 239.1.0.0)", "br0", ["swp2", "swp3", "v1"]),
        "texts": [asic.mroutes["default, (10.0.0.0, 239.1.0.0)"].iif_mismatch,
                  asic.mroutes["default, (10.0.0.0, 239.1.0.0)"].oil_mismatch],
        "kinds_cached": sorted(asic.kern_dev_cache),
    }
    json.dump(answers, sys.stdout)


if __name__ == "__main__":
    main()
