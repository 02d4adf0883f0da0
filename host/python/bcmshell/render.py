"""The text the simulated shell prints for each command it knows."""

import re

# (SDK port name prefix, number) of a name such as "xe12".
_NAME = re.compile(r"^([a-z]+)(\d+)$")


def port_list(names):
    """The SDK's port-list notation: runs of one prefix as "xe2-xe5"."""
    if not names:
        return "none"
    items, run = [], []
    for name in names:
        match = _NAME.match(name)
        if run and match and _NAME.match(run[-1]).group(1) == match.group(1) \
                and int(_NAME.match(run[-1]).group(2)) + 1 == int(match.group(2)):
            run.append(name)
            continue
        if run:
            items.append(run[0] if len(run) == 1 else "%s-%s" % (run[0], run[-1]))
        run = [name] if match else []
        if not match:
            items.append(name)
    if run:
        items.append(run[0] if len(run) == 1 else "%s-%s" % (run[0], run[-1]))
    return ",".join(items)


def expand_port_list(state, text):
    """Port names of a port list, refusing names the ASIC lacks."""
    if text == "none":
        return []
    known = [port.dport for port in state.ports]
    position = {}  # name -> its first position in `known`
    for index, name in enumerate(known):
        position.setdefault(name, index)
    names = []
    for item in text.split(","):
        first, _, last = item.partition("-")
        if first not in position or (last and last not in position):
            raise ValueError("bad port list %r" % text)
        names.extend(known[position[first]:position[last or first] + 1])
    return names


def show_unit(state):
    return "Unit 0 chip %s (current) type 0x0\n" % state.unit


def show_portmap(state):
    titles = state.layout["portmap_titles"]
    lines = ["  " + "  ".join(titles)]
    for index, port in enumerate(state.ports):
        values = {"pipe": 0, "logical": port.logical, "physical": index + 1,
                  "idb": index, "mmu": index}
        cells = ["%s (%d)" % (port.dport, port.logical) if title == "port" else str(values[title])
                 for title in titles]
        lines.append("  " + "  ".join(cells))
    return "\n".join(lines) + "\n"


def pvlan_show(state):
    return "".join("Port %s default VLAN is %d\n" % (port.dport, port.pvid)
                   for port in state.ports)


def vlan_show(state, vid):
    vlan = state.vlans.get(vid)
    if vlan is None:
        return "Error: vlan %d does not exist\n" % vid
    return "vlan %d\tports %s (0x0), untagged %s (0x0) MCAST_FLOOD_UNKNOWN\n" % (
        vid, port_list(vlan["members"]), port_list(vlan["untagged"]))


def ports(state, text):
    lines = ["                 ena/    speed/ link auto    STP",
             "           port  link    duplex scan neg?   state"]
    by_name = state.ports_by_name()
    for name in expand_port_list(state, text):
        lines.append("      %s(%3d)  up      10G  FD   SW  No   Forward" % (
            name, by_name[name].logical))
    return "\n".join(lines) + "\n"


def l3_intf_show(state):
    titles = state.layout["l3_intf_titles"]
    lines = ["Unit 0, Total Number of L3 Intf Entries: %d" % len(state.l3_intfs),
             " ".join(titles), "-" * 60]
    for intf in state.l3_intfs:
        values = {"Unit": 0, "Intf": intf.intf, "VRF": 0, "Group": 0, "VLAN": intf.vlan,
                  "SourceMac": "00:00:00:00:%02x:%02x" % (intf.intf >> 8 & 255, intf.intf & 255),
                  "MTU": 1528}
        lines.append(" ".join(str(values[title]) for title in titles))
    return "\n".join(lines) + "\n"


def vlan_translate_show(state):
    return "".join(
        "modid = 0 port = %d, old_vid = %d, old_inner_vid = 0, new_vid = %d, "
        "new_inner_vid = 0, prio = -1, flags = 0x0\n" % (t.lport, t.old_vid, t.new_vid)
        for t in state.translations)


def l3_ingress_mode(state):
    return "0x%x\n" % int(state.riot)


def listmem(state, table):
    if table != "VLAN":
        raise ValueError("the simulated shell lists the VLAN table only")
    fields = ["VALID<0>", "STG<9:1>", "VRF_ID<20:10>"]
    if state.vlan_table_has_l3_iif:
        fields.append("L3_IIF<33:21>")
    else:
        fields.append("L3_IIF_VALID<21>")
    return "Memory: VLAN.ipipe0 address 0x12168000\n" + "".join(
        "    %s\n" % field for field in fields)


def multicast_show(state):
    lines = []
    for group in state.groups:
        lines.append("Group 0x%x (%s)" % (group.gid, group.kind))
        lines.extend("\tport %s, encap id %d" % member for member in group.members)
    return "\n".join(lines) + ("\n" if lines else "")


def _address_value(text):
    first, second, third, fourth = (int(part) for part in text.split("."))
    return first << 24 | second << 16 | third << 8 | fourth


def ipmc_table_show(state):
    titles = state.layout["ipmc_titles"]
    header = [title + " IP ADDRESS" if title in ("SRC", "MC") else title for title in titles]
    lines = ["  ".join(header), "-" * 60]
    for route in state.routes:
        values = {"SRC": route.source, "MC": route.group, "VLAN": route.vlan, "MOD": 0,
                  "PORT": 0, "V": "Y", "VRF": route.vrf_id,
                  "GROUP": state.layout["group_index_format"].format(route.group_index),
                  "CLASS": 0, "HIT": "y"}
        lines.append("  ".join(str(values[title]) for title in titles))
    return "\n".join(lines) + "\n"


def _dump_value(value):
    return str(value) if value < 10 else "0x%x" % value


def dump_l3_entry_ipv4_multicast(state):
    """Changed fields only, as the SDK's "dump chg" prints them."""
    lines = []
    for index, route in enumerate(state.routes):
        fields = [("VALID_0", "1"), ("VALID_1", "1"),
                  ("GROUP_IP_ADDR", "0x%x" % _address_value(route.group))]
        source = _address_value(route.source)
        if source:
            fields.append(("SOURCE_IP_ADDR", "0x%x" % source))
        for name, value in (("VRF_ID", route.vrf_id), ("L3MC_INDEX", route.group_index),
                            ("EXPECTED_L3_IIF", route.vlan)):
            if value:
                fields.append((name, _dump_value(value) if name != "L3MC_INDEX"
                               else "0x%x" % value))
        lines.append("L3_ENTRY_IPV4_MULTICAST.ipipe0[%d]: <%s>" % (
            index, ",".join("%s=%s" % field for field in fields)))
    return "\n".join(lines) + ("\n" if lines else "")
