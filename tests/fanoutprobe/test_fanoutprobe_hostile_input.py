"""Hostile values at fanoutprobe's boundary: odd shell and kernel outputs and
odd arguments end in the host's clean errors (never SystemError, never a
crash), and a failed lookup changes nothing."""

import json

import pytest

import fanoutprobe as fp

from kernel_fixtures import kernel  # noqa: F401  (fixture)

CLEAN = (TypeError, ValueError, KeyError, IndexError, OverflowError, OSError, RuntimeError)

HUGE = "xe0 (1) 1 2 3 4\n" * 50000
# Outputs no shell prints: wrong types, empty, NULs, lone surrogates, huge
# texts, numbers beyond 64 bits.
OUTPUTS = [None, 7, b"bytes", ["list"], "", "\0", "logical\0\n\0 \0", "\udcff \ud800\n\udcff",
           HUGE, "\n" * 100000, "port logical\nxe0 (1) " + "9" * 5000,
           "Port xe0 default VLAN is " + "9" * 40, "Group " + "f" * 40 + "\n port xe0, encap id 1",
           "Group 0x1\n\tport xe0, encap id -" + "9" * 30]

READERS = [("show portmap", "_parse_portmap"), ("pvlan show", "_parse_ports"),
           ("l3 intf show", "_parse_l3_intf"), ("vlan translate show", "_parse_vlan_xlate"),
           ("multicast show", "_parse_multicast_repln_groups"),
           ("ipmc table show", "_parse_ipmc_table"),
           ("dump chg l3_entry_ipv4_multicast", "_parse_l3_entry_ipmc_table")]


def raises(call, error):
    """Whether the call fails with `error` (or returns, for None)."""
    got = outcome(call)
    return got is None if error is None else got is not None and issubclass(got, error)


def outcome(call):
    """None when the call returns, else the type of its clean error."""
    try:
        call()
    except SystemError:
        raise
    except CLEAN as error:
        return type(error)
    return None


def snapshot(value):
    """A comparable copy of a value and every object it holds."""
    if isinstance(value, dict):
        return {key: snapshot(item) for key, item in value.items()}
    if isinstance(value, (list, tuple, set)):
        return (type(value).__name__, [snapshot(item) for item in value])
    if hasattr(value, "__dict__") and not callable(value):
        return (type(value).__name__, snapshot(vars(value)))
    return value


@pytest.mark.parametrize("command, reader", READERS)
def test_shell_outputs(build, state, command, reader):
    asic = build()
    for output in OUTPUTS:
        state.raw[command] = output
        outcome(getattr(asic, reader))


@pytest.mark.parametrize("output", ["", "\0", "vlan 5 untagged \0", "vlan " + "9" * 40 +
                                    " untagged xe0", "\udcff vlan 1 untagged \ud800", None, 3])
def test_vlan_membership_outputs(build, state, output):
    asic = build()
    state.raw["vlan show 300"] = output
    state.raw["ports \0"] = output
    outcome(lambda: asic._is_port_untagged_for_vid("xe0", 300))


# (operation, arguments, error or None): pure lookups and conversions.
CALLS = [
    ("_key_to_sip_dip", (None,), TypeError),
    ("_key_to_sip_dip", (5,), TypeError),
    ("_key_to_sip_dip", ("",), None),
    ("_key_to_sip_dip", ("\0, (\0, \0)",), None),
    ("_key_to_sip_dip", ("\ud800, (\udcff, x)",), None),
    ("_key_to_sip_dip", ("v, (s, " + "x" * 1000000 + ")",), None),
    ("_grp_ip2mac", (None,), TypeError),
    ("_grp_ip2mac", ("",), ValueError),
    ("_grp_ip2mac", ("239.1.1.\0",), ValueError),
    ("_grp_ip2mac", ("\ud800",), ValueError),
    ("_grp_ip2mac", ("239.1.1." + "9" * 5000,), ValueError),
    ("_grp_ip2mac", ("-1.-1.-1.-1",), ValueError),
    ("_dport2logical_port", (None,), None),
    ("_dport2logical_port", ("\0",), None),
    ("_dport2logical_port", ("\ud800",), None),
    ("_evid2ivid", (None, None), None),
    ("_evid2ivid", (-1, 2 ** 100), None),
    ("_ivid2evid", ([], {}), None),
    ("_get_logical_port_and_pvid", ("\udcff",), None),
    ("_get_logical_port_and_pvid", (None,), None),
    ("_kern_dev_get_mdb_entry", ("\0", -1, "x"), None),
    ("_kern_dev_get_mdb_entry", ("br0", 2 ** 100, None), None),
    ("_kern_dev_kind_get", ("a/b",), None),
    ("_kern_dev_kind_get", ("\ud800",), None),
    ("_kern_dev_kind_get", (None,), TypeError),
    ("_expand_kern_bond", ("../../etc",), None),
    ("_expand_kern_bond", ("x" * 100000,), None),
    ("_kern_get_vlan_members", (None,), None),
    ("_kern_get_vlan_members", (-2 ** 100,), None),
    ("mroute_eq", (None, "br0", []), TypeError),
    ("mroute_eq", ("nonsense", "br0", []), None),
]


@pytest.mark.parametrize("operation, arguments, error", CALLS,
                         ids=["%s-%d" % (c[0], i) for i, c in enumerate(CALLS)])
def test_operations(build, kernel, operation, arguments, error):  # noqa: F811
    asic = build()
    asic._parse_portmap()
    before = snapshot(asic)
    assert raises(lambda: getattr(asic, operation)(*arguments), error)
    if error is not None:
        assert snapshot(asic) == before


@pytest.mark.parametrize("listing, error", [
    ("[" * 100000 + "]" * 100000, None),            # deep nesting
    ('{"swp1": ' + "[" * 100000, ValueError),       # deep and cut short
    ('{"swp1": [{"vlan": 1e400}]}', ValueError),    # beyond a double
    ('{"swp1": [{"vlan": 1' + "0" * 400 + '}]}', ValueError),
    ('{"swp1": [{"vlan": -1' + "0" * 30 + '}]}', ValueError),
    ('{"\\u0000": [{"vlan": 5}], "sw\\u00e9": [{"vlan": "6"}]}', None),
    ('{"\\ud800": [{"vlan": 5}]}', ValueError),     # a lone surrogate escape is refused
    ('{"swp1": [{"vlan": "\\u0000"}]}', ValueError),
    ("\0", ValueError),
    ("\udcff", ValueError),
    (json.dumps({"swp%d" % i: [{"vlan": i}] for i in range(20000)}), None),
], ids=lambda value: value[:40] if isinstance(value, str) else None)
def test_bridge_vlan_listings(build, kernel, listing, error):  # noqa: F811
    asic = build()
    kernel.bridge_vlans(listing)
    assert raises(lambda: asic._kern_get_vlan_members(5), error)


@pytest.mark.parametrize("content", ["\0", "\udcff|\ud800|x", "a|" + "9" * 40 + "|b",
                                     "h\nh\n" + "v | 1 | x\n" * 50000, "|||||"])
def test_vlan_device_files(build, kernel, content):  # noqa: F811
    asic = build()
    kernel.files["/proc/net/vlan/config"] = "h\nh\n" + content
    outcome(lambda: asic._kern_get_vlan_and_atlink("v"))


@pytest.mark.parametrize("value", [None, -1, 2 ** 100, "\0", "\ud800", 1.5, [], "x" * 1000000])
def test_record_constructors_take_any_values(value):
    # Records hold what they are given; printing them is a clean error at worst.
    for record in (fp.PortmapEntry(value, value, value), fp.VlanXlate(value, value, value),
                   fp.Encap(value, value, value, value, value)):
        outcome(lambda: str(record))
    outcome(lambda: str(fp.VlanEntry(value, value)))
