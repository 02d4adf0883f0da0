"""Each example platform of the main job with each port in each mode its
class lists, the others in their default modes: every text is written or
refused by the platform's name and a port's, and where the layout is
written, no two kernel devices share an SDK logical port of a unit or a
MAC index."""

import collections
import importlib
import re

import pytest

import bringup
import bringup_run
import tervane.platforms


def layouts(platform):
    for port in platform.switch.ports:
        key = ("Fabric-" if port.is_fabric else "") + port.label
        for mode in port.modes:
            yield "%s=%s\n" % (key, mode)


def repeated(values):
    return sorted(value for value, count in collections.Counter(values).items() if count > 1)


def texts_or_refusals(config, keys):
    texts = {}
    refusal = re.compile(r"^platform: %s: .*\b[Pp]orts? (%s)\b"
                         % (re.escape(config.platform.name), "|".join(map(re.escape, keys))))
    for name in bringup_run.FILES + tuple("rcports_%d" % unit for unit in config.port_units):
        try:
            texts[name] = config.output(name)
        except RuntimeError as error:
            assert refusal.match(str(error)), (name, str(error))
    return texts


@pytest.mark.parametrize("module_name", bringup_run.PLATFORMS)
def test_every_listed_mode_is_written_or_refused_by_name(module_name):
    module = importlib.import_module("platforms." + module_name)
    platform = tervane.platforms.register(module.build())
    keys = [("Fabric-" if port.is_fabric else "") + port.label for port in platform.switch.ports]
    written = 0
    for layout in layouts(platform):
        config = bringup.BCMConfig(platform, dummy=True)
        config.config(layout)
        devices = []
        config.makekernnet = config.maketap = lambda name, index, *rest: devices.append(index)
        texts = texts_or_refusals(config, keys)
        if not {"portsbcm", "porttab", "ethertab"} <= set(texts):
            continue
        written += 1
        body = texts["portsbcm"].splitlines()
        for key in ("portmap_", "dport_map_port_"):
            assert repeated(line.split("=")[0] for line in body if line.startswith(key)) == [], layout
        rows = [row.split("\t") for row in texts["porttab"].splitlines()[1:]]
        assert repeated((row[2], row[4]) for row in rows if row[4] != "-1") == [], layout
        assert repeated(devices) == [], layout
    assert written > 0
