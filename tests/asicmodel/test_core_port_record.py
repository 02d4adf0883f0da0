"""The port record: construction, configurability, PHY questions."""

import pytest

import asicmodel
from core_ports import FIELDS, Quad40GPort, make_port


def test_constructor_stores_every_field_by_keyword_in_any_order():
    values = {name: object() for name in FIELDS}
    port = asicmodel.SDKPort(**dict(reversed(list(values.items()))))
    for name in FIELDS:
        assert getattr(port, name) is values[name]
    assert port.sfp is None
    # Stored in the constructor's own order: the Port fields, then the rest.
    assert list(vars(port)) == ["label", "sfp", "hw_ports", "prim_offset"] + \
        [name for name in FIELDS if name not in ("label", "hw_ports", "prim_offset")]


def test_constructor_takes_positions_in_field_order():
    port = asicmodel.BCMPort(*FIELDS)
    assert [getattr(port, name) for name in FIELDS] == list(FIELDS)


@pytest.mark.parametrize("args,kwargs", [
    (FIELDS[:-1], {}),
    (FIELDS + ("extra",), {}),
    (FIELDS, {"label": "again"}),
    (FIELDS[:-1], {"sys_interfaces": 1}),
])
def test_constructor_argument_errors(args, kwargs):
    with pytest.raises(TypeError):
        asicmodel.SDKPort(*args, **kwargs)


def test_port_mangler_yields_the_port_itself():
    port = make_port()
    ((first, mode),) = port.port_mangler("40G")
    assert first is port and mode == "40G"


class Fabric(Quad40GPort):
    is_fabric = True
    default_mode = "40G"


@pytest.mark.parametrize("cls,default,config_map,expected", [
    (Quad40GPort, None, {"1": "40G"}, True),
    (Quad40GPort, None, {"1": "DISABLE"}, False),
    (Quad40GPort, None, {"1": "disabled-for-now"}, False),
    (Quad40GPort, None, {"1": " disable"}, True),
    (Quad40GPort, None, {"1": "not disable"}, True),
    (Quad40GPort, "10G", {}, True),
    (Quad40GPort, "disable", {}, False),
    (Fabric, None, {"1": "disable"}, True),
    (Fabric, None, {"Fabric-1": "disable"}, False),
])
def test_configurable(cls, default, config_map, expected):
    port = make_port(cls)
    if default is not None:
        port.default_mode = default
    assert port.configurable(config_map) is expected


def test_configurable_without_any_mode_fails():
    with pytest.raises(AttributeError):
        make_port().configurable({})


@pytest.mark.parametrize("phy_types,expected", [
    (["84328"], True), (["8727"], True), (["12345"], False), ([84328], False),
])
def test_phy_autodetect(phy_types, expected):
    assert make_port(phy_types=phy_types).phy_autodetect("anything", 0) is expected


@pytest.mark.parametrize("phy_types,error", [(None, TypeError), ([], IndexError)])
def test_phy_autodetect_without_a_type_fails(phy_types, error):
    with pytest.raises(error):
        make_port(phy_types=phy_types).phy_autodetect("40G", 0)


@pytest.mark.parametrize("phy_addrs,count", [
    (None, 0), ([], 0), ((None, None), 0), ((0x10, None, 0x11), 2), ([0], 1),
])
def test_num_phys(phy_addrs, count):
    assert make_port(phy_addrs=phy_addrs).num_phys == count


def test_class_tables_are_shared_objects():
    assert asicmodel.BCMPort.pbmp_map is asicmodel.SDKPort.pbmp_map
    assert make_port()._autodetect_phys is asicmodel.SDKPort._autodetect_phys
    with pytest.raises(AttributeError):
        make_port().num_phys = 3
