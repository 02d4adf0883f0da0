"""Platform definitions built from the Trident-family classes: the example
boxes, and Python subclasses whose overrides the family rules follow."""

import importlib

import pytest

import asicmodel as am


@pytest.mark.parametrize("name,chip_class", [
    ("trident_two_box", am.TridentTwo_56854_Chip), ("trident_three_box", am.TridentThreeX7_56870_Chip)])
def test_example_platforms_describe_every_port(name, chip_class):
    platform = importlib.import_module("platforms." + name).build()
    assert type(platform.switch.chip) is chip_class
    labels = [port.label for port in platform.switch.ports]
    assert len(set(labels)) == len(labels)
    for port in platform.switch.ports:
        mode = port.default_mode
        assert port.configurable({})
        for sub in range(port.num_logical_ports(mode)):
            assert port.hw_intf(mode, sub)[:2] in ("hg", "xe", "ce")
            assert isinstance(port.hw_port_num(mode, sub), int)


def test_trident_three_example_logical_numbers_do_not_collide():
    ports = importlib.import_module("platforms.trident_three_box").build().switch.ports
    numbers = [p.logical_port_num(p.default_mode, sub, 0)
               for p in ports for sub in range(p.num_logical_ports(p.default_mode))]
    assert len(set(numbers)) == len(numbers)


class GangedTenGigPort(am.TridentThree10GPort):
    """A board whose 10G cages also gang by four."""
    modes = ("1G", "10G", "40G/4")


class RenumberedPort(am.TridentThree25GPort):
    """A board whose SDK numbers interfaces from 100 up."""
    def hw_intf_num(self, mode, sub):
        return 100 + super().hw_intf_num(mode, sub)


class HalfSplitPort(am.TridentThree100GPort):
    """A board that only splits its 100G cages in two."""
    def num_logical_ports(self, mode):
        self._check_mode(mode)
        return 2


class CountlessModePort(am.TridentThree100GPort):
    """A board listing a one-character mode, too short to hold a count."""
    modes = ("4", "4x25G")


class TwoLaneGang(am.TridentTwo10GPort):
    gang_modes = ("20G/2",)
    modes = ("10G", "20G/2")


def make(cls, serdes, phy_layer="SFP+"):
    return cls("1", serdes, None, None, phy_layer, None, 0)


def test_family_rules_follow_a_subclass_mode_table():
    leader, member = make(GangedTenGigPort, (8,)), make(GangedTenGigPort, (9,))
    assert leader.default_mode == "1G"
    assert (leader.num_logical_ports("40G/4"), leader.num_physical_ports("40G/4")) == (1, 4)
    assert (member.num_logical_ports("40G/4"), member.num_physical_ports("40G/4")) == (0, 0)
    assert leader.polarity_flip_val("40G/4", 0, True) == 1
    with pytest.raises(am.NoSuchMode):
        make(GangedTenGigPort, (8,)).num_logical_ports("25G")
    # A mode the family's count rule does not know: no count.
    assert make(TwoLaneGang, (4,)).num_logical_ports("20G/2") is None


def test_family_numbering_follows_an_overridden_interface_number():
    p = make(RenumberedPort, (3,))
    assert p.led_port_num("25G", 0) == 103
    assert p.logical_port_num("25G", 0, 0) == 106
    assert p.hw_intf("100G/4", 0) == "ce103"


def test_polarity_follows_an_overridden_count():
    p = make(HalfSplitPort, (0, 1, 2, 3), "QSFP28")
    assert p.polarity_flip_val("100G", 1, 0b1100) == 3
    assert p.hw_intf_num("100G", 1) == 2


def test_hundred_gig_count_reads_the_mode_character_by_character():
    p = make(CountlessModePort, (0, 1, 2, 3), "QSFP28")
    assert p.num_logical_ports("4x25G") == 4
    with pytest.raises(IndexError):  # no second character to test for "x"
        p.num_logical_ports("4")


def test_object_values_win_over_class_values():
    p = make(am.TridentTwoPlus10GPort, (1,))
    p.phy_layer = "10GBaseT"
    assert (p.an_c37("10G"), p.an_c73("10G"), p.set_fiber_pref) == (None, None, False)
    p.modes = ("1G",)  # the mode check is a class method: the class's modes stand
    assert p.num_logical_ports("10G") == 1
    p.hw_ports = ("hg13",)
    assert p.num_logical_ports("40G/4") == 0
