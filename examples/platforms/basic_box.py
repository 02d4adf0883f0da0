"""A made-up four-port box described with the base port rules only.

Its port class is defined here in Python on top of asicmodel.BCMPort, the
way a platform definition adds a family of its own: a QSFP+ cage that runs
whole at 40G or broken out into four 10G ports.
"""

import asicmodel


class BasicBox40GPort(asicmodel.BCMPort):
    modes = ("40G", "4x10G")
    default_mode = "40G"
    _speed_map = {"40G": 40, "4x10G": 10}
    pbmp_map = {"hg%d" % n: n + 1 for n in range(16)}

    def num_logical_ports(self, mode):
        self._check_mode(mode)
        return 4 if mode == "4x10G" else 1

    @property
    def max_logical_ports(self):
        return 4


class BasicBoxChip(asicmodel.BCMChip):
    file_list = ("rc.forwarding",)


class BasicBox(asicmodel.Platform):
    name = "basic-box"


def _port(label, first_lane):
    lanes = ["hg%d" % (first_lane + n) for n in range(4)]
    return BasicBox40GPort(label, lanes, None, None, "QSFP+", None, (0, int(label)), 0,
                           0, 0, None, None, None, None, None, None, False, None, None)


def build():
    platform = BasicBox()
    platform.switch = asicmodel.BCMSwitch(BasicBoxChip())
    platform.switch.ports = [_port(str(n + 1), 4 * n) for n in range(4)]
    return platform
