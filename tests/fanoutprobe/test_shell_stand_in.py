"""The simulated shell's port lists stay linear in the number of ports: a
large ASIC's "ports" answer over a long list takes milliseconds (seconds
when each name is looked up by walking the port list)."""

import bcmshell


def test_ports_answer_for_a_long_port_list():
    state = bcmshell.AsicState()
    for index in range(30000):
        state.add_port("xe%d" % index, index + 1, "swp%d" % (index + 1))
    state.add_port("xe0", 99999, "swp-again")  # a repeated name: the first one counts
    shell = bcmshell.install(state) and bcmshell.bcmshell()
    try:
        every_other = ",".join("xe%d" % index for index in range(0, 30000, 2))
        rows = shell.run("ports " + every_other).splitlines()[2:]
        assert len(rows) == 15000
        assert rows[0].startswith("      xe0(  1)")
        rows = shell.run("ports xe1-xe29999").splitlines()[2:]
        assert len(rows) == 29999 and rows[-1].startswith("      xe29999(30000)")
    finally:
        bcmshell.clear()
