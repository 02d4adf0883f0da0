"""The fanoutprobe module against a plain pure-Python implementation of the
same parse and comparison (pure_fanoutprobe.py), side by side in one
process.

The simulated ASIC (the bcmshell stand-in's state generator) has 128 ports,
1K VLANs, 1K replication groups and 32K routes; the recorded kernel, given
to both through the module's private seam `_kernel_seam`, has a VLAN-aware
bridge over 112 ports and 8 bonds (2 slaves each), a VLAN device per VLAN
and per tagged port VLAN, the bridge VLAN table as JSON and 64K multicast
database lines. The kernel's view of every route agrees with the hardware
but for 1%, where one of four differences is injected; every answer and
every recorded difference is checked exactly before anything is timed.

Timed, medians of the rounds: a. construction (shell outputs recorded
once, so the stand-in's rendering is not timed); b. comparison of every
route on a fresh Asic (kernel state read on first use, as in use); c. the
report (the text form); d. the comparison again at 64K routes, for the
scaling of both.

    sh scripts/build
    PYTHONPATH=build/python:host/python /usr/bin/python3 bench/fanoutprobe_speed.py [--quick]
"""

import argparse
import gc
import json
import os
import statistics
import sys
import time

BENCH = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(BENCH)
for path in (BENCH, os.path.join(ROOT, "build", "python"), os.path.join(ROOT, "host", "python")):
    if path not in sys.path:
        sys.path.insert(0, path)

import bcmshell  # noqa: E402
import tervane.fanoutlib  # noqa: E402
import tervane.porttab  # noqa: E402

import fanoutprobe  # noqa: E402
import pure_fanoutprobe  # noqa: E402

PORTS, VLANS, GROUPS, BONDS, BRIDGE_PORTS = 128, 1024, 1024, 8, 112
IIF_TEXT = "kernel IIF does not match hw IIF"
HW_L3, KERN_L3 = "hw has OIFs not in the kernel", "kernel has OIFs not in the hw"
HW_L2, KERN_L2 = "hw has L2-OIFs not in the kernel", "kernel has L2-OIFs not in the hw"


class RecordedKernel(object):
    """The kernel both implementations read: commands, files, directories."""

    def __init__(self):
        self.commands, self.files, self.dirs = {}, {}, {}

    def run(self, cmd):
        return self.commands.get(tuple(cmd), (1, ""))

    def read(self, path):
        return self.files.get(path)

    def listdir(self, path):
        names = self.dirs.get(path)
        return None if names is None else list(names)

    def link(self, dev, kind):
        self.commands[("/bin/ip", "-d", "link", "show", dev)] = (
            0, "9: %s: <UP> mtu 1500\n    link/ether 0a:0b:0c:0d:0e:0f\n    %s extra\n" % (dev, kind))


def vlan_members(vid):
    """(port, untagged) of the bridge ports in a VLAN, bonds last."""
    ports = [("swp%d" % n, n % 2 == 0) for n in range(1, BRIDGE_PORTS + 1) if (n + vid) % 4 == 0]
    return ports + [("bond%d" % b, False) for b in range(BONDS)]


def build_world(routes):
    """The ASIC state (shell outputs recorded), the kernel, the kernel's
    routes (key, iif, oil) and the differences each route must carry."""
    state = bcmshell.AsicState.generate(ports=PORTS, vlans=VLANS, groups=GROUPS, routes=routes)
    bcmshell.install(state)
    tervane.porttab.install(state.linux_names())
    tervane.fanoutlib.reset()
    reference = pure_fanoutprobe.Asic(RecordedKernel())
    for command in [entry for entry in state.log if isinstance(entry, str)]:
        state.raw[command] = bcmshell.bcmshell().run(command)
    kernel = RecordedKernel()
    slaves = {}
    for b in range(BONDS):
        dev = "bond%d" % b
        slaves[dev] = ["swp%d" % (BRIDGE_PORTS + 1 + 2 * b), "swp%d" % (BRIDGE_PORTS + 2 + 2 * b)]
        kernel.link(dev, "bond")
        kernel.files["/sys/class/net/%s/bonding/slaves" % dev] = " ".join(slaves[dev]) + "\n"
    kernel.link("br0", "bridge")
    kernel.files["/sys/class/net/br0/bridge/vlan_filtering"] = "1\n"
    kernel.dirs["/sys/class/net/br0/brif"] = ["swp%d" % n for n in range(1, BRIDGE_PORTS + 1)] + sorted(slaves)
    listing = [{"ifname": "br0", "vlans": [{"vlan": 100 + v} for v in range(VLANS)]}]
    per_port = {}
    for v in range(VLANS):
        for port, untagged in vlan_members(100 + v):
            per_port.setdefault(port, []).append(
                {"vlan": 100 + v, "flags": ["Egress Untagged"] if untagged else []})
    listing += [{"ifname": port, "vlans": vlans} for port, vlans in per_port.items()]
    kernel.commands[("/sbin/bridge", "-j", "vlan", "show")] = (0, json.dumps(listing))
    devices = [("vlan%d" % (100 + v), 100 + v, "br0") for v in range(VLANS)]
    kernel_routes, expected, mdb, sub_interfaces = [], {}, [], set()
    for index, key in enumerate(sorted(reference.mroutes)):
        hmroute = reference.mroutes[key]
        group = reference.replication_groups[hmroute.grp]
        hw_l3, hw_l2 = sorted(group.get_l3_linux_encaps()), sorted(group.get_l2_linux_encaps())
        iif = "vlan%d" % hmroute.iif
        for name in hw_l3:
            if "." in name:
                sub_interfaces.add(name)
        oil = [iif] + hw_l3
        lines = ["dev br0 port %s grp %s permanent vid %d\n" % (port, hmroute.dip, hmroute.iif)
                 for port in hw_l2 * 2]
        texts = ([], [])
        kind = (index // 100) % 4 if index % 100 == 7 else None
        if kind == 0:
            oil.pop()
            texts = ([], [HW_L3])
        elif kind == 1:
            far = "swp%d" % ((int(hw_l3[0].split(".")[0][3:]) + 63) % PORTS + 1)
            oil.append(far)
            texts = ([], [KERN_L3])
        elif kind == 2:
            lines = []  # a database miss: the bridge floods to the VLAN's members
            flood = set()
            for port, _ in vlan_members(hmroute.iif):
                flood.update(slaves.get(port, [port]))
            texts = ([], ([HW_L2] if set(hw_l2) - flood else []) + ([KERN_L2] if flood - set(hw_l2) else []))
        elif kind == 3:
            iif = oil[0] = "swp%d" % ((int(hw_l3[0].split(".")[0][3:]) + 63) % PORTS + 1)
            texts = ([IIF_TEXT], [HW_L2])
        mdb.extend(lines)
        kernel_routes.append((key, iif, oil))
        expected[key] = texts
    for name in sorted(sub_interfaces):
        port, vid = name.split(".")
        devices.append((name, int(vid), port))
    for dev, _, _ in devices:
        kernel.link(dev, "vlan")
    kernel.files["/proc/net/vlan/config"] = (
        "VLAN Dev name    | VLAN ID\nName-Type: VLAN_NAME_TYPE_RAW_PLUS_VID_NO_PAD\n" +
        "".join("%-15s| %-4d | %s\n" % row for row in devices))
    kernel.commands[("/sbin/bridge", "mdb", "show", "dev", "br0")] = (0, "".join(mdb))
    return state, kernel, kernel_routes, expected


def make(implementation, kernel):
    if implementation == "module":
        fanoutprobe._kernel_seam = kernel
        return fanoutprobe.Asic()
    return pure_fanoutprobe.Asic(kernel)


def compare_all(asic, kernel_routes):
    eq = asic.mroute_eq
    return [eq(key, iif, oil) for key, iif, oil in kernel_routes]


def check(world):
    """Both implementations give exactly the expected answers and texts."""
    state, kernel, kernel_routes, expected = world
    reports = []
    for implementation in ("module", "pure"):
        asic = make(implementation, kernel)
        answers = compare_all(asic, kernel_routes)
        for (key, _, _), answer in zip(kernel_routes, answers):
            hmroute = asic.mroutes[key]
            got = (list(hmroute.iif_mismatch), list(hmroute.oil_mismatch))
            if got != expected[key] or answer is not (got == ([], [])):
                sys.exit("%s: %s gave %r %r, expected %r" % (implementation, key, answer, got, expected[key]))
        reports.append(str(asic))
    if reports[0] != reports[1]:
        sys.exit("the two reports differ")
    differing = sum(1 for texts in expected.values() if texts != ([], []))
    print("checked: %d routes, %d with injected differences, answers and report equal"
          % (len(kernel_routes), differing))


def timed(function):
    """Seconds `function` takes, with the collector on. Objects alive before
    the call are frozen out of the collector's scans, so a full collection
    costs what the timed work made, not what the bench keeps alive (the
    other implementation's tables, the simulated kernel)."""
    gc.collect()
    gc.freeze()
    try:
        start = time.perf_counter()
        function()
        return time.perf_counter() - start
    finally:
        gc.unfreeze()


def measure(world, rounds):
    """Medians per implementation: construction, comparison, report."""
    _, kernel, kernel_routes, _ = world
    samples = {(impl, case): [] for impl in ("module", "pure") for case in ("build", "compare", "report")}
    for round_number in range(rounds):
        order = ("module", "pure") if round_number % 2 == 0 else ("pure", "module")
        for implementation in order:
            samples[(implementation, "build")].append(timed(lambda: make(implementation, kernel)))
            asic = make(implementation, kernel)
            samples[(implementation, "compare")].append(timed(lambda: compare_all(asic, kernel_routes)))
            samples[(implementation, "report")].append(timed(lambda: str(asic)))
    return {key: statistics.median(values) for key, values in samples.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true", help="fewer rounds")
    rounds = 3 if parser.parse_args().quick else 7
    results = {}
    for routes in (32768, 65536):
        world = build_world(routes)
        print("routes: %d, multicast database lines: %d" % (
            routes, world[1].commands[("/sbin/bridge", "mdb", "show", "dev", "br0")][1].count("\n")))
        check(world)
        results[routes] = measure(world, rounds)
    print("\n%-28s %12s %12s %8s" % ("median seconds", "module", "pure", "ratio"))
    for routes, medians in results.items():
        for case, title in (("build", "construction"), ("compare", "comparison"), ("report", "report")):
            module, pure = medians[("module", case)], medians[("pure", case)]
            print("%-28s %12.4f %12.4f %7.1fx" % ("%s, %dK routes" % (title, routes // 1024),
                                                  module, pure, pure / module))
    for implementation in ("module", "pure"):
        print("comparison scaling, %s: 64K/32K routes = %.2fx" % (
            implementation, results[65536][(implementation, "compare")] /
            results[32768][(implementation, "compare")]))
    fanoutprobe._kernel_seam = None


if __name__ == "__main__":
    main()
