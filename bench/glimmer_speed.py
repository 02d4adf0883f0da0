"""The glimmer module against the same rules written as plain Python.

Times `configure` and `asm` of a Tomahawk-family controller over a chain of
example ports with two LEDs a port, once with the `glimmer` module and once
with bench/pure_glimmer.py, in the same process: each round runs both (the
order alternating from round to round), and the table shows the medians of
the rounds. The process is pinned to one CPU where the host allows it. Both
programs must be the same text, which is checked before anything is timed.
The assembler run is not timed: it is an outside tool.

    PYTHONPATH=build/python:host/python:examples /usr/bin/python3 bench/glimmer_speed.py [--quick]

A ratio above 1 means the module is faster than plain Python.
"""

import argparse
import gc
import os
import statistics
import sys
import time

import glimmer
from leds.example_leds import ExampleConfiguredPort

BENCH_DIR = os.path.dirname(os.path.abspath(__file__))
if BENCH_DIR not in sys.path:
    sys.path.insert(0, BENCH_DIR)

import pure_glimmer  # noqa: E402  (found beside this file)

IMPLEMENTATIONS = (("C++", glimmer), ("pure", pure_glimmer))
PORT_COUNTS = (1024, 16384)
ROUNDS = {1024: 31, 16384: 11}
QUICK_ROUNDS = 3


def chain(num_ports):
    """Ports 1 to num_ports, each alone in its gang, claiming LEDs 2n and 2n + 1."""
    return [ExampleConfiguredPort(str(n + 1), n + 1, 2 * n) for n in range(num_ports)]


def board(module, num_ports):
    return type("LongChain", (module.TomahawkLEDController,), {"num_leds": 2 * num_ports})


def program(module, num_ports):
    module.BCMLEDController.call_list.clear()
    controller = board(module, num_ports)()
    controller.configure(0, chain(num_ports))
    return controller.asm


def check_same_program(num_ports):
    """Stops the benchmark when the two programs differ: the comparison would
    then time different work."""
    ours = program(glimmer, num_ports)
    reference = program(pure_glimmer, num_ports)
    if ours == reference:
        return
    ours_lines, reference_lines = ours.split("\n"), reference.split("\n")
    line = next((n for n, (a, b) in enumerate(zip(ours_lines, reference_lines)) if a != b),
                min(len(ours_lines), len(reference_lines)))

    def shown(lines):
        return repr(lines[line]) if line < len(lines) else "(end of program)"

    raise SystemExit(
        "glimmer_speed: the glimmer module and bench/pure_glimmer.py give different asm "
        "for %d ports (%d and %d lines); first difference at line %d:\n"
        "  glimmer:      %s\n  pure_glimmer: %s\n"
        "Bring bench/pure_glimmer.py in step with the module before timing."
        % (num_ports, len(ours_lines), len(reference_lines), line + 1,
           shown(ours_lines), shown(reference_lines)))


def time_once(module, board_class, ports):
    """Seconds for one configure and one asm read on a new controller; the
    collector runs before, not during, the timed part."""
    module.BCMLEDController.call_list.clear()
    controller = board_class()
    gc.collect()
    gc.disable()
    try:
        start = time.perf_counter()
        controller.configure(0, ports)
        controller.asm
        return time.perf_counter() - start
    finally:
        gc.enable()


def measure(num_ports, rounds):
    """Median seconds of each implementation over interleaved rounds."""
    boards = {name: board(module, num_ports) for name, module in IMPLEMENTATIONS}
    times = {name: [] for name, _ in IMPLEMENTATIONS}
    for round_number in range(rounds):
        order = IMPLEMENTATIONS if round_number % 2 == 0 else IMPLEMENTATIONS[::-1]
        for name, module in order:
            ports = chain(num_ports)
            times[name].append(time_once(module, boards[name], ports))
    return {name: statistics.median(seconds) for name, seconds in times.items()}


def pin_to_one_cpu():
    """Pins the process to one of its allowed CPUs; returns the previous CPU
    set and the chosen CPU, or None when the host does not allow it."""
    try:
        allowed = os.sched_getaffinity(0)
        cpu = max(allowed)
        os.sched_setaffinity(0, {cpu})
    except (AttributeError, OSError):
        return None
    return allowed, cpu


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--quick", action="store_true",
                        help="%d rounds a case instead of the full count" % QUICK_ROUNDS)
    options = parser.parse_args(argv)

    saved_call_lists = {name: dict(module.BCMLEDController.call_list)
                        for name, module in IMPLEMENTATIONS}
    pinned = pin_to_one_cpu()
    try:
        for num_ports in PORT_COUNTS:
            check_same_program(num_ports)
        print("configure + asm, two LEDs a port; %s; median of interleaved rounds"
              % ("pinned to CPU %d" % pinned[1] if pinned else "not pinned"))
        print("%-12s %7s %12s %12s %9s" % ("case", "rounds", "C++ median", "pure median",
                                          "pure/C++"))
        results = []
        for num_ports in PORT_COUNTS:
            rounds = QUICK_ROUNDS if options.quick else ROUNDS[num_ports]
            medians = measure(num_ports, rounds)
            ratio = medians["pure"] / medians["C++"]
            results.append((num_ports, medians["C++"], medians["pure"], ratio))
            print("%-12s %7d %9.2f ms %9.2f ms %9.2f" % (
                "%d ports" % num_ports, rounds, medians["C++"] * 1000, medians["pure"] * 1000,
                ratio))
        print("pure/C++ above 1: the module is faster than plain Python")
        return results
    finally:
        if pinned:
            os.sched_setaffinity(0, pinned[0])
        for name, module in IMPLEMENTATIONS:
            module.BCMLEDController.call_list.clear()
            module.BCMLEDController.call_list.update(saved_call_lists[name])


if __name__ == "__main__":
    main()
