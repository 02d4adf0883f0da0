"""led_map and the data-RAM initialisation commands."""

import pytest

from glimmer_helpers import board

R = "set_led:\n        ret\n"
RELOADS = ["[0xf2] 3", "[0xf5] 19", "[0xf8] 119"]


def commands(name, entries):
    return ["setreg %s%s" % (name, entry) for entry in entries]


def test_worked_example(fresh_call_list):
    fresh_call_list[0] = [(1, 3), (("link", R, 5), 1), (None, 2), (("link", R, 6), 2), (0, 4)]
    c = board(has_phys_id=True)()
    assert c.led_map(0) == [5, 6]
    assert c.led_memory_init_commands(0) == commands(
        "CMIC_GLIMMER0_DATA_RAM", ["[0xc0] 5", "[0xc1] 6"] + RELOADS)


@pytest.mark.parametrize("flag,listed", [(False, False), (True, True), (0, True), (None, True)])
def test_only_false_itself_turns_the_commands_off(fresh_call_list, flag, listed):
    fresh_call_list[0] = [(("link", R, 5), 1)]
    c = board(has_phys_id=flag)()
    assert c.led_map(0) == [5]
    assert bool(c.led_memory_init_commands(0)) is listed


@pytest.mark.parametrize("runs,port_map", [
    ([], []),
    ([(1, 8), (None, 2), (0, 1)], []),
    ([(("a", R, None), 3), (("b", R, 7), 1)], [7]),   # no number: no entry
    ([(("a", R, 0), 1), (("a", R, 99), 1)], [0, 99]),  # numbers as the ports gave them
])
def test_port_map(fresh_call_list, runs, port_map):
    fresh_call_list[2] = runs
    c = board(has_phys_id=True)()
    assert c.led_map(2) == port_map
    addresses = ["[0x%x] %d" % (0xc0 + i, port) for i, port in enumerate(port_map)]
    assert c.led_memory_init_commands(2) == commands("CMIC_GLIMMER2_DATA_RAM", addresses + RELOADS)


def test_eleventh_entry_is_written_in_lower_case(fresh_call_list):
    fresh_call_list[1] = [(("p", R, n), 1) for n in range(11)]
    assert board(has_phys_id=True)().led_memory_init_commands(1)[10] == \
        "setreg CMIC_GLIMMER1_DATA_RAM[0xca] 10"


def test_moved_port_map_and_renamed_array(fresh_call_list):
    fresh_call_list[3] = [(("p", R, 4), 1)]
    c = board(has_phys_id=True, data_array_base_addr=0xa0, data_array_name="LED{idx}_RAM")()
    assert c.led_memory_init_commands(3) == commands("LED3_RAM", ["[0xa0] 4"] + RELOADS)


@pytest.mark.parametrize("entries,refused", [(32, False), (33, True), (70, True)])
def test_port_map_must_fit_data_ram(fresh_call_list, entries, refused):
    fresh_call_list[4] = [(("p", R, n), 1) for n in range(entries)]
    c = board(has_phys_id=True)()
    assert len(c.led_map(4)) == entries
    if refused:
        with pytest.raises(RuntimeError, match=r"LED controller 4: port map of %d entries" % entries):
            c.led_memory_init_commands(4)
    else:
        assert c.led_memory_init_commands(4)[31] == "setreg CMIC_GLIMMER4_DATA_RAM[0xdf] 31"


def test_refusal_names_the_controller_index_whole(fresh_call_list):
    fresh_call_list["a\x00b"] = [(("p", R, n), 1) for n in range(33)]
    with pytest.raises(RuntimeError) as raised:
        board(has_phys_id=True)().led_memory_init_commands("a\x00b")
    assert raised.value.args[0].startswith("LED controller a\x00b: port map of 33 entries")


def test_unknown_controller_index_is_a_key_error():
    with pytest.raises(KeyError):
        board()().led_map(9)


def test_port_map_follows_an_overridden_led_map(fresh_call_list):
    class Fixed(board(has_phys_id=True)):
        def led_map(self, controller_idx):
            return iter([11, 12])

    assert Fixed().led_memory_init_commands(0)[:2] == commands(
        "CMIC_GLIMMER0_DATA_RAM", ["[0xc0] 11", "[0xc1] 12"])
