"""Trident-family chip classes: what each chip says of itself, its data
directory search list and the chip data files it serves."""

import os

import pytest

import asicmodel as am

F4 = ("datapath.conf", "rc.forwarding", "hw_desc", "sdk.bcm")
F5 = F4 + ("uft.json",)
F6 = F5 + ("riot.json",)
P1 = (1 << 0) | (1 << 65)
P2 = (1 << 0) | (1 << 105)
P3 = sum(1 << n for n in (64, 65, 66, 67, 128, 129, 130, 131))

# class: (bcm_pn, pci_device, hsp_bw, ipv4_host_table_size, portmap_capable, dport_capable,
#         mixed_oversub, needs_lane_config, base_pbmp, file_list)
EFFECTIVE = {
    am.TridentPlusChip: (None, None, None, 8192, True, None, None, False, P1, F4),
    am.TridentChip: (None, None, None, 4096, True, None, None, False, P1, F4),
    am.TridentTwo_56850_Chip: ("56850", 0xB850, 100, 16384, True, None, True, False, P2, F5),
    am.TridentTwo_56854_Chip: ("56854", 0xB854, 40, 16384, True, None, True, False, P2, F5),
    am.TridentTwoPlus_56860_Chip: (None, None, None, 16384, True, True, True, False, P2, F6),
    am.TridentTwoPlus_56864_Chip: (None, None, 40, 16384, True, True, True, False, P2, F6),
    am.TridentThreeX5_56771_Chip: ("56771", 0xB771, None, 40960, True, True, True, True, P1, F6),
    am.TridentThreeX7_56870_Chip: ("56870", 0xB870, None, 40960, True, True, True, False, P3, F6),
    am.TridentThreeX7_56873_Chip: ("56873", 0xB873, None, 40960, True, True, True, False, P3, F6),
}
FIELDS = ("bcm_pn", "pci_device", "hsp_bw", "ipv4_host_table_size", "portmap_capable",
          "dport_capable", "mixed_oversub", "needs_lane_config", "base_pbmp", "file_list")

DIRECTORIES = {
    am.TridentPlusChip: ["/bcm/Trident", "/bcm"],
    am.TridentChip: ["/bcm/Trident", "/bcm"],
    am.TridentTwoChip: ["/bcm/TridentTwo", "/bcm"],
    am.TridentTwo_56850_Chip: ["/bcm/TridentTwo/56850", "/bcm/TridentTwo", "/bcm"],
    am.TridentTwo_56854_Chip: ["/bcm/TridentTwo/56854", "/bcm/TridentTwo", "/bcm"],
    am.TridentTwoPlusChip: ["/bcm/TridentTwoPlus", "/bcm/TridentTwo", "/bcm"],
    am.TridentTwoPlus_56860_Chip: ["/bcm/TridentTwoPlus/56860", "/bcm/TridentTwoPlus",
                                   "/bcm/TridentTwo", "/bcm"],
    am.TridentTwoPlus_56864_Chip: ["/bcm/TridentTwoPlus/56864", "/bcm/TridentTwoPlus",
                                   "/bcm/TridentTwo", "/bcm"],
    am.TridentThreeX5Chip: ["/bcm/TridentThreeX5", "/bcm"],
    am.TridentThreeX5_56771_Chip: ["/bcm/TridentThreeX5/56771", "/bcm/TridentThreeX5", "/bcm"],
    am.TridentThreeX7Chip: ["/bcm/TridentThreeX7", "/bcm"],
    am.TridentThreeX7_56870_Chip: ["/bcm/TridentThreeX7/56870", "/bcm/TridentThreeX7", "/bcm"],
    am.TridentThreeX7_56873_Chip: ["/bcm/TridentThreeX7/56873", "/bcm/TridentThreeX7", "/bcm"],
}


@pytest.mark.parametrize("cls,values", EFFECTIVE.items())
def test_effective_values(cls, values):
    chip = cls()
    assert (chip.sw_base, chip.pci_vendor) == ("bcm", 0x14E4)
    for field, expected in zip(FIELDS, values):
        actual = getattr(chip, field)
        if expected is None or isinstance(expected, bool):
            assert actual is expected, field  # flags are the host's own objects
        else:
            assert actual == expected and type(actual) is type(expected), field


def test_shared_values_are_one_object():
    assert am.TridentThreeX5Chip.base_pbmp is am.TridentPlusChip.base_pbmp
    assert am.TridentThreeX7Chip.file_list is am.TridentTwoPlusChip.file_list
    assert am.TridentThreeX7Chip.base_pbmp & 1 == 0
    assert bin(am.TridentTwoChip.base_pbmp).count("1") == 2


@pytest.mark.parametrize("cls,directories", DIRECTORIES.items())
def test_directory_search_list(cls, directories):
    first, second = cls(), cls()
    assert first.chip_dir_list == directories == second.chip_dir_list
    assert first.chip_dir_list is not second.chip_dir_list
    with pytest.raises(TypeError):
        cls("/extra")


@pytest.mark.parametrize("cls,single,four", [
    (am.TridentChip, am.Trident10GPort, am.Trident40GPort),
    (am.TridentTwo_56850_Chip, am.TridentTwo10GPort, am.TridentTwo40GPort),
    (am.TridentTwoPlus_56860_Chip, am.TridentTwoPlus10GPort, am.TridentTwoPlus40GPort),
    (am.TridentThreeX5Chip, am.TridentThree25GPort, am.TridentThree100GPort),
    (am.TridentThreeX7_56873_Chip, am.TridentThree25GPort, am.TridentThree100GPort)])
def test_channel_type_map_names_the_port_classes(cls, single, four):
    assert list(cls.port_channel_type_map.items()) == [(1, single), (4, four)]


def test_channel_type_map_builds_ports():
    port = am.TridentTwoPlusChip.port_channel_type_map[4]("1", (0, 1, 2, 3), None, None, None, 0)
    assert type(port) is am.TridentTwoPlus40GPort and port.hw_ports[0] == "hg0"


@pytest.mark.parametrize("cls", DIRECTORIES)
def test_every_listed_file_is_served_from_the_most_specific_directory(cls):
    chip = cls()
    root = chip.chip_config_path
    for name in chip.file_list:
        text = chip.get_config(name)
        found = [d for d in chip.chip_dir_list if os.path.exists(root + d + "/" + name)]
        assert found and text == open(root + found[0] + "/" + name).read(), name
        assert found[0] == "/bcm" or ("bcm" + found[0][4:]) in text


@pytest.mark.parametrize("cls,name", [
    (am.TridentChip, "uft.json"), (am.TridentTwo_56850_Chip, "riot.json"),
    (am.TridentThreeX7Chip, "port.conf")])
def test_unlisted_files_are_not_served(cls, name):
    assert cls().get_config(name) is None


@pytest.fixture
def tree(tmp_path):
    """A private chip data tree; the chip subclass reads it instead."""
    def write(relative, text):
        path = tmp_path / relative.lstrip("/")
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)
    root = str(tmp_path) + "/"

    class Chip(am.TridentTwoPlus_56864_Chip):
        chip_config_path = property(lambda self: root)
    return write, Chip()


@pytest.mark.parametrize("files,name,expected", [
    ({"/bcm/hw_desc": "bcm", "/bcm/TridentTwoPlus/56864/hw_desc": "part"}, "hw_desc", "part"),
    ({"/bcm/hw_desc": "bcm"}, "hw_desc", "bcm"),
    ({"/bcm/TridentTwo/uft.json": "two", "/bcm/hw_desc": "bcm"}, "uft.json", "two"),
    ({"/bcm/TridentTwo/sdk.bcm": "two", "/bcm/TridentTwoPlus/sdk.bcm": "plus"}, "sdk.bcm", "plus"),
    ({"/bcm/TridentTwoPlus/riot.json": ""}, "riot.json", ""),
    ({}, "datapath.conf", None),
    ({"/bcm/TridentTwoPlus/56864/port.conf": "x"}, "port.conf", None),
])
def test_search_order_over_a_private_tree(tree, files, name, expected):
    write, chip = tree
    for relative, text in files.items():
        write(relative, text)
    assert chip.get_config(name) == expected


def test_docs():
    assert am.TridentTwoPlusChip.__doc__ == "Trident2 Plus chip common attributes"
    assert "smaller host table" in am.TridentChip.__doc__
    assert am.TridentTwo_56850_Chip.__doc__ is None
