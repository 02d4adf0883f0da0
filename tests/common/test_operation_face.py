"""Every operation shows the face of a function of the module that defines
it: `__module__`, a repr naming it, a signature of the parameters the
argument matching uses, so `help()` and `inspect` read it as any Python
function, and it pickles and copies by reference."""

import copy
import inspect
import pickle
import pydoc

import pytest

import asicmodel
import bringup
import fanoutprobe
import glimmer

MODULES = [asicmodel, bringup, glimmer, fanoutprobe]


def catalogue(module):
    return [value for value in vars(module).values()
            if isinstance(value, type) and value.__module__ == module.__name__]


def operations(cls):
    """(what a caller reads, the function behind it) for each operation."""
    for name, value in vars(cls).items():
        if isinstance(value, property):
            yield value.fget, value.fget
        elif callable(getattr(value, "__func__", value)):
            yield getattr(cls, name), getattr(value, "__func__", value)


@pytest.mark.parametrize("module", MODULES, ids=lambda module: module.__name__)
def test_every_class_and_operation_reads_as_a_function(module):
    for cls in catalogue(module):
        if not issubclass(cls, BaseException):  # errors keep the host's constructor
            inspect.signature(cls)
        for read, function in operations(cls):
            assert function.__module__ == module.__name__, function
            assert repr(function) == "<function %s>" % function.__qualname__
            assert all(parameter.kind == parameter.POSITIONAL_OR_KEYWORD
                       for parameter in inspect.signature(read).parameters.values()), function


@pytest.mark.parametrize("module", MODULES, ids=lambda module: module.__name__)
def test_every_operation_pickles_and_copies_to_itself(module):
    for cls in catalogue(module):
        for _, function in operations(cls):
            for protocol in range(pickle.HIGHEST_PROTOCOL + 1):
                assert pickle.loads(pickle.dumps(function, protocol)) is function, (function,
                                                                                   protocol)
            assert copy.copy(function) is function
            assert copy.deepcopy(function) is function


class AnswersNoName(object):
    def __getattr__(self, name):
        raise ValueError(name)


def module_lookup_raising(error):
    def module_getattr(name):
        raise error

    def replace(monkeypatch):
        monkeypatch.delattr(asicmodel, "SDKPort")
        monkeypatch.setattr(asicmodel, "__getattr__", module_getattr, raising=False)
    return replace


# Where the operation's name leads elsewhere now, or cannot be looked up,
# pickle says so with its own error, as for a Python function.
@pytest.mark.parametrize("replace", [
    lambda monkeypatch: monkeypatch.setattr(asicmodel.SDKPort, "hw_intf", AnswersNoName()),
    module_lookup_raising(KeyError("SDKPort")),
    module_lookup_raising(RuntimeError("no lookups now")),
], ids=["class value", "module KeyError", "module RuntimeError"])
def test_operation_not_found_by_its_name_fails_with_pickle_s_error(monkeypatch, replace):
    function = asicmodel.SDKPort.hw_intf
    replace(monkeypatch)
    with pytest.raises(pickle.PicklingError):
        pickle.dumps(function)


PORT = asicmodel.Tomahawk25GPort("1", (1,), None, None, "SFP28", (0, 1), 0)


@pytest.mark.parametrize("callable_, signature", [
    (asicmodel.SDKPort.hw_intf, "(self, mode, sub)"),
    (PORT.hw_intf, "(mode, sub)"),
    (asicmodel.SDKPort.speed, "(mode)"),
    (asicmodel.SDKPort.complete_mode, "(config, self, mode)"),
    (glimmer._RoutineSet, "(texts=())"),
    (bringup.BCMConfig.output, "(self, configfile)"),
])
def test_signatures(callable_, signature):
    assert str(inspect.signature(callable_)) == signature


def test_help_and_the_host_s_messages_name_the_operation():
    assert "output(self, configfile)" in pydoc.render_doc(bringup.BCMConfig,
                                                         renderer=pydoc.plaintext)
    with pytest.raises(TypeError) as raised:
        PORT.hw_intf(*1)
    assert str(raised.value) == (
        "asicmodel.SDKPort.hw_intf() argument after * must be an iterable, not int")
