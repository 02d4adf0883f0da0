"""The validator stand-in accepts exactly the layout syntax the reader does,
and checks labels only where they reach the port map."""

import types

import pytest

import bringup
import tervane.conformer
import tervane.platforms
from bringup_fakes import platform_of


@pytest.mark.parametrize("text, accepted", [
    ("1=40G\n", True),
    ("1:40G\n", True),
    ("1 = 40G ; note\n", True),
    ("rem a remark\nREM\n# hash\n; semicolon\n\n \t\n1=40G\n", True),
    ("remark=1\n", True),  # "remark" is a label, not "rem"
    ("1=40G\n  more\n", True),
    ("[DEFAULT]\n1=10G\n[other]\nx=y\n[ports]\n2=40G\n", True),
    ("1=40G\r2=10G\r\n", True),
    ("1=\n", True),
    ("  leading\n", False),
    ("[other]\n  leading\n", False),
    ("bad line\n", False),
    ("=x\n", False),
    ("[]\n", False),
    ("1=40G\vx\n", True),  # \v ends no line for the reader
])
def test_accepts_what_the_reader_accepts(tmp_path, text, accepted):
    layout = tmp_path / "ports.conf"
    layout.write_bytes(text.encode())
    errors = tervane.conformer.Conformer(str(layout)).conformer()
    assert (errors == []) == accepted, errors
    config = bringup.Config(platform_of([]), dummy=True)
    try:
        config.config(text)
        parsed = True
    except ValueError:
        parsed = False
    assert parsed == accepted


@pytest.mark.parametrize("text, unknown", [
    ("1=40G\nFabric-2=10G\n", []),
    ("3=40G\n", ["'3'"]),
    ("[DEFAULT]\n3=10G\n", ["'3'"]),
    ("[other]\n3=10G\n", []),
    ("2=10G\n", ["'2'"]),  # 2 is a fabric port only
])
def test_labels_checked_in_the_port_map_sections(tmp_path, text, unknown):
    ports = [types.SimpleNamespace(label="1", is_fabric=False),
             types.SimpleNamespace(label="2", is_fabric=True)]
    layout = tmp_path / "ports.conf"
    layout.write_text(text)
    tervane.platforms.register(platform_of(ports))
    try:
        errors = tervane.conformer.Conformer(str(layout)).conformer()
    finally:
        tervane.platforms.clear()
    assert [error.rsplit(": ", 1)[1] for error in errors] == unknown
