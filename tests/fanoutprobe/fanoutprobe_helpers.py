"""Helpers the fanoutprobe tests share."""


def commands(state):
    """The shell commands sent, table reads left out."""
    return [entry for entry in state.log if isinstance(entry, str)]


class RecordedKernel(object):
    """Recorded kernel output for fanoutprobe's private seam `_kernel_seam`:
    `commands` maps a command (tuple of words) to (status, output), `files`
    a path to its text, `dirs` a directory path to its entry names. What is
    not recorded is a failing command, a missing file or directory. Every
    command run and every file or directory read is logged, in order."""

    def __init__(self, commands=None, files=None, dirs=None):
        self.commands = dict(commands or {})
        self.files = dict(files or {})
        self.dirs = dict(dirs or {})
        self.log = []

    def run(self, cmd):
        self.log.append(tuple(cmd))
        return self.commands.get(tuple(cmd), (1, ""))

    def read(self, path):
        self.log.append(("read", path))
        return self.files.get(path)

    def listdir(self, path):
        self.log.append(("listdir", path))
        names = self.dirs.get(path)
        return None if names is None else list(names)

    def ran(self):
        """The commands run, file and directory reads left out."""
        return [entry for entry in self.log if entry[0] not in ("read", "listdir")]

    # Builders of the recordings the kernel tools would print.
    def link(self, dev, kind):
        """`ip -d link show dev` of a device of `kind`."""
        self.commands[("/bin/ip", "-d", "link", "show", dev)] = (
            0, "7: %s: <BROADCAST,MULTICAST,UP> mtu 1500\n    link/ether 0a:0b:0c:0d:0e:0f\n"
               "    %s extra words\n" % (dev, kind))
        return self

    def bond(self, dev, slaves):
        self.link(dev, "bond")
        self.files["/sys/class/net/%s/bonding/slaves" % dev] = " ".join(slaves) + "\n"
        return self

    def bridge(self, dev, members, vlan_filtering=0, mdb=""):
        self.link(dev, "bridge")
        self.files["/sys/class/net/%s/bridge/vlan_filtering" % dev] = "%d\n" % vlan_filtering
        self.dirs["/sys/class/net/%s/brif" % dev] = list(members)
        self.commands[("/sbin/bridge", "mdb", "show", "dev", dev)] = (0, mdb)
        return self

    def vlan_devices(self, rows):
        """/proc/net/vlan/config holding (dev, vid, lower) rows."""
        self.files["/proc/net/vlan/config"] = (
            "VLAN Dev name    | VLAN ID\nName-Type: VLAN_NAME_TYPE_RAW_PLUS_VID_NO_PAD\n" +
            "".join("%-15s| %-4s | %s\n" % row for row in rows))
        for dev, _, _ in rows:
            self.link(dev, "vlan")
        return self

    def bridge_vlans(self, text):
        self.commands[("/sbin/bridge", "-j", "vlan", "show")] = (0, text)
        return self
