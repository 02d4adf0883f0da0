"""The bringup module's SDK configuration generator against a plain
pure-Python rendering of the same texts (pure_bringup.py), side by side in
one process.

The platform: a Tomahawk switch with N real asicmodel 100G ports
(`Tomahawk100GPort`, four serdes lanes each, polarity flips, lane maps,
serdes tuning and an SFP cage on every port, two LED controllers), every
port broken out 4x ("4x25G" in ports.conf), so 4N logical ports. Each side
gets its own platform object and configuration (`BCMConfig` in dummy mode
reading the same ports.conf), and a sample is every `output()` text once:
"portsbcm", "porttab", "linkdefaults", "phytab", "rcports_<unit>",
"rcled", "rcphy", "ethertab", "ucodebcm", "sfptab" and the chip data files.
The texts of both sides must be identical before anything is timed.

Rounds alternate which side goes first; the table gives medians, the ratio
pure/C++ (goal: 5 or more) and each side's growth from 32 to 128 ports
(linear: 4.0). Pinned to one core where the system allows.

    sh scripts/build
    PYTHONPATH=build/python:host/python:examples /usr/bin/python3 bench/bringup_speed.py [--quick]
"""

import argparse
import gc
import os
import statistics
import sys
import tempfile
import time

BENCH = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(BENCH)
for path in (BENCH, os.path.join(ROOT, "examples")):
    if path not in sys.path:
        sys.path.insert(0, path)

import pure_bringup  # noqa: E402

SIZES = (32, 128)
# (rounds, samples of the small platform folded into one) for a full and a quick run.
FULL = (21, 4)
QUICK = (5, 2)
FILES = ("portsbcm", "porttab", "linkdefaults", "phytab", "rcled", "rcphy", "ethertab",
         "ucodebcm", "sfptab", "hwdesc", "uft", "riot", "datapath", "sdk", "rcforwarding")


def pin_to_one_core():
    """Runs this process on one core; None when the system does not allow it."""
    try:
        core = max(os.sched_getaffinity(0))
        os.sched_setaffinity(0, {core})
    except (AttributeError, OSError):
        return None
    return core


def build_platform(asicmodel, sfp, led_controller, count):
    """A Tomahawk box of `count` 100G ports; half on each LED controller."""

    class BenchBox(asicmodel.Platform):
        name = "bench-box"

    platform = BenchBox()
    platform.switch = asicmodel.BCMSwitch(asicmodel.TomahawkChip())
    ports = []
    for n in range(count):
        port = asicmodel.Tomahawk100GPort(
            str(n + 1), tuple(range(4 * n, 4 * n + 4)), None, None, "QSFP28",
            (2 * n // count, n % (count // 2)), 0,
            rx_polarity_flip=0b0101, tx_polarity_flip=n % 16, rx_lane_map=0x1032,
            tx_lane_map=0x3210, pre_emphasis=(0x10 + n % 4, 0x11, 0x12, 0x13),
            drv_current=(1, 2, 3, 4), pre_drv_current=(5, 6, 7, 8))
        port.sfp = sfp.Sfp("QSFP28", "i2c-sdk" if n % 2 else "cpld", 0x50 + n)
        ports.append(port)
    platform.switch.ports = ports
    platform.switch.glimmer = led_controller
    return platform


def led_controller_class(glimmer):
    from leds.box_controllers import TomahawkBoxLEDController

    class BenchLEDController(TomahawkBoxLEDController):
        num_leds = 64

    return BenchLEDController


def configurations(count, directory):
    """(module's config, pure config) for a platform of `count` ports."""
    import asicmodel
    import bringup
    import glimmer
    import sfp
    import tervane.platform  # noqa: F401  (the chip classes the port map tests against)
    import tervane.platforms

    layout = os.path.join(directory, "ports-%d.conf" % count)
    with open(layout, "w") as handle:
        handle.write("".join("%d=4x25G\n" % (n + 1) for n in range(count)))
    controller = led_controller_class(glimmer)
    module_platform = tervane.platforms.register(
        build_platform(asicmodel, sfp, controller, count))
    module_config = bringup.BCMConfig(module_platform, dummy=True)
    module_config.read_config(layout)
    pure_config = pure_bringup.BCMConfig(build_platform(asicmodel, sfp, controller, count),
                                         dummy=True)
    with open(layout) as handle:
        pure_config.config(handle.read())
    return module_config, pure_config


def all_outputs(config, names):
    return [config.output(name) for name in names]


def output_names(config):
    return list(FILES) + ["rcports_%s" % unit for unit in sorted(config.port_units)]


def check_equal(count, module_config, pure_config):
    names = output_names(module_config)
    if names != output_names(pure_config):
        sys.exit("%d ports: the two sides have different units" % count)
    differing = [name for name, ours, theirs in zip(names, all_outputs(module_config, names),
                                                    all_outputs(pure_config, names))
                 if ours != theirs]
    if differing:
        sys.exit("%d ports: the texts differ: %s" % (count, ", ".join(differing)))
    return names


def time_once(work, repeat):
    start = time.perf_counter()
    for _ in range(repeat):
        work()
    return (time.perf_counter() - start) / repeat


def measure(cases, rounds):
    """cases: (size, [module work, pure work], repeat); returns the samples
    per case and side."""
    samples = {size: ([], []) for size, _, _ in cases}
    for _, work, repeat in cases:
        for side in (0, 1):
            work[side]()  # warm up
    gc.collect()
    gc.disable()
    try:
        for round_number in range(rounds):
            order = (0, 1) if round_number % 2 == 0 else (1, 0)
            for size, work, repeat in cases:
                for side in order:
                    samples[size][side].append(time_once(work[side], repeat))
                gc.collect()
    finally:
        gc.enable()
    return samples


def shown_time(seconds):
    return "%8.3f ms" % (seconds * 1e3)


def report(samples, logical_ports):
    medians = {size: tuple(statistics.median(side) for side in sides)
               for size, sides in samples.items()}
    lines = ["%-28s %12s %12s %9s" % ("all output() texts", "C++ median", "pure median",
                                      "pure/C++")]
    for size in SIZES:
        module, pure = medians[size]
        lines.append("%-28s %12s %12s %9.2f" % (
            "%d ports (%d logical)" % (size, logical_ports[size]), shown_time(module),
            shown_time(pure), pure / module))
    small, large = SIZES
    growth = [medians[large][side] / medians[small][side] for side in (0, 1)]
    lines.append("%-28s %12.2f %12.2f   (linear: %.1f)" % (
        "growth %d -> %d ports" % (small, large), growth[0], growth[1], large / small))
    return "\n".join(lines)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--quick", action="store_true", help="a short run (fewer rounds)")
    options = parser.parse_args(argv)
    rounds, small_repeat = QUICK if options.quick else FULL

    import bringup

    core = pin_to_one_core()
    cases = []
    logical_ports = {}
    with tempfile.TemporaryDirectory() as directory:
        for size in SIZES:
            module_config, pure_config = configurations(size, directory)
            names = check_equal(size, module_config, pure_config)
            logical_ports[size] = sum(port.num_logical_ports for port in module_config.ports)
            work = [lambda config=config, names=names: all_outputs(config, names)
                    for config in (module_config, pure_config)]
            cases.append((size, work, small_repeat if size == SIZES[0] else 1))
        samples = measure(cases, rounds)
    print("bringup (%s) against pure_bringup, Python %s" % (
        os.path.relpath(bringup.__file__, ROOT), sys.version.split()[0]))
    print("medians of %d interleaved rounds, %s; texts checked identical first; "
          "pure/C++ above 1: the module is faster" % (
              rounds, "pinned to CPU %d" % core if core is not None else "not pinned"))
    print(report(samples, logical_ports))
    return 0


if __name__ == "__main__":
    sys.exit(main())
