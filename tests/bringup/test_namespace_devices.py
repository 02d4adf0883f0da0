"""Real devices, tools and /etc as root in a private mount and network
namespace (skipped otherwise): boardinfo and ifmaker at their fixed paths,
tap devices created, addressed and removed, init_config on a tmpfs /etc;
the port table's device work on real tap and knet devices."""

import os
import shutil
import subprocess
import sys

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.environ.get("SWITCH_BUILD_DIR", os.path.join(HERE, "..", "..", "build"))

EXPECTED = """\
macbase [2, 0, 10, 27, 192, 5] macrange 256
wide range 9223372036854775808
range error 'error: boardinfo -r returned bogus value: 0x100\\n'
address error error: boardinfo -a failed
knet swp2=down
swp2 bcm_knet 0
swp1 02:00:0a:1b:c0:08
swp2 02:00:0a:1b:c0:09
left []
rc.soc soc data {'1': '40G'}
"""


ROOT_ONLY = pytest.mark.skipif(os.geteuid() != 0 or not shutil.which("unshare"),
                               reason="needs root and unshare")


def in_namespace(tmp_path, *scenario):
    """Runs namespace_scenario.sh (with the scenario file, if given) in a
    private mount and network namespace; its standard output."""
    work = tmp_path / "work"
    work.mkdir()
    data = tmp_path / "data"
    data.mkdir()
    (data / "rc.soc").write_text("soc data\n")
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path),
               BCM_CONFIG_PATH=str(data) + "/", KNET_FILE=str(tmp_path / "knet"))
    result = subprocess.run(
        ["unshare", "-m", "-n", "sh", os.path.join(HERE, "namespace_scenario.sh"),
         os.path.join(BUILD, "host", "tools"), str(work), sys.executable] + list(scenario),
        capture_output=True, text=True, env=env)
    return result.stdout, result.stderr


@ROOT_ONLY
def test_devices_tools_and_etc_in_a_private_namespace(tmp_path):
    output, errors = in_namespace(tmp_path)
    assert output == EXPECTED, errors


PORTS = "swp1 swp3s0 swp3s1 swp3s2 swp3s3"
ADDRESSES = ("swp1=02:00:0a:1b:c0:05 swp3s0=02:00:0a:1b:c0:06 swp3s1=02:00:0a:1b:c0:07 "
             "swp3s2=02:00:0a:1b:c0:08 swp3s3=02:00:0a:1b:c0:09")
SWITCHES_UP = ("-o link show | link set switch7 up | link set switch up | link set switch0 up | "
               "link set switchport up")
EXPECTED_PORT_TABLE = """\
# linux_intf\tsdk_intf\tunit\tis_fabric\tlogical_port\tis_loopback
swp1\txe0\t0\t0\t-1\t0
swp3s0\txe1\t0\t0\t-1\t0
swp3s1\txe2\t0\t0\t-1\t0
swp3s2\txe3\t0\t0\t-1\t0
swp3s3\txe4\t0\t0\t-1\t0
tap devices switch7 %(ports)s
tap addresses %(addresses)s
tap commands 17 tuntap show | link del dev swp9
second reading ['tuntap show'] 02:00:00:00:00:99
no ports switch7
knet devices switch switch0 switch7 switchport %(ports)s uplink
knet addresses %(addresses)s
knet states switch=up switch0=up switch7=up switchport=up uplink=down swp1=down
knet link file swp3s3=down
knet commands show type bcm_knet | %(added)s | %(switches)s | link del dev swp8
knet second reading show type bcm_knet | %(switches)s
""" % dict(ports=PORTS, addresses=ADDRESSES, switches=SWITCHES_UP, added=" | ".join(
    "add name %s type bcm_knet unit 0 | link set %s down" % (name, name)
    for name in PORTS.split()))


@ROOT_ONLY
def test_port_table_devices_in_a_private_namespace(tmp_path):
    output, errors = in_namespace(tmp_path, os.path.join(HERE, "namespace_port_table.py"))
    assert output == EXPECTED_PORT_TABLE, errors
