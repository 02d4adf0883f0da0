"""The simulated ASIC: ports, VLANs, L3 interfaces, translations,
replication groups and IPv4 multicast routes, plus how the shell lays out
its tables (`layout`) and the faults it injects."""

import ipaddress


class Port(object):
    def __init__(self, dport, logical, linux, pvid=1):
        self.dport, self.logical, self.linux, self.pvid = dport, logical, linux, pvid


class L3Intf(object):
    def __init__(self, intf, vlan):
        self.intf, self.vlan = intf, vlan


class Translation(object):
    """On logical port `lport`, internal VLAN `new_vid` leaves as `old_vid`."""

    def __init__(self, lport, old_vid, new_vid):
        self.lport, self.old_vid, self.new_vid = lport, old_vid, new_vid


class Group(object):
    """`members` lists (SDK port, encap id); encap id -1 is an L2 member,
    any other the L3 interface the copy is routed to."""

    def __init__(self, gid, members, kind="L3"):
        self.gid, self.members, self.kind = gid, list(members), kind


class Route(object):
    def __init__(self, source, group, vlan, group_index, vrf_id=0):
        for address in (source, group):
            ipaddress.IPv4Address(address)  # refuse what is no IPv4 address
        self.source, self.group, self.vlan = source, group, vlan
        self.group_index, self.vrf_id = group_index, vrf_id


DEFAULT_LAYOUT = {
    "portmap_titles": ["port", "pipe", "logical", "physical", "idb", "mmu"],
    "l3_intf_titles": ["Unit", "Intf", "VRF", "Group", "VLAN", "SourceMac", "MTU"],
    "ipmc_titles": ["SRC", "MC", "VLAN", "MOD", "PORT", "V", "VRF", "GROUP", "CLASS", "HIT"],
    "group_index_format": "{:x}",
}


class AsicState(object):
    """Everything the shell answers from. Faults:

    - `timeouts`: commands whose `run` raises TimeoutError;
    - `raw`: command -> output text returned as it is;
    - `failures`: command (or ("gettable", table, start)) -> exception raised.
    `log` lists every command sent (gettable reads as tuples), in order.
    """

    def __init__(self, unit="BCM56850_A0"):
        self.unit = unit
        self.ports = []
        self.vlans = {}  # vid -> {"members": [dport], "untagged": [dport]}
        self.l3_intfs = []
        self.translations = []
        self.groups = []
        self.routes = []
        self.riot = False
        self.vlan_table_has_l3_iif = True  # else the mapping is in VLAN_MPLS
        self.l3_iif = {}  # hardware VLAN -> L3_IIF of the RIOT table
        self.layout = {key: list(value) if isinstance(value, list) else value
                       for key, value in DEFAULT_LAYOUT.items()}
        self.timeouts = set()
        self.raw = {}
        self.failures = {}
        self.log = []
        self.opened = []  # keyword arguments of every shell opened

    def add_port(self, dport, logical, linux, pvid=1):
        self.ports.append(Port(dport, logical, linux, pvid))
        return self

    def add_vlan(self, vid, members, untagged=()):
        unknown = set(members) - {port.dport for port in self.ports}
        if unknown or not set(untagged) <= set(members):
            raise ValueError("VLAN %d names ports that are not members or not ports" % vid)
        self.vlans[vid] = {"members": list(members), "untagged": list(untagged)}
        return self

    def linux_names(self):
        """SDK port name -> Linux name, for tervane.porttab.install()."""
        return {port.dport: port.linux for port in self.ports}

    def port(self, dport):
        for port in self.ports:
            if port.dport == dport:
                return port
        raise ValueError("no port %r in the simulated ASIC" % dport)

    def ports_by_name(self):
        """SDK port name -> the first Port of that name, made from `ports`
        as it is now (tests change the list freely), for lookups in bulk."""
        by_name = {}
        for port in self.ports:
            by_name.setdefault(port.dport, port)
        return by_name

    @classmethod
    def generate(cls, ports=8, vlans=4, groups=4, members=3, routes=None, vrfs=1,
                 translated=1, riot=False):
        """A consistent state of any size: `ports` switch ports xe0.. (Linux
        swp1..), `vlans` VLANs from 100 with one L3 interface each, every
        port a member and every other port untagged, `translated` ports
        carrying each VLAN as vid + 1000, `groups` L3 replication groups of
        `members` L3 members and one L2 member, and one route per group
        (or `routes`) spread over `vrfs` VRF ids."""
        state = cls()
        for index in range(ports):
            state.add_port("xe%d" % index, index + 1, "swp%d" % (index + 1), pvid=1)
        names = [port.dport for port in state.ports]
        for offset in range(vlans):
            vid = 100 + offset
            state.add_vlan(vid, names, names[offset % 2::2])
            state.l3_intfs.append(L3Intf(offset + 1, vid))
            for port in state.ports[:translated]:
                state.translations.append(Translation(port.logical, vid + 1000, vid))
        for index in range(groups):
            chosen = [(names[(index + k) % ports], (index + k) % max(vlans, 1) + 1)
                      for k in range(members)]
            chosen.append((names[index % ports], -1))
            state.groups.append(Group(0x2000000 | (index + 1), chosen))
        for index in range(groups if routes is None else routes):
            state.routes.append(Route(
                "10.%d.%d.%d" % (index >> 16 & 255, index >> 8 & 255, index & 255),
                "239.1.%d.%d" % (index >> 8 & 255, index & 255),
                100 + index % max(vlans, 1), index % max(groups, 1) + 1, index % vrfs))
        state.riot = riot
        state.l3_iif = {100 + offset: 4096 + offset for offset in range(vlans)}
        return state
