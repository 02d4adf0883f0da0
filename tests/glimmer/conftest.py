"""Every glimmer test starts with an empty shared `call_list` (restored
afterwards) and may ask for a private temporary location."""

import tempfile

import pytest

import glimmer


@pytest.fixture(autouse=True)
def fresh_call_list():
    shared = glimmer.BCMLEDController.call_list
    saved = dict(shared)
    shared.clear()
    yield shared
    shared.clear()
    shared.update(saved)


@pytest.fixture
def temp_location(tmp_path, monkeypatch):
    """The host's temporary location, private to the test."""
    location = tmp_path / "tmp"
    location.mkdir()
    monkeypatch.setattr(tempfile, "tempdir", str(location))
    return location
