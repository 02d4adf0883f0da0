"""Writes the seed corpora of the parser fuzz targets from the stand-in SDK
shell, the recorded kernel outputs of the tests and examples/ports.
Run from the repository root: /usr/bin/python3 tests/fuzz/make_corpus.py"""

import os, sys, json, shutil
sys.path.insert(0, "host/python")
import bcmshell
from bcmshell import AsicState
root = "tests/fuzz/corpus"
def put(target, name, text):
    d = os.path.join(root, target); os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(text.encode("utf-8", "surrogateescape") if isinstance(text, str) else text)
states = {"small": AsicState.generate(ports=4, vlans=2, groups=2, members=2),
          "riot": AsicState.generate(ports=6, vlans=3, groups=3, members=3, vrfs=2, riot=True, translated=2)}
for label, st in states.items():
    bcmshell.install(st)
    sh = bcmshell.bcmshell()
    put("port_tables", label + "_portmap", sh.run("show portmap"))
    put("port_tables", label + "_pvlan", sh.run("pvlan show"))
    put("port_tables", label + "_vlan_show", sh.run("vlan show 100"))
    put("port_tables", label + "_ports", sh.run("ports xe0-xe3"))
    put("l3_tables", label + "_l3_intf", sh.run("l3 intf show"))
    put("l3_tables", label + "_translate", sh.run("vlan translate show"))
    put("replication_groups", label + "_multicast", sh.run("multicast show"))
    put("route_tables", label + "_ipmc", sh.run("ipmc table show"))
    put("route_tables", label + "_dump", sh.run("dump chg l3_entry_ipv4_multicast"))
    for i, r in enumerate(st.routes[:2]):
        put("route_key", "%s_key%d" % (label, i), "%d, (%s, %s)" % (r.vrf_id, r.source, r.group))
put("route_key", "plain", "default, (10.0.0.1, 239.1.0.1)")
put("route_key", "trailing", "3, (*, 239.1.0.2) extra")
put("kernel_outputs", "link_bond", "7: bond0: <BROADCAST,MULTICAST,UP> mtu 1500\n    link/ether 0a:0b:0c:0d:0e:0f\n    bond extra words\n")
put("kernel_outputs", "link_missing", 'Device "swp9" does not exist.\n')
put("kernel_outputs", "slaves", "swp3 swp4\n")
put("kernel_outputs", "vlan_config", "VLAN Dev name    | VLAN ID\nName-Type: VLAN_NAME_TYPE_RAW_PLUS_VID_NO_PAD\n"
    + "".join("%-15s| %-4s | %s\n" % r for r in [("vlan100", 100, "br0"), ("swp1.1100", 1100, "swp1"), ("bond0.300", 300, "bond0")]))
put("kernel_outputs", "mdb", "dev br0 port swp1 grp 239.1.0.0 permanent vid 100\ndev br0 port bond0 grp 239.1.0.1 permanent vid 101\n"
    "dev br0 port swp2 grp ff0e::1 permanent vid 100\ndev br1 port swp4 grp 239.1.0.0 permanent\n"
    "dev br0 port swp9 grp 239.1.1.300 permanent vid 9\r\n")
put("kernel_outputs", "group", "239.255.1.1")
bv = {"swp1": [{"vlan": 100, "flags": ["PVID", "Egress Untagged"]}], "swp2": [{"vlan": 100}, {"vlan": "101", "flags": []}],
      "br0": [{"vlan": 100, "flags": ["Egress Untagged"]}, {"vlan": 101}]}
put("bridge_vlans", "objects", json.dumps(bv))
put("bridge_vlans", "devices", json.dumps([{"ifname": "swp2", "vlans": [{"vlan": 5, "flags": ["Egress Untagged"]}]}, {"ifname": "br0"}]))
put("bridge_vlans", "floats", '{"swp1": [{"vlan": 5.5}, {"vlan": true}, {"vlan": 18446744073709551615}]}')
put("bridge_vlans", "bad", '{"swp1": [{"vlan": null}')
put("bridge_vlans", "wide", '{"swp1": [1e400, {"vlan": -1E+999, "n": [1e400]}, {"vlan": 7}], "swp2": [{"\\u0000": 1}]}')
put("json_text", "nested", json.dumps({"b": [1, -2, 3.5, None, True, {}, []], "a": {"\u00e9": "x\u2028y", "k": "v"}}))
put("json_text", "scalar", '"text"')
for f in sorted(os.listdir("examples/ports")):
    put("ports_conf", f, open("examples/ports/" + f, "rb").read())
put("ports_conf", "sections", "1=40G\n2: 4x10G ; comment\n  continued\n# note\nrem old\n[DEFAULT]\n3=\"\"\n[other]\n4=x\n")
put("ports_conf", "bad", "=x\n  orphan\nno separator\r\n")
put("mac_address", "base", "00:e0:ec:25:7b:d0")
put("mac_address", "blanks", " 0:1:2:3:4:5 \n")
put("mac_address", "top", "ff:ff:ff:ff:ff:fe")
put("port_lists", "names", "xe0\nxe1\nxe2\nce0\nxe5\nxe4\n")
put("port_lists", "bad", "xe1\nxeX\n")
put("text_scan", "decimal", " -42 ")
put("text_scan", "hex", "0x7fffffffffffffff")
put("text_scan", "spaces", "a\u00a0b\u3000c\r\nd\re\n")
