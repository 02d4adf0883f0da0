"""How fanoutprobe's Asic construction grows with the size of the switch.

Ports, VLAN translations and routes grow together, with a replication
group per four ports; every group has three L3 members spread over the
whole port map (half of the ports translate their VLAN, the other half send
it untagged or tagged as the VLAN says) and one L2 member. So every port
VLAN row walks the port map, and every L3 member looks its port up in the
port map, its VLAN in the translations and, for an untranslated port, in
the VLAN's untagged list: each table is read once and each question must
cost the same at any size.

The shell's outputs are recorded once (the stand-in's rendering is not
timed) and the collector is off while timing. Quadrupling the tables
should about quadruple the time; a lookup that rereads a whole table per
question shows up as a factor near 16.

    sh scripts/build
    PYTHONPATH=build/python:host/python /usr/bin/python3 bench/fanoutprobe_construction_growth.py
"""

import gc
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
for path in (os.path.join(ROOT, "build", "python"), os.path.join(ROOT, "host", "python")):
    if path not in sys.path:
        sys.path.insert(0, path)

import bcmshell  # noqa: E402
import tervane.fanoutlib  # noqa: E402
import tervane.porttab  # noqa: E402

import fanoutprobe  # noqa: E402

SIZES = (8192, 16384, 32768)
BOUND = 5.0  # the allowed growth when the tables grow x4
ROUNDS = 3


def install_switch(size):
    """A simulated switch of `size` ports, translations and routes, with
    every shell output recorded."""
    vlans = 2
    state = bcmshell.AsicState.generate(ports=size, vlans=vlans, groups=size // 4, routes=size,
                                        translated=size // vlans)
    names = [port.dport for port in state.ports]
    for index, group in enumerate(state.groups):
        group.members = [(names[(4 * index + k) % size], (index + k) % vlans + 1)
                         for k in range(3)] + [(names[index % size], -1)]
    bcmshell.install(state)
    tervane.porttab.install(state.linux_names())
    tervane.fanoutlib.reset()
    fanoutprobe.Asic()
    for command in [entry for entry in state.log if isinstance(entry, str)]:
        state.raw[command] = bcmshell.bcmshell().run(command)


def construction_seconds():
    """The fastest of a few constructions, with the collector off."""
    best = float("inf")
    for _ in range(ROUNDS):
        gc.collect()
        gc.disable()
        try:
            start = time.perf_counter()
            fanoutprobe.Asic()
            best = min(best, time.perf_counter() - start)
        finally:
            gc.enable()
    return best


def main():
    seconds = {}
    previous = None
    for size in SIZES:
        install_switch(size)
        seconds[size] = construction_seconds()
        step = "" if previous is None else "  x%.2f" % (seconds[size] / previous)
        print("%6d ports, translations and routes, %5d groups: %8.1f ms%s"
              % (size, size // 4, seconds[size] * 1000, step))
        previous = seconds[size]
    growth = seconds[SIZES[-1]] / seconds[SIZES[0]]
    print("construction growth %dK -> %dK: x%.2f (at most x%.0f)"
          % (SIZES[0] // 1024, SIZES[-1] // 1024, growth, BOUND))
    bcmshell.clear()
    tervane.porttab.clear()


if __name__ == "__main__":
    main()
