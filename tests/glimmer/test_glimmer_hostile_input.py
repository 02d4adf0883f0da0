"""Hostile values at glimmer's boundary: odd board attributes, ports, call
lists and templates end in the host's clean errors (never SystemError, never
a crash), and a refused configure records no calls."""

import pytest

import glimmer
from glimmer_helpers import Port, board

HUGE = "x" * 1000000


def outcome(call):
    """None when the call returns, else the type of its error."""
    try:
        call()
    except SystemError:
        raise
    except Exception as error:  # noqa: BLE001 - the type is what is checked
        return type(error)
    return None


def raises(call, error):
    got = outcome(call)
    return got is None if error is None else got is not None and issubclass(got, error)


def snapshot(controller):
    return {name: list(value) if isinstance(value, list) else value
            for name, value in vars(controller).items()}


@pytest.mark.parametrize("num_leds, error", [
    (None, TypeError), ("8", TypeError), (1.5, TypeError), (-1, None), (0, None),
    (-2 ** 100, None), (True, None),
    # A huge count fills a map of that many LEDs, as the host's range() would:
    # left out, it only exhausts memory.
])
def test_led_counts(num_leds, error):
    c = board(num_leds=num_leds)()
    before = snapshot(c)
    assert raises(lambda: c.configure(0, []), error)
    if error is not None:
        assert snapshot(c) == before


@pytest.mark.parametrize("ports, error", [
    (None, TypeError), (5, TypeError), ([None], AttributeError), (["\0"], AttributeError),
    ([Port("\0", 0, 1)], None), ([Port("\ud800", 0, 1)], None),
    ([Port("1", 0, -1)], None), ([Port("1", 0, 2 ** 100)], None),
    # LED indexes outside the chain claim nothing, as with the host's dict.
    ([Port("1", 2 ** 100, 1)], None), ([Port("1", -1, 1)], None),
    ([Port("1", 0, 1, ({2 ** 100: ("link", "x", 1)},))], None),
    ([Port("1", 0, 1, ({0: None},))], None),
    ([Port("1", 0, 1, ({0: ("\0", "\0", 1)},))], None),
    ([Port("1", 0, 1, ({0: ("a", "b")},))], (TypeError, ValueError)),
])
def test_ports(ports, error):
    c = board(num_leds=4)()
    before = snapshot(c)
    assert raises(lambda: c.configure(0, ports), error)
    if error is not None:
        assert snapshot(c) == before


@pytest.mark.parametrize("index", [None, -1, 2 ** 100, "0", "\ud800", 1.5])
def test_controller_index(index):
    c = board(num_leds=2)()
    outcome(lambda: c.configure(index, []))
    outcome(lambda: c.led_map(index))
    outcome(lambda: c.led_memory_init_commands(index))


@pytest.mark.parametrize("template, error", [
    (None, TypeError), (5, TypeError), ("", None), ("%(", ValueError), ("%(defines)q", ValueError),
    ("%(nothing)s", KeyError), ("\0%(defines)s\ud800", None), (HUGE, None),
    ("%(defines)s" * 10000, None), ("%" * 10001, ValueError), ("%(" + HUGE + ")s", KeyError),
])
def test_templates(template, error):
    c = board()()
    c._template = template
    assert raises(lambda: c.asm, error)


def test_template_that_is_not_text_is_refused_as_by_the_host():
    c = board()()
    c._template = None
    with pytest.raises(TypeError, match="^unsupported operand type\\(s\\) for %: 'NoneType' and 'dict'$"):
        c.asm


@pytest.mark.parametrize("calls", [None, 5, [None], [("\0", 2 ** 100)], [(-1, -1)],
                                   [HUGE], [[]] * 1000, "text"])
def test_call_lists(calls):
    c = board()()
    for operation in (c._eval_looping, c._calc_looped_instructions,
                      c._calc_unrolled_instructions):
        outcome(lambda: operation(calls))


@pytest.mark.parametrize("value, length", [(None, None), (0, -1), (1, 2 ** 100), ("\0", 3),
                                           (2 ** 100, 1), (0, 0)])
def test_pad_and_port_calls(value, length):
    c = board()()
    outcome(lambda: c._led_pad_call(value, length, True))
    outcome(lambda: c._led_port_call(value, length))
    outcome(lambda: c._chain_port(value))


@pytest.mark.parametrize("text", [None, 5, "", "\0", "\ud800", HUGE])
def test_routine_sets(text):
    routines = glimmer._RoutineSet()
    outcome(lambda: routines.add(text))
    list(routines)
