"""The asicmodel module against a plain pure-Python implementation of the
same rules (pure_asicmodel.py), side by side in one process.

A 128-port platform (64 Tomahawk ports: 100G cages and 25G lanes; 64
Trident2 ports: 40G cages and 10G lanes; breakouts, gangs, disabled ports)
is built in both, and each case below runs both implementations in the same
rounds, alternating which goes first, pinned to one core where the system
allows. The table gives the medians and their ratio pure/C++ (above 1: the
module is faster).

  a. building the 128 ports;
  b. every operation for every port, every mode of its class and every
     sub-port (the errors some rules raise are caught alike in both);
  c. a generator-like pass: each port in its configured mode, asked what an
     SDK configuration generator asks;
  d. b again on Python subclasses that override `hw_intf_prefix`;
  e. importing the module in a fresh /usr/bin/python3.

Before anything is timed both implementations must give equal answers
(value, type and error) on every case; the run stops naming the first
differences otherwise.

    sh scripts/build
    PYTHONPATH=build/python:host/python:examples /usr/bin/python3 bench/asicmodel_speed.py [--quick]
"""

import argparse
import gc
import os
import statistics
import subprocess
import sys
import tempfile
import time

BENCH = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(BENCH)
if BENCH not in sys.path:
    sys.path.insert(0, BENCH)

import asicmodel_cases as cases  # noqa: E402
import pure_asicmodel  # noqa: E402

PYTHON = "/usr/bin/python3"
IMPORT_PATH = os.pathsep.join(
    [os.path.join(ROOT, "build", "python"), os.path.join(ROOT, "host", "python"), BENCH])
IMPORT_PROBE = ("import time\nstart = time.perf_counter()\nimport %s\n"
                "print(time.perf_counter() - start)")

# (rounds, import runs) for a full and a quick run.
FULL = (21, 15)
QUICK = (5, 3)

SHOWN_DISAGREEMENTS = 20


class Case:
    """One timed case: the same work for the module and the reference,
    repeated `repeat` times per sample so that a sample is long enough to
    time."""

    def __init__(self, name, module_work, reference_work, repeat=1):
        self.name = name
        self.work = (module_work, reference_work)
        self.repeat = repeat
        self.samples = ([], [])


def pin_to_one_core():
    """Runs this process (and the import probes it starts) on one core;
    None when the system does not allow it."""
    try:
        core = max(os.sched_getaffinity(0))
        os.sched_setaffinity(0, {core})
    except (AttributeError, OSError):
        return None
    return core


def time_once(work, repeat):
    start = time.perf_counter()
    for _ in range(repeat):
        work()
    return (time.perf_counter() - start) / repeat


def import_environment(pycache):
    """The probes' environment: the module path, and compiled Python files
    kept (in the private `pycache`, out of the source tree) as an installed
    Python module would have them, even where the caller's environment
    turns bytecode writing off."""
    environment = dict(os.environ, PYTHONPATH=IMPORT_PATH, PYTHONPYCACHEPREFIX=pycache)
    environment.pop("PYTHONDONTWRITEBYTECODE", None)
    return environment


def import_seconds(name, environment):
    result = subprocess.run([PYTHON, "-c", IMPORT_PROBE % name], env=environment, cwd=ROOT,
                            check=True, capture_output=True, text=True)
    return float(result.stdout)


def build_cases(module):
    """The timed cases a to d, built for the module and the reference; stops
    with the differences when the two disagree on any of them."""
    description, config_map = cases.describe_platform()
    sides = cases.prepare(module, pure_asicmodel, description, config_map)
    found = cases.disagreements(*sides, config_map)
    if found:
        sys.exit("asicmodel and the pure-Python reference disagree on %d cases; first ones:\n%s"
                 % (len(found), "\n".join(found[:SHOWN_DISAGREEMENTS])))

    calls = sum(len(calls) for _, calls in sides[1].plan)
    configured = len(cases.generator_pass(sides[1].platform, config_map))

    def both(work):
        return [lambda side=side: work(side) for side in sides]

    return [
        Case("a. build %d ports" % len(description),
             *both(lambda side: cases.build(side.recipe)), repeat=10),
        Case("b. every operation (%d calls)" % calls,
             *both(lambda side: cases.run_plan(side.plan))),
        Case("c. generator-like pass (%d ports)" % configured,
             *both(lambda side: cases.generator_pass(side.platform, config_map)), repeat=5),
        Case("d. b with hw_intf_prefix overridden",
             *both(lambda side: cases.run_plan(side.override_plan))),
    ]


def measure(timed_cases, rounds, import_runs, pycache):
    """Fills each case's samples: every round runs every case on both
    sides, the side that goes first alternating from round to round."""
    environment = import_environment(pycache)
    imports = Case("e. import in a fresh process",
                   lambda: import_seconds("asicmodel", environment),
                   lambda: import_seconds("pure_asicmodel", environment))
    for side in (0, 1):
        imports.work[side]()  # compiled and cached before the first sample
    for case in timed_cases:
        for side in (0, 1):
            case.work[side]()  # warm up
    gc.collect()
    gc.disable()
    try:
        for round_number in range(max(rounds, import_runs)):
            order = (0, 1) if round_number % 2 == 0 else (1, 0)
            for case in timed_cases if round_number < rounds else ():
                for side in order:
                    case.samples[side].append(time_once(case.work[side], case.repeat))
                gc.collect()
            if round_number < import_runs:
                for side in order:
                    imports.samples[side].append(imports.work[side]())
    finally:
        gc.enable()
    return timed_cases + [imports]


def shown_time(seconds):
    if seconds >= 0.1:
        return "%8.3f s " % seconds
    if seconds >= 1e-4:
        return "%8.3f ms" % (seconds * 1e3)
    return "%8.3f us" % (seconds * 1e6)


def table(measured):
    lines = ["%-42s %12s %12s %9s" % ("case", "C++ median", "pure median", "pure/C++")]
    for case in measured:
        module, reference = (statistics.median(samples) for samples in case.samples)
        lines.append("%-42s %12s %12s %9.2f" % (case.name, shown_time(module),
                                                 shown_time(reference), reference / module))
    return "\n".join(lines)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--quick", action="store_true", help="a short run (fewer rounds)")
    options = parser.parse_args(argv)
    rounds, import_runs = QUICK if options.quick else FULL

    import asicmodel

    core = pin_to_one_core()
    timed_cases = build_cases(asicmodel)
    with tempfile.TemporaryDirectory() as pycache:
        measured = measure(timed_cases, rounds, import_runs, pycache)
    print("asicmodel (%s) against pure_asicmodel, Python %s" % (
        os.path.relpath(asicmodel.__file__, ROOT), sys.version.split()[0]))
    print("medians of %d rounds (imports: %d runs), %s; pure/C++ above 1: the module is faster"
          % (rounds, import_runs, "pinned to CPU %d" % core if core is not None else "not pinned"))
    print(table(measured))
    return 0


if __name__ == "__main__":
    sys.exit(main())
