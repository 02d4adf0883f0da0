"""Each fanoutprobe test gets a small simulated ASIC installed in the shell
stand-in and the port-name table, and a builder of Asic objects over it."""

import pytest

import bcmshell
import fanoutprobe
import tervane.fanoutlib
import tervane.porttab


@pytest.fixture
def state():
    asic_state = bcmshell.AsicState.generate(ports=4, vlans=2, groups=2)
    bcmshell.install(asic_state)
    tervane.porttab.install(asic_state.linux_names())
    tervane.fanoutlib.reset()
    yield asic_state
    bcmshell.clear()
    tervane.porttab.clear()
    tervane.fanoutlib.reset()


@pytest.fixture
def build(state):
    """Asic(...) over the installed state, with its command log cleared first."""
    def make(*args, **kwargs):
        state.log.clear()
        return fanoutprobe.Asic(*args, **kwargs)
    return make

