"""The main job's demonstration: builds each example platform and prints
what the platform model says of its ports in their default modes."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from command_line import quiet_interrupt, run, standard_output, stop_if_interrupted  # noqa: E402

if __name__ == "__main__":
    # Before anything else loads, so that Ctrl-C while it does ends quietly too.
    quiet_interrupt()

import importlib  # noqa: E402

import tervane.platforms  # noqa: E402

import platforms  # noqa: E402
from leds.example_leds import show_led_program  # noqa: E402


def describe_port(port, out):
    mode = port.default_mode
    try:
        count = port.num_logical_ports(mode)
    except Exception as error:  # a port class may not answer every question
        out.write("  %-6s %-26s %-8s (%s)\n" % (port.label, type(port).__name__, mode, error))
        return
    for sub in range(count or 0):
        out.write("  %-6s %-26s %-8s sub %d  %-6s hw port %s\n" % (
            port.label, type(port).__name__, mode, sub, port.hw_intf(mode, sub),
            _answer(port.hw_port_num, mode, sub)))


def _answer(operation, *args):
    try:
        return operation(*args)
    except Exception as error:
        return "(%s: %s)" % (type(error).__name__, error)


def main(out=standard_output):
    for name in platforms.ALL:
        module = importlib.import_module("platforms." + name)
        platform = tervane.platforms.register(module.build())
        chip = platform.switch.chip
        out.write("%s: %s, chip directories %s\n" % (
            platform.name, type(chip).__name__, chip.chip_dir_list))
        for port in platform.switch.ports:
            describe_port(port, out)
        for extra in getattr(module, "DEMO_EXTRAS", ()):
            extra(platform, out)
        out.write("\n")
        stop_if_interrupted()
    show_led_program(out)


if __name__ == "__main__":
    run(main)
