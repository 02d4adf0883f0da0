"""Port classes and builders shared by the core tests: small Python
subclasses of the base port, so the base rules are tested apart from any
family."""

import asicmodel

FIELDS = ("label", "hw_ports", "phy_types", "phy_addrs", "phy_layer", "prim_offset", "leds",
          "unit", "rx_polarity_flip", "tx_polarity_flip", "rx_lane_map", "tx_lane_map",
          "mdi_pair_map", "pre_emphasis", "drv_current", "pre_drv_current", "oversub",
          "phy_id1", "sys_interface")


def make_port(cls=asicmodel.SDKPort, **fields):
    values = dict.fromkeys(FIELDS)
    values.update(label="1", hw_ports=["hg0"], unit=0, oversub=False)
    values.update(fields)
    return cls(**values)


class Quad40GPort(asicmodel.BCMPort):
    """A four-lane cage: whole at 40G or split in four or two."""
    modes = ("40G", "4x10G", "2x20G")
    _speed_map = {"40G": 40, "4x10G": 10, "2x20G": 20}
    pbmp_map = {"hg%d" % n: n + 1 for n in range(128)}
    counts = {"40G": 1, "4x10G": 4, "2x20G": 2}

    def num_logical_ports(self, mode):
        self._check_mode(mode)
        return self.counts[mode]

    @property
    def max_logical_ports(self):
        return 4
