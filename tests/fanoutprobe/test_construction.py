"""Building an Asic: the services it builds, the members it sets, the
commands it sends in order, and how a shell time-out ends it."""

import os
import subprocess
import sys

import pytest

import bcmshell
import fanoutprobe
import tervane.porttab

from fanoutprobe_helpers import commands

MEMBERS = ["desc", "pt", "vrf_db", "bcm", "linux_ports", "kern_dev_cache", "kern_mdb_cache",
           "flood_mdb_misses", "kern_vlan_cache_created", "kern_vlan_cache",
           "kern_vlan_dev_cache_created", "kern_vlan_dev_cache", "kern_br_cache", "portmap",
           "l3_intfs", "vlan_xlate", "vlan_riot", "riot_enable", "vlan_riot_memtable", "vlans",
           "replication_groups", "mroutes"]

READS = ["show portmap", "pvlan show", "l3 intf show", "vlan translate show", "sc L3IngressMode",
         "multicast show"]


def test_members_in_order_and_fresh_kernel_caches(build, state):
    asic = build()
    public = [name for name in vars(asic) if not name.startswith("_")]
    assert public == MEMBERS
    assert asic.desc == "asic" and asic.flood_mdb_misses is True
    assert asic.kern_vlan_cache_created is False and asic.kern_vlan_dev_cache_created is False
    for cache in ("kern_dev_cache", "kern_mdb_cache", "kern_vlan_cache", "kern_vlan_dev_cache",
                  "kern_br_cache"):
        assert getattr(asic, cache) == {}
    assert asic.linux_ports == ["swp1", "swp2", "swp3", "swp4"]
    assert state.opened[-1] == {"timeout": 180}
    assert asic.riot_enable is False and asic.vlan_riot_memtable == ""


@pytest.mark.parametrize("use_mem_table, routes_command", [
    ((), "ipmc table show"), ((True,), "dump chg l3_entry_ipv4_multicast"),
    ((0,), "ipmc table show"), (("yes",), "dump chg l3_entry_ipv4_multicast"),
])
def test_commands_in_order(build, state, use_mem_table, routes_command):
    asic = build(*use_mem_table)
    sent = commands(state)
    assert [c for c in sent if not c.startswith(("vlan show", "ports "))] == READS + [routes_command]
    assert set(asic.get_mroutes()) == {"default, (10.0.0.0, 239.1.0.0)",
                                       "default, (10.0.0.1, 239.1.0.1)"}


def test_riot_on_lists_the_vlan_table(build, state):
    state.riot = True
    asic = build()
    assert "listmem VLAN" in commands(state)
    assert asic.riot_enable is True and asic.vlan_riot_memtable == "VLAN"


TIMEOUTS = [
    ("show portmap", "show portmap timed out"),
    ("pvlan show", "pvlan show"),
    ("l3 intf show", "l3 intf show"),
    ("vlan translate show", "vlan translate show"),
    ("sc L3IngressMode", "sc L3IngressMode timed out"),
    ("multicast show", "multicast show"),
    ("vlan show 101", "vlan show 101"),
    ("ports xe1,xe3", "ports xe1,xe3"),
    ("ipmc table show", "ipmc table show timed out"),
]


@pytest.mark.parametrize("command, message", TIMEOUTS)
def test_each_time_out_ends_construction_with_its_text(build, state, command, message):
    state.timeouts.add(command)
    with pytest.raises(RuntimeError) as raised:
        build()
    assert raised.value.args == (message,)
    assert isinstance(raised.value.__context__, TimeoutError)
    assert commands(state)[-1] == command


@pytest.mark.parametrize("command, message, kwargs", [
    ("dump chg l3_entry_ipv4_multicast", "dump chg l3_entry_ipv4_multicast", {"use_mem_table": 1}),
    ("listmem VLAN", "listmem VLAN", {}),
])
def test_time_outs_of_the_optional_commands(build, state, command, message, kwargs):
    state.riot = True
    state.timeouts.add(command)
    with pytest.raises(RuntimeError, match="^%s$" % message):
        build(**kwargs)


@pytest.mark.parametrize("error", [OSError(5, "io"), ConnectionResetError()])
def test_any_os_error_of_run_is_the_time_out(build, state, error):
    state.failures["pvlan show"] = error
    with pytest.raises(RuntimeError, match="^pvlan show$"):
        build()


@pytest.mark.parametrize("error", [ValueError("shell said no"), KeyboardInterrupt()])
def test_other_errors_of_run_pass_unchanged(build, state, error):
    state.failures["l3 intf show"] = error
    with pytest.raises(type(error)) as raised:
        build()
    assert raised.value is error


def test_show_unit_names_the_1g_chip(build, state):
    asic = build()
    for unit, answer in (("BCM56850_A0", False), ("BCM56340_A0", True), ("x5634012", True)):
        state.unit = unit
        assert asic._is_1G_chip() is answer
    state.timeouts.add("show unit")
    with pytest.raises(RuntimeError, match="^show unit timed out$"):
        asic._is_1G_chip()


def test_service_errors_pass_unchanged(build, state, monkeypatch):
    tervane.porttab.clear()
    with pytest.raises(RuntimeError, match="no port table installed"):
        build()
    assert state.opened == []
    tervane.porttab.install(state.linux_names())
    bcmshell.clear()
    with pytest.raises(RuntimeError, match="no simulated ASIC installed"):
        build()


def test_shell_module_replaced_at_call_time(build, state, monkeypatch):
    built = []
    monkeypatch.setattr(fanoutprobe, "bcmshell", None)
    monkeypatch.setattr(tervane.porttab, "porttab",
                        lambda real=tervane.porttab.porttab: built.append("pt") or real())
    with pytest.raises(AttributeError, match="bcmshell"):
        build()
    assert built == ["pt"] and state.log == []


@pytest.mark.parametrize("setup", [
    "sys.modules['bcmshell'] = None",
    "sys.path.insert(0, os.environ['BROKEN'])",
])
def test_library_loads_without_the_shell_module(tmp_path, setup):
    broken = tmp_path / "broken"
    broken.mkdir()
    (broken / "bcmshell.py").write_text("raise RuntimeError('no SDK here')\n")
    script = "\n".join([
        "import os, sys", setup, "import fanoutprobe, tervane.porttab",
        "assert fanoutprobe.bcmshell is None",
        "tervane.porttab.install({})",
        "try:\n    fanoutprobe.Asic()\nexcept AttributeError as e:\n    print('AttributeError')",
    ])
    env = dict(os.environ, BROKEN=str(broken), PYTHONPATH=os.pathsep.join(sys.path))
    result = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, env=env)
    assert result.returncode == 0, result.stderr
    assert result.stdout == "AttributeError\n"
