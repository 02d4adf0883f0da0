"""Helpers of the glimmer tests: a stand-in configured port, board
controller classes and the assembler built with the project."""

import os

import glimmer

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("SWITCH_BUILD_DIR", os.path.join(ROOT, "build"))
BYTESMITH = os.path.join(BUILD, "host", "tools", "bytesmith")


class Port(object):
    """What glimmer reads of a configured port; `claims` lists, per sub-port,
    the LED call map entries that set_leds returns. Every set_leds call is
    recorded in `asked`."""

    def __init__(self, label, led_index, hw_port, claims=({},)):
        self.gang_label = label
        self.leds = (0, led_index)
        self.num_logical_ports = len(claims)
        self.hw_port = hw_port
        self.claims = claims
        self.asked = []

    def hw_port_num(self, sub):
        return self.hw_port

    def set_leds(self, led_port, sub, led_index_list):
        self.asked.append((led_port, sub, led_index_list))
        return dict(self.claims[sub])


def board(base=glimmer.TridentTwoLEDController, **attributes):
    """A board's controller class on `base` (8 LEDs unless told otherwise)."""
    attributes.setdefault("num_leds", 8)
    return type("Board", (base,), attributes)

