"""Emission of pad and port runs and the chain-port rule."""

import pytest

import glimmer
from glimmer_helpers import board

T = "\nset_led:\n        port    a\n        ret\n"


def pad_load(n):
    return "\n        ld      a, %d" % n


def port_load(n):
    return "\n        ld      a,%d" % n


def call(name):
    return "\n        call    " + name


def test_worked_example():
    c = glimmer.TridentTwoLEDController()
    c._led_pad_call(1, 8, True)
    c._led_pad_call(0, 3, False)
    c._led_port_call((7, T, 70), 2)
    assert c.set_calls == [pad_load(8), call("pad_n_one")] + [call("pad_zero")] * 3 + \
        [port_load(6), call("set_led_7")] * 2
    assert list(c.set_functions) == [c.pad_n_one, c.pad_zero, T.replace("set_led:", "set_led_7:")]


@pytest.mark.parametrize("value,length,loop,calls,routine", [
    (1, 3, False, [call("pad_one")] * 3, "pad_one"),
    (0, 300, True, [pad_load(300), call("pad_n_zero")], "pad_n_zero"),
    (True, 1, 1, [pad_load(1), call("pad_n_one")], "pad_n_one"),
    (0.0, 2, None, [call("pad_zero")] * 2, "pad_zero"),
])
def test_pad_runs(value, length, loop, calls, routine):
    c = glimmer.BCMLEDController()
    c._led_pad_call(value, length, loop)
    assert c.set_calls == calls
    assert list(c.set_functions) == [getattr(c, routine)]


def test_both_shapes_of_one_pad_value_share_the_program():
    c = glimmer.BCMLEDController()
    c._led_pad_call(1, 9, True)
    c._led_pad_call(1, 2, False)
    c._led_pad_call(1, 9, True)
    assert list(c.set_functions) == [c.pad_n_one, c.pad_one]


def test_zero_length_runs_emit_nothing_and_check_nothing():
    c = glimmer.BCMLEDController()
    c._led_pad_call(7, 0, True)
    c._led_port_call("not a triple", 0)
    assert c.set_calls == [] and len(c.set_functions) == 0


@pytest.mark.parametrize("value,message", [
    ((1, 2), "bad pad value: (1, 2)"),
    # every character of the value's text reaches the message
    ("a\x00b", "bad pad value: a\x00b"),
    ("\udcff", "bad pad value: \udcff"),
])
def test_bad_pad_value_appends_nothing(value, message):
    c = glimmer.BCMLEDController()
    with pytest.raises(RuntimeError) as raised:
        c._led_pad_call(value, 4, False)
    assert raised.value.args == (message,)
    assert c.set_calls == []


def test_pad_routine_text_follows_the_object():
    c = glimmer.BCMLEDController()
    c.pad_one = "\npad_one:\n        push  1\n        ret\n"
    c._led_pad_call(1, 1, False)
    assert list(c.set_functions) == [c.pad_one]


@pytest.mark.parametrize("triple,calls,routines", [
    ((5, T, None), [], [T.replace("set_led:", "set_led_5:")]),
    (("x", "\nplain:\n        ret\n", 2), [port_load(2), call("set_led_x")],
     ["\nplain:\n        ret\n"]),
    (("y", "set_led: jmp set_led_inner\nset_led_inner:\n", 0), [port_load(64), call("set_led_y")],
     ["set_led_y: jmp set_led_inner\nset_led_inner:\n"]),
])
def test_port_runs(triple, calls, routines):
    c = glimmer.TridentTwoLEDController()
    c._led_port_call(triple, 1)
    assert c.set_calls == calls
    assert list(c.set_functions) == routines


def test_same_name_different_code_keeps_both_routines():
    c = glimmer.TridentTwoLEDController()
    c._led_port_call(("n", "set_led:\n  ret\n", 1), 1)
    c._led_port_call(("n", "set_led:\n  nop\n", 1), 1)
    assert list(c.set_functions) == ["set_led_n:\n  ret\n", "set_led_n:\n  nop\n"]


@pytest.mark.parametrize("call,error", [((1, 2), ValueError), ((1, 2, 3, 4), ValueError),
                                        (5, TypeError)])
def test_malformed_port_calls(call, error):
    c = glimmer.TridentTwoLEDController()
    with pytest.raises(error):
        c._led_port_call(call, 1)
    assert c.set_calls == []


def test_base_controller_has_no_chain_size():
    c = glimmer.BCMLEDController()
    with pytest.raises(TypeError):
        c._led_port_call(("n", T, 1), 1)
    # The routine is in, no line of the run is.
    assert len(c.set_functions) == 1 and c.set_calls == []


@pytest.mark.parametrize("cls,port,position", [
    (glimmer.TridentLEDController, 1, 1), (glimmer.TridentLEDController, 36, 36),
    (glimmer.TridentLEDController, 37, 1), (glimmer.TridentLEDController, 72, 36),
    (glimmer.TridentLEDController, 0, 36), (glimmer.TridentLEDController, -1, 35),
    (glimmer.MaverickLEDController, 64, 64), (glimmer.Helix4LEDController, 65, 1),
    (glimmer.TriumphLEDController, 128, 64), (glimmer.Hurricane2LEDController, 0, 64),
    (glimmer.TomahawkLEDController, 100, 100), (glimmer.TomahawkLEDController, 0, 0),
])
def test_chain_port(cls, port, position):
    assert cls()._chain_port(port) == position


def test_chain_size_follows_the_object():
    c = board(ports_per_chain=8)()
    c._led_port_call(("n", T, 9), 1)
    assert c.set_calls[0] == port_load(1)
