"""LED controllers of the made-up example boxes: one per ASIC family, each
with its chain length. The Maverick box's ports drive its LEDs with their
own routines (examples/platforms/maverick_box.py); the other boxes' ports
claim none (the base port classes return empty call maps), so every
position of their chains is padded. The Tomahawk box also has the
ID/locator mode, which adds data-RAM commands.

Each controller assembles with the project's own bytesmith when it has
been built; a real system uses the installed one."""

import os

import glimmer


def _built_bytesmith():
    build_dir = os.path.dirname(os.path.dirname(os.path.abspath(glimmer.__file__)))
    path = os.path.join(build_dir, "host", "tools", "bytesmith")
    return path if os.path.exists(path) else glimmer.BCMLEDController._bytesmith


class TridentTwoBoxLEDController(glimmer.TridentTwoLEDController):
    num_leds = 24
    has_phys_id = False
    led_functions = ()
    _bytesmith = _built_bytesmith()


class TridentThreeBoxLEDController(glimmer.TridentTwoPlusLEDController):
    num_leds = 32
    has_phys_id = False
    led_functions = ()
    _bytesmith = _built_bytesmith()


class TomahawkBoxLEDController(glimmer.TomahawkLEDController):
    num_leds = 16
    has_phys_id = True
    led_functions = ()
    _bytesmith = _built_bytesmith()


class MaverickBoxLEDController(glimmer.MaverickLEDController):
    num_leds = 16
    has_phys_id = False
    led_functions = ()
    _bytesmith = _built_bytesmith()
