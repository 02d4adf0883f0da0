#!/bin/sh
# Runs inside a private mount and network namespace (see
# test_namespace_devices.py): lays the built boardinfo and ifmaker tools over
# their fixed paths through an overlay of /usr, puts a tmpfs on /etc, then
# drives bringup with real tap devices: the scenario below, or the Python
# file given as a fourth argument. Nothing outside the namespace changes.
set -eu
tools="$1" work="$2" python="$3" scenario="${4:-}"
mount --make-rprivate /
mount -t tmpfs scratch "$work"
mkdir "$work/upper" "$work/work"
mount -t overlay usr -o "lowerdir=/usr,upperdir=$work/upper,workdir=$work/work" /usr
mkdir -p /usr/tervane/bin /usr/lib/tervane
cp "$tools/boardinfo" /usr/tervane/bin/boardinfo
cp "$tools/ifmaker" /usr/lib/tervane/ifmaker
mount -t tmpfs etc /etc
mount -t sysfs sysfs /sys
[ -z "$scenario" ] || exec "$python" "$scenario"
exec "$python" - <<'PY'
import os, subprocess, types
import bringup

os.environ.update(BOARDINFO_BASE_MAC="2:0:a:1b:c0:5", BOARDINFO_MAC_RANGE="256")
chip = types.SimpleNamespace(sw_base="bcm", bcm_config_path=os.environ["BCM_CONFIG_PATH"])
port = types.SimpleNamespace(label="1", is_fabric=False, default_mode="40G")
platform = types.SimpleNamespace(switch=types.SimpleNamespace(chip=chip, ports=[port]))
config = bringup.Config(platform)
print("macbase", config.macbase, "macrange", config.macrange)

os.environ["BOARDINFO_MAC_RANGE"] = "9223372036854775808"
print("wide range", bringup.Boardinfo().macrange)
os.environ["BOARDINFO_MAC_RANGE"] = "0x100"
try:
    bringup.Boardinfo().macrange
except RuntimeError as error:
    print("range error", repr(str(error)))
os.environ.update(BOARDINFO_MAC_RANGE="256", BOARDINFO_FAIL="-a")
try:
    bringup.Config(platform)
except RuntimeError as error:
    print("address error", str(error))
del os.environ["BOARDINFO_FAIL"]

existing = set()
config.maketap("swp1", 3, existing)
bringup._knet_link_file = os.environ["KNET_FILE"]
config.makekernnet("swp2", 4, 0, existing)
print("knet", open(bringup._knet_link_file).read())
print(subprocess.run(["/usr/lib/tervane/ifmaker", "show", "type", "bcm_knet"],
                     capture_output=True, text=True).stdout.strip())
for name in ("swp1", "swp2"):
    print(name, open("/sys/class/net/%s/address" % name).read().strip())
config.destroyints({"swp1", "swp2"})
print("left", sorted(n for n in os.listdir("/sys/class/net") if n.startswith("swp")))

config.init_config()
print("rc.soc", open("/etc/bcm.d/rc.soc").read().strip(), config.config_map)
PY
