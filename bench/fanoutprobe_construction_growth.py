"""How fanoutprobe's Asic construction grows with the size of the switch.

Ports, VLAN translations and routes grow together, with a replication
group per four ports: the simulated ASIC of the bcmshell stand-in with 8
VLANs, each translated on an eighth of the ports, and its own placement of
group members (three L3 members on neighbouring ports, one L2 member). So
every port VLAN row walks the port map, and every L3 member looks its port
up in the port map and its VLAN in the translations and, for half of them
(untranslated ports), in the VLAN's untagged list: each table is read once
and each question must cost the same at any size.

The shell's outputs are recorded once (the stand-in's rendering is not
timed) and the collector is off while timing. It prints the times and
their growth, nothing more: quadrupling the tables about quadruples the
work (a little more time: larger tables fit the processor's caches less
well, and on a machine shared with other work less well still); a lookup
that rereads a whole table per question shows up as a factor near 16.

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
VLANS = 8
ROUNDS = 5


def install_switch(size):
    """A simulated switch of `size` ports, translations and routes, with
    every shell output recorded."""
    state = bcmshell.AsicState.generate(ports=size, vlans=VLANS, groups=size // 4, routes=size,
                                        translated=size // VLANS)
    bcmshell.install(state)
    tervane.porttab.install(state.linux_names())
    tervane.fanoutlib.reset()
    fanoutprobe.Asic()
    for command in [entry for entry in state.log if isinstance(entry, str)]:
        state.raw[command] = bcmshell.bcmshell().run(command)


def construction_seconds():
    """The fastest of a few constructions, with the collector off. Each Asic
    is released only after the clock stops: its teardown is not timed."""
    best = float("inf")
    for _ in range(ROUNDS):
        gc.collect()
        gc.disable()
        try:
            start = time.perf_counter()
            asic = fanoutprobe.Asic()
            best = min(best, time.perf_counter() - start)
            del asic
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
    print("construction growth %dK -> %dK (tables x%d): x%.2f"
          % (SIZES[0] // 1024, SIZES[-1] // 1024, SIZES[-1] // SIZES[0], growth))
    bcmshell.clear()
    tervane.porttab.clear()


if __name__ == "__main__":
    main()
