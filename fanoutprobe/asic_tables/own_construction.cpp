#include "fanoutprobe/asic_tables/own_construction.hpp"

#include <initializer_list>

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

// What a class found under some names when it was built, kept for the life
// of the process (so no address is reused) to tell later whether a class,
// the same or a subclass, still finds exactly that.
class BuiltLookups {
 public:
  void remember(PyTypeObject* type, std::initializer_list<PyObject*> names) {
    names_ = PyTuple_New(static_cast<Py_ssize_t>(names.size()));
    found_ = PyDict_New();
    if (!names_ || !found_) throw py::error_already_set();
    Py_ssize_t i = 0;
    for (PyObject* name : names) {
      PyTuple_SET_ITEM(names_, i++, Py_NewRef(name));
      PyObject* value = _PyType_Lookup(type, name);
      if (value && PyDict_SetItem(found_, name, value) < 0) throw py::error_already_set();
    }
  }

  bool found_alike(PyTypeObject* type) const {
    if (!names_ || Py_TYPE(type) != &PyType_Type) return false;  // another metaclass
    // The class last found alike, while its version tag says that neither
    // it nor a base class has changed since (the host never reuses a tag).
    if (type == alike_type_ && PyType_HasFeature(type, Py_TPFLAGS_VALID_VERSION_TAG) &&
        type->tp_version_tag == alike_version_)
      return true;
    for (PyObject* name : *this)
      if (_PyType_Lookup(type, name) != built(name)) return false;
    if (PyType_HasFeature(type, Py_TPFLAGS_VALID_VERSION_TAG)) {
      alike_type_ = type;
      alike_version_ = type->tp_version_tag;
    }
    return true;
  }

  // What the class found under `name` when built, or null.
  PyObject* built(PyObject* name) const { return PyDict_GetItem(found_, name); }

  PyObject* const* begin() const { return &PyTuple_GET_ITEM(names_, 0); }
  PyObject* const* end() const { return begin() + PyTuple_GET_SIZE(names_); }

 private:
  PyObject* names_ = nullptr;
  PyObject* found_ = nullptr;
  mutable PyTypeObject* alike_type_ = nullptr;
  mutable unsigned int alike_version_ = 0;
};

BuiltLookups asic_members;     // members read through the object, and lookup hooks
BuiltLookups asic_operations;  // the operations called, up to the replication groups
BuiltLookups port_vid_update;  // PortmapEntry.update_port_vid and what it touches
BuiltLookups untagged_list;    // how a VlanEntry is handed its untagged list and read

}  // namespace

void remember_own_asic(const py::object& cls) {
  auto* type = reinterpret_cast<PyTypeObject*>(cls.ptr());
  asic_members.remember(type, {names.portmap, names.vlan_xlate, names.vlans, names.l3_intfs,
                               names.pt, names.bcm, names.replication_groups,
                               names.dunder_getattribute, names.dunder_getattr});
  asic_operations.remember(
      type, {names._parse_portmap, names._parse_ports, names._update_portmap_port_vid,
             names._parse_l3_intf, names._parse_vlan_xlate, names._is_riot_enabled,
             names._get_vlan_riot_memtable_name, names._parse_multicast_repln_groups,
             names._parse_one_multicast_repln_group, names._ivid2evid, names._dport2logical_port,
             names._is_port_untagged_for_vid, names._parse_vlan});
  port_vid_update.remember(own_class(Record::kPortmapEntry),
                           {names.update_port_vid, names.port_vid, names.dunder_setattr,
                            names.dunder_getattribute, names.dunder_getattr});
  untagged_list.remember(own_class(Record::kVlanEntry),
                         {names.untagged_dports, names.dunder_new, names.dunder_init,
                          names.dunder_setattr, names.dunder_getattribute, names.dunder_getattr});
}

int runs_own_construction(py::handle asic) {
  PyTypeObject* type = Py_TYPE(asic.ptr());
  if (!asic_members.found_alike(type) || !asic_operations.found_alike(type)) return 0;
  // The object's own attributes come before its class's operations.
  for (PyObject* name : asic_operations) {
    py::object bound = common::get(asic, name);
    if (!bound) return -1;
    if (!PyMethod_Check(bound.ptr()) || PyMethod_GET_SELF(bound.ptr()) != asic.ptr() ||
        PyMethod_GET_FUNCTION(bound.ptr()) != asic_operations.built(name))
      return 0;
  }
  return 1;
}

bool own_port_vid_update(py::handle record) {
  return port_vid_update.found_alike(Py_TYPE(record.ptr()));
}

bool own_untagged_list(py::handle entry) { return untagged_list.found_alike(Py_TYPE(entry.ptr())); }

}  // namespace fanoutprobe
