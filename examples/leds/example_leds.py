"""A made-up board's LED controller, its LED routines and a stand-in for the
configured ports that glimmer reads.

Each logical port drives two LEDs: a link LED and an activity LED. The
routines receive the port's chain position in register a; "port a" selects
that port, "pushst N" pushes bit N of its status, and "pack" adds the bit to
the LED chain.
"""

import os

import glimmer

LINK_ROUTINE = """
set_led:
        port    a
        pushst  PORTSTATUS_LINKUP
        pack
        ret
"""

ACTIVITY_ROUTINE = """
set_led:
        port    a
        pushst  PORTSTATUS_RX
        pushst  PORTSTATUS_TX
        tor
        pack
        ret
"""

# A board routine outside the main loop: both LEDs of a pair off.
DARK_PAIR_ROUTINE = """
dark_pair:
        push  0
        pack
        push  0
        pack
        ret
"""


class LocatorBoxLEDController(glimmer.TomahawkLEDController):
    """LED chain of the locator box: 16 positions, with the ID/locator mode."""
    num_leds = 16
    has_phys_id = True
    led_functions = (DARK_PAIR_ROUTINE,)


class ExampleConfiguredPort(object):
    """Exactly what glimmer reads of a configured port.

    `first_led` is the LED number of the port's first LED; each logical port
    (sub-port) takes the next two.
    """

    def __init__(self, label, hw_port, first_led, num_logical_ports=1):
        self.gang_label = label
        self.leds = (0, int(label))
        self.num_logical_ports = num_logical_ports
        self._hw_port = hw_port
        self._first_led = first_led

    def hw_port_num(self, sub):
        return self._hw_port + sub

    def set_leds(self, led_port, sub, led_index_list):
        port = self.hw_port_num(sub)
        first = self._first_led + 2 * sub
        return {first: ("link", LINK_ROUTINE, port),
                first + 1: ("activity", ACTIVITY_ROUTINE, port)}


def example_ports():
    """Port 1 whole, port 2 broken out into two ports, port 3 whole; LEDs 8
    and up stay dark (padded)."""
    return [ExampleConfiguredPort("1", 1, 0),
            ExampleConfiguredPort("2", 5, 2, num_logical_ports=2),
            ExampleConfiguredPort("3", 9, 6)]


def built_bytesmith():
    """The assembler built with the project, beside the glimmer module."""
    build_dir = os.path.dirname(os.path.dirname(os.path.abspath(glimmer.__file__)))
    return os.path.join(build_dir, "host", "tools", "bytesmith")


def show_led_program(out, bytesmith=None):
    """Builds the locator box's controller 0, configures it with the example
    ports and writes its program, the assembled hex and the data-RAM
    commands to `out`. The assembler is the one built with the project
    unless `bytesmith` names another."""
    controller = LocatorBoxLEDController()
    controller._bytesmith = bytesmith or built_bytesmith()
    controller.configure(0, example_ports())
    out.write("LED controller 0 of the locator box (%s)\n" % type(controller).__name__)
    out.write("--- program ---%s" % controller.asm)
    out.write("--- hex ---\n%s" % controller.hex)
    out.write("--- data RAM ---\n")
    for command in controller.led_memory_init_commands(0):
        out.write(command + "\n")
