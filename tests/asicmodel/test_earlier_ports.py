"""Triumph, Apollo, Helix4 and Hurricane2 port classes: table and computed
numbering, the 1G, 10G and 13G speed classes and their constructors."""

import pytest

import asicmodel

A = asicmodel


def one_interface(cls, name, phy_layer="SFP+"):
    """A speed-class port on one hardware interface."""
    if cls in (A.Hurricane213GPort, A.Hurricane213GFabricPort):
        return cls("1", name, 0)
    if cls is A.Apollo1GPort:
        return cls("1", name, None, None, (0, 1), 0)
    return cls("1", name, None, None, phy_layer, (0, 1), 0)


ONE_G = [A.Triumph1GPort, A.Apollo1GPort, A.Helix41GPort, A.Hurricane21GPort]
TEN_G_WITH_FLIP = [A.Triumph10GPort, A.Helix410GPort, A.Hurricane210GPort]
SPEED_CLASSES = ONE_G + TEN_G_WITH_FLIP + [A.Apollo10GPort, A.Hurricane213GPort,
                                           A.Hurricane213GFabricPort]

# class, interface, hw_port_num, led_port_num (hw_pbmp is 1 << hw_port_num)
NUMBERING = [
    (A.Triumph1GPort, "ge48", 1, 1),
    (A.Triumph10GPort, "hg0", 26, 26),
    (A.Triumph1GPort, "ge0", 30, 30),
    (A.Triumph1GPort, "ge47", 53, 53),
    (A.Apollo1GPort, "ge0", 1, 1),
    (A.Apollo1GPort, "ge35", 36, 36),
    (A.Apollo1GPort, "ge36", 38, 37),
    (A.Apollo10GPort, "hg0", 50, 73),
    (A.Helix41GPort, "ge0", 1, 1),
    (A.Helix41GPort, "ge48", 49, 49),
    (A.Helix410GPort, "hg0", 50, 49),
    (A.Helix410GPort, "hg5", 55, 54),
    (A.Hurricane21GPort, "ge0", 2, 2),
    (A.Hurricane21GPort, "ge23", 25, 25),
    (A.Hurricane210GPort, "xe0", 26, 26),
    (A.Hurricane210GPort, "xe1", 27, 28),
    (A.Hurricane210GPort, "xe3", 29, 32),
]


@pytest.mark.parametrize("cls,name,hw_port,led", NUMBERING)
def test_numbering(cls, name, hw_port, led):
    port = one_interface(cls, name)
    assert port.hw_port_num("10G", 0) == hw_port
    assert port.hw_pbmp("10G", 0) == 1 << hw_port
    assert port.led_port_num("10G", 0) == led


@pytest.mark.parametrize("cls,name,hw_port", [
    (A.Hurricane213GPort, "hg0", 28), (A.Hurricane213GFabricPort, "hg3", 31)])
def test_hurricane2_hg_ports_have_numbers_but_no_led(cls, name, hw_port):
    port = one_interface(cls, name)
    assert (port.hw_port_num("13G", 0), port.hw_pbmp("13G", 0)) == (hw_port, 1 << hw_port)
    with pytest.raises(RuntimeError, match="^bad interface prefix$"):
        port.led_port_num("13G", 0)


# class, interface, error of (hw_port_num, hw_pbmp, led_port_num)
REFUSED = [
    (A.Triumph10GPort, "ge49", (KeyError, KeyError, KeyError)),
    (A.Triumph10GPort, "xe0", (KeyError, KeyError, KeyError)),
    (A.Apollo10GPort, "xe0", (RuntimeError, RuntimeError, RuntimeError)),
    (A.Helix410GPort, "xe0", (KeyError, KeyError, RuntimeError)),
    (A.Helix41GPort, "ge49", (KeyError, KeyError, None)),
    (A.Hurricane210GPort, "ce0", (RuntimeError, RuntimeError, RuntimeError)),
    # Undecodable bytes kept as surrogates are just another unknown prefix.
    (A.Hurricane210GPort, "\udcff\udcfe0", (RuntimeError, RuntimeError, RuntimeError)),
    (A.Helix410GPort, "\udcffg0", (KeyError, KeyError, RuntimeError)),
    # The number is read before the prefix is judged.
    (A.Apollo10GPort, "xeZ", (ValueError, ValueError, ValueError)),
    (A.Hurricane210GPort, "ce1x", (ValueError, ValueError, ValueError)),
]


@pytest.mark.parametrize("cls,name,errors", REFUSED)
def test_refused_interface_names(cls, name, errors):
    port = one_interface(cls, name)
    questions = (port.hw_port_num, port.hw_pbmp, port.led_port_num)
    for question, error in zip(questions, errors):
        if error is None:
            question("10G", 0)
            continue
        with pytest.raises(error) as failure:
            question("10G", 0)
        if error is RuntimeError:
            assert str(failure.value) == "bad interface prefix"


def test_only_sub_port_zero_exists():
    with pytest.raises(IndexError):
        one_interface(A.Apollo10GPort, "ge0").hw_port_num("10G", 1)


def test_bitmap_tables():
    triumph = A.TriumphPort.pbmp_map
    assert len(triumph) == 53 and sorted(triumph.values()) == list(range(1, 54))
    assert [triumph[n] for n in ("ge48", "ge8", "ge15", "ge20", "ge39", "hg0", "hg3", "ge0",
                                 "ge16", "ge28", "ge40", "ge47")] \
        == [1, 2, 9, 10, 25, 26, 29, 30, 38, 42, 46, 53]
    helix4 = A.Helix4Port.pbmp_map
    assert len(helix4) == 55 and helix4["ge48"] == 49 and helix4["hg0"] == 50
    assert A.ApolloPort.pbmp_map == {} and A.Hurricane2Port.pbmp_map == {}


@pytest.mark.parametrize("cls", ONE_G)
def test_1g_classes(cls):
    port = one_interface(cls, "ge0")
    assert port.phy_layer == "1GBaseT"
    assert port.speed("40G") == 1 and port.speed(None) == 1
    assert port.num_lanes("1G") == 1 and cls.num_lanes("1G") == 1
    with pytest.raises(A.NoSuchMode):
        port.num_lanes("10G")
    assert port.num_logical_ports("4x10G") == 1 and port.max_logical_ports == 1
    assert cls.modes == ("1G",) and cls.default_mode == "1G"


@pytest.mark.parametrize("cls,mode,speed", [
    (A.Triumph10GPort, "10G", 10), (A.Apollo10GPort, "10G", 10), (A.Helix410GPort, "10G", 10),
    (A.Hurricane210GPort, "10G", 10), (A.Hurricane213GPort, "13G", 13),
    (A.Hurricane213GFabricPort, "13G", 13)])
def test_10g_and_13g_speeds_check_the_mode(cls, mode, speed):
    port = one_interface(cls, "hg0")
    assert port.speed(mode) == speed
    with pytest.raises(A.NoSuchMode):
        port.speed("1G")
    assert port.num_logical_ports("4x10G") == 1 and port.max_logical_ports == 1


def test_13g_has_no_lane_count():
    with pytest.raises(RuntimeError, match="^invalid speed: 13$"):
        A.Hurricane213GPort.num_lanes("13G")


@pytest.mark.parametrize("cls", TEN_G_WITH_FLIP)
@pytest.mark.parametrize("flip,value", [(True, 1), (1, 0), (None, 0), (False, 0), (5, 0)])
def test_10g_polarity_is_one_only_for_true(cls, flip, value):
    port = one_interface(cls, "hg0")
    assert port.polarity_flip_val("10G", 0, flip) == value
    with pytest.raises(A.NoSuchMode):
        port.polarity_flip_val("1G", 0, flip)


@pytest.mark.parametrize("cls", [A.Apollo10GPort, A.Triumph1GPort, A.Hurricane21GPort,
                                 A.Hurricane213GPort, A.Hurricane213GFabricPort])
def test_classes_without_a_polarity_rule(cls):
    with pytest.raises(NotImplementedError):
        one_interface(cls, "ge0").rx_logical_polarity_flip(cls.default_mode, 0)


def test_10g_constructor_takes_receive_lane_map_first():
    port = A.Triumph10GPort("1", "hg0", "8727", 3, "SFP+", (0, 1), 0, "rxl", True, "txl", False,
                            "mdi")
    assert (port.rx_logical_polarity_flip("10G", 0), port.tx_logical_polarity_flip("10G", 0)) \
        == (1, 0)
    assert (port.rx_lane_map, port.tx_lane_map, port.mdi_pair_map) == ("rxl", "txl", "mdi")
    assert (port.hw_ports, port.phy_types, port.phy_addrs) == (("hg0",), ("8727",), (3,))
    assert port.prim_offset is None and port.phy_autodetect("10G", 0) is True


def test_family_bases_take_flips_before_lane_maps():
    port = A.Helix4Port("1", ["ge0", "ge1"], None, None, "1GBaseT", 2, None, 1, "rxf", "txf",
                        "rxl", "txl", "mdi")
    assert (port.rx_polarity_flip, port.tx_polarity_flip) == ("rxf", "txf")
    assert (port.rx_lane_map, port.tx_lane_map, port.mdi_pair_map) == ("rxl", "txl", "mdi")
    assert port.unit == 1 and port.prim_offset == 2
    assert A.TriumphPort("1", [], None, None, None, None, None).unit == 0
    with pytest.raises(TypeError):
        A.ApolloPort("1", [], None, None, None, None, None)


def test_1g_constructors_put_prim_offset_last():
    port = A.Triumph1GPort("1", "ge0", None, None, "SFP+", (0, 1), 2, 7)
    assert (port.unit, port.prim_offset, port.phy_layer) == (2, 7, "1GBaseT")
    apollo = A.Apollo1GPort("1", "ge0", None, None, (0, 1), 2, prim_offset=7)
    assert (apollo.unit, apollo.prim_offset) == (2, 7)
    with pytest.raises(TypeError):
        A.Apollo1GPort("1", "ge0", None, None, "SFP+", (0, 1), 2, 7)


def test_13g_ports():
    port = A.Hurricane213GPort("1", "hg2", 1)
    assert (port.phy_types, port.phy_addrs, port.phy_layer, port.leds) == ((None,), (None,),
                                                                           None, None)
    assert port.is_fabric is False
    fabric = A.Hurricane213GFabricPort("2", "hg3", 0)
    assert fabric.is_fabric is True and fabric.create_fabric is False
    assert fabric.configurable({"Fabric-2": "disabled"}) is False
    with pytest.raises(TypeError):
        A.Hurricane213GFabricPort("2", "hg3", 0, None)


@pytest.mark.parametrize("cls", SPEED_CLASSES)
def test_common_record_values(cls):
    port = one_interface(cls, "hg0")
    assert port.oversub is False
    assert (port.pre_emphasis, port.drv_current, port.pre_drv_current, port.phy_id1,
            port.sys_interface) == (None,) * 5
    keeps_hg = cls in (A.Hurricane210GPort, A.Hurricane213GPort, A.Hurricane213GFabricPort)
    assert port.disable_prefix_xlate is (True if keeps_hg else None)


def recording(cls):
    """`cls` noting each interface question asked through the object."""

    class Recording(cls):
        def hw_intf_num(self, mode, sub):
            self.asked.append("number")
            return super().hw_intf_num(mode, sub)

        def hw_intf_prefix(self, mode, sub):
            self.asked.append("prefix")
            return super().hw_intf_prefix(mode, sub)

    return Recording


@pytest.mark.parametrize("cls,name,question", [
    (A.Apollo10GPort, "hg1", "hw_port_num"), (A.Apollo10GPort, "hg1", "hw_pbmp"),
    (A.Apollo10GPort, "hg1", "led_port_num"), (A.Helix410GPort, "hg1", "led_port_num"),
    (A.Hurricane210GPort, "xe1", "hw_port_num"), (A.Hurricane210GPort, "xe1", "hw_pbmp"),
    (A.Hurricane210GPort, "xe1", "led_port_num")])
def test_interface_number_is_asked_before_its_prefix(cls, name, question):
    port = one_interface(recording(cls), name)
    port.asked = []
    getattr(port, question)("10G", 0)
    assert port.asked == ["number", "prefix"]
