"""SWITCH_LOOKUP_CACHE, read when a module starts: 0 turns the lookup cache
off, 1 or nothing leaves it on, anything else stops the start-up with an
error naming the variable. (The whole suite also runs with the cache off.)"""

import pytest

from child_python import run_python

SCRIPT = """
try:
    import asicmodel as A
    port = A.Tomahawk25GPort("1", (1,), None, None, "SFP28", (0, 1), 0)
    print(port.hw_intf("25G", 0))
except ValueError as error:
    print(error)
"""


@pytest.mark.parametrize("setting, printed", [
    ("0", "xe1"),
    ("1", "xe1"),
    ("", "xe1"),
    ("off", "SWITCH_LOOKUP_CACHE must be 0 (lookup cache off) or 1 (on), not 'off'"),
])
def test_the_switch(setting, printed):
    result = run_python(SCRIPT, SWITCH_LOOKUP_CACHE=setting)
    assert result.stdout == printed + "\n", result.stderr
