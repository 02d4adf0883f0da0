"""What the asicmodel benchmark runs, and the check that the module and the
pure-Python reference (pure_asicmodel.py) answer it alike.

One platform description builds ports of either implementation: Tomahawk
100G cages and 25G lanes on unit 0, Trident2 40G cages and 10G lanes on
unit 1, with a configuration that breaks cages out ("4x25G", "2x50G",
"4x10G", ...), gangs lanes by four ("100G/4", "40G/4"), disables a few ports
and leaves a few to their default mode. The passes over the ports:

- `every_operation_cases`: every operation for every port, every mode the
  port's class lists and every sub-port of that mode (sub-port 0 for a gang
  member, which has none), bound to one implementation's ports by `plan`
  and asked by `run_plan`;
- `generator_pass`: each port in its configured mode, asking what an SDK
  configuration generator asks, returning the records it would write.

`prepare` makes all of it for both implementations, and `disagreements`
asks every case of both and lists each answer that differs in value, type
or error.
"""

from collections import namedtuple

# The port classes the benchmark builds, by family.
TOMAHAWK_CLASSES = ("Tomahawk100GPort", "Tomahawk25GPort")
TRIDENT_TWO_CLASSES = ("TridentTwo40GPort", "TridentTwo10GPort")
PORT_CLASSES = TOMAHAWK_CLASSES + TRIDENT_TWO_CLASSES

# A port of the description: its class name, whether its chip numbers SDK
# logical ports itself (Tomahawk) or from the configured port base
# (Trident2), and the constructor arguments.
PortEntry = namedtuple("PortEntry", "class_name numbers_logical_ports args kwargs")

TOMAHAWK_CAGE_MODES = ("100G", "4x25G", "2x50G", "40G", "4x10G", "50G", "2x20G", "2x40G")

# Arguments the every-operation pass passes where an operation wants more
# than the mode and sub-port.
MAC_INDEX = 100
LED_PORT = 1
LED_INDEX_LIST = [3, 4]
PORT_BASE = 17

# Stands for the port itself in an argument list (complete_mode's `self`).
SELF = object()

ATTRIBUTES = ("max_logical_ports", "num_phys", "set_fiber_pref")
MODE_OPERATIONS = ("_check_mode", "speed", "num_lanes", "num_logical_ports",
                   "num_physical_ports", "port_mangler", "an_c37", "an_c73")
SUB_OPERATIONS = ("hw_intf_prefix", "hw_intf_num", "hw_intf_num_portmap", "base_hw_intf_num",
                  "hw_intf", "hw_pbmp", "hw_port_num", "led_port_num",
                  "rx_logical_polarity_flip", "tx_logical_polarity_flip", "phy_autodetect")


def describe_platform(cages_100g=20, lanes_25g=44, cages_40g=16, lanes_10g=48):
    """The ports (PortEntry list, front-panel order) and the configuration
    map (label -> mode). The defaults make the 128-port platform."""
    ports, config = [], {}
    label = 0

    def add(entry, mode):
        ports.append(entry)
        if mode is not None:
            config[entry.args[0]] = mode

    for n in range(cages_100g):
        label += 1
        lanes = tuple(range(4 * n, 4 * n + 4))
        args = (str(label), lanes, None, None, "QSFP28", (0, label), 0)
        flips = {"rx_polarity_flip": n % 16, "tx_polarity_flip": (5 * n) % 16}
        if n % 2:  # every argument by position, in the class's order
            args += (0x3210, flips["rx_polarity_flip"], 0x0123, flips["tx_polarity_flip"],
                     None, None, None, None, False, None, None, None)
            flips = {}
        mode = TOMAHAWK_CAGE_MODES[n % len(TOMAHAWK_CAGE_MODES)]
        mode = {cages_100g - 1: "disabled", cages_100g - 2: None}.get(n, mode)
        add(PortEntry("Tomahawk100GPort", True, args, flips), mode)

    first_lane = 4 * cages_100g
    for n in range(lanes_25g):
        label += 1
        lane = first_lane + n
        args = (str(label), (lane,), None, None, "SFP28", (0, label), 0)
        flips = {"rx_polarity_flip": n % 3 == 0, "tx_polarity_flip": n % 5 == 0}
        gang = n // 4
        if gang < 4:  # the first sixteen lanes in gangs of four
            mode = ("100G/4", "/4", "40G/4", "100G/4")[gang]
        else:
            mode = ("25G", "10G", "/1")[n % 3]
        if n == lanes_25g - 1:
            mode = "Disabled"
        add(PortEntry("Tomahawk25GPort", True, args, flips), mode)

    unit_one_ports = label  # Trident2 LED chain positions count from here
    for n in range(cages_40g):
        label += 1
        lanes = tuple(range(4 * n, 4 * n + 4))
        kwargs = {"rx_polarity_flip": (3 * n) % 16, "tx_polarity_flip": n % 16,
                  "rx_lane_map": 0x1032, "tx_lane_map": 0x2301}
        args = (str(label), lanes, None, None, "QSFP+", (1, label - unit_one_ports), 1)
        add(PortEntry("TridentTwo40GPort", False, args, kwargs), ("40G", "4x10G", "4x")[n % 3])

    first_lane = 4 * cages_40g
    for n in range(lanes_10g):
        label += 1
        lane = first_lane + n
        phy_layer = "10GBaseT" if n % 7 == 6 else "SFP+"
        args = (str(label), (lane,), ("84328",) if n % 2 else ("8706",), (0x10 + n,), phy_layer,
                (1, label - unit_one_ports), 1)
        kwargs = {"tx_polarity_flip": (True, False, None)[n % 3], "rx_polarity_flip": n % 4 == 1,
                  "oversub": n % 5 == 0}
        mode = "40G/4" if n < 16 else "10G"
        mode = {lanes_10g - 1: "disable", lanes_10g - 2: None}.get(n, mode)
        add(PortEntry("TridentTwo10GPort", False, args, kwargs), mode)
    return ports, config


def constructors(module, description, classes=None):
    """(class, args, kwargs) for each port: what building the ports calls.
    `classes` maps class names to replacements (Python subclasses)."""
    classes = classes or {}
    return [(classes.get(entry.class_name) or getattr(module, entry.class_name), entry.args,
             entry.kwargs) for entry in description]


def build(recipe):
    return [cls(*args, **kwargs) for cls, args, kwargs in recipe]


def prefix_override_classes(module):
    """Python subclasses of the port classes of `module` that replace
    `hw_intf_prefix`, writing the "hg" prefix as "xe" the way the SDK names
    interfaces; the base rules that name interfaces must see the change."""

    def subclass(base):
        class Overridden(base):
            def hw_intf_prefix(self, mode, sub):
                prefix = super().hw_intf_prefix(mode, sub)
                return "xe" if prefix == "hg" else prefix

        Overridden.__name__ = Overridden.__qualname__ = base.__name__
        return Overridden

    return {name: subclass(getattr(module, name)) for name in PORT_CLASSES}


def every_operation_cases(reference_ports, description, config_map):
    """Per port, the (name, arguments) of every operation it is asked; an
    arguments value of None reads an attribute. Modes, sub-port counts and
    speeds come from the reference ports."""
    cases = []
    for port, entry in zip(reference_ports, description):
        calls = [(name, None) for name in ATTRIBUTES]
        calls += [("configurable", (config_map,)), ("mac_addrs_contrib_total", (config_map,))]
        for mode in port.modes:
            calls += [(name, (mode,)) for name in MODE_OPERATIONS]
            calls += [("complete_mode", (SELF, mode)),
                      ("serdes_if_type", (port.speed(mode),))]
            for sub in range(max(1, port.num_logical_ports(mode))):
                calls += [(name, (mode, sub)) for name in SUB_OPERATIONS]
                calls += [("port_mac_index", (mode, MAC_INDEX, sub)),
                          ("set_leds", (mode, LED_PORT, sub, LED_INDEX_LIST)),
                          ("polarity_flip_val", (mode, sub, port.rx_polarity_flip))]
                if entry.numbers_logical_ports:
                    calls.append(("logical_port_num", (mode, sub, PORT_BASE)))
                else:
                    calls.append(("logical_port_num", (mode, sub)))
        cases.append(calls)
    return cases


def plan(ports, cases):
    """The cases bound to one implementation's ports: [(port, calls)]."""
    return [(port, [(name, None if args is None else
                     tuple(port if arg is SELF else arg for arg in args))
                    for name, args in calls])
            for port, calls in zip(ports, cases)]


# What the benchmark runs on one implementation: the constructor calls,
# the ports they built, the every-operation plan on them and on Python
# subclasses overriding `hw_intf_prefix`, and the generator's platform.
Side = namedtuple("Side", "recipe ports plan override_plan platform")


def prepare(module, reference, description, config_map):
    """A Side for `module` and one for `reference`, asked the same
    questions (the modes and sub-ports the reference ports list)."""
    sides, operations = [], None
    for implementation in (reference, module):
        recipe = constructors(implementation, description)
        ports = build(recipe)
        override_ports = build(constructors(implementation, description,
                                            prefix_override_classes(implementation)))
        if operations is None:
            operations = every_operation_cases(ports, description, config_map)
        flags = [entry.numbers_logical_ports for entry in description]
        sides.append(Side(recipe, ports, plan(ports, operations), plan(override_ports, operations),
                          list(zip(ports, flags))))
    reference_side, side = sides
    return side, reference_side


def run_plan(bound_plan):
    """Asks every question of the plan. The errors a rule raises for some
    ports (a missing bitmap entry, a family without LED or logical port
    numbers) are part of the work and are dropped the same way for both
    implementations."""
    for port, calls in bound_plan:
        for name, args in calls:
            try:
                if args is None:
                    getattr(port, name)
                else:
                    getattr(port, name)(*args)
            except Exception:
                pass


def generator_pass(platform, config_map):
    """Each configured port in its mode, asked what an SDK configuration
    generator asks; returns one record per configured port. `platform` is
    a list of (port, numbers_logical_ports) pairs."""
    records = []
    port_base = 1
    mac_index = 0
    for port, numbers_logical_ports in platform:
        if not port.configurable(config_map):
            continue
        mode = port.complete_mode(port, config_map.get(port.label, port.default_mode))
        for physical, mode in port.port_mangler(mode):
            speed = physical.speed(mode)
            logical_ports = physical.num_logical_ports(mode)
            record = [physical.label, mode, speed, physical.num_lanes(mode), logical_ports,
                      physical.num_physical_ports(mode), physical.max_logical_ports,
                      physical.num_phys, physical.serdes_if_type(speed), physical.an_c37(mode),
                      physical.an_c73(mode), physical.set_fiber_pref]
            if logical_ports == 0:
                # A gang member: the leader's polarity gathers this lane's.
                record.append((physical.rx_logical_polarity_flip(mode, 0),
                               physical.tx_logical_polarity_flip(mode, 0)))
            for sub in range(logical_ports):
                if numbers_logical_ports:
                    number = physical.logical_port_num(mode, sub, port_base)
                    bitmap = 1 << number
                    led = physical.led_port_num(mode, sub)
                else:
                    number = port_base + sub
                    bitmap = physical.hw_pbmp(mode, sub)
                    led = None
                autodetect = None
                if physical.phy_types is not None:
                    autodetect = physical.phy_autodetect(mode, sub)
                record.append((
                    physical.hw_intf(mode, sub), physical.hw_intf_prefix(mode, sub),
                    physical.hw_intf_num(mode, sub), physical.hw_intf_num_portmap(mode, sub),
                    physical.base_hw_intf_num(mode, sub), physical.hw_port_num(mode, sub),
                    number, bitmap, led, physical.rx_logical_polarity_flip(mode, sub),
                    physical.tx_logical_polarity_flip(mode, sub),
                    physical.port_mac_index(mode, mac_index, sub), autodetect))
            port_base += logical_ports
            records.append(record)
        mac_index += port.mac_addrs_contrib_total(config_map)
    return records


# --- comparing the two implementations ---

# Errors whose text is the host's own wording, free to each implementation:
# only their class must match.
HOST_WORDED_ERRORS = (TypeError, ValueError, IndexError)


def outcome(question):
    try:
        return True, question()
    except Exception as error:  # the error is the answer
        return False, error


def same_value(left, right, counterparts):
    """Equal value and type, all the way down; `counterparts` maps the id
    of each port of `left`'s implementation to its counterpart."""
    if id(left) in counterparts:
        return counterparts[id(left)] is right
    if type(left) is not type(right):
        return False
    if isinstance(left, (tuple, list)):
        return len(left) == len(right) and all(
            same_value(a, b, counterparts) for a, b in zip(left, right))
    if isinstance(left, dict):
        return list(left) == list(right) and all(
            same_value(left[key], right[key], counterparts) for key in left)
    return left == right


def same_error(left, right):
    """The same error class (NoSuchMode matched by name, as each
    implementation has its own) and, where the text is the system's own,
    the same arguments."""
    left_class, right_class = type(left), type(right)
    if left_class.__name__ != right_class.__name__:
        return False
    host_error = "builtins" in (left_class.__module__, right_class.__module__)
    if host_error and left_class is not right_class:
        return False
    if isinstance(left, HOST_WORDED_ERRORS):
        return True
    return left.args == right.args


def same_outcome(left, right, counterparts):
    (left_ok, left_answer), (right_ok, right_answer) = left, right
    if left_ok != right_ok:
        return False
    if left_ok:
        return same_value(left_answer, right_answer, counterparts)
    return same_error(left_answer, right_answer)


def shown(answer):
    ok, value = answer
    return repr(value) if ok else "%s%r" % (type(value).__name__, value.args)


def _ask(port, name, args):
    return getattr(port, name) if args is None else getattr(port, name)(*args)


def construction_disagreements(module_ports, reference_ports):
    found = []
    for port, reference in zip(module_ports, reference_ports):
        if type(port).__name__ != type(reference).__name__ or not same_value(
                vars(port), vars(reference), {}):
            found.append("port %s: built as %s %r, reference %s %r" % (
                reference.label, type(port).__name__, vars(port), type(reference).__name__,
                vars(reference)))
    return found


def plan_disagreements(module_plan, reference_plan):
    found = []
    counterparts = {id(port): reference for (port, _), (reference, _)
                    in zip(module_plan, reference_plan)}
    for (port, calls), (reference, reference_calls) in zip(module_plan, reference_plan):
        for (name, args), (_, reference_args) in zip(calls, reference_calls):
            answer = outcome(lambda: _ask(port, name, args))
            expected = outcome(lambda: _ask(reference, name, reference_args))
            if not same_outcome(answer, expected, counterparts):
                found.append("port %s (%s) %s%s: asicmodel %s, reference %s" % (
                    reference.label, type(reference).__name__, name,
                    "" if args is None else repr(reference_args), shown(answer), shown(expected)))
    return found


def disagreements(side, reference_side, config_map):
    """Every answer the benchmark times, asked of both prepared sides; the
    list of those that differ (empty when all agree)."""
    found = construction_disagreements(side.ports, reference_side.ports)
    found += plan_disagreements(side.plan, reference_side.plan)
    found += plan_disagreements(side.override_plan, reference_side.override_plan)
    found += generator_disagreements(side.platform, reference_side.platform, config_map)
    return found


def generator_disagreements(platform, reference_platform, config_map):
    answer = outcome(lambda: generator_pass(platform, config_map))
    expected = outcome(lambda: generator_pass(reference_platform, config_map))
    if answer[0] and expected[0] and len(answer[1]) == len(expected[1]):
        # Name the records that differ rather than the whole output.
        return ["generator pass, port %s: asicmodel %r, reference %r" % (theirs[0], ours, theirs)
                for ours, theirs in zip(answer[1], expected[1]) if not same_value(ours, theirs, {})]
    if not same_outcome(answer, expected, {}):
        return ["generator pass: asicmodel %s, reference %s" % (shown(answer), shown(expected))]
    return []
