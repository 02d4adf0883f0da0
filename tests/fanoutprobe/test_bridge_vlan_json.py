"""The bridge VLAN listing is read as the host's json module reads it: the
same error at the same place for a text that is no JSON, and numbers read
alike under every locale."""

import json
import locale
import subprocess

import pytest

from kernel_fixtures import asic, kernel  # noqa: F401

LISTING = ("/sbin/bridge", "-j", "vlan", "show")


def host_error(text):
    with pytest.raises(json.JSONDecodeError) as error:
        json.loads(text)
    return error.value


@pytest.mark.parametrize("text", [
    '{"swp1": [{"vlan": 5}]} \u00e9',    # the parser's message quotes a cut character
    '{"sw\u00e9p1": [{"vlan": 5},]}',    # non-ASCII text before the fault
    '{"\u00e9":\n [5, 1e400,}',          # a later line, a number beyond a double
    '{"swp1": [-1e999+]}',               # right after a number beyond a double
    '{"swp1": [1e400.5]}',
    '[1e400-1e400]',
])
def test_invalid_listing_fails_where_the_host_says(asic, kernel, text):  # noqa: F811
    kernel.commands[LISTING] = (0, text)
    with pytest.raises(Exception) as error:
        asic._kern_get_vlan_members(5)
    expected = host_error(text)
    assert type(error.value) is json.JSONDecodeError
    assert (error.value.pos, error.value.lineno, error.value.colno) == \
        (expected.pos, expected.lineno, expected.colno)


@pytest.fixture
def comma_locale(tmp_path, monkeypatch):
    """The process under a locale whose decimal point is a comma, built into
    a private folder; the locale before is restored."""
    built = tmp_path / "de_DE.UTF-8"
    try:
        subprocess.run(["localedef", "-i", "de_DE", "-f", "UTF-8", str(built)],
                       check=True, capture_output=True)
    except (OSError, subprocess.CalledProcessError) as error:
        pytest.skip("cannot build the de_DE.UTF-8 locale with localedef: %s" % error)
    monkeypatch.setenv("LOCPATH", str(tmp_path))
    before = locale.setlocale(locale.LC_ALL)
    try:
        locale.setlocale(locale.LC_ALL, "de_DE.UTF-8")
    except locale.Error as error:
        pytest.skip("the built de_DE.UTF-8 locale cannot be set: %s" % error)
    assert locale.localeconv()["decimal_point"] == ","
    yield
    locale.setlocale(locale.LC_ALL, before)


def test_numbers_read_alike_under_a_comma_locale(asic, kernel, comma_locale):  # noqa: F811
    kernel.commands[LISTING] = (0, '{"swp1": [{"vlan": 10, "note": 1.5e400}, {"vlan": 11.5}]}')
    assert asic._kern_get_vlan_members(10) == ["swp1"]
    assert asic._kern_get_vlan_members(11) == ["swp1"]
