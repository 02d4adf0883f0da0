"""The port table's device work on real devices, run by namespace_scenario.sh
in a private mount and network namespace (see test_namespace_devices.py):
tap devices created and addressed, kept on a second reading, stale ones
removed; then knet devices through ifmaker, with the "switch" devices
brought up. Prints what it finds, for the test to compare."""

import os
import subprocess

import asicmodel
import bringup


class Recording(object):
    """The real runner, keeping the words of each command."""

    def __init__(self, runner, log):
        self.runner, self.log = runner, log

    def run(self, args):
        self.log.append(" ".join(args))
        return self.runner.run(args)


def run(*words):
    subprocess.run(words, check=True)


def devices():
    return " ".join(sorted(name for name in os.listdir("/sys/class/net") if name != "lo"))


def address(name):
    return open("/sys/class/net/%s/address" % name).read().strip()


def up(name):
    return "up" if int(open("/sys/class/net/%s/flags" % name).read(), 16) & 1 else "down"


def show(title, names):
    print(title, " ".join("%s=%s" % (name, address(name)) for name in names))


os.environ.update(BOARDINFO_BASE_MAC="2:0:a:1b:c0:5", BOARDINFO_MAC_RANGE="256")
bringup._knet_link_file = os.environ["KNET_FILE"]
platform = asicmodel.Platform()
platform.name = "namespace-box"
platform.switch = asicmodel.BCMSwitch(asicmodel.TridentTwo_56854_Chip())
platform.switch.ports = [
    asicmodel.TridentTwo10GPort("1", (4,), None, None, "SFP+", None, 0),
    asicmodel.TridentTwo10GPort("2", (5,), None, None, "SFP+", None, 0),
    asicmodel.TridentTwo40GPort("3", (8, 9, 10, 11), None, None, "QSFP+", None, 0)]
config = bringup.BCMConfig(platform)
config.config("2=disabled\n3=4x10G\n")
log = []
config.iproute2 = Recording(config.iproute2, log)
config.ifmaker = Recording(config.ifmaker, log)
ports = ["swp1", "swp3s0", "swp3s1", "swp3s2", "swp3s3"]

# Tap mode: a stale tap goes, a "switch" tap stays.
os.environ["IFMAKER_USE_TUNTAP"] = "1"
run("ip", "tuntap", "add", "dev", "swp9", "mode", "tap")
run("ip", "tuntap", "add", "dev", "switch7", "mode", "tap")
print(config.output("porttab"))
print("tap devices", devices())
show("tap addresses", ports)
print("tap commands", len(log), log[0], "|", log[-1])

# A second reading keeps every device as it is, address included.
run("ip", "link", "set", "dev", "swp1", "address", "02:00:00:00:00:99")
del log[:]
config.porttab
print("second reading", log, address("swp1"))

# No ports: every listed tap but the "switch" one is removed.
configured, config.ports = config.ports, []
config.porttab
config.ports = configured
print("no ports", devices())

# Knet mode: ifmaker's devices, a stale one removed, "switch" devices up
# (by their own names, not by a parent's).
del os.environ["IFMAKER_USE_TUNTAP"]
run("/usr/lib/tervane/ifmaker", "add", "name", "swp8", "type", "bcm_knet", "unit", "0")
run("/usr/lib/tervane/ifmaker", "add", "name", "switch", "type", "bcm_knet", "unit", "0")
run("ip", "link", "add", "switch0", "type", "bridge")
run("ip", "link", "add", "uplink", "type", "veth", "peer", "name", "switchport")
del log[:]
config.porttab
print("knet devices", devices())
show("knet addresses", ports)
print("knet states", " ".join("%s=%s" % (name, up(name)) for name in
                              ("switch", "switch0", "switch7", "switchport", "uplink", "swp1")))
print("knet link file", open(bringup._knet_link_file).read())
print("knet commands", " | ".join(line for line in log if not line.startswith("link set dev")))
del log[:]
config.porttab
print("knet second reading", " | ".join(log))
