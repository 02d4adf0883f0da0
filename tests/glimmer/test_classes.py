"""The class tree, its constants, its operations as methods and the
run-list table every controller shares."""

import copy
import pickle

import pytest

import glimmer
from glimmer_helpers import Port, board

FAMILIES = [
    ("TriumphLEDController", 64), ("Helix4LEDController", 64),
    ("Hurricane2LEDController", 64), ("TridentLEDController", 36),
    ("TridentTwoLEDController", 64), ("TridentTwoPlusLEDController", 64),
    ("MaverickLEDController", 64), ("TomahawkLEDController", 64),
]


def test_module_holds_exactly_the_class_tree_in_order():
    names = [n for n in vars(glimmer) if not n.startswith("_")]
    assert names == ["LEDController", "BCMLEDController"] + [n for n, _ in FAMILIES]
    assert glimmer.__doc__ is None
    assert glimmer.LEDController.__bases__ == (object,)
    assert glimmer.BCMLEDController.__bases__ == (glimmer.LEDController,)


@pytest.mark.parametrize("name,ports_per_chain", FAMILIES)
def test_family_sets_only_its_chain_size(name, ports_per_chain):
    cls = getattr(glimmer, name)
    assert cls.__bases__ == (glimmer.BCMLEDController,)
    own = {k for k in vars(cls) if not k.startswith("__")}
    assert own == ({"ports_per_chain", "_chain_port"} if name == "TomahawkLEDController"
                   else {"ports_per_chain"})
    assert cls.ports_per_chain == ports_per_chain
    assert cls.call_list is glimmer.BCMLEDController.call_list


def test_constants_of_the_base_controller():
    c = glimmer.BCMLEDController
    assert (c._bytesmith, c.ports_per_chain, c.num_leds, c.led_functions) == \
        ("/usr/lib/tervane/bytesmith", None, None, ())
    assert (c.blink_period, c.pad_n_code_size, c.pad_call_size, c.pad_n_call_size,
            c.loop_insert_cost, c.default_pad) == (90, 10, 2, 4, 2, 1)
    assert c.has_phys_id is False
    assert (c.data_array_name, c.data_array_base_addr) == ("CMIC_GLIMMER{idx}_DATA_RAM", 192)
    assert c.in_ram_constants == {"blink": {"addr": 242, "val": 3},
                                  "wiggle": {"addr": 245, "val": 19},
                                  "wag": {"addr": 248, "val": 119}}
    assert set(c.static_code) == {"constants"}
    for table in (c.static_no_id_func_code, c.static_id_func_code):
        assert set(table) == {"variables", "functions", "blink_updater_calls"}
    assert "PORT_MAP_ARRAY     equ    0xc0\n" in c.static_id_func_code["variables"]


@pytest.mark.parametrize("operation,doc", [
    ("_eval_looping", "Return boolean list.  True for pad call type(s) that benefit from looping"),
    ("_chain_port", "convert a hardware port number to a led chain port number"),
    ("configure", None),
])
def test_documentation_is_the_operations_own_text(operation, doc):
    assert getattr(glimmer.BCMLEDController, operation).__doc__ == doc


def test_constructor_gives_each_object_its_own_collections():
    first, second = glimmer.TridentLEDController(), glimmer.TridentLEDController()
    assert set(vars(first)) == {"set_functions", "set_calls", "_template"}
    assert first.set_calls == [] and first.set_calls is not second.set_calls
    assert isinstance(first.set_functions, set) and len(first.set_functions) == 0
    assert first.set_functions is not second.set_functions


def test_run_lists_are_shared_by_controller_index(fresh_call_list):
    cls = board()
    a, b = cls(), cls()
    a.configure(0, [Port("1", 0, 1, ({0: ("x", "set_led:\n", 3)},))])
    b.configure(1, [Port("1", 0, 1, ({0: ("y", "set_led:\n", 4)},))])
    assert sorted(fresh_call_list) == [0, 1]
    assert a.led_map(1) == b.led_map(1) == [4]
    # A later controller for the same index replaces the runs for everyone.
    cls().configure(0, [Port("1", 0, 1, ({0: ("z", "set_led:\n", 5)},))])
    assert a.led_map(0) == [5]


def test_routine_set_keeps_first_arrival_order():
    routines = glimmer.BCMLEDController().set_functions
    for text in ["c", "a", "c", "b"]:
        routines.add(text)
    set.add(routines, "0")  # around add: after the ordered texts
    assert list(routines) == ["c", "a", "b", "0"]
    assert routines == {"a", "b", "c", "0"}


def test_operations_behave_as_methods():
    cls = glimmer.TridentLEDController
    c = cls()
    # Read from the class: the function; from an object: a bound method.
    assert cls._chain_port.__name__ == "_chain_port"
    assert c._chain_port.__self__ is c and c._chain_port(37) == 1
    assert vars(glimmer.BCMLEDController)["_chain_port"].__func__ is cls._chain_port
    assert cls._chain_port(c, 38) == 2
    with pytest.raises(TypeError, match=r"^BCMLEDController._chain_port\(\) missing 1 required "
                                        r"positional argument: 'port_num'$"):
        c._chain_port()

    class Board(cls):
        def _chain_port(self, port_num):
            return super()._chain_port(port_num) * 10

    assert Board()._chain_port(37) == 10


def routines():
    c = glimmer.BCMLEDController()
    for text in ["c", "a"]:
        c.set_functions.add(text)
    return c


@pytest.mark.parametrize("duplicate", [copy.copy, copy.deepcopy,
                                       lambda s: pickle.loads(pickle.dumps(s))])
def test_routine_set_copies_are_independent(duplicate):
    original = routines().set_functions
    duplicated = duplicate(original)
    duplicated.add("b")
    original.add("d")
    original.add("b")  # arrives after "d" here, whatever the copy holds
    assert list(duplicated) == ["c", "a", "b"]
    assert list(original) == ["c", "a", "d", "b"]
    assert type(duplicated) is type(original)


def test_configured_controller_survives_pickling():
    c = routines()
    c._led_pad_call(1, 3, False)
    again = pickle.loads(pickle.dumps(c))
    assert type(again.set_functions) is glimmer._RoutineSet
    assert list(again.set_functions) == list(c.set_functions)
    assert again.set_calls == c.set_calls and again.set_calls is not c.set_calls
