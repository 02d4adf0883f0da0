"""Stand-in for the operating system's port table module.

Two things of it are used:

- `UnsupportedPlatformError`, raised with one message text, for kernel
  network devices on a switch software base other than Broadcom or
  Mellanox. The top-level module `porttab` is the same module.
- the port-name table. On a switch it is read from the platform's port
  layout; here a test installs it first with `install(mapping)`, a mapping
  from SDK port name ("xe0", "ce3") to Linux network-device name ("swp1",
  "swp4s0"), in port order. Each `porttab()` takes a copy of the installed
  table:
  - `get_linux_ports()`: the Linux names, in port order (a new list each
    call);
  - `bcm2linux(name)`: the Linux name of an SDK port name; `KeyError`
    naming the port for a name the table does not hold.
  Building a `porttab` with nothing installed fails loudly.
"""


class UnsupportedPlatformError(Exception):
    """The switch's software base cannot have what was asked of it."""

    def __init__(self, message):
        if not isinstance(message, str):
            raise TypeError("UnsupportedPlatformError takes one message text, not %r" % (message,))
        super().__init__(message)


_installed = None


def install(mapping):
    """Make `mapping` (SDK name -> Linux name) the table new porttabs use."""
    global _installed
    table = dict(mapping)
    for sdk_name, linux_name in table.items():
        if not isinstance(sdk_name, str) or not isinstance(linux_name, str):
            raise TypeError("port names must be text: %r -> %r" % (sdk_name, linux_name))
    _installed = table
    return table


def clear():
    """Forget the installed table."""
    global _installed
    _installed = None


class porttab(object):
    """The port-name table of the switch, as installed when it was built."""

    def __init__(self):
        if _installed is None:
            raise RuntimeError("no port table installed: call tervane.porttab.install() first")
        self._bcm2linux = dict(_installed)

    def get_linux_ports(self):
        return list(self._bcm2linux.values())

    def bcm2linux(self, name):
        try:
            return self._bcm2linux[name]
        except (KeyError, TypeError):
            raise KeyError(name) from None
