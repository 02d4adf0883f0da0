"""Python code that once ended the interpreter: each runs in a child
process, so a crash is reported as a failed case, and must print what
plain Python gives."""

import pytest

from child_python import run_python

# A class value whose own class later loses `__get__`: the next read meets
# the plain value, as Python does.
CLASS_VALUE_LOSES_GET = """
class D:
    def __get__(self, o, t): return %s
%s
print(read())
del D.__get__
try:
    read()
except TypeError as error:
    print("TypeError")
"""

ASICMODEL_READ = """
import asicmodel as A
class P(A.Tomahawk100GPort): pbmp_map = D()
p = P("1", (0, 1, 2, 3), None, None, "QSFP28", (0, 1), 0)
read = lambda: p.hw_pbmp("4x25G", 0)
"""

GLIMMER_READ = """
import glimmer
class Board(glimmer.TridentTwoLEDController): num_leds = D()
read = lambda: len(Board().defines) > 0
"""

# A keyword name whose release runs a call of the same operation with
# another shape, while the first call's shape is being remembered.
KEYWORD_NAME_RELEASE_CALLS_AGAIN = """
import asicmodel as A
port = A.Tomahawk25GPort("1", (1,), None, None, "SFP28", (0, 1), 0)
class K(str):
    def __del__(self):
        if self == "mode":
            print(port.hw_intf("25G", sub=0))
print(port.hw_intf(**{K("mode"): "25G", K("sub"): 0}))
print(port.hw_intf(mode="25G", sub=0))
for _ in range(3):
    print(port.hw_intf("25G", sub=0))
"""

# Python code cannot make an operation of its own (one made so would have
# no function behind it).
EMPTY_OPERATION = """
import asicmodel as A
function_type = type(A.SDKPort.hw_intf)
for make in (function_type, lambda: object.__new__(function_type)):
    try:
        print(repr(make()))
    except TypeError as error:
        print(error)
"""

# A class method called through an instance, whose call moves the instance
# to another class and lets the old class go while the body still runs.
CLASS_DROPPED_DURING_ITS_CLASS_METHOD = """
import gc
import asicmodel as A
class Q(A.Tomahawk100GPort):
    pass
class P(A.Tomahawk100GPort):
    _check_mode = classmethod(vars(A.SDKPort)["mac_addrs_contrib_total"])
    max_logical_ports = 4
    @staticmethod
    def configurable(config_map):
        global P
        port.__class__ = Q
        del P
        gc.collect()
        return True
port = P("1", (0, 1, 2, 3), None, None, "QSFP28", (0, 1), 0)
print(port.num_logical_ports("4x25G"))
"""

CASES = [
    # (script, what it prints)
    (CLASS_VALUE_LOSES_GET % ('{"ce0": 5}', ASICMODEL_READ), "32\nTypeError\n"),
    (CLASS_VALUE_LOSES_GET % ("8", GLIMMER_READ), "True\nTypeError\n"),
    (KEYWORD_NAME_RELEASE_CALLS_AGAIN, "xe1\n" * 6),
    (EMPTY_OPERATION, "cannot create 'common.fast_function' instances\n"
                      "object.__new__(common.fast_function) is not safe, "
                      "use common.fast_function.__new__()\n"),
    (CLASS_DROPPED_DURING_ITS_CLASS_METHOD, "4\n"),
]


@pytest.mark.parametrize("cache", ["0", "1"], ids=["cache off", "cache on"])
@pytest.mark.parametrize("script, printed", CASES,
                         ids=["asicmodel class value", "glimmer class value", "keyword shape",
                              "empty operation", "class dropped during its class method"])
def test_the_child_prints_what_python_gives(script, printed, cache):
    result = run_python(script, SWITCH_LOOKUP_CACHE=cache)
    assert (result.returncode, result.stdout) == (0, printed), result.stderr
