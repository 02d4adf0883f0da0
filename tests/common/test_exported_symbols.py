"""Each module exports its start-up function and nothing else, so that
modules loaded into one namespace (RTLD_GLOBAL) never bind to one another's
helpers, such as the lookup cache and its switch."""

import subprocess

import pytest

import asicmodel
import bringup
import fanoutprobe
import glimmer
from child_python import run_python

MODULES = [asicmodel, bringup, glimmer, fanoutprobe]


def defined_symbols(path):
    listed = subprocess.run(["nm", "-D", "--defined-only", path], capture_output=True,
                            text=True, check=True).stdout
    return {line.split()[-1] for line in listed.splitlines() if line.strip()}


@pytest.mark.parametrize("module", MODULES, ids=lambda module: module.__name__)
def test_a_module_exports_only_its_start_up_function(module):
    assert defined_symbols(module.__file__) == {"PyInit_" + module.__name__}


LOADED_INTO_ONE_NAMESPACE = """
import ctypes, os, sys
sys.setdlopenflags(os.RTLD_NOW | os.RTLD_GLOBAL)
import asicmodel, bringup, fanoutprobe, glimmer
process = ctypes.CDLL(None)
print([name for name in ("lookup_cache_start", "lookup_cache_getattr", "PyInit_glimmer")
       if hasattr(process, name)])
"""


def test_modules_loaded_into_one_namespace_add_only_their_start_up_functions():
    result = run_python(LOADED_INTO_ONE_NAMESPACE)
    assert result.stdout == "['PyInit_glimmer']\n", result.stderr
