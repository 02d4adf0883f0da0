"""The port classes of `asicmodel` that the benchmark uses, written in plain
Python as a Python developer would write them: class attributes, methods,
properties and `super().__init__`, with no caching and no tricks.

It covers the port record (`Port`, `SDKPort`, `BCMPort`) with every shared
rule, the Tomahawk family (`TomahawkPort`, `Tomahawk100GPort`,
`Tomahawk25GPort`) and the Trident2 family (`TridentTwoPort`,
`TridentTwo10GPort`, `TridentTwo40GPort`). Constructors take the same
arguments as the module's, so one argument list builds either, and every
answer (value, type and error) is meant to equal the module's:
tests/asicmodel/test_bench_reference.py keeps the two in step.
"""


class NoSuchMode(RuntimeError):
    pass


# Cage type to its top speed in Gb/s, for completing shorthand modes.
SFF_SPEEDS = {"SFP+": 10, "SFP28": 25, "QSFP+": 40, "QSFP28": 100}

SHORTHAND_MODES = ("1x", "2x", "4x", "/1", "/2", "/4")

# The order in which a refused mode's message lists the shorthand texts.
SHORTHAND_ORDER = ("1x", "/4", "2x", "4x", "/1")


def _lane_number(hw_port):
    return int(hw_port[2:])


def _is_gang_leader(port):
    return _lane_number(port.hw_ports[0]) % 4 == 0


class Port:
    is_fabric = False
    create_fabric = False

    def __init__(self, label):
        self.label = label
        self.sfp = None


class SDKPort(Port):
    modes = ()
    default_mode = None
    gang_modes = ()
    max_gang_size = 0
    pbmp_map = {}
    phy_init = {}
    _speed_map = {}
    _autodetect_phys = ("8727", "8747", "8754", "54282", "54680", "54280", "84328", "84758",
                        "84848", "84858")
    disable_prefix_xlate = None
    set_fiber_pref = False
    _serdes_intf_map = {}
    autoneg_pref = None
    sdk_group = None
    name_override = None

    def __init__(self, label, hw_ports, phy_types, phy_addrs, phy_layer, prim_offset, leds, unit,
                 rx_polarity_flip, tx_polarity_flip, rx_lane_map, tx_lane_map, mdi_pair_map,
                 pre_emphasis, drv_current, pre_drv_current, oversub, phy_id1, sys_interface):
        super().__init__(label)
        self.hw_ports = hw_ports
        self.prim_offset = prim_offset
        self.phy_types = phy_types
        self.phy_addrs = phy_addrs
        self.phy_layer = phy_layer
        self.leds = leds
        self.unit = unit
        self.rx_polarity_flip = rx_polarity_flip
        self.tx_polarity_flip = tx_polarity_flip
        self.rx_lane_map = rx_lane_map
        self.tx_lane_map = tx_lane_map
        self.mdi_pair_map = mdi_pair_map
        self.pre_emphasis = pre_emphasis
        self.drv_current = drv_current
        self.pre_drv_current = pre_drv_current
        self.oversub = oversub
        self.phy_id1 = phy_id1
        self.sys_interface = sys_interface

    def port_mangler(self, mode):
        return ((self, mode),)

    def complete_mode(config, self, mode):
        if mode not in SHORTHAND_MODES:
            return mode
        max_speed = SFF_SPEEDS[self.phy_layer]
        if mode in ("1x", "/1"):
            return "%dG" % max_speed
        if mode == "2x":
            return "2x%dG" % (max_speed // 2)
        if mode == "4x":
            return "4x%dG" % (max_speed // 4)
        if mode == "/2":
            return "%dG/2" % (max_speed * 2)
        return "%dG/4" % (max_speed * 4)

    def configurable(self, config_map):
        key = "Fabric-" + self.label if self.is_fabric else self.label
        mode = config_map.get(key, self.default_mode)
        return not mode.lower().startswith("disable")

    def phy_autodetect(self, mode, sub):
        return self.phy_types[sub] in self._autodetect_phys

    @classmethod
    def _check_mode(cls, mode):
        if mode in cls.modes:
            return
        shorthand_modes = set()
        for listed in cls.modes:
            if "x" in listed:
                shorthand_modes.update(("1x", "/1", listed[:2]))
            if "/" in listed:
                shorthand_modes.update(("1x", "/1", listed[-2:]))
        shown = [text for text in SHORTHAND_ORDER if text in shorthand_modes] + list(cls.modes)
        raise NoSuchMode("error: mode not found: %s, must be one of: %s" % (mode, shown))

    @classmethod
    def speed(cls, mode):
        cls._check_mode(mode)
        return cls._speed_map[mode]

    @classmethod
    def num_lanes(cls, mode):
        cls._check_mode(mode)
        # A split in two: each logical port takes two of the four lanes.
        if mode.startswith("2x"):
            return 2
        speed = cls.speed(mode)
        if speed == 40 or speed == 100:
            return 4
        if speed == 50:
            return 2
        if speed in (1, 10, 25):
            return 1
        raise RuntimeError("invalid speed: %d" % speed)

    def num_physical_ports(self, mode):
        return self.num_logical_ports(mode)

    def num_logical_ports(self, mode):
        raise NotImplementedError

    @property
    def max_logical_ports(self):
        raise NotImplementedError

    def mac_addrs_contrib_total(self, config_map):
        if not self.configurable(config_map):
            return 0
        if self.is_fabric and not self.create_fabric:
            return 0
        return self.max_logical_ports

    @property
    def num_phys(self):
        if self.phy_addrs is None:
            return 0
        return len([address for address in self.phy_addrs if address is not None])

    def hw_intf_prefix(self, mode, sub):
        return self.hw_ports[sub][:2]

    def hw_intf_num(self, mode, sub):
        # A port split in two is named by the first lane of each lane pair.
        if self.num_logical_ports(mode) == 2:
            return _lane_number(self.hw_ports[2 * sub])
        return _lane_number(self.hw_ports[sub])

    def hw_intf_num_portmap(self, mode, sub):
        return self.hw_intf_num(mode, sub)

    def base_hw_intf_num(self, mode, sub):
        logical_ports = self.num_logical_ports(mode)
        lanes = len(self.hw_ports)
        if logical_ports is not None and lanes <= logical_ports:
            return self.hw_intf_num(mode, sub)
        if logical_ports == 2:
            lanes = (lanes + 1) // 2
        return min([self.hw_intf_num(mode, x) for x in range(lanes)])

    def hw_intf(self, mode, sub):
        return "%s%u" % (self.hw_intf_prefix(mode, sub), self.hw_intf_num(mode, sub))

    def hw_pbmp(self, mode, sub):
        return 1 << self.pbmp_map[self.hw_ports[sub]]

    def hw_port_num(self, mode, sub):
        return self.pbmp_map[self.hw_ports[sub]]

    def port_mac_index(self, mode, mac_index, sub):
        return mac_index + sub

    def led_port_num(self, mode, sub):
        return self.pbmp_map[self.hw_ports[sub]]

    def set_leds(self, mode, led_port, sub, led_index_list):
        return {}

    def polarity_flip_val(self, mode, sub, polarity_flip):
        raise NotImplementedError

    def rx_logical_polarity_flip(self, mode, sub):
        return self.polarity_flip_val(mode, sub, self.rx_polarity_flip)

    def tx_logical_polarity_flip(self, mode, sub):
        return self.polarity_flip_val(mode, sub, self.tx_polarity_flip)

    def serdes_if_type(self, speed):
        return self._serdes_intf_map.get(speed)

    def an_c37(self, speed):
        return None

    def an_c73(self, speed):
        return None

    def logical_port_num(self, mode, sub):
        raise NotImplementedError


class BCMPort(SDKPort):
    """Broadcom-specific port data."""


def _family_base_constructor(name_format):
    """The constructor of a family port base: the serdes lane numbers become
    the hardware interface names (`name_format` of each), then the SDKPort
    fields follow in the family order, the MDI pair map last."""

    def __init__(self, label, serdes, phy_types, phy_addrs, phy_layer, prim_offset, leds, unit=0,
                 rx_polarity_flip=None, tx_polarity_flip=None, rx_lane_map=None,
                 tx_lane_map=None, pre_emphasis=None, drv_current=None, pre_drv_current=None,
                 oversub=False, phy_id1=None, sys_interface=None, mdi_pair_map=None):
        hw_ports = tuple(name_format % lane for lane in serdes)
        BCMPort.__init__(self, label, hw_ports, phy_types, phy_addrs, phy_layer, prim_offset,
                         leds, unit, rx_polarity_flip, tx_polarity_flip, rx_lane_map,
                         tx_lane_map, mdi_pair_map, pre_emphasis, drv_current, pre_drv_current,
                         oversub, phy_id1, sys_interface)

    return __init__


def _speed_port_constructor(family_base):
    """The constructor of a family's speed port classes: `unit` required, the
    receive lane map before the receive flip, `prim_offset` last; every
    argument goes on by name to the family base's constructor."""

    def __init__(self, label, serdes, phy_types, phy_addrs, phy_layer, leds, unit,
                 rx_lane_map=None, rx_polarity_flip=None, tx_lane_map=None,
                 tx_polarity_flip=None, mdi_pair_map=None, pre_emphasis=None, drv_current=None,
                 pre_drv_current=None, oversub=False, phy_id1=None, sys_interface=None,
                 prim_offset=None):
        family_base.__init__(self, label=label, serdes=serdes, phy_types=phy_types,
                             phy_addrs=phy_addrs, phy_layer=phy_layer, prim_offset=prim_offset,
                             leds=leds, unit=unit, rx_polarity_flip=rx_polarity_flip,
                             tx_polarity_flip=tx_polarity_flip, rx_lane_map=rx_lane_map,
                             tx_lane_map=tx_lane_map, pre_emphasis=pre_emphasis,
                             drv_current=drv_current, pre_drv_current=pre_drv_current,
                             oversub=oversub, phy_id1=phy_id1, sys_interface=sys_interface,
                             mdi_pair_map=mdi_pair_map)

    return __init__


class TomahawkPort(BCMPort):
    pbmp_map = {"xe%d" % n: n + 1 for n in range(132)}

    __init__ = _family_base_constructor("ce%u")

    def led_port_num(self, mode, sub):
        n = self.hw_intf_num(mode, sub)
        if n == 128:
            return 0
        if n == 130:
            return 1
        if n > 31:
            return n - 32 if n < 96 else n - 64
        return n

    def hw_port_num(self, mode, sub):
        return _lane_number(self.hw_ports[sub])

    def hw_intf_prefix(self, mode, sub):
        return "ce" if mode in ("100G", "100G/4") else "xe"

    def logical_port_num(self, mode, sub, port_base):
        p = self.hw_port_num(mode, sub) + 1
        if p == 129:
            return 66
        if p == 131:
            return 100
        if p > 32:
            p += 1
        if p > 65:
            p += 2
        if p > 99:
            p += 2
        return p


class Tomahawk100GPort(TomahawkPort):
    __init__ = _speed_port_constructor(TomahawkPort)
    _speed_map = {"40G": 40, "2x50G": 50, "100G": 100, "50G": 50, "2x20G": 20, "4x25G": 25,
                  "4x10G": 10, "2x40G": 40}
    modes = list(_speed_map)
    default_mode = "100G"

    def num_logical_ports(self, mode):
        self._check_mode(mode)
        if mode[1] == "x":
            return int(mode[0])
        return 1

    @property
    def max_logical_ports(self):
        return 4

    def polarity_flip_val(self, mode, sub, polarity_flip_list):
        self._check_mode(mode)
        if self.num_logical_ports(mode) == 4:
            return 1 if polarity_flip_list & (1 << sub) else 0
        if self.num_logical_ports(mode) == 2:
            return (polarity_flip_list >> (2 * sub)) & 3
        return polarity_flip_list


class Tomahawk25GPort(TomahawkPort):
    __init__ = _speed_port_constructor(TomahawkPort)
    _speed_map = {"10G": 10, "25G": 25, "40G/4": 40, "100G/4": 100}
    gang_modes = ("100G/4", "40G/4")
    max_gang_size = 4
    modes = ("25G", "10G") + gang_modes
    default_mode = modes[0]

    def num_logical_ports(self, mode):
        self._check_mode(mode)
        if mode in ("25G", "10G"):
            return 1
        if mode in ("100G/4", "40G/4"):
            return 1 if _is_gang_leader(self) else 0

    @property
    def max_logical_ports(self):
        return 1

    def num_physical_ports(self, mode):
        self._check_mode(mode)
        if mode in ("25G", "10G"):
            return 1
        if mode in ("100G/4", "40G/4"):
            return 4 if _is_gang_leader(self) else 0

    def polarity_flip_val(self, mode, sub, polarity_flip):
        self._check_mode(mode)
        return 1 if polarity_flip is True else 0


class TridentTwoPort(BCMPort):
    pbmp_map = {"hg%d" % n: n + 1 for n in range(128)}

    __init__ = _family_base_constructor("hg%u")

    def led_port_num(self, mode, sub):
        raise RuntimeError("Trident 2 LED port unknown")

    def an_c37(self, mode):
        if self.phy_layer in ("10GBaseT", "1GBaseT"):
            return None
        if mode in ("10G", "4x10G"):
            return "auto"
        return None

    def an_c73(self, mode):
        if self.phy_layer in ("10GBaseT", "1GBaseT"):
            return None
        if mode in ("10G", "4x10G"):
            return "off"
        return None


class TridentTwo10GPort(TridentTwoPort):
    __init__ = _speed_port_constructor(TridentTwoPort)
    gang_modes = ("40G/4",)
    modes = ("10G",) + gang_modes
    default_mode = "10G"
    max_gang_size = 4
    _speed_map = {"10G": 10, "40G/4": 40}

    @property
    def max_logical_ports(self):
        return 1

    def num_logical_ports(self, mode):
        self._check_mode(mode)
        if mode == "10G":
            return 1
        if mode == "40G/4":
            return 1 if _is_gang_leader(self) else 0

    def num_physical_ports(self, mode):
        self._check_mode(mode)
        if mode == "10G":
            return 1
        if mode == "40G/4":
            return 4 if _is_gang_leader(self) else 0

    def polarity_flip_val(self, mode, sub, polarity_flip):
        self._check_mode(mode)
        return 1 if polarity_flip is True else 0


class TridentTwo40GPort(TridentTwoPort):
    __init__ = _speed_port_constructor(TridentTwoPort)
    modes = ("40G", "4x10G")
    default_mode = "40G"
    _speed_map = {"4x10G": 10, "40G": 40}

    @property
    def max_logical_ports(self):
        return 4

    def num_logical_ports(self, mode):
        self._check_mode(mode)
        if mode == "40G":
            return 1
        if mode == "4x10G":
            return 4

    def polarity_flip_val(self, mode, sub, polarity_flip_list):
        self._check_mode(mode)
        if mode == "4x10G":
            if polarity_flip_list is None:
                raise TypeError("port %s in mode %s needs a polarity lane mask, got None"
                                % (self.label, mode))
            return 1 if polarity_flip_list & (1 << sub) else 0
        if mode == "40G":
            return polarity_flip_list
