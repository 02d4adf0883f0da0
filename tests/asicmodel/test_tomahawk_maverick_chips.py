"""Tomahawk, Maverick and earlier-family chip classes: identity, sizes,
flags, base bitmaps, data directories and data-file lookup."""

import os

import pytest

import asicmodel

A = asicmodel

TOMAHAWK_FILES = ("datapath.conf", "rc.forwarding", "hw_desc", "sdk.bcm", "uft.json")

# class, chip_dir_list, pci_device, bcm_pn, ipv4_host_table_size, base_pbmp bits
IDENTITY = [
    (A.TomahawkChip, ["/bcm/Tomahawk", "/bcm"], 0xB960, "56960", 40960, (0, 33, 67, 101, 135)),
    (A.TomahawkPlusChip, ["/bcm/TomahawkPlus", "/bcm/Tomahawk", "/bcm"], 0xB960, "56960", 40960,
     (0, 33, 67, 101, 135)),
    (A.TomahawkPlus_56967_Chip, ["/bcm/TomahawkPlus/56967", "/bcm/TomahawkPlus", "/bcm/Tomahawk",
                                 "/bcm"], 0xB967, "56967", 40960, (0, 33, 67, 101, 135)),
    (A.TomahawkPlus_56965_Chip, ["/bcm/TomahawkPlus/56965", "/bcm/TomahawkPlus", "/bcm/Tomahawk",
                                 "/bcm"], 0xB965, "56965", 40960, (0, 33, 67, 101, 135)),
    (A.TomahawkTwoChip, ["/bcm/TomahawkTwo", "/bcm/Tomahawk", "/bcm"], 0xB960, "56960", 40960,
     (0, 33, 67, 101, 135)),
    (A.TomahawkTwo_56970_Chip, ["/bcm/TomahawkTwo/56970", "/bcm/TomahawkTwo", "/bcm/Tomahawk",
                                "/bcm"], 0xB970, "56970", 40960, (0, 33, 67, 101, 135)),
    (A.MaverickChip, ["/bcm/Maverick", "/bcm"], None, None, 16384, (0, 73, 74)),
    (A.Maverick_56762_Chip, ["/bcm/Maverick/56762", "/bcm/Maverick", "/bcm"], 0xB762, None,
     16384, (0, 73, 74)),
    (A.Maverick_56768_Chip, ["/bcm/Maverick/56768", "/bcm/Maverick", "/bcm"], 0xB768, None,
     16384, (0, 73, 74)),
    (A.TriumphChip, ["/bcm/Triumph", "/bcm"], None, None, 4096, (0,)),
    (A.ApolloChip, ["/bcm/Apollo", "/bcm"], None, None, 4096, (0,)),
    (A.Helix4Chip, ["/bcm/Helix4", "/bcm"], None, None, 24576, (0, 49, 58, 59, 60, 61)),
    (A.Hurricane2Chip, ["/bcm/Hurricane2", "/bcm"], None, None, 4096, (0,)),
]
CHIP_CLASSES = [row[0] for row in IDENTITY]


@pytest.mark.parametrize("cls,directories,device,part,table,bits", IDENTITY)
def test_identity_and_directories(cls, directories, device, part, table, bits):
    chip = cls()
    assert chip.chip_dir_list == directories
    assert (chip.pci_device, chip.bcm_pn, chip.ipv4_host_table_size) == (device, part, table)
    assert chip.base_pbmp == sum(1 << bit for bit in bits)
    assert (chip.sw_base, chip.pci_vendor, chip.hsp_bw) == ("bcm", 0x14E4, None)


# class, file_list, portmap_capable, dport_capable, mixed_oversub, needs_lane_config,
# port_channel_type_map
CAPABILITIES = [
    (A.TomahawkChip, TOMAHAWK_FILES, True, True, True, False,
     {1: A.Tomahawk25GPort, 4: A.Tomahawk100GPort}),
    (A.TomahawkPlus_56965_Chip, TOMAHAWK_FILES, True, True, True, False,
     {1: A.Tomahawk25GPort, 4: A.Tomahawk100GPort}),
    (A.TomahawkTwo_56970_Chip, TOMAHAWK_FILES, True, True, True, False,
     {1: A.Tomahawk25GPort, 4: A.Tomahawk100GPort}),
    (A.Maverick_56768_Chip, TOMAHAWK_FILES + ("riot.json",), True, True, False, True,
     {1: A.Maverick10GPort, 4: A.Maverick100GPort}),
    (A.TriumphChip, ("rc.forwarding", "sdk.bcm"), False, None, None, False, {}),
    (A.ApolloChip, ("rc.forwarding", "sdk.bcm"), False, None, None, False, {}),
    (A.Helix4Chip, ("datapath.conf", "rc.forwarding", "hw_desc", "sdk.bcm"), False, None, None,
     False, {}),
    (A.Hurricane2Chip, ("rc.forwarding", "sdk.bcm"), False, None, None, False, {}),
]


@pytest.mark.parametrize("cls,files,portmap,dport,mixed,lanes,channels", CAPABILITIES)
def test_capabilities(cls, files, portmap, dport, mixed, lanes, channels):
    assert cls.file_list == files
    # Flags are tested for identity by their readers.
    assert cls.portmap_capable is portmap and cls.dport_capable is dport
    assert cls.mixed_oversub is mixed and cls.needs_lane_config is lanes
    assert cls.port_channel_type_map == channels


def test_each_tomahawk_family_class_sets_its_own_values():
    for cls in (A.TomahawkChip, A.TomahawkPlusChip, A.TomahawkTwoChip):
        for name in ("base_pbmp", "ipv4_host_table_size", "file_list", "portmap_capable",
                     "dport_capable", "mixed_oversub", "port_channel_type_map"):
            assert name in vars(cls), (cls, name)
    assert "pci_device" not in vars(A.TomahawkPlusChip)
    # Each body has a map of its own: changing one class's leaves the others'.
    maps = [cls.port_channel_type_map for cls in (A.TomahawkChip, A.TomahawkPlusChip,
                                                  A.TomahawkTwoChip)]
    assert len({id(m) for m in maps}) == 3
    assert A.TomahawkChip.__doc__ == "Tomahawk chip common attributes"
    assert A.TomahawkPlusChip.__doc__ == "Tomahawk Plus chip common attributes"
    assert A.TomahawkTwoChip.__doc__ == "Tomahawk Two chip common attributes"


def test_chip_objects_have_lists_of_their_own():
    first = A.TomahawkChip()
    second = A.TomahawkChip()
    assert first.chip_dir_list is not second.chip_dir_list
    assert first.chip_dir_list == ["/bcm/Tomahawk", "/bcm"]
    assert isinstance(A.TomahawkTwo_56970_Chip(), A.TomahawkTwoChip)
    assert not isinstance(A.TomahawkPlus_56967_Chip(), A.TomahawkTwoChip)


@pytest.mark.parametrize("cls", CHIP_CLASSES)
def test_every_listed_data_file_is_found(cls):
    chip = cls()
    for name in cls.file_list:
        text = chip.get_config(name)
        assert isinstance(text, str) and text, (cls, name)


@pytest.mark.parametrize("cls", CHIP_CLASSES)
def test_every_directory_of_the_chain_holds_sample_data(cls):
    chip = cls()
    for directory in chip.chip_dir_list:
        path = chip.chip_config_path + directory
        held = [name for name in cls.file_list if os.path.isfile(path + "/" + name)]
        assert held, (cls, directory)


@pytest.mark.parametrize("cls,name,source", [
    (A.TomahawkPlus_56967_Chip, "hw_desc", "bcm/TomahawkPlus/56967"),
    (A.TomahawkPlus_56967_Chip, "datapath.conf", "bcm/TomahawkPlus"),
    (A.TomahawkPlus_56967_Chip, "uft.json", "bcm/Tomahawk"),
    (A.TomahawkTwo_56970_Chip, "uft.json", "bcm/TomahawkTwo"),
    (A.TomahawkTwo_56970_Chip, "rc.forwarding", "bcm/Tomahawk"),
    (A.TomahawkChip, "hw_desc", "bcm/Tomahawk"),
    (A.Maverick_56762_Chip, "sdk.bcm", "bcm/Maverick/56762"),
    (A.Maverick_56762_Chip, "riot.json", "bcm/Maverick"),
])
def test_most_specific_directory_wins(cls, name, source):
    text = cls().get_config(name)
    assert source in text
    assert text.count("bcm/") == 1


@pytest.mark.parametrize("cls,name", [
    (A.TriumphChip, "hw_desc"), (A.Helix4Chip, "uft.json"), (A.TomahawkTwoChip, "riot.json"),
    (A.Hurricane2Chip, "datapath.conf"), (A.MaverickChip, "rc.soc")])
def test_names_outside_the_file_list_touch_no_file(monkeypatch, cls, name):
    class NoFileSystem:
        def __getattr__(self, attribute):
            raise AssertionError("file system touched")

    chip = cls()
    monkeypatch.setattr(asicmodel, "os", NoFileSystem())
    assert chip.get_config(name) is None
