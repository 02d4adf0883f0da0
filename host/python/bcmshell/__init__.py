"""Stand-in for the SDK diagnostic shell module.

A test builds an `AsicState` (by hand or with `AsicState.generate(...)` at
any size) and installs it with `install(state)`; every `bcmshell(...)`
opened afterwards answers from it:

- `run(cmd)` returns the text the SDK shell would print for the commands
  the multicast checker sends ("show unit", "show portmap", "pvlan show",
  "vlan show <vid>", "ports <list>", "l3 intf show", "vlan translate show",
  "sc L3IngressMode", "listmem VLAN", "multicast show", "ipmc table show",
  "dump chg l3_entry_ipv4_multicast"); any other command is a ValueError;
- `gettable(name, fields=True, start=i, entries=n)` returns n rows of the
  RIOT memory table ("VLAN" or "VLAN_MPLS", whichever the state says holds
  L3_IIF), each a dict of field name to int.

Every command is appended to `state.log` (table reads as tuples
("gettable", name, start, entries)) and the keyword arguments of every
opened shell to `state.opened`. Faults: a command in `state.timeouts`
raises TimeoutError; `state.raw[cmd]` is returned as the output unchanged;
`state.failures[cmd]` (or [("gettable", name, start)]) is raised.
"""

import re

from bcmshell import render
from bcmshell.state import AsicState, Group, L3Intf, Port, Route, Translation  # noqa: F401

_installed = None

_FIXED = {
    "show unit": render.show_unit,
    "show portmap": render.show_portmap,
    "pvlan show": render.pvlan_show,
    "l3 intf show": render.l3_intf_show,
    "vlan translate show": render.vlan_translate_show,
    "sc L3IngressMode": render.l3_ingress_mode,
    "multicast show": render.multicast_show,
    "ipmc table show": render.ipmc_table_show,
    "dump chg l3_entry_ipv4_multicast": render.dump_l3_entry_ipv4_multicast,
}
_VLAN_SHOW = re.compile(r"^vlan show (-?\d+)$")


def install(state):
    """Make `state` the ASIC that shells opened from now on answer from."""
    global _installed
    if not isinstance(state, AsicState):
        raise TypeError("install() needs an AsicState")
    _installed = state
    return state


def clear():
    global _installed
    _installed = None


class bcmshell(object):
    """One open connection to the simulated shell."""

    def __init__(self, timeout=None):
        if _installed is None:
            raise RuntimeError("no simulated ASIC installed: call bcmshell.install() first")
        self.state = _installed
        self.timeout = timeout
        self.state.opened.append({"timeout": timeout})

    def run(self, cmd):
        state = self.state
        state.log.append(cmd)
        if cmd in state.failures:
            raise state.failures[cmd]
        if cmd in state.timeouts:
            raise TimeoutError("%s: no answer within %s seconds" % (cmd, self.timeout))
        if cmd in state.raw:
            return state.raw[cmd]
        if cmd in _FIXED:
            return _FIXED[cmd](state)
        vlan = _VLAN_SHOW.match(cmd)
        if vlan:
            return render.vlan_show(state, int(vlan.group(1)))
        if cmd.startswith("ports "):
            return render.ports(state, cmd[len("ports "):])
        if cmd.startswith("listmem "):
            return render.listmem(state, cmd[len("listmem "):])
        raise ValueError("the simulated shell does not know the command %r" % cmd)

    def gettable(self, name, fields=False, start=0, entries=1):
        state = self.state
        state.log.append(("gettable", name, start, entries))
        if ("gettable", name, start) in state.failures:
            raise state.failures[("gettable", name, start)]
        table = "VLAN" if state.vlan_table_has_l3_iif else "VLAN_MPLS"
        if name != table or fields is not True:
            raise ValueError("the simulated shell reads table %s by fields only" % table)
        return [{"VALID": 1, "L3_IIF": state.l3_iif.get(index, 0)}
                for index in range(start, start + entries)]
