"""The SDK configuration generator of `bringup`, written in plain Python as a
Python developer would write it: the configured-port classes and the
configuration object with its port calculation, units, gangs, LED
controllers and every generated text, over the same duck-typed platform
objects (the benchmark gives both sides asicmodel's platform ports).

Only what a dummy-mode bring-up needs of the configuration base is here:
no EEPROM tool, no command runs (the runners answer "" as in dummy mode,
and device requests do nothing). The layout refusals are the module's, in
the same places, order and words. Every text is meant to equal the
module's: bench/bringup_speed.py compares them before timing.
"""

import collections
import json
import os
import re
import syslog


class _DummyRunner:
    def run(self, args):
        return ""


# ---------------------------------------------------------------- ports

# Lanes of one logical port by mode.
_LANES = {"10G": 1, "25G": 1, "4x10G": 1, "4x25G": 1, "1G": 1, "2.5G": 1, "5G": 1,
          "2x50G": 2, "50G": 2, "2x20G": 2, "2x40G": 2, "40G": 4, "100G": 4, "40G/4": 4,
          "100G/4": 4}


class ConfiguredPort:
    portmap_capable = None

    def __init__(self, mode, mac_index, loopback):
        self.mode = mode
        self.mac_index = mac_index
        self.loopback = loopback

    @property
    def linux_prefix(self):
        return "fp" if self.physical_port.is_fabric else "swp"

    @property
    def gang_label(self):
        if self.mode == "40G/4":
            return str(((int(self.label) - 1) // 4) * 4 + 1)
        return self.label


class SDKConfiguredPort(ConfiguredPort):
    portmap_capable = False

    def __init__(self, mode, physical_port, port_base, mac_index, loopback):
        super().__init__(mode, mac_index, loopback)
        self.port_base = port_base
        self.physical_port = physical_port
        self.ganged_ports = None

    label = property(lambda self: self.physical_port.label)
    oversub = property(lambda self: self.physical_port.oversub)
    speed = property(lambda self: self.physical_port.speed(self.mode))
    num_lanes = property(lambda self: self.physical_port.num_lanes(self.mode))
    num_logical_ports = property(lambda self: self.physical_port.num_logical_ports(self.mode))
    max_logical_ports = property(lambda self: self.physical_port.max_logical_ports)
    num_phys = property(lambda self: self.physical_port.num_phys)
    prim_offset = property(lambda self: self.physical_port.prim_offset)
    phy_id1 = property(lambda self: self.physical_port.phy_id1)
    sys_interface = property(lambda self: self.physical_port.sys_interface)
    leds = property(lambda self: self.physical_port.leds)
    unit = property(lambda self: self.physical_port.unit)
    rx_polarity_flip = property(lambda self: self.physical_port.rx_polarity_flip)
    tx_polarity_flip = property(lambda self: self.physical_port.tx_polarity_flip)
    is_fabric = property(lambda self: self.physical_port.is_fabric)
    create_fabric = property(lambda self: self.physical_port.create_fabric)
    rx_lane_map = property(lambda self: self.physical_port.rx_lane_map)
    tx_lane_map = property(lambda self: self.physical_port.tx_lane_map)
    mdi_pair_map = property(lambda self: self.physical_port.mdi_pair_map)
    pre_emphasis = property(lambda self: self.physical_port.pre_emphasis)
    drv_current = property(lambda self: self.physical_port.drv_current)
    pre_drv_current = property(lambda self: self.physical_port.pre_drv_current)
    phy_init = property(lambda self: self.physical_port.phy_init)
    max_gang_size = property(lambda self: self.physical_port.max_gang_size)
    an_c37 = property(lambda self: self.physical_port.an_c37(self.mode))
    an_c73 = property(lambda self: self.physical_port.an_c73(self.mode))
    set_fiber_pref = property(lambda self: self.physical_port.set_fiber_pref)
    sdk_group = property(lambda self: self.physical_port.sdk_group)

    @property
    def enable_auto_neg(self):
        if self.physical_port.autoneg_pref is not None:
            return self.physical_port.autoneg_pref
        return self.physical_port.phy_layer in ("10GBaseT", "1GBaseT")

    @property
    def serdes_if_type(self):
        return self.physical_port.serdes_if_type(self.speed)

    @property
    def ganged(self):
        return self.mode in self.physical_port.gang_modes

    @property
    def gang_leader(self):
        if not self.ganged:
            return False
        return self.num_logical_ports != 0

    def hw_intf_num(self, sub):
        return int(self.physical_port.hw_intf_num(self.mode, sub))

    def hw_intf_num_portmap(self, sub):
        return int(self.physical_port.hw_intf_num_portmap(self.mode, sub))

    def sdk_intf_prefix(self, sub):
        prefix = self.physical_port.hw_intf_prefix(self.mode, sub)[:2]
        if self.physical_port.disable_prefix_xlate is True:
            return prefix
        return "xe" if prefix == "hg" else prefix

    def sdk_intf_num(self, sub):
        return self.hw_intf_num(sub)

    def sdk_unit_intf_num(self, sub):
        return self.sdk_intf_num(sub)

    def sdk_intf(self, sub):
        return "%s%u" % (self.sdk_intf_prefix(sub), self.sdk_intf_num(sub))

    def linux_port_name(self, sub):
        if self.physical_port.name_override is not None:
            return self.physical_port.name_override
        name = "%s%s" % (self.linux_prefix, self.gang_label)
        if self.num_logical_ports > 1:
            name = "%s%ss%u" % (self.linux_prefix, self.gang_label, sub)
        return name

    def sdk_pbmp(self, sub):
        return self.physical_port.hw_pbmp(self.mode, sub)

    def phy_addr(self, sub):
        if self.physical_port.phy_addrs is None:
            return None
        return self.physical_port.phy_addrs[sub]

    def phy_type(self, sub):
        if self.physical_port.phy_types is None:
            return None
        return self.physical_port.phy_types[sub]

    def phy_autodetect(self, sub):
        return self.physical_port.phy_autodetect(self.mode, sub)

    def sdk_logical_port_num(self, sub):
        return self.port_base + sub

    def set_leds(self, led_port, sub, led_index_list):
        return self.physical_port.set_leds(self.mode, led_port, sub, led_index_list)

    def hw_port_num(self, sub):
        return self.physical_port.hw_port_num(self.mode, sub)

    def port_mac_index(self, sub):
        return self.physical_port.port_mac_index(self.mode, self.mac_index, sub)

    def _gang_mask(self, operation, sub):
        members = sorted(self.ganged_ports,
                         key=lambda member: int(member.physical_port.hw_ports[0][2:]))
        mask = 0
        for position, member in enumerate(members):
            mask |= getattr(member.physical_port, operation)(self.mode, sub) << position
        return mask

    def rx_logical_polarity_flip(self, sub):
        if self.gang_leader is True:
            return self._gang_mask("rx_logical_polarity_flip", sub)
        return self.physical_port.rx_logical_polarity_flip(self.mode, sub)

    def tx_logical_polarity_flip(self, sub):
        if self.gang_leader is True:
            return self._gang_mask("tx_logical_polarity_flip", sub)
        return self.physical_port.tx_logical_polarity_flip(self.mode, sub)

    def td3_rx_logical_polarity_flip(self, port, portmap, sub):
        base = port.hw_intf_num(sub) + 1
        bits = port.rx_logical_polarity_flip(sub)
        for lane in range(_LANES[port.mode]):
            portmap.append("phy_chain_rx_polarity_flip_physical{%u.%u}=%s"
                           % (base + lane, port.unit, hex((bits >> lane) & 1)))
        return portmap

    def td3_tx_logical_polarity_flip(self, port, portmap, sub):
        base = port.hw_intf_num(sub) + 1
        bits = port.tx_logical_polarity_flip(sub)
        for lane in range(_LANES[port.mode]):
            portmap.append("phy_chain_tx_polarity_flip_physical{%u.%u}=%s"
                           % (base + lane, port.unit, hex((bits >> lane) & 1)))
        return portmap

    def sdk_config_intf(self, sub, num_units=None):
        if self.portmap_capable:
            name = str(self.sdk_logical_port_num(sub))
        else:
            name = str(self.sdk_intf(sub))
        if num_units is None or num_units > 1:
            name += ".%u" % self.unit
        return name


class BCMConfiguredPort(SDKConfiguredPort):
    pass


class SDKConfiguredMappedPort(SDKConfiguredPort):
    portmap_capable = True

    def sdk_pbmp(self, sub):
        return 1 << (self.port_base + sub)

    def sdk_intf_num(self, sub):
        return self.port_base + sub - 1


class BCMConfiguredDportPort(BCMConfiguredPort):
    portmap_capable = True

    def __init__(self, mode, physical_port, port_base, if_port_base, mac_index, loopback):
        super().__init__(mode, physical_port, port_base, mac_index, loopback)
        self.if_port_base = if_port_base

    def sdk_pbmp(self, sub):
        return 1 << self.sdk_logical_port_num(sub)

    def sdk_intf_num(self, sub):
        return self.if_port_base + sub - 1

    def sdk_unit_intf_num(self, sub):
        return self.port_base + sub - 1

    def sdk_logical_port_num(self, sub):
        return self.physical_port.logical_port_num(self.mode, sub, self.port_base)


# ---------------------------------------------------------- configuration


def _hw_number(platform_port):
    return int(platform_port.hw_ports[0][2:])


def _wired_lanes(port):
    """Lanes wired per logical port on a chip keying wiring by lane: the mode's
    where polarity flips are written lane by lane, else the first, which its
    lane maps key."""
    if port.rx_polarity_flip is None and port.tx_polarity_flip is None:
        return 1
    return _LANES.get(port.mode, 1)


def _layout_key(port):
    """How ports.conf names a port: its label, "Fabric-<label>" for a fabric port."""
    return "Fabric-" + port.label if port.is_fabric else port.label


# A label read as a number: ASCII digits, a sign, blanks around.
_DECIMAL = re.compile(r"[ \t\n\r\f\v]*[+-]?[0-9]+[ \t\n\r\f\v]*")


def _family_operation(obj, name):
    """Whether obj.<name> is asicmodel's Tomahawk2 family operation, which
    neither the object's class nor the object replaces."""
    family = next((cls for cls in type(obj).__mro__ if cls.__name__ == "TomahawkTwoPort"
                   and cls.__dict__.get("__module__") == "asicmodel"), None)
    bound = getattr(obj, name) if family is not None else None
    return (family is not None and getattr(bound, "__self__", None) is obj
            and getattr(bound, "__func__", None) is family.__dict__.get(name))


def _label_number(label):
    """The label as a number (an int, or a decimal text within 64 bits), else None."""
    if isinstance(label, int):
        return label
    number = int(label) if _DECIMAL.fullmatch(label) else None
    return number if number is not None and -2 ** 63 <= number < 2 ** 63 else None


def _megabits(speed):
    """A speed in Gb/s written in Mb/s: "%s000" of it, but a fractional speed
    as its whole number of Mb/s (2.5 gives "2500")."""
    if isinstance(speed, float) and (speed * 1000).is_integer() and abs(speed * 1000) < 1e15:
        return "%d" % (speed * 1000)
    return "%s000" % speed


def _port_key(name):
    return "%s%03d" % (name[:2], int(name[2:]))


class SDKConfig:
    serdes_if_type_map = {"XGMII": 6, "SFI": 9, "XFI": 10, "KR": 11, "KR4": 12, "SR4": 28}

    def __init__(self, platform, verbose=False, exploded=False, dummy=False):
        self.platform = platform
        self.verbose = verbose
        self.exploded = exploded
        self.dummy = dummy
        self.iproute2 = _DummyRunner()
        self.ifmaker = _DummyRunner()
        self.ports = []
        self.macrange = 1 << 16
        self.macmode = "standard"
        chip = platform.switch.chip
        self.uft = chip.get_config("uft.json")
        self.riot = chip.get_config("riot.json")
        self.hw_desc = chip.get_config("hw_desc")
        self.rc_forwarding = chip.get_config("rc.forwarding")
        self.datapath_conf = chip.get_config("datapath.conf")
        self.sdk_bcm = chip.get_config("sdk.bcm")

    # -- the port layout and the calculation

    def config(self, config):
        config_map = {}
        for line in config.splitlines():
            line = line.strip()
            if not line or line.startswith("#") or line.startswith(";"):
                continue
            label, mode = line.split("=", 1)
            config_map[label.strip()] = mode.strip()
        for port in self.platform.switch.ports:
            if not port.is_fabric and port.label in config_map:
                config_map[port.label] = port.complete_mode(port, config_map[port.label])
        self.config_map = config_map
        max_mac_index = self._calculate_configuration()
        if self.verbose:
            print("max_mac_index %d macrange %d" % (max_mac_index, self.macrange))
        self._calculate_leds()
        self._calculate_units()
        self._calculate_gangs(self.ports)
        if max_mac_index > self.macrange:
            syslog.syslog(syslog.LOG_INFO, "Not enough macs in platform, falling to l3-only")
            self.macmode = "l3-only"

    def _calculate_configuration(self):
        self.ports = []
        self.mapped_portnums = {}
        mac_index = 0
        if_nums = {}
        entries = []
        for port in self.platform.switch.ports:
            label = "Fabric-" + port.label if port.is_fabric else port.label
            configured_mode = self.config_map.get(label, port.default_mode)
            if configured_mode == "loopback":
                loopback, mode = True, port.default_mode
            else:
                loopback, mode = False, configured_mode
            if not port.configurable(self.config_map):
                continue
            for hw_port, hw_mode in port.port_mangler(mode):
                entries.append((loopback, hw_mode, hw_port))
        chip = self.platform.switch.chip
        for loopback, mode, hw_port in entries:
            mapped_portnum = self.mapped_portnums.get(hw_port.unit, 1)
            u_map = if_nums.get(hw_port.unit)
            if not u_map:
                u_map = if_nums[hw_port.unit] = {}
            if_type = hw_port.hw_intf_prefix(mode, 0)
            if_portnum = u_map.get(if_type, 1)
            if chip.dport_capable is True:
                cp = BCMConfiguredDportPort(mode, hw_port, mapped_portnum, if_portnum, mac_index,
                                            loopback)
                u_map[if_type] = if_portnum + cp.num_logical_ports
            elif chip.portmap_capable is True:
                cp = SDKConfiguredMappedPort(mode, hw_port, mapped_portnum, mac_index, loopback)
            else:
                cp = SDKConfiguredPort(mode, hw_port, mapped_portnum, mac_index, loopback)
            self.mapped_portnums[hw_port.unit] = mapped_portnum + cp.num_logical_ports
            self.ports.append(cp)
            mac_index += hw_port.mac_addrs_contrib_total(self.config_map)
        return mac_index

    def _calculate_units(self):
        self.units = {port.unit for port in self.ports if port.unit is not None}

    def _calculate_gangs(self, ports):
        # A gang lives within one unit: the units in the order the ports
        # first name them, each unit's ports by hardware number. Only a
        # whole gang's leader gets its set: the leader, then the ports on
        # the next max_gang_size - 1 hardware numbers, all in its mode.
        ranks = {}
        ordered = [(ranks.setdefault(port.unit, len(ranks)), _hw_number(port.physical_port), port)
                   for port in ports]
        ordered.sort(key=lambda entry: entry[:2])
        leader = None
        seen = set()
        for unit, number, port in ordered:
            if port.ganged is not True:
                continue
            if port in seen:
                self._refuse("platform: %s: Duplicate port %s already in ganged set", port.label)
            seen.add(port)
            if port.gang_leader is True:
                leader, gang_unit, gang_mode = port, unit, port.mode
                gang_size, members = port.max_gang_size, set()
            elif leader is None:
                continue
            elif unit != gang_unit or number != next_number or port.mode != gang_mode:
                leader = None
                continue
            members.add(port)
            next_number = number + 1
            if len(members) == gang_size:
                leader.ganged_ports = frozenset(members)
                leader = None

    def _calculate_leds(self):
        self._led_programs = {}
        platform_switch = self.platform.switch
        indexes = platform_switch.led_controllers
        if not indexes:
            indexes = {port.leds[0] for port in self.ports if port.leds is not None}
        for index in sorted(indexes):
            try:
                controller = platform_switch.glimmer[index]()
            except TypeError:
                controller = platform_switch.glimmer()
            ports = [port for port in self.ports
                     if port.leds is not None and port.leds[0] == index]
            controller.configure(index, ports)
            self._led_programs[index] = controller

    @property
    def led_chains(self):
        return list(self._led_programs)

    @property
    def port_units(self):
        return list(self.mapped_portnums)

    # -- layout refusals

    def _refuse(self, text, *values):
        raise RuntimeError(text % ((self.platform.name,) + values))

    def _refuse_broken_gang(self):
        ganged = [port for port in self.ports if port.ganged is True]
        whole = set()
        for port in ganged:
            if port.ganged_ports is not None:
                whole.update(port.ganged_ports)
        for port in ganged:
            if port not in whole:
                self._refuse("platform: %s: Incomplete ganged set led by port %s",
                             _layout_key(self._gang_head(port)))

    def _gang_head(self, port):
        """The port leading, or that would lead, the gang of `port`: itself when
        it leads, else the nearest platform port of its unit at most
        max_gang_size - 1 hardware numbers below that leads in its mode."""
        if port.gang_leader is True:
            return port
        mode, unit = port.mode, port.unit
        number = _hw_number(port.physical_port)
        head, head_number, found = port, number - (port.max_gang_size - 1), False
        for candidate in self.platform.switch.ports:
            if mode not in candidate.gang_modes or candidate.unit != unit:
                continue
            candidate_number = _hw_number(candidate)
            if candidate_number > number or candidate_number < head_number or (
                    found and candidate_number == head_number):
                continue
            if candidate.num_logical_ports(mode) != 0:
                head, head_number, found = candidate, candidate_number, True
        return head

    def _refuse_shared_kernel_name(self):
        givers = {}  # kernel name -> the port first giving it
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                name = port.linux_port_name(sub)
                giver = givers.get(name)
                if giver is None:
                    givers[name] = port
                elif giver is not port:
                    self._refuse("platform: %s: Kernel name %s given to ports %s and %s",
                                 name, _layout_key(giver), _layout_key(port))
                else:
                    first = next((earlier for earlier in range(sub)
                                  if port.linux_port_name(earlier) == name), sub)
                    self._refuse("platform: %s: Kernel name %s given to sub-ports %s and %s of "
                                 "port %s", name, first, sub, _layout_key(port))

    def _refuse_port_past_bounds(self):
        """The ports that make devices, once no port lacks a unit or reaches
        past its SDK ports; the result check comes last."""
        for port in self.ports:
            if port.unit is None:
                self._refuse("platform: %s: Port %s has no unit", _layout_key(port))
        front_panel = {}  # label -> its first front-panel port
        blocked = []      # (port, its split bound)
        counted = []      # the ports that make devices
        borrowing = []    # four-way breakouts numbered from the port labelled one above
        for port in self.ports:
            is_fabric = bool(port.is_fabric)
            physical = port.physical_port
            if not is_fabric or port.create_fabric:
                count, most = port.num_logical_ports, port.max_logical_ports
                if count > most:
                    self._refuse("platform: %s: Port %s in mode %s makes %s logical ports, more "
                                 "than the %s it reserves", _layout_key(port), port.mode, count,
                                 most)
                counted.append(port)
                if count > 2 and _family_operation(physical, "logical_port_num"):
                    borrowing.append(port)
            if not is_fabric:
                front_panel.setdefault(port.label, port)
            if hasattr(physical, "blocked_adj_split_num"):
                bound = physical.blocked_adj_split_num()
                if bound > 0:
                    blocked.append((port, bound))
        for port, bound in blocked:
            partner = front_panel.get(port.physical_port.adj_label)
            if partner is not None and partner.num_logical_ports >= bound:
                self._refuse("platform: %s: Port %s must be disabled while port %s is split "
                             "into %s ports", _layout_key(port), _layout_key(partner),
                             partner.num_logical_ports)
        if borrowing:
            labels, fabric = {}, set()
            for platform_port in self.platform.switch.ports:
                if platform_port.is_fabric:
                    fabric.add(platform_port.label)
                else:
                    labels.setdefault(platform_port.label, platform_port)
            for port in borrowing:
                self._refuse_missing_partner(port, labels, fabric)
        return counted

    def _refuse_missing_partner(self, port, labels, fabric):
        key, mode, physical = _layout_key(port), port.mode, port.physical_port
        number = _label_number(physical.label)
        if number is None:
            self._refuse("platform: %s: Port %s in mode %s takes sub-ports 2 and 3 from the port "
                         "labelled one above, and its label is not a number", key, mode)
        wanted = str(number + 1)
        # The family's own lookup is the platform's first front-panel port of
        # the label; one the class or the object replaces is asked.
        family_lookup = _family_operation(physical, "find_port")
        partner = labels.get(wanted) if family_lookup else physical.find_port(wanted)
        if partner is None:
            why = ("which is a fabric port" if wanted in fabric
                   else "which the platform does not have")
            self._refuse("platform: %s: Port %s in mode %s takes sub-ports 2 and 3 from port %s, "
                         + why, key, mode, wanted)
        partner_key = wanted if family_lookup else _layout_key(partner)
        if not family_lookup and partner.is_fabric:
            self._refuse("platform: %s: Port %s in mode %s takes sub-ports 2 and 3 from port %s, "
                         "which is a fabric port", key, mode, partner_key)
        if partner.unit != physical.unit:
            self._refuse("platform: %s: Port %s in mode %s takes sub-ports 2 and 3 from port %s, "
                         "which is on unit %s, not %s", key, mode, partner_key, partner.unit,
                         physical.unit)
        if len(partner.hw_ports) < 2:
            self._refuse("platform: %s: Port %s in mode %s takes sub-ports 2 and 3 from port %s, "
                         "which has too few lanes to carry them", key, mode, partner_key)

    def _refuse_shared_result(self, counted, by_lane):
        if not counted:
            return
        tables = {}  # (what is claimed, unit) -> {value: (port, sub-port) claiming it first}

        def claim(thing, unit, value, port, sub):
            table = tables.setdefault((thing, unit), {})
            if value not in table:
                table[value] = port, sub
                return
            first, first_sub = table[value]
            shared = thing % {"value": value, "unit": unit}
            if first is not port:
                self._refuse("platform: %s: ports %s and %s both %s", _layout_key(first),
                             _layout_key(port), shared)
            self._refuse("platform: %s: sub-ports %s and %s of port %s both %s", first_sub, sub,
                         _layout_key(port), shared)

        shared_macs = self.macmode == "l3-only"
        keys = [(value_name, key, self._sub_port_zero_name(value_name))
                for value_name, key in (("prim_offset", "phy_port_primary_and_offset_"),
                                        ("phy_id1", "port_phy_id1_"),
                                        ("sys_interface", "phy_sys_interface_"))]
        per_lane = None  # whether wiring is keyed by lane, asked at the first wired port
        for port in counted:
            unit, count, lanes = port.unit, port.num_logical_ports, 0
            if count > 0 and by_lane and any(value is not None for value in (
                    port.rx_polarity_flip, port.tx_polarity_flip, port.rx_lane_map,
                    port.tx_lane_map)):
                if per_lane is None:
                    chip = self.platform.switch.chip
                    per_lane = chip.portmap_capable is True and self._physical_lane_chip(chip)
                if per_lane:
                    lanes = _wired_lanes(port)
            for sub in range(count):
                claim("take SDK logical port %(value)s on unit %(unit)s", unit,
                      port.sdk_logical_port_num(sub), port, sub)
                claim("take SDK interface %(value)s on unit %(unit)s", unit, port.sdk_intf(sub),
                      port, sub)
                if not shared_macs:
                    claim("take MAC index %(value)s", None, port.port_mac_index(sub), port, sub)
                if lanes:
                    hardware = port.hw_intf_num(sub)
                    for lane in range(1, lanes + 1):
                        claim("wire physical lane %(value)s on unit %(unit)s", unit,
                              hardware + lane, port, sub)
            # Keys of sub-port 0, written for every port with the value. A gang
            # member writes its own only under a name no other key takes.
            if not count and port.ganged is True:
                continue
            for value_name, key, name_of in keys:
                if getattr(port, value_name) is not None:
                    name = name_of(port)
                    if name is not None:
                        claim("write %(value)s", None, key + name, port, 0)

    def _sub_port_zero_name(self, value_name):
        """How ports name their `value_name` key: a function of a port giving
        its sub-port 0 name, or None for a gang member (ganged, no logical
        port) whose name a logical port or another port without one gives
        too."""
        if value_name == "prim_offset":
            units = len(self.units)
            name_at = lambda port, sub: port.sdk_config_intf(sub, units)  # noqa: E731
        elif value_name == "phy_id1":
            name_at = self._logical_port_key
        else:
            name_at = lambda port, sub: port.sdk_config_intf(sub)  # noqa: E731
        layout = []

        def name_of(port):
            name = name_at(port, 0)
            if port.num_logical_ports or port.ganged is not True:
                return name
            if not layout:
                layout.append({name_at(other, sub) for other in self.ports
                               for sub in range(other.num_logical_ports)})
                layout.append(collections.Counter(
                    name_at(other, 0) for other in self.ports if not other.num_logical_ports))
            taken, without_logical_port = layout
            return None if name in taken or without_logical_port[name] > 1 else name
        return name_of

    def _sub_port_zero_lines(self, value_name, key):
        name_of = self._sub_port_zero_name(value_name)
        lines = []
        for port in self.ports:
            value = getattr(port, value_name)
            if value is not None:
                name = name_of(port)
                if name is not None:
                    lines.append("%s%s=0x%x" % (key, name, value))
        return "\n".join(lines)

    def _logical_port_key(self, port, sub):
        """The SDK logical port number as keys by number write it, followed by
        "." and the unit on several units, as each unit numbers its ports alike."""
        if len(self.units) > 1:
            return "%d.%u" % (port.sdk_logical_port_num(sub), port.unit)
        return "%d" % port.sdk_logical_port_num(sub)

    def _ruled_flip(self, port, operation, *args):
        """A flip from a port whose class has no polarity rule (an empty
        NotImplementedError) is refused; one with a message of its own passes."""
        try:
            return operation(*args)
        except NotImplementedError as error:
            if error.args:
                raise
        self._refuse("platform: %s: Port %s has a polarity flip but its class has no polarity "
                     "rule", _layout_key(port))

    # -- port bitmaps and port maps

    @property
    def sdk_pbmp(self):
        chip = self.platform.switch.chip
        xports, valid, oversub = {}, {}, {}
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                prefix = port.sdk_intf_prefix(sub)
                if prefix == "ce":
                    prefix = "xe"
                key = "%s.%u" % (prefix, port.unit)
                bits = port.sdk_pbmp(sub)
                xports[key] = xports.get(key, 0) | bits
                valid[port.unit] = valid.get(port.unit, chip.base_pbmp) | bits
                if port.oversub:
                    oversub[port.unit] = oversub.get(port.unit, 0) | bits
        lines = ["pbmp_xport_%s=0x%x" % (key, bits) for key, bits in xports.items()
                 if not key.startswith("hg")]
        lines += ["pbmp_valid.%u=0x%x" % (unit, bits) for unit, bits in valid.items()]
        if oversub:
            if getattr(chip, "mixed_oversub", False):
                lines += ["pbmp_oversubscribe.%u=0x%x" % (unit, oversub[unit])
                          for unit in valid if unit in oversub]
            else:
                lines.append("oversubscribe_mode=1")
        return "\n".join(lines)

    def _physical_lane_chip(self, chip):
        import tervane.platform as chips
        return isinstance(chip, (chips.TridentThreeX7_56870_Chip, chips.TridentThreeX7_56873_Chip,
                                 chips.TridentThreeX5_56771_Chip, chips.TomahawkTwo_56970_Chip))

    @property
    def portmap(self):
        chip = self.platform.switch.chip
        if chip.portmap_capable is not True:
            raise RuntimeError("platform: %s is not portmap capable" % self.platform.name)
        self._refuse_broken_gang()
        portmap = []
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                name = str(port.sdk_config_intf(sub))
                line = "portmap_%s=%u:%u" % (name, port.hw_intf_num_portmap(sub) + 1, port.speed)
                if getattr(chip, "needs_lane_config", False):
                    line += ":%u" % port.num_lanes
                portmap.append(line)
                if port.rx_polarity_flip is not None:
                    portmap = self._polarity_lines(
                        chip, port, portmap, sub, name, port.td3_rx_logical_polarity_flip,
                        port.rx_logical_polarity_flip, "phy_xaui_rx_polarity_flip_")
                if port.tx_polarity_flip is not None:
                    portmap = self._polarity_lines(
                        chip, port, portmap, sub, name, port.td3_tx_logical_polarity_flip,
                        port.tx_logical_polarity_flip, "phy_xaui_tx_polarity_flip_")
                if port.rx_lane_map is not None:
                    if self._physical_lane_chip(chip):
                        portmap.append("phy_chain_rx_lane_map_physical{%u.%u}=0x%04x"
                                       % (port.hw_intf_num(sub) + 1, port.unit, port.rx_lane_map))
                    else:
                        portmap.append("xgxs_rx_lane_map_%s=0x%04x" % (name, port.rx_lane_map))
                if port.tx_lane_map is not None:
                    if self._physical_lane_chip(chip):
                        portmap.append("phy_chain_tx_lane_map_physical{%u.%u}=0x%04x"
                                       % (port.hw_intf_num(sub) + 1, port.unit, port.tx_lane_map))
                    else:
                        portmap.append("xgxs_tx_lane_map_%s=0x%04x" % (name, port.tx_lane_map))
                if port.mdi_pair_map is not None:
                    portmap.append("phy_mdi_pair_map_%s=0x%04x" % (name, port.mdi_pair_map))
        return "\n".join(portmap)

    def _polarity_lines(self, chip, port, portmap, sub, name, lane_operation,
                        logical_operation, key):
        """One polarity side of the port map: per lane on a chip keying wiring
        by lane (the port's operation extends the list and hands it back),
        else one line."""
        if self._physical_lane_chip(chip):
            if port.mode not in _LANES:
                self._refuse("platform: %s: Port %s in mode %s has no lane count for its "
                             "polarity flips", _layout_key(port), port.mode)
            return self._ruled_flip(port, lane_operation, port, portmap, sub)
        portmap.append("%s%s=0x%04x" % (key, name, self._ruled_flip(port, logical_operation, sub)))
        return portmap

    @property
    def dportmap(self):
        if self.platform.switch.chip.dport_capable is not True:
            raise RuntimeError("platform %s is not dportmap capable" % self.platform.name)
        dportmap = ["dport_map_enable=1\n"]
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                dportmap.append("dport_map_port_%u.%u=%u" % (
                    port.sdk_logical_port_num(sub), port.unit, port.sdk_unit_intf_num(sub) + 1))
        return "\n".join(dportmap)

    @property
    def portmap_uncapable_config(self):
        if self.platform.switch.chip.portmap_capable is True:
            raise RuntimeError("platform: %s is portmap capable" % self.platform.name)
        self._refuse_broken_gang()
        lines = []
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                number = self._logical_port_key(port, sub)
                if port.rx_polarity_flip is not None:
                    lines.append("phy_xaui_rx_polarity_flip_%s=0x%04x" % (
                        number, self._ruled_flip(port, port.rx_logical_polarity_flip, sub)))
                if port.tx_polarity_flip is not None:
                    lines.append("phy_xaui_tx_polarity_flip_%s=0x%04x" % (
                        number, self._ruled_flip(port, port.tx_logical_polarity_flip, sub)))
                if port.rx_lane_map is not None:
                    lines.append("xgxs_rx_lane_map_%s=0x%04x" % (number, port.rx_lane_map))
                if port.tx_lane_map is not None:
                    lines.append("xgxs_tx_lane_map_%s=0x%04x" % (number, port.tx_lane_map))
                if port.mdi_pair_map is not None:
                    lines.append("phy_mdi_pair_map_%s=0x%04x" % (number, port.mdi_pair_map))
        return "\n".join(lines)

    # -- per-port settings

    @property
    def port_emphasis(self):
        lines = []
        indexes = {}
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                n = indexes.get(port.unit, 1)
                unit = port.unit
                lanes = 4 if port.mode == "40G" else 1
                for values, lane_format, single_format in (
                        (port.pre_emphasis, "serdes_preemphasis_lane%1d_%u.%u=0x%04x",
                         "serdes_preemphasis_%u.%u=0x%04x"),
                        (port.drv_current, "serdes_driver_current_lane%1d_%u.%u=0x%x",
                         "serdes_driver_current_%u.%u=0x%04x"),
                        (port.pre_drv_current, "serdes_pre_driver_current_lane%1d_%u.%u=0x%x",
                         "serdes_pre_driver_current_%u.%u=0x%04x")):
                    if values is None:
                        continue
                    if lanes == 4:
                        for lane in range(4):
                            lines.append(lane_format % (lane, n, unit, values[lane]))
                    else:
                        lines.append(single_format % (n, unit, values[sub]))
                indexes[port.unit] = n + 1
        return "\n".join(lines)

    @property
    def port_init(self):
        n = len(self.units)
        lines = []
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                config_intf = port.sdk_config_intf(sub, n)
                lines.append("port_init_autoneg_%s=%u" % (config_intf, port.enable_auto_neg))
                if not port.enable_auto_neg:
                    lines.append("port_init_speed_%s=%s" % (config_intf, _megabits(port.speed)))
                    lines.append("port_init_duplex_%s=1" % config_intf)
                if port.serdes_if_type is not None:
                    lines.append("serdes_if_type_%s=%u # %s" % (
                        config_intf, SDKConfig.serdes_if_type_map[port.serdes_if_type],
                        port.serdes_if_type))
        return "\n".join(lines)

    @property
    def fiber_pref(self):
        n = len(self.units)
        lines = []
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                if port.set_fiber_pref:
                    lines.append("serdes_fiber_pref_%s=1" % port.sdk_config_intf(sub, n))
        return "\n".join(lines)

    @property
    def phy_an(self):
        config_map = {"off": 0, "bam": 1, "on": 2, "auto": 3}
        n = len(self.units)
        lines = []
        for port in self.ports:
            c37 = config_map.get(port.an_c37)
            c73 = config_map.get(port.an_c73)
            for sub in range(port.num_logical_ports):
                config_intf = port.sdk_config_intf(sub, n)
                if c37 is not None:
                    lines.append("phy_an_c37_%s=%d" % (config_intf, c37))
                if c73 is not None:
                    lines.append("phy_an_c73_%s=%d" % (config_intf, c73))
        return "\n".join(lines)

    @property
    def prim_offsets(self):
        return self._sub_port_zero_lines("prim_offset", "phy_port_primary_and_offset_")

    @property
    def phy_id1s(self):
        return self._sub_port_zero_lines("phy_id1", "port_phy_id1_")

    @property
    def sys_interfaces(self):
        return self._sub_port_zero_lines("sys_interface", "phy_sys_interface_")

    # -- PHYs

    @property
    def phys(self):
        n = len(self.units)
        lines = []
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                model = port.phy_type(sub)
                if model is None or port.phy_autodetect(sub):
                    continue
                lines.append("phy_%s_%s=1" % (model, port.sdk_config_intf(sub, n)))
        return "\n".join(lines)

    @property
    def phy_addrs(self):
        n = len(self.units)
        lines = []
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                if port.phy_type(sub) is None:
                    continue
                lines.append("port_phy_addr_%s=0x%x"
                             % (port.sdk_config_intf(sub, n), port.phy_addr(sub)))
        return "\n".join(lines)

    @property
    def phytab(self):
        self._refuse_shared_kernel_name()
        rows = []
        linux_name = sdk_name = None
        for port in self.ports:
            for phy in range(port.num_phys):
                address = port.phy_addr(phy)
                if port.num_logical_ports > phy:
                    sdk_name = port.sdk_intf(phy)
                    linux_name = port.linux_port_name(phy)
                rows.append("0x%x\t%s\t%s\t%s" % (address, linux_name, sdk_name, port.mode))
        return "\n".join(rows)

    @property
    def rcphy(self):
        lines = []
        for port in self.ports:
            for phy in range(port.num_phys):
                if port.num_logical_ports <= phy:
                    continue
                address = port.phy_addr(phy)
                for key, value in port.phy_init.items():
                    lines.append("phy raw c45 %s %s %s" % (address, key, value))
        return "\n".join(lines)

    # -- the port table and its devices (dummy mode: no command runs)

    def makekernnet(self, portname, index, unit, interface_set):
        if self.dummy:
            return
        raise NotImplementedError("only dummy mode is benchmarked")

    def maketap(self, portname, index, interface_set):
        raise NotImplementedError("only dummy mode is benchmarked")

    def destroyints(self, interface_set):
        for name in interface_set:
            if "switch" not in name:
                self.iproute2.run(["link", "del", "dev", name])
        interface_set.clear()

    @property
    def porttab(self):
        # Before any command runs.
        self._refuse_shared_kernel_name()
        self._refuse_shared_result(self._refuse_port_past_bounds(), by_lane=False)
        porttab = []
        interfaces = set()
        chip = self.platform.switch.chip
        sw_base = chip.sw_base
        use_tuntap = os.environ.get("IFMAKER_USE_TUNTAP") == "1"
        if use_tuntap:
            for line in self.iproute2.run(["tuntap", "show"]).splitlines():
                name = line.split(":", 1)[0]
                if name:
                    interfaces.add(name)
        elif sw_base != "vx":
            if sw_base not in ("bcm", "mlx"):
                raise RuntimeError("Kernel netdevs are not supported on %s" % sw_base)
            link_type = "bcm_knet" if sw_base == "bcm" else "mlx_sx_netdev"
            for line in self.ifmaker.run(["show", "type", link_type]).splitlines():
                name = line.split(" ")[0]
                if name and name not in ("switch", "swid"):
                    interfaces.add(name)
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                portname = port.linux_port_name(sub)
                lp_num = -1
                if chip.dport_capable:
                    lp_num = port.sdk_logical_port_num(sub)
                porttab.append("%s\t%s\t%u\t%i\t%u\t%i" % (
                    portname, port.sdk_intf(sub), port.unit, port.is_fabric, lp_num,
                    port.loopback))
                if port.is_fabric is False or port.create_fabric:
                    port_mac_idx = port.port_mac_index(sub)
                    if use_tuntap:
                        self.maketap(portname, port_mac_idx, interfaces)
                    else:
                        self.makekernnet(portname, port_mac_idx, port.unit, interfaces)
        if chip.sw_base == "bcm" and not use_tuntap:
            for line in self.iproute2.run(["-o", "link", "show"]).splitlines():
                switches = line.split(":")
                if len(switches) >= 2:
                    name = switches[1].strip().split("@", 1)[0]
                    if "switch" in name:
                        self.iproute2.run(["link", "set", name, "up"])
        self.destroyints(interfaces)
        return "\n".join(porttab)

    # -- MAC-index and SFP tables, link defaults

    @property
    def ethertab(self):
        self._refuse_shared_kernel_name()
        self._refuse_shared_result(self._refuse_port_past_bounds(), by_lane=False)
        rows = []
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                rows.append("%s\t%s" % (port.linux_port_name(sub), port.mac_index + sub))
        return "\n".join(rows)

    @property
    def sfptab(self):
        self._refuse_shared_kernel_name()
        rows = []
        for port in self.ports:
            psfp = port.physical_port.sfp
            if not psfp:
                continue
            if psfp.accessmethod.find("sdk") > 0:
                sfpaddress = "0x%x" % psfp.address
            else:
                sfpaddress = "%s" % psfp.address
            for sub in range(max(port.num_logical_ports, 1)):
                rows.append("%s\t%s\t%s\t%s" % (port.linux_port_name(sub), psfp.type,
                                                psfp.accessmethod, sfpaddress))
        return "\n".join(rows)

    def _linkdefaults(self):
        self._refuse_shared_kernel_name()
        iface_defaults = {}
        for port in self.ports:
            for sub in range(port.num_logical_ports):
                if port.physical_port.is_fabric:
                    continue
                an = "on" if port.enable_auto_neg else "off"
                iface_defaults[port.linux_port_name(sub)] = {
                    "link-autoneg": an, "link-duplex": "full",
                    "link-speed": _megabits(port.speed)}
        return {"defaults": {}, "iface_defaults": iface_defaults}

    def _linkdefaults_vx(self):
        return {"module_globals": {"ethtool_ignore_errors": True},
                "defaults": {"link-autoneg": "off", "link-duplex": "full",
                             "link-speed": "1000"}}

    @property
    def linkdefaults(self):
        ethtool = {"defaults": {}, "iface_defaults": {}}
        if self.platform.switch.chip.sw_base == "vx":
            ethtool.update(self._linkdefaults_vx())
        else:
            ethtool.update(self._linkdefaults())
        top = {"README": "This file is automatically generated. Do not edit this file.",
               "ethtool": ethtool}
        return json.dumps(top, indent=4, sort_keys=True, separators=(", ", ": "))

    # -- scripts

    def _compress_portlist(self, portlist):
        ordered = sorted(portlist, key=_port_key)
        pieces = []
        start = 0
        while start < len(ordered):
            end = start
            prefix = ordered[start][:2]
            while (end + 1 < len(ordered) and ordered[end + 1][:2] == prefix
                   and int(ordered[end + 1][2:]) == int(ordered[end][2:]) + 1):
                end += 1
            if end - start >= 2:
                pieces.append("%s-%s" % (ordered[start], ordered[end]))
            else:
                pieces.extend(ordered[start:end + 1])
            start = end + 1
        return ",".join(pieces)

    def rcports(self, unit):
        allports, speeds, lbports, sdk_groups = [], {}, [], {}
        for port in self.ports:
            if port.unit != unit:
                continue
            for sub in range(port.num_logical_ports):
                name = port.sdk_intf(sub)
                allports.append(name)
                speeds.setdefault(port.speed, []).append(name)
                if port.loopback:
                    lbports.append(name)
                if port.sdk_group is not None:
                    sdk_groups.setdefault(port.sdk_group, []).append(name)
        lines = ["setenv allports %s" % self._compress_portlist(allports)]
        for speed in sorted(speeds):
            lines.append("setenv %sGports %s" % (speed, self._compress_portlist(speeds[speed])))
        if lbports:
            lines.append("setenv lbports %s" % self._compress_portlist(lbports))
            lines.append("port $lbports lb=mac")
        for group, names in sdk_groups.items():
            lines.append("setenv sdk_group_%s %s" % (group, self._compress_portlist(names)))
        return "\n".join(lines)

    @property
    def rcled(self):
        elements = []
        for index, controller in self._led_programs.items():
            elements.append("led %d stop\nled %d auto on\nled %d load /etc/bcm.d/led%d.hex\n"
                            "led %d start\n" % (index, index, index, index, index))
            elements.extend(controller.led_memory_init_commands(index))
        return "\n".join(elements)

    # -- output by name

    def _config_body(self):
        # The refusals naming a cause first; the result check last.
        counted = self._refuse_port_past_bounds()
        chip = self.platform.switch.chip
        body = ["\n# pbmp", self.sdk_pbmp]
        if chip.dport_capable is True:
            body += ["\n# dport map", self.dportmap]
        if chip.portmap_capable is True:
            body += ["\n# portmap", self.portmap]
        else:
            body += ["\n# non portmap capable config", self.portmap_uncapable_config]
        body += ["\n# emphasis", self.port_emphasis,
                 "\n# port initializations", self.port_init,
                 "\n# phys", self.phys,
                 "\n# addrs", self.phy_addrs,
                 "\n# autoneg", self.phy_an,
                 "\n# prime_offsets", self.prim_offsets,
                 "\n# phy_id1s", self.phy_id1s,
                 "\n# sys_interfaces", self.sys_interfaces]
        fiber_pref = self.fiber_pref
        if fiber_pref:
            body += ["\n# fiber pref", fiber_pref]
        self._refuse_shared_result(counted, by_lane=True)
        return "\n".join(body)

    def _ucode(self):
        if self.exploded:
            mdio = self.platform.switch.has_phy_ucode_mdio or \
                not self.platform.switch.has_phy_ucode_spi_rom
        else:
            mdio = not self.platform.switch.has_phy_ucode_spi_rom
        method, boot = ("MDIO", 0) if mdio else ("SPI-ROM", 3000)
        return "# use %s method for ucode download\nphy_ext_rom_boot=%d" % (method, boot)

    def output(self, configfile):
        if configfile == "portsbcm":
            return self._config_body()
        if configfile == "porttab":
            return "\n".join(["# linux_intf\tsdk_intf\tunit\tis_fabric\tlogical_port\tis_loopback",
                              self.porttab])
        if configfile == "linkdefaults":
            return self.linkdefaults
        if configfile == "phytab":
            return "\n".join(["# phy_addr\tlinux_intf\tsdk_intf", self.phytab])
        if configfile.startswith("rcports_"):
            return self.rcports(int(configfile.split("_")[-1]))
        if configfile == "rcled":
            return self.rcled
        if configfile == "rcphy":
            return self.rcphy
        if configfile == "ethertab":
            return self.ethertab
        if configfile == "ucodebcm":
            return self._ucode()
        if configfile == "sfptab":
            return "\n".join(["# linux_intf\tmode\tsfp_addrtype\tsfp_addr", self.sfptab])
        chip_texts = {"hwdesc": (" # chip description file", "hw_desc"),
                      "uft": (None, "uft"), "riot": (None, "riot"),
                      "datapath": (" # chip datapath configuration file", "datapath_conf"),
                      "sdk": (None, "sdk_bcm"),
                      "rcforwarding": (" # chip forwarding configuration file", "rc_forwarding")}
        if configfile in chip_texts:
            header, attribute = chip_texts[configfile]
            text = getattr(self, attribute)
            if text is None or header is None:
                return text
            return "\n".join([header, text])
        raise ValueError("unknown generated file name: %r" % configfile)


class BCMConfig(SDKConfig):
    def __init__(self, platform, verbose=False, exploded=False, dummy=False):
        super().__init__(platform, verbose, exploded, dummy)
