"""The plain-Python reference of bench/glimmer_speed.py gives the module's
program text and run list, so the benchmark keeps comparing equal work."""

import os
import sys

import pytest

import glimmer
from glimmer_helpers import ROOT, Port
from leds import example_leds
from leds.example_leds import ACTIVITY_ROUTINE, LINK_ROUTINE, ExampleConfiguredPort

sys.path.insert(0, os.path.join(ROOT, "bench"))
import pure_glimmer  # noqa: E402


@pytest.fixture(autouse=True)
def fresh_reference_call_list():
    pure_glimmer.BCMLEDController.call_list.clear()
    yield
    pure_glimmer.BCMLEDController.call_list.clear()


def chain(num_ports):
    return [ExampleConfiguredPort(str(n + 1), n + 1, 2 * n) for n in range(num_ports)]


def mixed_ports():
    """Pad runs of both values, looped and unrolled, a None run, a port run
    of two LEDs, a two-port gang and two ports on one hardware number."""
    link = ("link", LINK_ROUTINE, 70)
    return [Port("7", 3, 70, ({0: link, 1: link, 2: None},)),
            Port("2", 1, 5, ({3: ("activity", ACTIVITY_ROUTINE, 5)}, {4: 0})),
            Port("2", 2, 5, ({13: ("dark", LINK_ROUTINE, None)},)),
            Port("9", 4, 40, ({14: 1, 15: ("activity", ACTIVITY_ROUTINE, 100)},))]


CASES = [
    # family, board attributes, ports
    ("TomahawkLEDController",
     {"num_leds": 16, "has_phys_id": True, "led_functions": (example_leds.DARK_PAIR_ROUTINE,)},
     example_leds.example_ports),
    ("TridentLEDController", {"num_leds": 84}, lambda: chain(40)),
    ("TridentTwoLEDController", {"num_leds": 20, "default_pad": 0, "blink_period": 30},
     mixed_ports),
]


@pytest.mark.parametrize("family, attributes, ports", CASES, ids=[case[0] for case in CASES])
def test_reference_gives_the_module_program(family, attributes, ports):
    results = []
    for module in (glimmer, pure_glimmer):
        controller = type("Board", (getattr(module, family),), dict(attributes))()
        controller.configure(0, ports())
        results.append((controller.asm, module.BCMLEDController.call_list[0]))
    (module_asm, module_runs), (reference_asm, reference_runs) = results
    assert reference_runs == module_runs
    assert reference_asm == module_asm
