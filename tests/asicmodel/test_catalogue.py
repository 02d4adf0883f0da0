"""The module namespace and the class tree the start-up builds."""

import os
import subprocess
import sys

import pytest

import asicmodel

CATALOGUE = [
    ("NoSuchPlatform", RuntimeError), ("NoSuchChip", RuntimeError), ("Platform", None),
    ("SDKSwitch", None), ("BCMSwitch", "SDKSwitch"), ("NoSuchMode", RuntimeError),
    ("Port", object), ("SDKPort", "Port"), ("BCMPort", "SDKPort"),
    ("MaverickPort", "BCMPort"), ("TomahawkPort", "BCMPort"), ("TomahawkTwoPort", "TomahawkPort"),
    ("TridentThreePort", "BCMPort"), ("TridentTwoPort", "BCMPort"),
    ("TridentTwoPlusPort", "TridentTwoPort"), ("TridentPort", "BCMPort"),
    ("TriumphPort", "BCMPort"), ("ApolloPort", "BCMPort"), ("Helix4Port", "BCMPort"),
    ("Hurricane2Port", "BCMPort"), ("Apollo1GPort", "ApolloPort"),
    ("Triumph1GPort", "TriumphPort"), ("Helix41GPort", "Helix4Port"),
    ("Hurricane21GPort", "Hurricane2Port"), ("Apollo10GPort", "ApolloPort"),
    ("Triumph10GPort", "TriumphPort"), ("Helix410GPort", "Helix4Port"),
    ("Hurricane210GPort", "Hurricane2Port"), ("Hurricane213GPort", "Hurricane2Port"),
    ("Hurricane213GFabricPort", "Hurricane213GPort"), ("Trident10GPort", "TridentPort"),
    ("TridentTwo10GPort", "TridentTwoPort"), ("TridentTwo10GFabricPort", "TridentTwo10GPort"),
    ("TridentTwoPlus10GPort", "TridentTwoPlusPort"), ("Trident40GPort", "TridentPort"),
    ("TridentTwo40GPort", "TridentTwoPort"), ("TridentTwoPlus40GPort", "TridentTwoPlusPort"),
    ("TridentThree100GPort", "TridentThreePort"), ("TridentThree25GPort", "TridentThreePort"),
    ("TridentThree10GPort", "TridentThreePort"), ("TridentThreeMGPort", "TridentThreePort"),
    ("Tomahawk100GPort", "TomahawkPort"), ("Tomahawk100GFabricPort", "Tomahawk100GPort"),
    ("Tomahawk25GPort", "TomahawkPort"), ("TomahawkMgmt10GPort", "TomahawkPort"),
    ("TomahawkTwo100GPort", "TomahawkTwoPort"), ("Maverick100GPort", "MaverickPort"),
    ("Maverick40GPort", "MaverickPort"), ("Maverick40GFabricPort", "Maverick40GPort"),
    ("Maverick10GPort", "MaverickPort"), ("Maverick10GFabricPort", "Maverick10GPort"),
    ("SDKChip", None), ("BCMChip", "SDKChip"), ("TridentPlusChip", "BCMChip"),
    ("TridentChip", "TridentPlusChip"), ("TridentTwoChip", "BCMChip"),
    ("TridentTwo_56850_Chip", "TridentTwoChip"), ("TridentTwo_56854_Chip", "TridentTwoChip"),
    ("TridentTwoPlusChip", "TridentTwoChip"), ("TridentTwoPlus_56860_Chip", "TridentTwoPlusChip"),
    ("TridentTwoPlus_56864_Chip", "TridentTwoPlusChip"), ("TridentThreeX5Chip", "BCMChip"),
    ("TridentThreeX5_56771_Chip", "TridentThreeX5Chip"), ("TridentThreeX7Chip", "BCMChip"),
    ("TridentThreeX7_56870_Chip", "TridentThreeX7Chip"),
    ("TridentThreeX7_56873_Chip", "TridentThreeX7Chip"), ("TomahawkChip", "BCMChip"),
    ("TomahawkPlusChip", "TomahawkChip"), ("TomahawkPlus_56967_Chip", "TomahawkPlusChip"),
    ("TomahawkPlus_56965_Chip", "TomahawkPlusChip"), ("TomahawkTwoChip", "TomahawkChip"),
    ("TomahawkTwo_56970_Chip", "TomahawkTwoChip"), ("MaverickChip", "BCMChip"),
    ("Maverick_56762_Chip", "MaverickChip"), ("Maverick_56768_Chip", "MaverickChip"),
    ("TriumphChip", "BCMChip"), ("ApolloChip", "BCMChip"), ("Helix4Chip", "BCMChip"),
    ("Hurricane2Chip", "BCMChip"),
]


def test_namespace_holds_exactly_the_catalogue_in_order():
    host_names = {"__name__", "__doc__", "__package__", "__loader__", "__spec__", "__file__"}
    names = [n for n in vars(asicmodel) if n not in host_names]
    assert names == ["os", "tervane"] + [name for name, _ in CATALOGUE] + ["__test__"]
    assert len(CATALOGUE) == 79
    assert asicmodel.__test__ == {}
    assert asicmodel.__doc__ is None


@pytest.mark.parametrize("name,base", CATALOGUE)
def test_class_base_module_and_qualified_name(name, base):
    cls = getattr(asicmodel, name)
    assert isinstance(cls, type)
    expected = object if base is None else (getattr(asicmodel, base) if isinstance(base, str) else base)
    assert cls.__bases__ == (expected,)
    assert cls.__module__ == "asicmodel"
    assert cls.__qualname__ == name


def test_errors_are_runtime_errors_and_distinct():
    errors = (asicmodel.NoSuchMode, asicmodel.NoSuchPlatform, asicmodel.NoSuchChip)
    for error in errors:
        with pytest.raises(RuntimeError) as caught:
            raise error("boom")
        assert str(caught.value) == "boom"
        assert [e for e in errors if issubclass(error, e)] == [error]


def test_import_fails_cleanly_without_the_platform_registry(tmp_path):
    # A tervane package without `platforms` shadows the stand-in.
    (tmp_path / "tervane").mkdir()
    (tmp_path / "tervane" / "__init__.py").write_text("")
    code = ("import sys, traceback\nsys.path.insert(0, %r)\n"
            "try:\n    import asicmodel\nexcept ImportError as e:\n    print('failed', e.name)\n"
            "    print([f.name for f in traceback.extract_tb(e.__traceback__)][-1:])\n"
            "print('asicmodel' in sys.modules)\n" % str(tmp_path))
    result = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                            env=dict(os.environ, PYTHONPATH=":".join(p for p in sys.path if p)))
    # The original error, with the start-up's own trace entry last.
    assert result.stdout.splitlines() == ["failed tervane.platforms", "['init asicmodel']",
                                          "False"]
