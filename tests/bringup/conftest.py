"""Fixtures of the bringup tests (the fakes live in bringup_fakes)."""

import pytest

import bringup
from bringup_fakes import Chip, RecordingRunner, platform_of


@pytest.fixture
def recorded():
    """A dummy Config whose runners record; `log` holds (runner, words)."""
    def make(ports=(), sw_base="bcm"):
        config = bringup.Config(platform_of(ports, Chip(sw_base)), dummy=True)
        config.dummy = False
        log = []
        config.iproute2 = RecordingRunner(log, "ip")
        config.ifmaker = RecordingRunner(log, "ifmaker")
        return config, log
    return make


@pytest.fixture
def knet_file(tmp_path, monkeypatch):
    """The knet link marks go to a private file."""
    path = tmp_path / "knet_link"
    monkeypatch.setattr(bringup, "_knet_link_file", str(path))
    return path
