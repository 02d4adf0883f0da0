"""The multicast checker's parse and comparison written as plain Python,
for the benchmark against the fanoutprobe module (fanoutprobe_speed.py).

Same rules as the module on the road the benchmark takes: construction
over the SDK shell with the route listing ("ipmc table show"), RIOT off,
the kernel readers (device kinds, bridge VLANs, VLAN devices, bridge
members, multicast databases, bond slaves), the expansion, `mroute_eq` and
the text form. Kernel commands and files come from the same recorded
kernel object the module's private seam takes (run/read/listdir), so both
read exactly the same state. Lookups over record lists take the first
match, through an index built once, as the module does."""

import json
import re

import bcmshell
import tervane.fanoutlib
import tervane.porttab

_KEY = re.compile(r"(?P<vrf>\S+), \((?P<sip>\S+), (?P<dip>\S+)\)")
_PVLAN = re.compile(r"^Port (\S+) default VLAN is (\d+)")
_VLAN_SHOW = re.compile(r"vlan (\d+).*untagged (\S+)")
_MODID = re.compile(r"modid = (\d+) port = (\d+)")
_MEMBER = re.compile(r"\s+port (\S+), encap id ([+-]?\d+)")
_MDB = re.compile(r"dev (?P<dev>\S+) port (?P<port>\S+) grp (?P<grp_ip>\S+)")
_MDB_VID = re.compile(r"dev (?P<dev>\S+) port (?P<port>\S+) grp (?P<grp_ip>\S+) \S+ vid (?P<vid>\d+)")
_IPV4 = re.compile(r"\d{1,3}\.\d{1,3}\.\d{1,3}\.\d{1,3}\Z")

UNSET = -1


class Encap(object):
    def __init__(self, linux_port, bcm_dport, intf, vlan, evid):
        self.linux_port, self.bcm_dport, self.intf, self.vlan, self.evid = \
            linux_port, bcm_dport, intf, vlan, evid

    def encap2swp(self):
        return self.linux_port if self.evid == -1 else "%s.%d" % (self.linux_port, self.evid)

    def __str__(self):
        if self.evid == -1:
            return "port: %s" % self.linux_port
        return "port: %s, vlan: %d" % (self.linux_port, self.evid)


class ReplicationGroup(object):
    def __init__(self, mcast_grp, l2_encaps, l3_encaps):
        self.mcast_grp, self.l2_encaps, self.l3_encaps = mcast_grp, l2_encaps, l3_encaps

    def get_l3_linux_encaps(self):
        return set(encap.encap2swp() for encap in self.l3_encaps)

    def get_l2_linux_encaps(self):
        return set(encap.encap2swp() for encap in self.l2_encaps)

    def __str__(self):
        text = "".join("  %s\n" % encap for encap in self.l3_encaps)
        if self.l2_encaps:
            text += "  L2 replication ports:\n" + "".join("    %s\n" % e for e in self.l2_encaps)
        return text


class Hmroute(object):
    def __init__(self, sip, dip, iif, mcast_grp, vrf):
        self.sip, self.dip, self.iif, self.vrf = sip, dip, iif, vrf
        self.grp = mcast_grp | 0x2000000
        self.kernel_iif = None
        self.iif_mismatch, self.oil_mismatch = [], []

    def __str__(self):
        text = "%s, (%s, %s), iif: %s" % (self.vrf, self.sip, self.dip, self.kernel_iif or self.iif)
        if self.iif_mismatch or self.oil_mismatch:
            text += "\n  errors:"
        return text + "".join("\n    %s" % e for e in self.iif_mismatch + self.oil_mismatch)


class KernVlanEntry(object):
    def __init__(self, vid):
        self.vid, self.tagged_swp, self.untagged_swp = vid, [], []

    def add_port(self, port, untagged):
        (self.untagged_swp if untagged else self.tagged_swp).append(port)


class KernMdbEntry(object):
    def __init__(self, vid, grp):
        self.grp, self.vid, self.swp = grp, vid, []

    def add_port(self, dev):
        self.swp.append(dev)


class KernMdbCache(object):
    def __init__(self, dev, vlan_filtering, mdb_entries=None):
        self.dev, self.vlan_filtering = dev, vlan_filtering
        self.mdb_entries = {} if mdb_entries is None else mdb_entries


class KernVlanDevEntry(object):
    def __init__(self, dev, vid, atlink):
        self.dev, self.vid, self.atlink = dev, vid, atlink


class KernDevEntry(object):
    def __init__(self, dev, kind, vlan_filtering):
        self.dev, self.kind, self.vlan_filtering = dev, kind, vlan_filtering


def _words_column(titles, title):
    return titles.index(title)


class Asic(object):
    _devs_supported = ("bridge", "bond", "vlan", "swp")

    def __init__(self, kernel):
        self.kernel = kernel  # the recorded kernel: run/read/listdir
        self.pt = tervane.porttab.porttab()
        self.vrf_db = tervane.fanoutlib.VrfDb()
        self.bcm = bcmshell.bcmshell(timeout=180)
        self.linux_ports = self.pt.get_linux_ports()
        self.kern_dev_cache, self.kern_mdb_cache = {}, {}
        self.flood_mdb_misses = True
        self.kern_vlan_cache_created, self.kern_vlan_cache = False, {}
        self.kern_vlan_dev_cache_created, self.kern_vlan_dev_cache = False, {}
        self.kern_br_cache = {}
        self.portmap = []
        self._parse_portmap()
        self._parse_ports()
        self.l3_intfs = {}
        self._parse_l3_intf()
        self.vlan_xlate = []
        self._parse_vlan_xlate()
        self.vlan_riot = {}
        self.riot_enable = int(self.bcm.run("sc L3IngressMode").strip(), 16) != 0
        self.vlan_riot_memtable = ""
        self.vlans, self.replication_groups = {}, {}
        self._parse_multicast_repln_groups()
        self.mroutes = {}
        self._parse_ipmc_table()

    # --- hardware side -------------------------------------------------
    def _parse_portmap(self):
        lines = self.bcm.run("show portmap").splitlines()
        column = lines[0].split().index("logical") + 1
        self._by_dport, self._by_linux = {}, {}
        for line in lines[1:]:
            words = line.split()
            if not words:
                continue
            try:
                linux = self.pt.bcm2linux(words[0])
            except Exception:
                linux = None
            entry = [words[0], int(words[column]), linux, -1]  # dport, lport, linux, pvid
            self.portmap.append(entry)
            self._by_dport.setdefault(words[0], entry)
            self._by_linux.setdefault(linux, entry)

    def _parse_ports(self):
        for line in self.bcm.run("pvlan show").splitlines():
            match = _PVLAN.match(line)
            if match:
                for entry in self.portmap:
                    if entry[0] == match.group(1):
                        entry[3] = int(match.group(2))

    def _parse_l3_intf(self):
        lines = self.bcm.run("l3 intf show").splitlines()
        titles = lines[1].split()
        intf, vlan = titles.index("Intf"), titles.index("VLAN")
        for line in lines[3:]:
            words = line.split()
            if len(words) > max(intf, vlan):
                self.l3_intfs[int(words[intf])] = int(words[vlan])

    def _parse_vlan_xlate(self):
        self._by_ivid, self._by_evid = {}, {}
        for line in self.bcm.run("vlan translate show").splitlines():
            fields = {}
            for field in line.split(","):
                if "modid" in field:
                    match = _MODID.search(field)
                    if match:
                        fields["modid"], fields["port"] = match.group(1), match.group(2)
                elif "=" in field:
                    name, value = field.strip().split("=")[:2]
                    fields[name.strip()] = value.strip()
            lport, old, new = (int(fields.get(k, "-1")) for k in ("port", "old_vid", "new_vid"))
            self.vlan_xlate.append((lport, new, old))
            self._by_ivid.setdefault((lport, new), old)
            self._by_evid.setdefault((lport, old), new)

    def _parse_vlan(self, vid):
        cmd = "vlan show %d" % vid
        match = _VLAN_SHOW.search(self.bcm.run(cmd))
        if not match:
            return
        lines = self.bcm.run("ports " + match.group(2)).splitlines()
        if len(lines) <= 2:
            return
        self.vlans[int(match.group(1))] = [l.split()[0].split("(")[0] for l in lines[2:] if l.split()]

    def _is_port_untagged_for_vid(self, dport, vid):
        if vid not in self.vlans:
            self._parse_vlan(vid)
            if vid not in self.vlans:
                return False
        return dport in self.vlans[vid]

    def _dport2logical_port(self, dport):
        entry = self._by_dport.get(dport)
        return -1 if entry is None else entry[1]

    def _get_logical_port_and_pvid(self, linux_port):
        entry = self._by_linux.get(linux_port)
        return (-1, -1) if entry is None else (entry[1], entry[3])

    def _ivid2evid(self, dport, ivid):
        lport = self._dport2logical_port(dport)
        if lport == -1:
            return ivid
        if (lport, ivid) in self._by_ivid:
            return self._by_ivid[(lport, ivid)]
        return -1 if self._is_port_untagged_for_vid(dport, ivid) else ivid

    def _evid2ivid(self, logical_port, evid):
        return self._by_evid.get((logical_port, evid), -1)

    def _parse_multicast_repln_groups(self):
        for block in self.bcm.run("multicast show").split("Group")[1:]:
            lines = block.splitlines()
            if not lines or "L2" in lines[0] or "VXLAN" in lines[0]:
                continue
            gid = int(lines[0].split()[0], 16)
            l2, l3 = [], []
            for line in lines[1:]:
                match = _MEMBER.match(line)
                if not match:
                    continue
                port, intf = match.group(1), int(match.group(2))
                if intf == -1:
                    l2.append(Encap(self.pt.bcm2linux(port), port, -1, -1, -1))
                else:
                    vlan = self.l3_intfs.get(intf, -1)
                    evid = self._ivid2evid(port, vlan)
                    l3.append(Encap(self.pt.bcm2linux(port), port, intf, vlan, evid))
            self.replication_groups[gid] = ReplicationGroup(gid, l2, l3)

    def _parse_ipmc_table(self):
        lines = self.bcm.run("ipmc table show").splitlines()
        titles = lines[0].split()
        src, mc = titles.index("SRC"), titles.index("MC") - 2
        group, vlan, vrf = (titles.index(t) - 4 for t in ("GROUP", "VLAN", "VRF"))
        for line in lines[2:]:
            fields = line.split()
            if len(fields) <= group:
                continue
            name = self.vrf_db.vrf_id2name(int(fields[vrf]))
            route = Hmroute(fields[src], fields[mc], int(fields[vlan]), int(fields[group], 16), name)
            self.mroutes["%s, (%s, %s)" % (name, fields[src], fields[mc])] = route

    def _hw_vlan_to_iif(self, iif_vlan):
        return None if iif_vlan < 0 else iif_vlan  # RIOT off on the benchmark's ASIC

    # --- kernel side ----------------------------------------------------
    def _get_cmd_output(self, cmdList, dispStr=None):
        status, output = self.kernel.run(cmdList)
        return dispStr if status else output

    def _kern_dev_kind_parse(self, dev):
        if dev in self.linux_ports:
            return "swp"
        lines = self._get_cmd_output(["/bin/ip", "-d", "link", "show", dev], "").splitlines()
        if len(lines) < 3 or "does not exist" in lines[0]:
            return "unk"
        return lines[2].split()[0]

    def _kern_dev_vlan_filtering_parse(self, dev):
        value = 0
        text = self.kernel.read("/sys/class/net/" + dev + "/bridge/vlan_filtering")
        for line in (text or "").splitlines():
            value = int(line.strip(), 0)
        return value

    def _kern_dev_cache_get(self, dev):
        if dev not in self.kern_dev_cache:
            kind = self._kern_dev_kind_parse(dev)
            self.kern_dev_cache[dev] = KernDevEntry(dev, kind, self._kern_dev_vlan_filtering_parse(dev))
        return self.kern_dev_cache[dev]

    def _kern_dev_kind_get(self, dev):
        return self._kern_dev_cache_get(dev).kind

    def _kern_dev_vlan_filtering_get(self, dev):
        return self._kern_dev_cache_get(dev).vlan_filtering

    def _expand_kern_bond(self, dev):
        text = self.kernel.read("/sys/class/net/%s/bonding/" % dev + "slaves")
        return (text or "").split()

    def _kern_create_vlan_cache(self):
        self.kern_vlan_cache_created = True
        listing = json.loads(self._get_cmd_output(["/sbin/bridge", "-j", "vlan", "show"], "{}"))
        if isinstance(listing, list):
            listing = {item["ifname"]: item.get("vlans", []) for item in listing}
        for dev, vlans in listing.items():
            for vlan in vlans:
                kind = self._kern_dev_kind_get(dev)
                if kind == "bridge":
                    continue
                untagged = "Egress Untagged" in vlan.get("flags", [])
                vid = int(vlan.get("vlan", 0))
                entry = self.kern_vlan_cache.get(vid)
                if entry is None:
                    entry = self.kern_vlan_cache[vid] = KernVlanEntry(vid)
                for port in (self._expand_kern_bond(dev) if kind == "bond" else [dev]):
                    entry.add_port(port, untagged)

    def _kern_get_vlan_members(self, vid):
        if not self.kern_vlan_cache_created:
            self._kern_create_vlan_cache()
        entry = self.kern_vlan_cache.get(vid)
        return [] if entry is None else entry.tagged_swp + entry.untagged_swp

    def _kern_create_vlan_dev_cache(self):
        self.kern_vlan_dev_cache_created = True
        lines = (self.kernel.read("/proc/net/vlan/config") or "").splitlines()
        for line in lines[2:]:
            fields = line.split("|")
            if len(fields) < 3:
                continue
            dev = fields[0].strip()
            self.kern_vlan_dev_cache[dev] = KernVlanDevEntry(dev, int(fields[1].strip()), fields[2].strip())

    def _kern_get_vlan_and_atlink(self, dev):
        if not self.kern_vlan_dev_cache_created:
            self._kern_create_vlan_dev_cache()
        entry = self.kern_vlan_dev_cache.get(dev)
        return (None, None) if entry is None else (entry.vid, entry.atlink)

    def _kern_get_dev_vlan(self, dev, kind, parent_vlan=-1):
        if kind == "vlan":
            vid, atlink = self._kern_get_vlan_and_atlink(dev)
            if vid:
                return atlink, vid
        return dev, parent_vlan

    def _kern_base_dev_kind_get(self, orig_dev, parent_vlan=-1):
        kind = self._kern_dev_kind_get(orig_dev)
        dev, vlan = self._kern_get_dev_vlan(orig_dev, kind, parent_vlan)
        if dev != orig_dev:
            kind = self._kern_dev_kind_get(dev)
        return kind, dev, vlan

    def _port_names(self, port):
        kind, dev, vlan = self._kern_base_dev_kind_get(port, -1)
        if kind != "bond":
            return [port]
        slaves = self._expand_kern_bond(dev)
        return slaves if vlan == -1 else ["%s.%d" % (slave, vlan) for slave in slaves]

    def _kern_setup_br_cache(self, dev):
        members = []
        for member in self.kernel.listdir("/sys/class/net/" + dev + "/brif") or []:
            members.extend(self._port_names(member))
        self.kern_br_cache[dev] = members
        return members

    def _kern_get_br_members(self, dev):
        if dev in self.kern_br_cache:
            return self.kern_br_cache[dev]
        return self._kern_setup_br_cache(dev)

    def _grp_ip2mac(self, grp):
        if not _IPV4.match(grp):
            raise ValueError("not an IPv4 group address: %r" % grp)
        octets = [int(part) for part in grp.split(".")]
        if max(octets) > 255:
            raise ValueError("not an IPv4 group address: %r" % grp)
        return "01:00:5e:%02x:%02x:%02x" % (octets[1] & 127, octets[2], octets[3])

    def _kern_dev_get_mdb_entry(self, orig_dev, orig_vlan, orig_grp):
        key = "%d.%s" % (orig_vlan, orig_grp)
        if orig_dev in self.kern_mdb_cache:
            return self.kern_mdb_cache[orig_dev].mdb_entries.get(key)
        lines = self._get_cmd_output(["/sbin/bridge", "mdb", "show", "dev", orig_dev], "").splitlines()
        vlan_filtering = self._kern_dev_vlan_filtering_get(orig_dev)
        cache = self.kern_mdb_cache[orig_dev] = KernMdbCache(orig_dev, vlan_filtering)
        pattern = _MDB_VID if vlan_filtering else _MDB
        for line in lines:
            match = pattern.match(line)
            if not match or match.group("dev") != orig_dev:
                continue
            grp_ip = match.group("grp_ip")
            if not _IPV4.match(grp_ip) or max(int(p) for p in grp_ip.split(".")) > 255:
                continue  # an IPv6 group
            vid = int(match.group("vid")) if vlan_filtering else -1
            mac = self._grp_ip2mac(grp_ip)
            entry_key = "%d.%s" % (vid, mac)
            entry = cache.mdb_entries.get(entry_key)
            if entry is None:
                entry = cache.mdb_entries[entry_key] = KernMdbEntry(vid, mac)
            for name in self._port_names(match.group("port")):
                entry.add_port(name)
        return cache.mdb_entries.get(key)

    def _expand_kern_vlan_aware_bridge(self, grp_mac, dev, vlan):
        entry = self._kern_dev_get_mdb_entry(dev, vlan, grp_mac)
        if entry is not None:
            return entry.swp
        return self._kern_get_vlan_members(vlan) if self.flood_mdb_misses else []

    def _expand_kern_vlan_unaware_bridge(self, grp_mac, dev):
        entry = self._kern_dev_get_mdb_entry(dev, -1, grp_mac)
        if entry is not None:
            return entry.swp
        return self._kern_get_br_members(dev) if self.flood_mdb_misses else []

    def _expand_kern_bridge(self, vlan_filtering, grp, dev, vlan):
        grp_mac = self._grp_ip2mac(grp)
        if vlan_filtering:
            return self._expand_kern_vlan_aware_bridge(grp_mac, dev, vlan)
        return self._expand_kern_vlan_unaware_bridge(grp_mac, dev)

    def _expand_kern_dev(self, grp, orig_dev, parent_vlan=-1):
        kind, dev, vlan = self._kern_base_dev_kind_get(orig_dev, parent_vlan)
        if kind not in self._devs_supported:
            return
        if kind == "bridge":
            vlan_filtering = self._kern_dev_vlan_filtering_get(dev)
            for member in self._expand_kern_bridge(vlan_filtering, grp, dev, vlan):
                self.tmp_encaps.add("%s.%d" % (member, vlan) if vlan_filtering else "%s" % member)
        elif kind == "bond":
            for slave in self._expand_kern_bond(dev):
                self.tmp_encaps.add(slave if vlan == -1 else "%s.%d" % (slave, vlan))
        elif kind == "swp":
            self.tmp_encaps.add(dev if vlan == -1 else "%s.%d" % (dev, vlan))

    # --- comparison and report -----------------------------------------
    def _key_to_sip_dip(self, key):
        match = re.compile(r"(?P<vrf>\S+), \((?P<sip>\S+), (?P<dip>\S+)\)").match(key)
        if not match:
            return None, None, None
        return match.group("vrf"), match.group("sip"), match.group("dip")

    def _kern_iif_to_hw_vlan(self, base_kind, base_iif, iif_vlan, member):
        if base_kind == "bridge" and iif_vlan != -1:
            return iif_vlan
        if not member:
            return -1
        parts = member.split(".")
        iif_vlan = int(parts[1]) if len(parts) >= 2 else -1
        logical_port, pvid = self._get_logical_port_and_pvid(parts[0])
        if iif_vlan == -1:
            return pvid
        return self._evid2ivid(logical_port, iif_vlan)

    def mroute_eq(self, key, iif, oil):
        grp = self._key_to_sip_dip(key)[2]
        hmroute = self.mroutes.get(key)
        if hmroute is None:
            return True
        if grp is None:
            grp = hmroute.dip
        kern_l2_encaps = set()
        kind, new_iif, iif_vlan = self._kern_base_dev_kind_get(iif)
        self.tmp_encaps = set()
        self._expand_kern_dev(grp, iif)
        if kind == "bridge":
            kern_l2_encaps = set(name.split(".")[0] for name in self.tmp_encaps)
        first_member = ""
        if self.tmp_encaps:
            first_member = min(self.tmp_encaps)
            self.tmp_encaps.remove(first_member)
        kern_iif = self._hw_vlan_to_iif(self._kern_iif_to_hw_vlan(kind, new_iif, iif_vlan, first_member))
        if kern_iif != hmroute.iif:
            hmroute.iif_mismatch.append("kernel IIF does not match hw IIF")
        kern_l3_encaps = set()
        for oif in oil:
            if oif == iif:
                continue
            self.tmp_encaps = set()
            self._expand_kern_dev(grp, oif)
            kern_l3_encaps.update(self.tmp_encaps)
        group = self.replication_groups.get(hmroute.grp)
        hw_l3_encaps = group.get_l3_linux_encaps() if group else set()
        hw_l2_encaps = group.get_l2_linux_encaps() if group else set()
        if hw_l3_encaps - kern_l3_encaps:
            hmroute.oil_mismatch.append("hw has OIFs not in the kernel")
        if kern_l3_encaps - hw_l3_encaps:
            hmroute.oil_mismatch.append("kernel has OIFs not in the hw")
        if hw_l2_encaps - kern_l2_encaps:
            hmroute.oil_mismatch.append("hw has L2-OIFs not in the kernel")
        if kern_l2_encaps - hw_l2_encaps:
            hmroute.oil_mismatch.append("kernel has L2-OIFs not in the hw")
        return not hmroute.iif_mismatch and not hmroute.oil_mismatch

    def _dump_one_mroute(self, mroute):
        group = self.replication_groups.get(mroute.grp)
        return "%s\n" % mroute + ("" if group is None else "%s" % group)

    def __str__(self):
        return "Asic ip mroutes:\n" + "".join(
            self._dump_one_mroute(self.mroutes[key]) for key in sorted(self.mroutes))
