"""The benchmark's pure-Python reference (bench/pure_asicmodel.py) answers
as the module does: class tables, constructors, every question the
benchmark times on a small platform, and refused modes and shorthands. A
change to either that the other does not follow fails here."""

import os
import sys

import pytest

import asicmodel

BENCH = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                     "bench")
sys.path.insert(0, BENCH)
import asicmodel_cases as cases  # noqa: E402
import pure_asicmodel  # noqa: E402

CLASS_TREE = ("Port", "SDKPort", "BCMPort", "TomahawkPort", "TridentTwoPort") + cases.PORT_CLASSES

CLASS_VALUES = ("is_fabric", "create_fabric", "modes", "default_mode", "gang_modes",
                "max_gang_size", "pbmp_map", "phy_init", "_speed_map", "_autodetect_phys",
                "disable_prefix_xlate", "set_fiber_pref", "_serdes_intf_map", "autoneg_pref",
                "sdk_group", "name_override")

SHORTHANDS = ("1x", "2x", "4x", "/1", "/2", "/4")
UNLISTED_MODES = ("4x", "25G", "", "100g", "40G/4 ", None)


@pytest.fixture(scope="module")
def small_platform():
    description, config_map = cases.describe_platform(
        cages_100g=10, lanes_25g=24, cages_40g=3, lanes_10g=10)
    return description, config_map, cases.prepare(asicmodel, pure_asicmodel, description,
                                                  config_map)


@pytest.mark.parametrize("name", CLASS_TREE)
def test_class_tree_and_tables(name):
    module_class, reference_class = getattr(asicmodel, name), getattr(pure_asicmodel, name)
    assert [c.__name__ for c in module_class.__mro__] \
        == [c.__name__ for c in reference_class.__mro__]
    for value in CLASS_VALUES:
        assert cases.same_outcome(cases.outcome(lambda: getattr(module_class, value)),
                                  cases.outcome(lambda: getattr(reference_class, value)), {}), value


def test_every_timed_answer_agrees(small_platform):
    _, config_map, sides = small_platform
    assert cases.disagreements(*sides, config_map) == []


def test_refused_modes_and_shorthands_agree(small_platform):
    description, _, sides = small_platform
    questions = []
    for _ in description:
        calls = []
        for mode in UNLISTED_MODES:
            calls += [("_check_mode", (mode,)), ("speed", (mode,)), ("num_lanes", (mode,)),
                      ("num_logical_ports", (mode,)), ("num_physical_ports", (mode,)),
                      ("polarity_flip_val", (mode, 0, True)), ("hw_intf", (mode, 0)),
                      ("complete_mode", (cases.SELF, mode))]
        calls += [("complete_mode", (cases.SELF, shorthand)) for shorthand in SHORTHANDS]
        questions.append(calls)
    side, reference_side = sides
    assert cases.plan_disagreements(cases.plan(side.ports, questions),
                                    cases.plan(reference_side.ports, questions)) == []


# Constructor calls: every argument by keyword, the fewest by position, and
# argument errors (unit missing, an unknown keyword).
FULL_KEYWORDS = dict(rx_lane_map=1, rx_polarity_flip=2, tx_lane_map=3, tx_polarity_flip=4,
                     mdi_pair_map=5, pre_emphasis=(6,), drv_current=(7,), pre_drv_current=(8,),
                     oversub=True, phy_id1=9, sys_interface=10, prim_offset=11)
CONSTRUCTIONS = [
    ((), dict(label="7", serdes=(8, 9, 10, 11), phy_types=("84328",) * 4, phy_addrs=(1, 2, 3, 4),
              phy_layer="QSFP28", leds=(0, 7), unit=1, **FULL_KEYWORDS)),
    (("7", (12,), None, None, "SFP28", None, 0), {}),
    (("7", (12,), None, None, None, None), {}),
    (("7", (12,), None, None, None, None, 0), {"lane_map": 1}),
]


@pytest.mark.parametrize("name", cases.PORT_CLASSES)
@pytest.mark.parametrize("args,kwargs", CONSTRUCTIONS)
def test_constructors_take_the_same_arguments(name, args, kwargs):
    built = [cases.outcome(lambda: getattr(module, name)(*args, **kwargs))
             for module in (asicmodel, pure_asicmodel)]
    assert built[0][0] == built[1][0]
    if built[0][0]:
        assert cases.construction_disagreements([built[0][1]], [built[1][1]]) == []
    else:
        assert cases.same_error(built[0][1], built[1][1])


def test_lane_questions_without_polarity_values_agree():
    """Ports built with no polarity values (None) answer the polarity
    questions alike, errors included."""
    ports = [[getattr(module, name)("3", (4, 5, 6, 7), None, None, "QSFP+", None, 0)
              for name in cases.PORT_CLASSES] for module in (asicmodel, pure_asicmodel)]
    questions = [[(operation, (mode, sub)) for mode in port.modes for sub in range(4)
                  for operation in ("rx_logical_polarity_flip", "tx_logical_polarity_flip")]
                 for port in ports[1]]
    assert cases.plan_disagreements(cases.plan(ports[0], questions),
                                    cases.plan(ports[1], questions)) == []


def test_a_disagreement_is_reported(small_platform):
    """The comparison sees a difference of type alone (True against 1)."""
    _, _, (side, reference_side) = small_platform
    port, reference = side.ports[0], reference_side.ports[0]
    questions = [[("polarity_flip_val", ("100G", 0, 1))]]
    reference.polarity_flip_val = lambda mode, sub, flip: True
    try:
        found = cases.plan_disagreements(cases.plan([port], questions),
                                         cases.plan([reference], questions))
    finally:
        del reference.polarity_flip_val
    assert len(found) == 1 and "asicmodel 1, reference True" in found[0]
