"""The pad-loop cost model: both size estimates and the decision."""

import pytest

import glimmer
from glimmer_helpers import board

T = ("t", "set_led:\n", 1)

CASES = [
    # runs, unrolled, looped, decision
    ([], [0, 0], [0, 0], [False, False]),
    ([(None, 4), (T, 3)], [0, 0], [0, 0], [False, False]),
    ([(1, 8), (0, 3), (T, 2), (1, 2), (None, 4), (0, 1)], [8, 20], [16, 18], [False, True]),
    ([(1, 2)], [0, 4], [0, 4], [False, False]),           # at the threshold
    ([(1, 7)], [0, 14], [0, 14], [False, False]),         # a tie stays unrolled
    ([(1, 5), (None, 1), (1, 5)], [0, 20], [0, 18], [False, True]),
    ([(0, 5)], [10, 0], [14, 0], [False, False]),
    ([(0, 9), (1, 7), (0, 9)], [36, 14], [18, 14], [True, False]),
    ([(True, 64)], [0, 128], [0, 14], [False, True]),     # True counts as 1
]


@pytest.mark.parametrize("runs,unrolled,looped,decision", CASES)
def test_sizes_and_decision(runs, unrolled, looped, decision):
    c = glimmer.BCMLEDController()
    assert c._calc_unrolled_instructions(runs) == unrolled
    assert c._calc_looped_instructions(runs) == looped
    assert c._eval_looping(runs) == decision


def test_constants_come_from_the_object():
    cheap_loops = board(pad_n_code_size=0, pad_n_call_size=1, loop_insert_cost=0)()
    assert cheap_loops._calc_looped_instructions([(1, 1), (0, 1)]) == [1, 1]
    assert cheap_loops._eval_looping([(1, 1)]) == [False, True]


def test_decision_uses_the_overridden_estimates():
    calls = []

    class Recording(glimmer.BCMLEDController):
        def _calc_looped_instructions(self, runs):
            calls.append("looped")
            return [1, 9]

        def _calc_unrolled_instructions(self, runs):
            calls.append("unrolled")
            return [2, 9]

    assert Recording()._eval_looping([]) == [True, False]
    assert calls == ["looped", "unrolled"]


@pytest.mark.parametrize("runs,error", [
    ([(1, 2, 3)], ValueError),
    ([5], TypeError),
    ([(1, "8")], TypeError),
])
def test_malformed_runs_are_refused(runs, error):
    with pytest.raises(error):
        glimmer.BCMLEDController()._calc_looped_instructions(runs)
