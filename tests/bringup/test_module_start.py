"""The module's start-up: its namespace, the twelve classes and their
bases, and the outside modules it needs."""

import os
import subprocess
import sys

import pytest

import bringup

CLASSES = [
    ("Boardinfo", object), ("IPRoute2", object), ("Ifmaker", object), ("Config", object),
    ("ConfiguredPort", object), ("SDKConfiguredPort", "ConfiguredPort"),
    ("BCMConfiguredPort", "SDKConfiguredPort"), ("SDKConfiguredMappedPort", "SDKConfiguredPort"),
    ("BCMConfiguredMappedPort", "SDKConfiguredMappedPort"),
    ("BCMConfiguredDportPort", "BCMConfiguredPort"), ("SDKConfig", "Config"),
    ("BCMConfig", "SDKConfig"),
]


def test_classes_in_catalogue_order_with_their_bases():
    names = [name for name in vars(bringup) if isinstance(getattr(bringup, name), type)
             and getattr(bringup, name).__module__ == "bringup"]
    assert names == [name for name, _ in CLASSES]
    for name, base in CLASSES:
        expected = object if base is object else getattr(bringup, base)
        assert getattr(bringup, name).__bases__ == (expected,)


@pytest.mark.parametrize("name, capable", [
    ("ConfiguredPort", None), ("SDKConfiguredPort", False), ("BCMConfiguredPort", False),
    ("SDKConfiguredMappedPort", True), ("BCMConfiguredMappedPort", True),
    ("BCMConfiguredDportPort", True)])
def test_portmap_capable(name, capable):
    assert getattr(bringup, name).portmap_capable is capable


def test_outside_names_are_bound():
    import configparser
    import io
    import porttab
    import tervane.porttab
    assert bringup.UnsupportedPlatformError is tervane.porttab.UnsupportedPlatformError
    assert porttab is tervane.porttab
    assert bringup.tervane.conformer.Conformer
    assert bringup.ConfigParser is configparser and bringup.StringIO is io
    assert list(vars(bringup))[list(vars(bringup)).index("ConfigParser"):][:3] == [
        "ConfigParser", "StringIO", "sys"]
    assert bringup.syslog.syslog and bringup.sys is sys and bringup._knet_link_file is None
    assert bringup.SDKConfig.serdes_if_type_map == {
        "XGMII": 6, "SFI": 9, "XFI": 10, "KR": 11, "KR4": 12, "SR4": 28}
    assert isinstance(bringup.Boardinfo.macaddr, property)
    assert isinstance(bringup.Boardinfo.macrange, property)


@pytest.mark.parametrize("blocked", ["sfp", "porttab", "tervane.conformer"])
def test_import_fails_without_an_outside_module(blocked):
    script = (
        "import sys\n"
        "class Block:\n"
        "    def find_spec(self, name, path=None, target=None):\n"
        "        if name in (%r, 'tervane.' + %r.split('.')[-1]):\n"
        "            raise ImportError('blocked: ' + name, name=name)\n"
        "sys.meta_path.insert(0, Block())\n"
        "try:\n"
        "    import bringup\n"
        "except ImportError as error:\n"
        "    print('ImportError', error)\n" % (blocked, blocked))
    result = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                            env=dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path)))
    assert result.stdout.startswith("ImportError blocked"), result.stderr
