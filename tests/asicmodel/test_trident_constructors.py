"""Constructor signatures of every Trident-family port class: parameter
names, their order and defaults, and the port field each one fills."""

import pytest

import asicmodel as am

SEVEN = ["label", "serdes", "phy_types", "phy_addrs", "phy_layer", "prim_offset", "leds"]
FAMILY = (SEVEN, [("unit", 0), ("rx_polarity_flip", None), ("tx_polarity_flip", None),
                  ("rx_lane_map", None), ("tx_lane_map", None), ("pre_emphasis", None),
                  ("drv_current", None), ("pre_drv_current", None), ("oversub", False),
                  ("phy_id1", None), ("sys_interface", None), ("mdi_pair_map", None)])
SPEED_TAIL = [("rx_lane_map", None), ("rx_polarity_flip", None), ("tx_lane_map", None),
              ("tx_polarity_flip", None), ("mdi_pair_map", None), ("pre_emphasis", None),
              ("drv_current", None), ("pre_drv_current", None), ("oversub", False),
              ("phy_id1", None), ("sys_interface", None), ("prim_offset", None)]
SPEED = (["label", "serdes", "phy_types", "phy_addrs", "phy_layer", "leds", "unit"], SPEED_TAIL)
QSFP = (["label", "serdes", "phy_types", "phy_addrs", "leds", "unit"], SPEED_TAIL)

# class: (required parameters, [(optional parameter, default)]), in order.
SIGNATURES = {
    am.TridentPort: (SEVEN, [("unit", 0), ("rx_polarity_flip", None), ("tx_polarity_flip", None),
                             ("rx_lane_map", None), ("tx_lane_map", None),
                             ("mdi_pair_map", None)]),
    am.TridentTwoPort: FAMILY,
    am.TridentTwoPlusPort: FAMILY,
    am.TridentThreePort: FAMILY,
    am.Trident10GPort: (["label", "serdes", "phy_type", "phy_addr", "phy_layer", "leds", "unit"],
                        SPEED_TAIL[:5]),
    am.Trident40GPort: (QSFP[0], SPEED_TAIL[:5] + [("prim_offset", None)]),
    am.TridentTwo10GPort: SPEED,
    am.TridentTwo40GPort: SPEED,
    am.TridentTwoPlus10GPort: SPEED,
    am.TridentTwoPlus40GPort: QSFP,
    am.TridentTwo10GFabricPort: (["label", "serdes", "tx_lane_map", "rx_lane_map"],
                                 [("tx_polarity_flip", None), ("rx_polarity_flip", None),
                                  ("pre_emphasis", None), ("drv_current", None),
                                  ("pre_drv_current", None)]),
    am.TridentThree100GPort: SPEED,
    am.TridentThree25GPort: SPEED,
    am.TridentThree10GPort: SPEED,
    am.TridentThreeMGPort: SPEED,
}


def argument(cls, name):
    """A value that shows where it was stored; serdes numbers are numbers."""
    if name == "serdes":
        return 4 if cls is am.Trident10GPort else (4,)
    return "v-" + name


def stored(port, name):
    """The port field a constructor parameter ends up in."""
    if name == "serdes":
        return port.hw_ports
    if name in ("phy_type", "phy_addr"):
        return getattr(port, name + "s")
    return getattr(port, name)


def expected(cls, name, value):
    if name == "serdes":
        return (("ce" if issubclass(cls, am.TridentThreePort) else "hg") + "4",)
    return (value,) if name in ("phy_type", "phy_addr") else value


@pytest.mark.parametrize("cls,signature", SIGNATURES.items())
def test_every_parameter_by_position_lands_in_its_field(cls, signature):
    required, optional = signature
    names = required + [name for name, _ in optional]
    values = [argument(cls, name) for name in names]
    port = cls(*values)
    for name, value in zip(names, values):
        assert stored(port, name) == expected(cls, name, value), name
    with pytest.raises(TypeError):
        cls(*values, "surplus")


@pytest.mark.parametrize("cls,signature", SIGNATURES.items())
def test_defaults_and_required_parameters(cls, signature):
    required, optional = signature
    keywords = {name: argument(cls, name) for name in required}
    port = cls(**keywords)
    for name, default in optional:
        value = stored(port, name)
        assert value is default or (value == default and type(value) is type(default)), name
    for name in required:
        with pytest.raises(TypeError):
            cls(**{k: v for k, v in keywords.items() if k != name})
    with pytest.raises(TypeError):
        cls(**keywords, not_a_parameter=1)
