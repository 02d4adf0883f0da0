"""Stand-in for the operating system's multicast utility library.

Only the VRF-name table is provided. On a switch it is learnt from the
kernel's VRF devices; here VRF id 0 is "default" and a test installs any
other table with `install(mapping)` (hardware VRF id -> name). Each
`VrfDb()` takes a copy of the installed table:

- `vrf_id2name(vrf_id)`: the VRF's name; the id must be an int, and an id
  the table does not hold is a `KeyError` naming it.
"""

_DEFAULT = {0: "default"}
_installed = dict(_DEFAULT)


def install(mapping):
    """Make `mapping` (VRF id -> name) the table new VrfDbs use."""
    global _installed
    table = dict(mapping)
    for vrf_id, name in table.items():
        if type(vrf_id) is not int or not isinstance(name, str):
            raise TypeError("VRF ids are ints and names text: %r -> %r" % (vrf_id, name))
    _installed = table
    return table


def reset():
    """Back to the table that holds VRF 0 ("default") alone."""
    install(_DEFAULT)


class VrfDb(object):
    """The VRF names of the switch, as installed when it was built."""

    def __init__(self):
        self._names = dict(_installed)

    def vrf_id2name(self, vrf_id):
        if type(vrf_id) is not int:
            raise TypeError("vrf_id2name() needs an int VRF id, not %r" % (vrf_id,))
        return self._names[vrf_id]
