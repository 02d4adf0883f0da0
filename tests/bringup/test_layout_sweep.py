"""Every chip class of asicmodel on a board of its family's port classes
(family_boards), on one chip and on two (labels in blocks, and
interleaved), with each port in each mode its class lists, each gang whole
and each split that blocks a partner: the port wiring, the port table and
the MAC table are each written or refused by the platform's name, and a
layout that is written names each SDK setting once and gives each kernel
device its own SDK interface, logical port and MAC index on its unit."""

import collections
import re

import pytest

import asicmodel
import bringup
import tervane.platform  # noqa: F401  (the chip classes the port map tests against)
import tervane.platforms
from family_boards import family_of, ports, slot_count
from leds.box_controllers import TomahawkBoxLEDController

CHIPS = sorted((value for value in vars(asicmodel).values()
                if isinstance(value, type) and issubclass(value, asicmodel.BCMChip)
                and value is not asicmodel.BCMChip), key=lambda cls: cls.__name__)
TEXTS = ("portsbcm", "porttab", "ethertab")


def labels(count, arrangement):
    """The labels of each chip's slots."""
    if arrangement == "one chip":
        return [range(1, count + 1)]
    if arrangement == "two chips in blocks":
        return [range(1, count + 1), range(count + 1, 2 * count + 1)]
    return [range(1, 2 * count, 2), range(2, 2 * count + 1, 2)]


class SweepBox(asicmodel.Platform):
    name = "sweep-box"


def board(chip_class, arrangement):
    assert family_of(chip_class), "no board for the family of %s" % chip_class.__name__
    platform = SweepBox()
    platform.switch = asicmodel.BCMSwitch(chip_class())
    count = slot_count(chip_class)
    platform.switch.ports = [port for unit, chip_labels in enumerate(labels(count, arrangement))
                             for port in ports(chip_class, unit, [str(n) for n in chip_labels])]
    platform.switch.glimmer = TomahawkBoxLEDController
    return tervane.platforms.register(platform)


def key(port):
    return ("Fabric-" if port.is_fabric else "") + port.label


def layouts(platform):
    """The empty layout; each port in each of its modes; each gang whole
    (the ports of one chip listing the gang mode, in board order, by the
    gang's size); each split of a port that blocks its partner, with the
    partner disabled."""
    yield ""
    all_ports = platform.switch.ports
    for port in all_ports:
        for mode in port.modes:
            yield "%s=%s\n" % (key(port), mode)
    for mode in sorted({mode for port in all_ports for mode in port.modes if "/" in mode}):
        size = int(mode.split("/")[1])
        by_unit = collections.defaultdict(list)
        for port in all_ports:
            if mode in port.modes:
                by_unit[port.unit].append(port)
        for members in by_unit.values():
            for first in range(0, len(members) - size + 1, size):
                yield "".join("%s=%s\n" % (key(port), mode) for port in members[first:first + size])
    for partner in all_ports:
        if getattr(partner, "adj_label", None) is None:
            continue
        lead, = [port for port in all_ports
                 if port.unit == partner.unit and port.label == partner.adj_label]
        for mode in lead.modes:
            if lead.num_logical_ports(mode) >= partner.blocked_adj_split:
                yield "%s=%s\n%s=disabled\n" % (key(lead), mode, key(partner))


def repeated(values):
    return sorted(value for value, count in collections.Counter(values).items() if count > 1)


def faults(platform, layout):
    """What is wrong with the layout's texts and devices, in words."""
    config = bringup.BCMConfig(platform, dummy=True)
    config.config(layout)
    made = []
    config.makekernnet = config.maketap = lambda name, index, *rest: made.append(index)
    texts, found = {}, []
    for name in TEXTS:
        try:
            texts[name] = config.output(name)
        except RuntimeError as error:
            if not str(error).startswith("platform: %s: " % platform.name):
                found.append("%s: RuntimeError %s" % (name, error))
        except Exception as error:
            found.append("%s: %s %s" % (name, type(error).__name__, error))
    if len(texts) < len(TEXTS):
        # Each board is built to run in its default modes.
        return found + ([] if layout else ["the default layout is not written"])
    lines = [line for line in texts["portsbcm"].splitlines()
             if line.strip() and not line.startswith("#")]
    twice = repeated(line.split("=")[0] for line in lines)
    rows = [row.split("\t") for row in texts["porttab"].splitlines()
            if row and not row.startswith("#")]
    shared_intf = repeated((row[2], row[1]) for row in rows)
    shared_port = repeated((row[2], row[4]) for row in rows if row[4] != "-1")
    shared_mac = repeated(made) if config.macmode == "standard" else []
    for what, values in (("portsbcm keys written twice", twice),
                         ("(unit, sdk_intf) of two devices", shared_intf),
                         ("(unit, logical port) of two devices", shared_port),
                         ("MAC indexes of two devices", shared_mac)):
        if values:
            found.append("%s: %s" % (what, " ".join(map(str, values))))
    return found


@pytest.mark.parametrize("arrangement", ["one chip", "two chips in blocks",
                                         "two chips interleaved"])
@pytest.mark.parametrize("chip_class", CHIPS, ids=[cls.__name__ for cls in CHIPS])
def test_every_layout_is_written_once_or_refused_by_the_platform(chip_class, arrangement):
    platform = board(chip_class, arrangement)
    wrong = [(layout, fault) for layout in layouts(platform) for fault in faults(platform, layout)]
    # One line per kind of fault (the words of its text, numbers aside), at
    # its first layout.
    first = {}
    for layout, fault in wrong:
        first.setdefault(frozenset(re.sub(r"\d+", "N", fault).split()), "%s, %s, layout %r: %s" % (
            chip_class.__name__, arrangement, layout, fault))
    assert not wrong, "%d faults in %d layouts, the first of each kind:\n%s" % (
        len(wrong), len({layout for layout, fault in wrong}), "\n".join(first.values()))


# A whole gang of the first four slots, each slot carrying its PHY value
# (0x10 + slot), and the next slot with one or without: the gang is one SDK
# port, whose line its leader writes. Where the members' sub-port 0 is the
# SDK port after the leader's (the next port's own), they write none; on
# Trident3 and Tomahawk each member has a name of its own and writes it.
WHOLE_GANGS = [
    # (chip class, gang mode, leader's name, members' names, next port's name)
    (asicmodel.TridentChip, "40G/4", "1", (), "2"),
    (asicmodel.TridentPlusChip, "40G/4", "1", (), "2"),
    (asicmodel.TridentTwoChip, "40G/4", "1", (), "2"),
    (asicmodel.TridentTwoPlusChip, "40G/4", "1", (), "2"),
    (asicmodel.MaverickChip, "40G/4", "1", (), "2"),
    (asicmodel.TridentThreeX7Chip, "100G/4", "67", ("68", "69", "70"), "2"),
    (asicmodel.TomahawkChip, "100G/4", "34", ("35", "36", "37"), "1"),
]
PHY_KEYS = {"prim_offset": "phy_port_primary_and_offset_%s", "phy_id1": "port_phy_id1_%s",
            "sys_interface": "phy_sys_interface_%s.0"}


@pytest.mark.parametrize("next_carries", [True, False], ids=["next with value", "next without"])
@pytest.mark.parametrize("value", sorted(PHY_KEYS))
@pytest.mark.parametrize("chip_class, mode, leader, members, next_name", WHOLE_GANGS,
                         ids=[row[0].__name__ for row in WHOLE_GANGS])
def test_a_whole_gang_writes_its_phy_values_once_per_sdk_port(chip_class, mode, leader, members,
                                                               next_name, value, next_carries):
    platform = board(chip_class, "one chip")
    for slot, port in enumerate(platform.switch.ports):
        for name in PHY_KEYS:
            setattr(port, name, 0x10 + slot if name == value and slot < 4 + next_carries
                    else None)
    config = bringup.BCMConfig(platform, dummy=True)
    config.config("".join("%s=%s\n" % (port.label, mode) for port in platform.switch.ports[:4]))
    named = [(leader, 0)] + [(name, slot + 1) for slot, name in enumerate(members)]
    if next_carries:
        named.append((next_name, 4))
    key = PHY_KEYS[value]
    assert [line for line in config.output("portsbcm").splitlines()
            if line.startswith(key.split("%")[0])] == [
        "%s=0x%x" % (key % name, 0x10 + slot) for name, slot in named]
