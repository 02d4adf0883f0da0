"""configure: the LED call map, the run list and the order of emission."""

import pytest

import glimmer
from glimmer_helpers import Port, board

A = ("a", "set_led:\n        ret\n", 3)
B = ("b", "set_led:\n        ret\n", 4)


class Recording(board(num_leds=8)):
    """Records what configure hands to the two emitters."""

    def __init__(self):
        super().__init__()
        self.emitted = []

    def _led_pad_call(self, value, length, emit_loop):
        self.emitted.append(("pad", value, length, emit_loop))

    def _led_port_call(self, call, length):
        self.emitted.append(("port", call, length))


def test_worked_example(fresh_call_list):
    p = Port("5", 4, 9, ({4: 0},))
    q = Port("1", 0, 1, ({0: A, 1: None}, {2: B, 3: None}))
    c = Recording()
    assert c.configure(0, [p, q]) is None
    assert q.asked == [(1, 0, [0]), (2, 1, [0])]
    assert p.asked == [(3, 0, [4])]
    assert fresh_call_list[0] == [(A, 1), (None, 1), (B, 1), (None, 1), (0, 1), (1, 3)]
    assert c.emitted == [("port", A, 1), ("port", B, 1), ("pad", 0, 1, False),
                         ("pad", 1, 3, False)]


@pytest.mark.parametrize("num_leds,runs,emitted", [
    (64, [(1, 64)], [("pad", 1, 64, True)]),
    (3, [(1, 3)], [("pad", 1, 3, False)]),
    (0, [], []),
])
def test_no_claims_pad_everything(fresh_call_list, num_leds, runs, emitted):
    c = Recording()
    c.num_leds = num_leds
    c.configure(7, [])
    assert fresh_call_list[7] == runs
    assert c.emitted == emitted


def test_gangs_share_one_led_index_list():
    ports = [Port("1", 10, 3), Port("2", 20, 2), Port("1", 11, 1)]
    Recording().configure(0, ports)
    lists = [port.asked[0][2] for port in ports]
    assert lists[0] == [10, 11] and lists[0] is lists[2]
    assert lists[1] == [20]
    # Hardware-port order numbers the logical ports.
    assert [port.asked[0][0] for port in ports] == [3, 2, 1]


def test_equal_hardware_ports_keep_their_order():
    ports = [Port("1", 0, 5), Port("2", 1, 5), Port("3", 2, 1)]
    Recording().configure(0, ports)
    assert [port.asked[0][0] for port in ports] == [2, 3, 1]


def test_ports_without_logical_ports_are_asked_nothing():
    gang_member = Port("1", 0, 1, ())
    leader = Port("1", 1, 2)
    Recording().configure(0, [gang_member, leader])
    assert gang_member.asked == [] and leader.asked == [(1, 0, [0, 1])]


@pytest.mark.parametrize("claims,runs", [
    # a later claim of an LED wins
    (({0: A}, {0: B}), [(B, 1), (1, 7)]),
    # LED numbers outside the chain are sorted in
    (({-1: A, 9: 0},), [(A, 1), (1, 8), (0, 1)]),
    # equal neighbours fold into one run; None keeps them apart
    (({0: A, 1: A, 2: None, 3: A},), [(A, 2), (None, 1), (A, 1), (1, 4)]),
    # pad values compare as numbers
    (({0: True, 1: 1.0},), [(True, 8)]),
])
def test_run_list(fresh_call_list, claims, runs):
    Recording().configure(0, [Port("1", 0, 1, claims)])
    assert fresh_call_list[0] == runs


def test_pad_runs_loop_only_when_longer_than_the_threshold(fresh_call_list):
    c = Recording()
    c.num_leds = 20
    c.configure(0, [Port("1", 0, 1, ({2: A, 5: A},))])
    assert c.emitted == [("pad", 1, 2, False), ("port", A, 1), ("pad", 1, 2, False),
                         ("port", A, 1), ("pad", 1, 14, True)]


def test_missing_led_count_fails_before_recording(fresh_call_list):
    c = glimmer.TridentLEDController()
    with pytest.raises(TypeError):
        c.configure(0, [])
    assert fresh_call_list == {} and c.set_calls == []


def test_second_configure_appends_its_calls():
    c = board(num_leds=2)()
    c.configure(0, [])
    c.configure(0, [])
    assert c.set_calls == ["\n        call    pad_one"] * 4


def test_port_errors_reach_the_caller_unchanged():
    class Broken(Port):
        def set_leds(self, led_port, sub, led_index_list):
            raise LookupError("no LEDs here")

    with pytest.raises(LookupError, match="no LEDs here"):
        board()().configure(0, [Broken("1", 0, 1)])
