"""The whole bring-up of each example platform in dummy mode: every text
`output` gives, the port scripts and the LED programs, against golden files
reviewed by hand (tests/bringup/golden/<platform>/<file>). Set
SWITCH_UPDATE_GOLDEN=1 to rewrite them after a deliberate change."""

import collections
import importlib
import itertools
import os

import pytest

import asicmodel
import bringup
import bringup_run

GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden")
UPDATE = os.environ.get("SWITCH_UPDATE_GOLDEN") == "1"


def generated(module_name, tmp_path):
    import io
    bringup_run.bring_up(module_name, str(tmp_path), io.StringIO())
    target = tmp_path / module_name
    return {path.name: path.read_bytes() for path in sorted(target.iterdir())}


@pytest.mark.parametrize("module_name", bringup_run.PLATFORMS)
def test_every_generated_file_matches_its_golden_text(module_name, tmp_path):
    files = generated(module_name, tmp_path)
    folder = os.path.join(GOLDEN, module_name)
    if UPDATE:
        os.makedirs(folder, exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as handle:
                handle.write(data)
    expected = {name: open(os.path.join(folder, name), "rb").read()
                for name in sorted(os.listdir(folder))}
    assert sorted(files) == sorted(expected)
    for name in files:
        assert files[name] == expected[name], name


def test_a_second_reading_gives_the_same_texts(tmp_path):
    first = generated("tomahawk_box", tmp_path / "a")
    assert generated("tomahawk_box", tmp_path / "b") == first


@pytest.mark.parametrize("module_name", bringup_run.PLATFORMS)
def test_every_kernel_name_is_given_once(module_name, tmp_path):
    rows = generated(module_name, tmp_path)["porttab"].decode().splitlines()[1:]
    counts = collections.Counter(row.split("\t")[0] for row in rows)
    assert sorted(name for name, count in counts.items() if count > 1) == []


def test_incomplete_gang_is_refused_only_by_the_text_needing_its_set():
    from platforms import trident_two_box
    config = bringup.BCMConfig(trident_two_box.build(), dummy=True)
    config.config("1=40G/4\n2=40G/4\n3=40G/4\n")  # port 4 left out of the gang
    assert [port.ganged_ports for port in config.ports] == [None] * len(config.ports)
    for name in bringup_run.FILES:
        if name != "portsbcm":
            config.output(name)
    with pytest.raises(RuntimeError,
                       match="^platform: trident-two-box: Incomplete ganged set led by port 1$"):
        config.output("portsbcm")


def leader(config):
    return next(port for port in config.ports if port.gang_leader is True)


PLATFORM_REFUSAL = "^platform: trident-two-box: Incomplete ganged set led by port 1$"
PORT_REFUSAL = "^Incomplete ganged set led by port 1$"
GANG_ENDINGS = [
    # (what, layout, polarity flips kept, the call, error)
    ("port map, port 4 left out", "", True, lambda config: config.output("portsbcm"),
     PLATFORM_REFUSAL),
    ("port map, port 4 in 10G, no polarity flips", "4=10G\n", False,
     lambda config: config.output("portsbcm"), PLATFORM_REFUSAL),
    ("rx logical flip", "", True, lambda config: leader(config).rx_logical_polarity_flip(0),
     PORT_REFUSAL),
    ("tx logical flip", "4=10G\n", False,
     lambda config: leader(config).tx_logical_polarity_flip(0), PORT_REFUSAL),
    ("rx flip per lane", "", False,
     lambda config: leader(config).td3_rx_logical_polarity_flip(leader(config), [], 0),
     PORT_REFUSAL),
    ("tx flip per lane", "", True,
     lambda config: leader(config).td3_tx_logical_polarity_flip(leader(config), [], 0),
     PORT_REFUSAL),
]


@pytest.mark.parametrize("what, layout, flips, call, error", GANG_ENDINGS,
                         ids=[case[0] for case in GANG_ENDINGS])
def test_an_incomplete_gang_is_refused_naming_its_leader(what, layout, flips, call, error):
    from platforms import trident_two_box
    platform = trident_two_box.build()
    if not flips:
        for port in platform.switch.ports[:4]:
            port.rx_polarity_flip = port.tx_polarity_flip = None
    config = bringup.BCMConfig(platform, dummy=True)
    config.config("1=40G/4\n2=40G/4\n3=40G/4\n" + layout)
    with pytest.raises(RuntimeError, match=error):
        call(config)


def gang(first, last, mode="40G/4"):
    return "".join("%d=%s\n" % (label, mode) for label in range(first, last + 1))


# Trident2 box: ports 1 to 8 on hardware ports 4 to 11, leaders 1 and 5;
# Tomahawk box: ports 5 to 8 on 32 to 35, leader 5; Maverick box: ports 1
# to 4 on 0 to 3, and the fabric port on 72, which leads a gang of its own.
def unmapped(platform):
    platform.switch.chip.portmap_capable = False


def on_chip(chip_class, flips):
    """The platform on another chip class, ports 5 to 8 with or without
    polarity flips."""
    def change(platform):
        platform.switch.chip = chip_class()
        for port in platform.switch.ports[4:8]:
            port.rx_polarity_flip, port.tx_polarity_flip = (True, False) if flips else (None, None)
    return change


BROKEN_GANGS = [
    # (what, platform, layout, change to the platform, the port named)
    ("leader in its default mode", "trident_two_box", gang(2, 4), None, "1"),
    ("leader disabled", "trident_two_box", "1=disabled\n" + gang(2, 4), None, "1"),
    ("leader in loopback", "trident_two_box", "1=loopback\n" + gang(2, 4), None, "1"),
    ("leader disabled, no port map", "trident_two_box", "1=disabled\n" + gang(2, 4), unmapped,
     "1"),
    ("leader left out on Tomahawk", "tomahawk_box", gang(6, 8), None, "5"),
    ("members in another gang mode", "tomahawk_box", "5=100G/4\n" + gang(6, 8), None, "5"),
    ("run shifted off its leader's four", "trident_two_box", gang(2, 5), None, "1"),
    ("run shifted over two gangs", "trident_two_box", gang(2, 8), None, "1"),
    ("fabric gang beside a whole one", "maverick_box", gang(1, 4) + "Fabric-1=40G/4\n", None,
     "Fabric-1"),
]
# Every part of the quad of ports 5 to 8 (lanes 64 to 67 on the Trident3
# box, 32 to 35 on the Tomahawk box), on the chips writing polarity lane by
# lane and on Tomahawk: the gang is named, not the lanes its leader takes.
BROKEN_GANGS += [
    ("%s, %s, ports %s%s" % (chip_class.__name__, mode, ",".join(map(str, part)),
                             ", flipped" if flips else ""),
     module_name, "".join("%d=%s\n" % (label, mode) for label in part),
     on_chip(chip_class, flips), "5")
    for module_name, chip_classes in (
        ("trident_three_box", (asicmodel.TridentThreeX7_56870_Chip,
                               asicmodel.TridentThreeX7_56873_Chip,
                               asicmodel.TridentThreeX5_56771_Chip)),
        ("tomahawk_box", (asicmodel.TomahawkTwo_56970_Chip, asicmodel.TomahawkChip)))
    for chip_class in chip_classes
    for mode in ("100G/4", "40G/4")
    for flips in (True, False)
    for size in (1, 2, 3)
    for part in itertools.combinations(range(5, 9), size)]


@pytest.mark.parametrize("what, module_name, layout, change, key", BROKEN_GANGS,
                         ids=[case[0] for case in BROKEN_GANGS])
def test_a_broken_gang_is_refused_naming_the_port_that_would_lead_it(what, module_name, layout,
                                                                      change, key):
    platform = importlib.import_module("platforms." + module_name).build()
    if change:
        change(platform)
    config = bringup.BCMConfig(platform, dummy=True)
    config.config(layout)
    with pytest.raises(RuntimeError, match="^platform: %s: Incomplete ganged set led by port %s$"
                       % (platform.name, key)):
        config.output("portsbcm")


def two_unit_trident_two(place=lambda n: (4 + n % 4, n // 4)):
    """A Trident2 switch of eight ports, port n + 1 on the hardware port and
    unit place(n) gives: by default two units that number their lanes
    alike, ports 1 to 4 on unit 0 and ports 5 to 8 on unit 1, each on
    hardware ports 4 to 7; rx polarity flipped on ports 3, 4 and 5."""
    from platforms import trident_two_box
    platform = trident_two_box.TridentTwoBox()
    platform.switch = asicmodel.BCMSwitch(asicmodel.TridentTwo_56854_Chip())
    platform.switch.ports = [
        asicmodel.TridentTwo10GPort(str(n + 1), (place(n)[0],), None, None, "SFP+", (0, n + 1),
                                    place(n)[1], rx_polarity_flip=n in (2, 3, 4))
        for n in range(8)]
    platform.switch.glimmer = trident_two_box.TridentTwoBoxLEDController
    return platform


# Each unit's gang is its own: its members are on its leader's unit, the
# leader's polarity comes from them, and a refusal names a port of that unit.
TWO_UNIT_GANGS = [
    # (what, layout, the portmap section's lines, or the port a refusal names)
    ("both gangs whole", gang(1, 8),
     ["portmap_1.0=5:40", "phy_xaui_rx_polarity_flip_1.0=0x000c",
      "portmap_1.1=5:40", "phy_xaui_rx_polarity_flip_1.1=0x0001"]),
    ("the two chips' halves", gang(1, 2) + gang(7, 8), "1"),
    ("a leader left out on the second chip", gang(6, 8), "5"),
]


@pytest.mark.parametrize("what, layout, expected", TWO_UNIT_GANGS,
                         ids=[case[0] for case in TWO_UNIT_GANGS])
def test_gangs_form_within_one_unit(what, layout, expected):
    config = bringup.BCMConfig(two_unit_trident_two(), dummy=True)
    config.config(layout)
    if isinstance(expected, str):
        with pytest.raises(RuntimeError, match="^platform: trident-two-box: Incomplete ganged set "
                                               "led by port %s$" % expected):
            config.output("portsbcm")
        return
    section = config.output("portsbcm").split("# portmap\n")[1].split("\n\n")[0]
    assert section.splitlines() == expected


def trident_two_box():
    return importlib.import_module("platforms.trident_two_box").build()


# Gangs whose leaders' labels fall in one 4k+1..4k+4 run, a name override
# given twice, or one on a broken-out port, which names all its sub-ports
# alike, give two logical ports one kernel name: every text listing kernel
# names refuses the layout, and no device is made; the port wiring itself
# passes. An override on a port left whole is that port's one name.
SHARED_KERNEL_NAMES = [
    # (what, platform, layout, name overrides by label, the refusal after "Kernel name ", or None)
    ("two chips on alternate labels", lambda: two_unit_trident_two(lambda n: (4 + n // 2, n % 2)),
     gang(1, 8), {}, "swp1 given to ports 1 and 2"),
    ("one chip's lane quads on every other label",
     lambda: two_unit_trident_two(lambda n: (4 + n // 2 + 4 * (n % 2), 0)), gang(1, 8), {},
     "swp1 given to ports 1 and 2"),
    ("a name override", two_unit_trident_two, gang(1, 8), {5: "swp1"},
     "swp1 given to ports 1 and 5"),
    ("an override on a broken-out port", trident_two_box, "9=4x10G\n", {9: "uplink"},
     "uplink given to sub-ports 0 and 1 of port 9"),
    ("an override before a broken-out one", trident_two_box, "9=4x10G\n",
     {8: "uplink", 9: "uplink"}, "uplink given to ports 8 and 9"),
    ("an override on a port left whole", trident_two_box, "", {9: "uplink"}, None),
]


@pytest.mark.parametrize("what, build, layout, overrides, refusal", SHARED_KERNEL_NAMES,
                         ids=[case[0] for case in SHARED_KERNEL_NAMES])
def test_a_kernel_name_given_twice_is_refused(what, build, layout, overrides, refusal):
    platform = build()
    for label, name in overrides.items():
        platform.switch.ports[label - 1].name_override = name
    config = bringup.BCMConfig(platform, dummy=True)
    config.config(layout)
    made = []
    config.makekernnet = config.maketap = lambda name, *rest: made.append(name)
    for text in ("porttab", "ethertab", "linkdefaults", "phytab", "sfptab"):
        if refusal is None:
            config.output(text)
        else:
            with pytest.raises(RuntimeError, match="^platform: trident-two-box: Kernel name %s$"
                                                   % refusal):
                config.output(text)
    if refusal is None:
        assert [name for name in made if name in overrides.values()] == list(overrides.values())
    else:
        assert made == []
    config.output("portsbcm")


def test_the_examples_show_every_kind_of_content(tmp_path):
    # Some example platform has PHYs with register values, SFP objects and
    # LEDs driven by its ports' routines.
    texts = collections.defaultdict(str)
    for module_name in bringup_run.PLATFORMS:
        for name, data in generated(module_name, tmp_path).items():
            lines = data.decode().splitlines()
            texts[name.split(".")[-1]] += "".join(line for line in lines if line[:1] != "#")
    assert texts["phytab"] and texts["rcphy"] and texts["sfptab"]
    assert "call    set_led_" in texts["asm"]
