"""The example platforms of these families build, and every port answers
the per-mode questions of the configuration in every mode it offers."""

import importlib
import io

import pytest

import tervane.platforms

EXAMPLES = {
    "tomahawk_box": "TomahawkChip",
    "tomahawk_two_box": "TomahawkTwo_56970_Chip",
    "maverick_box": "Maverick_56762_Chip",
    "hurricane2_box": "Hurricane2Chip",
}


@pytest.fixture(params=sorted(EXAMPLES))
def example(request):
    module = importlib.import_module("platforms." + request.param)
    platform = tervane.platforms.register(module.build())
    yield request.param, module, platform
    tervane.platforms.clear()


def test_platform_shape(example):
    name, _, platform = example
    assert type(platform.switch.chip).__name__ == EXAMPLES[name]
    assert platform.name and platform.switch.ports


def test_every_port_answers_in_every_mode(example):
    _, _, platform = example
    for port in platform.switch.ports:
        assert port.configurable({}) is True
        for mode in port.modes:
            port.speed(mode)
            # A paired or fabric port is never configured past its maximum.
            if port.num_logical_ports(mode) > port.max_logical_ports:
                continue
            for sub in range(port.num_logical_ports(mode)):
                assert port.hw_intf(mode, sub)[:2] in ("ce", "xe", "ge", "hg")
                assert port.hw_port_num(mode, sub) >= 0
                if hasattr(port, "find_port") or "Maverick" in type(port).__name__:
                    assert port.logical_port_num(mode, sub, 1) >= 1


def test_demo_extras_run(example):
    _, module, platform = example
    out = io.StringIO()
    for extra in getattr(module, "DEMO_EXTRAS", ()):
        extra(platform, out)
    if module.__name__.endswith("tomahawk_two_box"):
        assert out.getvalue() == "  port 1 in 4x25G: logical ports [1, 2, 3, 4]\n"
