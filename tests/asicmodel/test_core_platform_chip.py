"""Platform, switches and the chip base with its data-file lookup."""

import collections
import os
import shutil

import pytest

import asicmodel


def test_switches_keep_the_chip_object_and_have_no_ports_until_set():
    chip = object()
    assert asicmodel.SDKSwitch(chip=chip).chip is chip
    switch = asicmodel.BCMSwitch(chip)
    assert switch.chip is chip
    assert isinstance(switch, asicmodel.SDKSwitch) and not isinstance(switch, asicmodel.Platform)
    for flag in ("has_phy_ucode_spi_rom", "has_phy_ucode_mdio", "led_controllers"):
        assert getattr(switch, flag) is None
    for missing in ("ports", "glimmer"):
        with pytest.raises(AttributeError):
            getattr(switch, missing)
    assert vars(switch) == {"chip": chip}


@pytest.mark.parametrize("call", [
    lambda: asicmodel.BCMSwitch(),
    lambda: asicmodel.BCMSwitch(1, 2),
    lambda: asicmodel.SDKSwitch(chip=1, extra=2),
    lambda: asicmodel.SDKChip(),
    lambda: asicmodel.BCMChip("/x"),
])
def test_constructor_argument_errors(call):
    with pytest.raises(TypeError):
        call()


def test_platform_slots():
    class Box(asicmodel.Platform):
        pass
    box = Box()
    assert (box.cpld, box.switch, box.bmc, box.chassis) == (None, None, None, None)
    assert box.use_dynamic_sensors is False


def test_bcm_chip_values():
    chip = asicmodel.BCMChip()
    assert chip.chip_dir_list == ["/bcm"]
    assert (chip.sw_base, chip.pci_vendor, chip.ipv4_host_table_size) == ("bcm", 0x14E4, 8192)
    assert chip.needs_lane_config is False and chip.mixed_oversub is None
    assert chip.base_pbmp is None and asicmodel.SDKChip.base_pbmp is None
    assert asicmodel.SDKChip("/x").chip_dir_list == ["/x"]
    assert asicmodel.BCMChip.is_acpi() is False and chip.is_acpi() is False
    assert chip.get_config("rc.forwarding") is None  # no file list


def test_data_directories_lie_beside_the_library():
    chip = asicmodel.BCMChip()
    here = os.path.dirname(os.path.realpath(asicmodel.__file__))
    assert chip.chip_config_path == here + "/__chip_config/"
    assert chip.bcm_config_path == here + "/__bcm_config/"
    assert os.path.isfile(chip.bcm_config_path + "rc.soc")


@pytest.fixture
def data_tree():
    """Puts files into the chip data tree beside the module for one test and
    removes them afterwards."""
    base = asicmodel.BCMChip().chip_config_path
    created = []

    def put(directory, name, data):
        path = os.path.join(base + directory.lstrip("/"), name)
        # The outermost folder made here goes, with all it holds.
        outermost = os.path.dirname(path)
        while not os.path.isdir(os.path.dirname(outermost)):
            outermost = os.path.dirname(outermost)
        if not os.path.isdir(outermost):
            created.append(outermost)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        created.append(path)
    yield put
    for path in reversed(created):
        if os.path.isdir(path):
            shutil.rmtree(path, ignore_errors=True)
        elif os.path.exists(path):
            os.remove(path)


class SampleFamilyChip(asicmodel.BCMChip):
    file_list = ("both.txt", "base.txt", "none.txt", "empty.txt", "raw.txt", "dir.txt")

    def __init__(self):
        asicmodel.BCMChip.__init__(self)
        self.chip_dir_list.insert(0, self.chip_dir_list[0] + "/zz_test_family")
        self.chip_dir_list.insert(0, self.chip_dir_list[0] + "/part")


def test_get_config_takes_the_most_specific_directory(data_tree):
    data_tree("/bcm/zz_test_family/part", "both.txt", b"part text\n")
    data_tree("/bcm", "both.txt", b"base text\n")
    data_tree("/bcm", "base.txt", b"only in base\n")
    data_tree("/bcm", "empty.txt", b"")
    data_tree("/bcm", "unlisted.txt", b"present but not listed\n")
    data_tree("/bcm", "raw.txt", b"a\r\nb\rc\xff\n")
    chip = SampleFamilyChip()
    assert chip.chip_dir_list == ["/bcm/zz_test_family/part", "/bcm/zz_test_family", "/bcm"]
    assert chip.get_config("both.txt") == "part text\n"
    assert chip.get_config("base.txt") == "only in base\n"
    assert chip.get_config("none.txt") is None
    assert chip.get_config("empty.txt") == ""
    assert chip.get_config("unlisted.txt") is None
    # Read losslessly: no newline translation, undecodable bytes kept.
    assert chip.get_config("raw.txt").encode("utf-8", "surrogateescape") == b"a\r\nb\rc\xff\n"


def test_get_config_on_a_directory_raises_the_host_error(data_tree):
    data_tree("/bcm/dir.txt", "inner", b"x")
    with pytest.raises(IsADirectoryError):
        SampleFamilyChip().get_config("dir.txt")


class DirectorySequence(collections.UserList):
    """A sequence that is not a list, standing in for what a base
    constructor may leave."""


def test_family_chip_constructor_extends_the_list_the_base_left(monkeypatch):
    # The base constructors are reached by class name when called, so a
    # replaced base is the one that runs, and its list is the one extended.
    class Base(asicmodel.SDKChip):
        def __init__(self, initial_path):
            self.chip_dir_list = DirectorySequence([initial_path])
    monkeypatch.setattr(asicmodel, "SDKChip", Base)
    chip = asicmodel.TridentTwo_56850_Chip()
    assert type(chip.chip_dir_list) is DirectorySequence
    assert chip.chip_dir_list[-1] == "/bcm" and len(chip.chip_dir_list) == 3
