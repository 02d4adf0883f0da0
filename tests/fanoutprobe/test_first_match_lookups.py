"""The port-map and VLAN-translation lookups answer as a first-match scan of
the lists as they are now, whatever a caller changed in place since the
last question."""

import pytest

import bcmshell
import tervane.porttab

import fanoutprobe as fp


def replace_first_port(asic):
    asic.portmap[0] = fp.PortmapEntry("xe9", 99, "swp99")


def rename_port(index, dport):
    def change(asic):
        asic.portmap[index].dport = dport
    return change


def rename_linux_port(asic):
    asic.portmap[2].linux_port = "swpX"


def append_port(asic):
    asic.portmap.append(fp.PortmapEntry("xe0", 50, "swp50"))


def reverse_ports(asic):
    asic.portmap.reverse()


def replace_first_translation(asic):
    asic.vlan_xlate[0] = fp.VlanXlate(1, 200, 1100)


def change_first_ivid(asic):
    asic.vlan_xlate[0].ivid = 300


# The generated ASIC: xe0..xe3 are logical ports 1..4 (swp1..swp4, port VLAN 1);
# logical port 1 translates 100 -> 1100 and 101 -> 1101.
@pytest.mark.parametrize("changes, question, answer", [
    ([replace_first_port], lambda a: a._dport2logical_port("xe0"), -1),
    ([rename_port(3, "xe7")], lambda a: a._dport2logical_port("xe7"), 4),
    ([rename_port(0, "xe1")], lambda a: a._dport2logical_port("xe1"), 1),
    ([rename_linux_port], lambda a: a._get_logical_port_and_pvid("swpX"), (3, 1)),
    ([append_port, reverse_ports], lambda a: a._dport2logical_port("xe0"), 50),
    ([replace_first_translation], lambda a: a._evid2ivid(1, 1100), 200),
    ([change_first_ivid], lambda a: a._ivid2evid("xe0", 300), 1100),
])
def test_lookup_after_a_change_in_place(build, changes, question, answer):
    asic = build()
    question(asic)  # asked once before every change
    for change in changes:
        change(asic)
        question(asic)
    assert question(asic) == answer
    assert not {"_portmap_index", "_vlan_xlate_index"} & set(vars(asic))


# Overrides that change the tables while the Asic reads them: later rows are
# answered from the lists as they are then, as a first-match scan would.
def replace_port_while_port_vlans_are_read(state):
    state.ports[2].pvid = 7

    class Asic(fp.Asic):
        def _update_portmap_port_vid(self, dport, vid):
            if dport == "xe1":
                self.portmap[2] = fp.PortmapEntry("xe2", 3, "swp3")
            return fp.Asic._update_portmap_port_vid(self, dport, vid)
    return Asic, lambda asic: asic.portmap[2].port_vid, 7


def replace_translation_while_groups_are_read(state):
    state.groups[1].members.insert(0, ("xe0", 1))  # asks (1, 100) again

    class Asic(fp.Asic):
        def _ivid2evid(self, dport, ivid):
            if dport == "xe1":
                self.vlan_xlate[0] = fp.VlanXlate(1, 100, 1234)
            return fp.Asic._ivid2evid(self, dport, ivid)
    return Asic, lambda asic: asic.replication_groups[0x2000002].l3_encaps[0].evid, 1234


def edit_untagged_list_while_groups_are_read(state):
    class Asic(fp.Asic):
        def _is_port_untagged_for_vid(self, dport, vid):
            if dport == "xe3":
                self.vlans[vid].untagged_dports[1] = "xe9"
            return fp.Asic._is_port_untagged_for_vid(self, dport, vid)
    return Asic, lambda asic: asic.replication_groups[0x2000002].l3_encaps[2].evid, 101


# The same through an operation the object holds itself, not its class.
def replace_translation_through_the_object(state):
    state.groups[1].members.insert(0, ("xe0", 1))

    class Asic(fp.Asic):
        def __init__(self):
            def ivid2evid(dport, ivid):
                if dport == "xe1":
                    self.vlan_xlate[0] = fp.VlanXlate(1, 100, 1234)
                return fp.Asic._ivid2evid(self, dport, ivid)
            self._ivid2evid = ivid2evid
            fp.Asic.__init__(self)
    return Asic, lambda asic: asic.replication_groups[0x2000002].l3_encaps[0].evid, 1234


# An Asic class whose objects are kept in a list from the start of their
# construction, so that a record class can reach the object being built.
def asic_class_kept_while_built():
    asics = []

    class Asic(fp.Asic):
        def __init__(self):
            asics.append(self)
            fp.Asic.__init__(self)
    return Asic, asics


# Reordering the port map through the records' own operation.
def swap_ports_through_a_record(state, monkeypatch):
    state.ports[2].pvid = 7
    own = fp.PortmapEntry

    class PortmapEntry(own):
        def update_port_vid(self, port_vid):
            if self.dport == "xe1":
                portmap = asics[0].portmap
                portmap[2], portmap[3] = portmap[3], portmap[2]
            own.update_port_vid(self, port_vid)
    Asic, asics = asic_class_kept_while_built()
    monkeypatch.setattr(fp, "PortmapEntry", PortmapEntry)
    return Asic, lambda asic: asic.portmap[3].port_vid, 7


# The same through the record classes: a VLAN record keeps its untagged
# list, which a later group member's record edits.
def edit_untagged_list_through_records(state, monkeypatch):
    lists, made = {}, []
    own_vlan, own_encap = fp.VlanEntry, fp.Encap

    class VlanEntry(own_vlan):
        def __init__(self, vid, untagged_dports):
            lists[vid] = untagged_dports
            own_vlan.__init__(self, vid, untagged_dports)

    class Encap(own_encap):
        def __init__(self, *fields):
            made.append(fields[1])
            if made.count("xe2") == 2:
                lists[101][1] = "xe9"
            own_encap.__init__(self, *fields)
    monkeypatch.setattr(fp, "VlanEntry", VlanEntry)
    monkeypatch.setattr(fp, "Encap", Encap)
    return fp.Asic, lambda asic: asic.replication_groups[0x2000002].l3_encaps[2].evid, 101


# A record's own operation puts in a record named as a later row: that row
# reaches it, as the walk would.
def swap_in_a_record_through_a_record(state, monkeypatch):
    state.ports[3].pvid = 7
    own = fp.PortmapEntry

    class PortmapEntry(own):
        def update_port_vid(self, port_vid):
            if self.dport == "xe0":
                asics[0].portmap[2] = PortmapEntry("xe3", 77, "swpX")
            own.update_port_vid(self, port_vid)
    Asic, asics = asic_class_kept_while_built()
    monkeypatch.setattr(fp, "PortmapEntry", PortmapEntry)
    return Asic, lambda asic: asic.portmap[2].port_vid, 7


# The module's own VLAN record class, patched in place after a construction
# that found it unchanged: reading its untagged list edits the list (VLAN
# 101's last port comes and goes at every read).
def patch_the_own_vlan_record_class(state, monkeypatch):
    fp.Asic()
    def untagged(self):
        names = vars(self)["untagged_dports"]
        if self.vid == 101:
            names[-1] = "xe3" if names[-1] == "xe9" else "xe9"
        return names

    def store(self, names):
        vars(self)["untagged_dports"] = names
    monkeypatch.setattr(fp.VlanEntry, "untagged_dports", property(untagged, store), raising=False)
    return fp.Asic, lambda asic: asic.replication_groups[0x2000002].l3_encaps[2].evid, 101


# A text equal to every text: the first record carrying one is the one every
# question finds, whether the record or the question holds it (every port
# then reads as xe0, whose VLANs are translated).
class EqualToAll(str):
    __hash__ = str.__hash__
    __eq__ = lambda self, other: True  # noqa: E731


def second_group_evids(asic):
    return [encap.evid for encap in asic.replication_groups[0x2000002].l3_encaps]


def key_equal_to_every_text_in_a_record(state, monkeypatch):
    own = fp.PortmapEntry

    class PortmapEntry(own):
        def __init__(self, dport, *fields):
            own.__init__(self, EqualToAll(dport) if dport == "xe0" else dport, *fields)
    monkeypatch.setattr(fp, "PortmapEntry", PortmapEntry)
    return fp.Asic, second_group_evids, [1101, 1100, 1101]


def key_equal_to_every_text_in_a_question(state):
    class Asic(fp.Asic):
        def _ivid2evid(self, dport, ivid):
            return fp.Asic._ivid2evid(self, EqualToAll(dport), ivid)
    return Asic, second_group_evids, [1101, 1100, 1101]


@pytest.mark.parametrize("setup", [replace_port_while_port_vlans_are_read,
                                   replace_translation_while_groups_are_read,
                                   edit_untagged_list_while_groups_are_read,
                                   replace_translation_through_the_object,
                                   swap_ports_through_a_record,
                                   edit_untagged_list_through_records,
                                   swap_in_a_record_through_a_record,
                                   patch_the_own_vlan_record_class,
                                   key_equal_to_every_text_in_a_record,
                                   key_equal_to_every_text_in_a_question])
def test_construction_reads_the_lists_as_changed(state, monkeypatch, setup):
    arguments = (state, monkeypatch)[:setup.__code__.co_argcount]
    asic_class, answer, expected = setup(*arguments)
    assert answer(asic_class()) == expected


# Keys of str and int subclasses: those keeping the base's comparison and
# hash are indexed as plain keys; a record whose key compares by its own
# == is compared beside the index, which still answers the other records.
# Either way construction answers as with plain keys, and reads each
# record's key a few times, not once per question.
class LInt(int):
    pass


class PortName(str):
    pass


class OwnEqText(str):
    __hash__ = str.__hash__
    __eq__ = lambda self, other: str.__eq__(self, other)  # noqa: E731


class OwnEqInt(int):
    __hash__ = int.__hash__
    __eq__ = lambda self, other: int.__eq__(self, other)  # noqa: E731


def first_only(kind):
    return lambda value, position: kind(value) if position == 0 else value


def counting_records(monkeypatch, reads, stored):
    """Record classes that count reads of the keys the construction asks
    by (dport, lport) and store the key of their `position`-th record as
    stored[key](value, position)."""
    for name, key in (("PortmapEntry", "dport"), ("VlanXlate", "lport")):
        made = []
        convert = stored.get(key, lambda value, position: value)

        def get(self, key=key):
            reads.append(key)
            return vars(self)[key]

        def put(self, value, key=key, made=made, convert=convert):
            vars(self)[key] = convert(value, len(made))
            made.append(self)
        monkeypatch.setattr(fp, name, type(name, (getattr(fp, name),), {key: property(get, put)}))


def passing_on(change):
    class Asic(fp.Asic):
        def _ivid2evid(self, dport, ivid):
            return fp.Asic._ivid2evid(self, *change(dport, ivid))
    return Asic


def tables(asic):
    groups = {gid: [[vars(encap) for encap in encaps] for encaps in (group.l2_encaps, group.l3_encaps)]
              for gid, group in asic.replication_groups.items()}
    return [vars(entry) for entry in asic.portmap], [vars(x) for x in asic.vlan_xlate], groups


@pytest.mark.parametrize("stored, change", [
    ({"lport": lambda value, position: LInt(value)}, None),
    ({"dport": lambda value, position: PortName(value)}, None),
    ({"lport": lambda value, position: True if value == 1 else value}, None),
    ({}, lambda dport, ivid: (dport, LInt(ivid))),
    ({}, lambda dport, ivid: (PortName(dport), ivid)),
    ({"dport": first_only(OwnEqText)}, None),
    ({"lport": first_only(OwnEqInt)}, None),
], ids=["lport LInt", "dport PortName", "lport 1 True", "passes LInt ivid", "passes PortName dport",
        "one dport own ==", "one lport own =="])
def test_subclass_keys_answer_as_plain_ones_and_stay_indexed(state, monkeypatch, stored, change):
    big = bcmshell.AsicState.generate(ports=64, vlans=8, groups=64, translated=8)
    bcmshell.install(big)
    tervane.porttab.install(big.linux_names())
    expected = tables(fp.Asic())
    reads = []
    counting_records(monkeypatch, reads, stored)
    asic = (passing_on(change) if change else fp.Asic)()
    assert tables(asic) == expected
    assert len(reads) < 8 * (len(asic.portmap) + len(asic.vlan_xlate))
