"""Stand-in for the operating system's platform registry.

On a real switch `probe()` identifies the board and returns its platform
object. Here a test or an example registers the object first with
`register(platform)`; `probe()` then returns it. Probing with nothing
registered fails loudly, since the libraries rely on the answer.

This module must not import asicmodel at its top: asicmodel imports it while
it starts.
"""

_registered = None


class NoPlatformRegistered(RuntimeError):
    """probe() was called before any platform object was registered."""


def register(platform):
    """Make `platform` the object that probe() returns; returns it."""
    global _registered
    if platform is None or not hasattr(platform, "switch"):
        raise TypeError("register() needs a platform object with a 'switch' attribute")
    _registered = platform
    return platform


def clear():
    """Forget the registered platform."""
    global _registered
    _registered = None


def probe():
    """The registered platform object."""
    if _registered is None:
        raise NoPlatformRegistered("no platform registered: call tervane.platforms.register() first")
    return _registered
