"""The base operations find every name through the object, whatever changed
since they last looked: instance attributes set, deleted or given through
`__dict__`, classes and their bases patched, class values replaced, data
descriptors and `__getattr__` added. Each case asks its question once
before the change (so any remembered lookup exists) and once after."""

import types

import pytest

import asicmodel as A


def fresh():
    """A Python subclass over a Python middle class, and one port of it."""

    class Middle(A.Tomahawk100GPort):
        pass

    class Port(Middle):
        pass

    return Middle, Port, Port("1", (0, 1, 2, 3), None, None, "QSFP28", (0, 1), 0)


def physical(port):
    return port.num_physical_ports("4x25G")


def lanes(port):
    return port.num_lanes("4x25G")


def completed(port):
    return port.complete_mode(port, "4x")


def interface(port):
    return port.hw_intf("4x25G", 1)


def speed(port):
    return port.speed("4x25G")


def set_then_delete(port, name, value):
    setattr(port, name, value)
    delattr(port, name)


def replace_dict(port, **changes):
    port.__dict__ = dict(vars(port), **changes)


def add_getattr(port_class, port):
    port_class.__getattr__ = lambda self, name: "QSFP+" if name == "phy_layer" else 0
    del port.phy_layer


def rebind_class_method(port_class, port):
    # The class method object itself is given a new function in place.
    port_class.speed = classmethod(lambda cls, mode: 25)
    assert lanes(port) == 1
    vars(port_class)["speed"].__init__(lambda cls, mode: 100)


def grow_then_shadow(port):
    port.unrelated = 1  # a new instance name after the lookups were made
    port.hw_intf_prefix = lambda mode, sub: "zz"


CASES = [
    # (question, answer before, change(Middle, Port, port), answer after)
    (physical, 4, lambda m, c, p: setattr(p, "num_logical_ports", lambda mode: 2), 2),
    (physical, 4, lambda m, c, p: set_then_delete(p, "num_logical_ports", lambda mode: 2), 4),
    (physical, 4, lambda m, c, p: setattr(c, "num_logical_ports", lambda self, mode: 3), 3),
    (physical, 4, lambda m, c, p: setattr(m, "num_logical_ports", lambda self, mode: 5), 5),
    (physical, 4, lambda m, c, p: setattr(c, "modes", ("100G",)), A.NoSuchMode),
    (physical, 4, lambda m, c, p: (setattr(c, "modes", ()),
                                   setattr(c, "_check_mode", lambda self, mode: None)), 4),
    (physical, 4, lambda m, c, p: (setattr(m, "modes", ()),
                                   setattr(m, "_check_mode", staticmethod(lambda mode: None))), 4),
    (physical, 4, lambda m, c, p: vars(p).__setitem__("num_logical_ports", lambda mode: 1), 1),
    (lanes, 1, lambda m, c, p: setattr(c, "speed", classmethod(lambda cls, mode: 40)), 4),
    (lanes, 1, lambda m, c, p: setattr(m, "_speed_map", {"4x25G": 100}), 4),
    (lanes, 1, lambda m, c, p: rebind_class_method(c, p), 4),
    (speed, 25, lambda m, c, p: setattr(c, "_speed_map", {"4x25G": 7}), 7),
    (completed, "4x25G", lambda m, c, p: setattr(c, "phy_layer", property(lambda s: "QSFP+")),
     "4x10G"),
    (completed, "4x25G", lambda m, c, p: replace_dict(p, phy_layer="SFP28"), "4x6G"),
    (completed, "4x25G", lambda m, c, p: replace_dict(p, phy_layer="QSFP+"), "4x10G"),
    (completed, "4x25G", lambda m, c, p: add_getattr(c, p), "4x10G"),
    (interface, "xe1", lambda m, c, p: grow_then_shadow(p), "zz1"),
    (interface, "xe1", lambda m, c, p: setattr(m, "hw_intf_num", lambda s, mode, sub: 9), "xe9"),
]


def answer(question, port):
    try:
        return question(port)
    except A.NoSuchMode:
        return A.NoSuchMode


@pytest.mark.parametrize("question, before, change, after", CASES)
def test_a_change_after_the_first_lookup_is_seen(question, before, change, after):
    middle, port_class, port = fresh()
    assert answer(question, port) == before
    change(middle, port_class, port)
    assert answer(question, port) == after


def test_an_instance_attribute_is_its_own_port_s_alone():
    _, port_class, port = fresh()
    other = port_class("2", (4, 5, 6, 7), None, None, "QSFP28", (0, 2), 0)
    physical(port), physical(other)
    port.num_logical_ports = lambda mode: 2
    assert (physical(port), physical(other)) == (2, 4)


def test_many_classes_each_see_their_own_operation():
    # More classes than any remembered-lookup table holds, asked twice over.
    classes = [type("P%d" % n, (A.Tomahawk100GPort,),
                    {"num_logical_ports": lambda self, mode, n=n: n}) for n in range(3000)]
    ports = [cls("1", (0, 1, 2, 3), None, None, "QSFP28", (0, 1), 0) for cls in classes]
    for _ in range(2):
        assert [physical(port) for port in ports] == list(range(3000))


class SetOnly:
    """A descriptor with __set__ and no __get__: stores go through it, and
    land under `target`."""

    def __init__(self, target):
        self.target = target

    def __set__(self, obj, value):
        obj.__dict__[self.target] = value


def test_construction_stores_through_the_class_s_setters():
    stored = []

    class Recorded(A.Tomahawk100GPort):
        unit = property(lambda self: stored[-1], lambda self, value: stored.append(value))
        leds = SetOnly("seen")

    ports = [Recorded(str(n), (0, 1, 2, 3), None, None, "QSFP28", (0, n), n) for n in range(3)]
    assert stored == [0, 1, 2]
    assert [(p.unit, "unit" in vars(p), p.seen) for p in ports] == [
        (2, False, (0, 0)), (2, False, (0, 1)), (2, False, (0, 2))]
    # A setter added after ports stored the name themselves is met by the
    # next port built.
    Recorded.label = SetOnly("named")
    late = Recorded("9", (0, 1, 2, 3), None, None, "QSFP28", (0, 9), 9)
    assert (late.named, "label" in vars(late)) == ("9", False)


def test_a_class_that_drops_its_getattr_hook_is_read_directly_again():
    _, port_class, port = fresh()
    add_getattr(port_class, port)
    assert completed(port) == "4x10G"  # through the hook, every time
    assert completed(port) == "4x10G"
    del port_class.__getattr__
    port.phy_layer = "QSFP28"
    assert completed(port) == "4x25G"


def pbmp(port_class, port):
    return port.hw_pbmp("4x25G", 0)


def interface_of(port_class, port):
    return port.hw_intf("4x25G", 1)


def stores_its_own_unit(port_class, port):
    return "unit" in vars(port_class("2", (4, 5, 6, 7), None, None, "QSFP28", (0, 2), 0))


def class_speed(port_class, port):
    return port_class.speed("4x25G")


def own_class_value(base, *arguments):
    return lambda: type("Value", (base,), {})(*arguments)


def module_value():
    return types.ModuleType("table")


def gains(value, members):
    """The value's own class gains the members."""
    for name, member in members.items():
        setattr(type(value), name, member)


def moves(value, members):
    """The value is given another class that has the members (a module may
    be, although the host's module type itself cannot change)."""
    value.__class__ = type("Table", (type(value),), members)


VALUE_CLASS_CHANGES = [
    # (class attribute, its value, how the value changes, members it gains,
    #  question, answer before, answer after)
    ("pbmp_map", own_class_value(dict, {"ce0": 5}), gains,
     {"__get__": lambda s, o, t: {"ce0": 6}}, pbmp, 32, 64),
    ("hw_ports", own_class_value(object), gains,
     {"__get__": lambda s, o, t: ("ce4", "ce5", "ce6", "ce7"), "__set__": lambda s, o, v: None},
     interface_of, "xe1", "xe5"),
    ("unit", own_class_value(object), gains, {"__set__": lambda s, o, v: None},
     stores_its_own_unit, True, False),
    ("pbmp_map", module_value, moves, {"__get__": lambda s, o, t: {"ce0": 9}}, pbmp,
     TypeError, 512),
    ("unit", module_value, moves, {"__set__": lambda s, o, v: None}, stores_its_own_unit,
     True, False),
    ("_speed_map", module_value, moves, {"__get__": lambda s, o, t: {"4x25G": 77}},
     class_speed, TypeError, 77),
]


def outcome(question, port_class, port):
    try:
        return question(port_class, port)
    except TypeError:
        return TypeError


@pytest.mark.parametrize("attribute, value, change, members, question, before, after",
                         VALUE_CLASS_CHANGES,
                         ids=["%s %s" % (case[0], case[2].__name__) for case in VALUE_CLASS_CHANGES])
def test_a_class_value_whose_own_class_changes_is_seen(attribute, value, change, members,
                                                       question, before, after):
    port_class = type("Port", (A.Tomahawk100GPort,), {attribute: value()})
    port = port_class("1", (0, 1, 2, 3), None, None, "QSFP28", (0, 1), 0)
    assert outcome(question, port_class, port) == before
    change(vars(port_class)[attribute], members)
    assert outcome(question, port_class, port) == after
