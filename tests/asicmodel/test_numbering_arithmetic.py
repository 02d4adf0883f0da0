"""The numbering rules do the host's arithmetic on whatever number the
lane lookup gives (small ints are worked in C, everything else by the
host): each rule, fed negative, small, gap-edge, huge and non-int lane
numbers through an override, answers as the same rule written in Python."""

import pytest

import asicmodel as A


def tomahawk_rule(lane):
    p = lane + 1
    if p == 129:
        return 66
    if p == 131:
        return 100
    for above, skip in ((32, 1), (65, 2), (99, 2)):
        if p > above:
            p += skip
    return p


def tomahawk_two_rule(lane, sub):
    lport = lane // 2 + 1 + sub
    for above, skip in ((96, 5), (64, 3), (32, 1)):
        if lport > above:
            return lport + skip
    return lport


LANES = (-(2 ** 40), -9, -2, -1, 0, 1, 30, 31, 32, 63, 64, 65, 97, 98, 127, 128, 129, 130,
         2 ** 30 - 1, 2 ** 30, 2 ** 64, True, 2.5, -3.5)


def with_lane(base, lane):
    cls = type("Port", (base,), {"hw_port_num": lambda self, mode, sub: lane})
    return cls.__new__(cls)


@pytest.mark.parametrize("lane", LANES)
def test_numbering_follows_the_host_arithmetic(lane):
    port = with_lane(A.TomahawkPort, lane)
    assert repr(port.logical_port_num("100G", 0, 1)) == repr(tomahawk_rule(lane))
    port = with_lane(A.TomahawkTwoPort, lane)
    for sub in (0, 1):
        assert repr(port.logical_port_num("100G", sub, 1)) == repr(tomahawk_two_rule(lane, sub))


@pytest.mark.parametrize("serdes", [(0, 1, 2, 3), (True, 2 ** 70, -3, 7), (2 ** 63 - 1, -2 ** 63)])
def test_lane_names_follow_the_host_format(serdes):
    port = A.Tomahawk100GPort("1", serdes, None, None, "QSFP28", (0, 1), 0)
    assert port.hw_ports == tuple("ce%u" % lane for lane in serdes)
