"""Duck-typed configured ports and platform ports for the generator tests:
each answers exactly what the generator reads, from plain values."""

import types

import bringup
from bringup_fakes import Chip, platform_of


class Configured(object):
    """A configured port; per-sub-port answers are lists indexed by sub."""
    ganged, gang_leader, ganged_ports, label = False, False, None, "1"

    def __init__(self, names=("xe0",), unit=0, mode="40G", **values):
        self.sdk_names = list(names)
        self.num_logical_ports = len(self.sdk_names)
        self.unit, self.mode = unit, mode
        self.linux_names = values.pop("linux_names", ["swp%d" % n for n in range(len(names))])
        defaults = dict(portmap_capable=False, speed=40, loopback=False, sdk_group=None,
                        enable_auto_neg=False, serdes_if_type=None, set_fiber_pref=False,
                        an_c37=None, an_c73=None, prim_offset=None, phy_id1=None,
                        sys_interface=None, pre_emphasis=None, drv_current=None,
                        pre_drv_current=None, phy_types=None, phy_addrs=(), phy_init={},
                        rx_polarity_flip=None, tx_polarity_flip=None, rx_lane_map=None,
                        tx_lane_map=None, mdi_pair_map=None, logical=None, bits=None,
                        oversub=False, hw=None, mac_index=0, is_fabric=False,
                        create_fabric=False, num_lanes=4, autodetect=False, sfp=None,
                        rx_flips=None, tx_flips=None, unit_intf=None)
        defaults.update(values)
        self.__dict__.update(defaults)
        self.__dict__.setdefault("max_logical_ports", self.num_logical_ports)
        self.num_phys = len(self.phy_addrs)
        self.physical_port = types.SimpleNamespace(is_fabric=self.is_fabric, sfp=self.sfp)

    def sdk_intf(self, sub):
        return self.sdk_names[sub]

    def sdk_intf_prefix(self, sub):
        return self.sdk_names[sub][:2]

    def linux_port_name(self, sub):
        return self.linux_names[sub]

    def sdk_logical_port_num(self, sub):
        return (self.logical or list(range(1, 1 + len(self.sdk_names))))[sub]

    def sdk_config_intf(self, sub, num_units=None):
        name = str(self.sdk_logical_port_num(sub)) if self.portmap_capable else self.sdk_intf(sub)
        return name if num_units is not None and num_units <= 1 else "%s.%d" % (name, self.unit)

    def sdk_pbmp(self, sub):
        return self.bits[sub]

    def hw_intf_num(self, sub):
        return self.hw[sub]

    def hw_intf_num_portmap(self, sub):
        return self.hw[sub]

    def sdk_unit_intf_num(self, sub):
        return self.unit_intf[sub]

    def rx_logical_polarity_flip(self, sub):
        return self.rx_flips[sub]

    def tx_logical_polarity_flip(self, sub):
        return self.tx_flips[sub]

    def td3_rx_logical_polarity_flip(self, port, portmap, sub):
        return bringup.SDKConfiguredPort.td3_rx_logical_polarity_flip(self, port, portmap, sub)

    def td3_tx_logical_polarity_flip(self, port, portmap, sub):
        return bringup.SDKConfiguredPort.td3_tx_logical_polarity_flip(self, port, portmap, sub)

    def phy_type(self, sub):
        return None if self.phy_types is None else self.phy_types[sub]

    def phy_autodetect(self, sub):
        return self.autodetect

    def phy_addr(self, sub):
        return self.phy_addrs[sub]

    def port_mac_index(self, sub):
        return self.mac_index + sub


def config_with(ports, chip=None, units=None, name="test-box", switch=None):
    """A dummy BCMConfig over the given configured ports."""
    platform = platform_of([], chip or Chip())
    platform.name = name
    for key, value in (switch or {}).items():
        setattr(platform.switch, key, value)
    config = bringup.BCMConfig(platform, dummy=True)
    config.ports = list(ports)
    config.units = set(units if units is not None else {p.unit for p in ports})
    return config


def chip(**flags):
    made = Chip()
    made.__dict__.update(dict(dport_capable=None, portmap_capable=None), **flags)
    return made
