"""Real devices, tools and /etc as root in a private mount and network
namespace (skipped otherwise): boardinfo and ifmaker at their fixed paths,
tap devices created, addressed and removed, init_config on a tmpfs /etc."""

import os
import shutil
import subprocess
import sys

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.environ.get("SWITCH_BUILD_DIR", os.path.join(HERE, "..", "..", "build"))

EXPECTED = """\
macbase [2, 0, 10, 27, 192, 5] macrange 256
range error 'error: boardinfo -r returned bogus value: 0x100\\n'
address error error: boardinfo -a failed
knet swp2=down
swp2 bcm_knet 0
swp1 02:00:0a:1b:c0:08
swp2 02:00:0a:1b:c0:09
left []
rc.soc soc data {'1': '40G'}
"""


@pytest.mark.skipif(os.geteuid() != 0 or not shutil.which("unshare"),
                    reason="needs root and unshare")
def test_devices_tools_and_etc_in_a_private_namespace(tmp_path):
    work = tmp_path / "work"
    work.mkdir()
    data = tmp_path / "data"
    data.mkdir()
    (data / "rc.soc").write_text("soc data\n")
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path),
               BCM_CONFIG_PATH=str(data) + "/", KNET_FILE=str(tmp_path / "knet"))
    result = subprocess.run(
        ["unshare", "-m", "-n", "sh", os.path.join(HERE, "namespace_scenario.sh"),
         os.path.join(BUILD, "host", "tools"), str(work), sys.executable],
        capture_output=True, text=True, env=env)
    assert result.stdout == EXPECTED, result.stderr
