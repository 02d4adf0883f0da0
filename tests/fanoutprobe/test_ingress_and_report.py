"""RIOT ingress lookup and the route report."""

import io
import os
import sys

import pytest

import bcmshell
import fanoutprobe as fp

from fanoutprobe_helpers import commands

GOLDEN = os.path.join(os.path.dirname(__file__), "golden")


@pytest.mark.parametrize("answer, riot", [("0x0\n", False), ("\n0x1\n\n", True), ("1", True),
                                          ("-0X2 ", True), ("0", False)])
def test_l3_ingress_mode(build, state, answer, riot):
    state.raw["sc L3IngressMode"] = answer
    assert build().riot_enable is riot


def test_l3_ingress_mode_fault(build, state):
    state.raw["sc L3IngressMode"] = "enabled"
    with pytest.raises(ValueError, match="base 16: 'enabled'"):
        build()


@pytest.mark.parametrize("listing, table", [("  L3_IIF<33:21>\n", "VLAN"),
                                            ("  L3_IIF_VALID<1>\n  L3_IIFX<2>", "VLAN_MPLS")])
def test_riot_table_choice(build, state, listing, table):
    state.riot = True
    state.raw["listmem VLAN"] = listing
    assert build().vlan_riot_memtable == table


def test_hw_vlan_to_iif(build, state):
    asic = build()
    state.log.clear()
    assert asic._hw_vlan_to_iif(-1) is None
    assert (asic._hw_vlan_to_iif(0), asic._hw_vlan_to_iif(100)) == (0, 100)
    asic.riot_enable = True
    asic.vlan_riot_memtable = "VLAN"
    assert asic._hw_vlan_to_iif(-1) is None
    assert asic._hw_vlan_to_iif(100) == 4096
    assert asic._hw_vlan_to_iif(100) == 4096
    assert state.log == [("gettable", "VLAN", 100, 1)]
    assert asic.vlan_riot == {100: 4096}
    state.failures[("gettable", "VLAN", 101)] = OSError("table read failed")
    with pytest.raises(OSError):
        asic._hw_vlan_to_iif(101)
    asic.bcm.gettable = lambda *args, **kwargs: []
    with pytest.raises(IndexError):
        asic._hw_vlan_to_iif(102)
    assert asic.vlan_riot == {100: 4096}


@pytest.fixture
def report_asic(build, state):
    state.routes.append(bcmshell.Route("9.0.0.1", "239.1.0.0", 100, 7))
    state.routes.append(bcmshell.Route("0.0.0.0", "239.2.2.2", 101, 2))
    asic = build()
    asic.mroutes["default, (10.0.0.1, 239.1.0.1)"].oil_mismatch.append(
        "kernel has OIFs not in the hw")
    asic.mroutes["default, (0.0.0.0, 239.2.2.2)"].iif_mismatch.append(
        "kernel IIF does not match hw IIF")
    return asic


def test_report_golden(report_asic):
    with open(os.path.join(GOLDEN, "asic_report.txt"), encoding="utf-8", newline="") as golden:
        assert str(report_asic) == golden.read()


def test_dump_writes_one_block_per_route(report_asic, monkeypatch):
    writes = []

    class Out:
        def write(self, text):
            writes.append(text)
    monkeypatch.setattr(sys, "stdout", Out())
    report_asic.dump_mroutes()
    assert "".join(writes) == str(report_asic)[len("Asic ip mroutes:\n"):]
    assert len(writes) == 4
    for empty in ([], None, ()):
        writes.clear()
        report_asic.dump_mroutes(empty)
        assert len(writes) == 4
    b, a = "default, (9.0.0.1, 239.1.0.0)", "default, (0.0.0.0, 239.2.2.2)"
    writes.clear()
    report_asic.dump_mroutes([b, "nothing", a, a])
    blocks = [report_asic._dump_one_mroute(report_asic.mroutes[k]) for k in (b, a, a)]
    assert writes == blocks


def test_route_listing_is_the_callers(report_asic):
    keys = report_asic.get_mroutes()
    keys.clear()
    assert len(report_asic.get_mroutes()) == 4


def test_empty_asic_report(build, state, capsys):
    state.routes = []
    asic = build()
    assert asic.get_mroutes() == set() and str(asic) == "Asic ip mroutes:\n"
    asic.dump_mroutes()
    assert capsys.readouterr().out == ""


def test_block_of_a_route_without_group(build, state):
    asic = build()
    route = fp.Hmroute("10.0.0.1", "239.1.1.1", 100, 0x55, "default")
    assert asic._dump_one_mroute(route) == "default, (10.0.0.1, 239.1.1.1), iif: 100\n"
    asic.replication_groups[route.grp] = fp.ReplicationGroup(route.grp, [], [])
    assert asic._dump_one_mroute(route) == "default, (10.0.0.1, 239.1.1.1), iif: 100\n"
