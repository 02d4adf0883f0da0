"""The main job: the whole bring-up of each example platform in dummy mode.

For every example platform with a port layout in examples/ports/, builds
the Broadcom configuration object, reads the layout (validated first), and
writes every generated file into <output>/<platform>/: the SDK
configuration body, the port, PHY, MAC-index and SFP tables, the link
defaults, one port script per unit, the LED and PHY scripts, the chip data
files, and each LED controller's program and hex text (led<N>.asm,
led<N>.hex). Each file is written whole under a temporary name in its
folder and then renamed into place, so an interrupted run never leaves a
part of a file. Prints a short summary per platform; a reader that closes
standard output early drops the summary lines left, not the files; one
that cannot be written otherwise (a full disk) ends the run with one line
naming it once every file is written. A relative output folder is taken
from the current directory; a file or folder that cannot be written ends
the run with one line naming it and the reason.

Usage: bringup_run.py [OUTPUT_DIR]   (default: bringup-output)
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from command_line import (CannotWrite, program_name, quiet_interrupt, run, say,  # noqa: E402
                          standard_output, stop_if_interrupted)

if __name__ == "__main__":
    # Before anything else loads, so that Ctrl-C while it does ends quietly too.
    quiet_interrupt()

import argparse  # noqa: E402
import importlib  # noqa: E402

import bringup  # noqa: E402
import tervane.platform  # noqa: E402,F401  (the chip classes the port map tests against)
import tervane.platforms  # noqa: E402

PLATFORMS = ("trident_two_box", "trident_three_box", "tomahawk_box", "maverick_box")
FILES = ("portsbcm", "porttab", "linkdefaults", "phytab", "rcled", "rcphy", "ethertab",
         "ucodebcm", "sfptab", "hwdesc", "uft", "riot", "datapath", "sdk", "rcforwarding")


def generated_files(config):
    """(file name, text) of every generated file, in a fixed order; chip
    data files the chip does not have are left out."""
    names = list(FILES) + ["rcports_%d" % unit for unit in sorted(config.port_units)]
    for name in names:
        text = config.output(name)
        if text is not None:
            yield name, text
    for index in sorted(config.led_chains):
        yield "led%d.asm" % index, config.led_asm[index]
        yield "led%d.hex" % index, config.led_hex[index]


def write_whole(path, text):
    """Writes `text` byte for byte to `path`: first to a temporary file in
    the same folder, renamed over `path` once complete; the temporary file
    is removed when anything, Ctrl-C included, stops the writing. A
    failure to write is a CannotWrite naming `path`."""
    folder, name = os.path.split(path)
    temporary = os.path.join(folder, ".%s.%d.tmp" % (name, os.getpid()))
    try:
        with open(temporary, "w", encoding="utf-8", errors="surrogateescape",
                  newline="") as handle:
            handle.write(text)
        os.replace(temporary, path)
    except BaseException as error:
        try:
            os.unlink(temporary)
        except FileNotFoundError:
            pass
        except OSError as cleanup_error:
            # A read-only folder refuses even to remove a file it never
            # let be made: the write's own failure says more, and only a
            # file left behind is worth a line of its own.
            if not isinstance(error, OSError) and os.path.lexists(temporary):
                raise CannotWrite(temporary, cleanup_error) from None
        if isinstance(error, OSError):
            raise CannotWrite(path, error) from None
        raise


def bring_up(module_name, output_dir, out):
    module = importlib.import_module("platforms." + module_name)
    platform = tervane.platforms.register(module.build())
    config = bringup.BCMConfig(platform, dummy=True)
    config.read_config(os.path.join(HERE, "ports", module_name + ".conf"))
    target = os.path.join(output_dir, module_name)
    try:
        os.makedirs(target, exist_ok=True)
    except OSError as error:
        raise CannotWrite(error.filename or target, error) from None
    written = 0
    for name, text in generated_files(config):
        write_whole(os.path.join(target, name), text)
        written += 1
        stop_if_interrupted()
    logical = sum(port.num_logical_ports for port in config.ports)
    say(out, "%s: %d configured ports, %d logical ports, units %s, LED controllers %s, "
             "MAC mode %s; %d files in %s\n" % (
                 platform.name, len(config.ports), logical, sorted(config.port_units),
                 sorted(config.led_chains), config.macmode, written, target))


def main(argv=None, out=standard_output):
    parser = argparse.ArgumentParser(prog=program_name(), description=__doc__.split("\n")[0])
    parser.add_argument("output_dir", nargs="?", default="bringup-output", metavar="OUTPUT_DIR")
    output_dir = parser.parse_args(argv).output_dir
    if not output_dir:
        parser.error("the output folder name is empty")
    for module_name in PLATFORMS:
        bring_up(module_name, output_dir, out)


if __name__ == "__main__":
    run(main)
