// The kernel-side records: what the kernel readers learn of bridges' multicast
// databases, bridge VLANs, VLAN devices and device kinds.
#include "common/class_builder.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/asic_tables/registrations.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

py::object mdb_entry_init(py::handle self, py::handle vid, py::handle grp) {
  SW_CHECK(common::set(self, names.grp, grp));
  SW_CHECK(common::set(self, names.vid, vid));
  SW_LET(ports, new_list());
  SW_CHECK(common::set(self, names.swp, ports));
  return common::none();
}

py::object mdb_entry_add_port(py::handle self, py::handle dev) {
  SW_LET(ports, common::get(self, names.swp));
  SW_CHECK(append_to(ports, dev));
  return common::none();
}

py::object mdb_entry_str(py::handle self) {
  SW_LET(vid, common::get(self, names.vid));
  SW_LET(grp, common::get(self, names.grp));
  SW_LET(filtered, differs_from_minus_one(vid));
  TextParts text;
  SW_CHECK(text.add(filtered ? common::percent_text("  vid: %d grp: %s\n", vid, grp)
                             : common::percent_text("  grp: %s\n", grp)));
  SW_LET(ports, common::get(self, names.swp));
  SW_LET(iterator, common::steal(PyObject_GetIter(ports.ptr())));
  while (PyObject* port = PyIter_Next(iterator.ptr())) {
    py::object held = common::steal(port);
    SW_CHECK(text.add(common::percent_text("    port: %s\n", held)));
  }
  if (PyErr_Occurred()) return {};
  return text.joined();
}

py::object mdb_cache_init(py::handle self, py::handle dev, py::handle vlan_filtering,
                          py::handle mdb_entries) {
  SW_CHECK(common::set(self, names.dev, dev));
  SW_CHECK(common::set(self, names.vlan_filtering, vlan_filtering));
  // Each cache built without entries gets a map of its own.
  SW_LET(entries, mdb_entries.is_none() ? common::steal(PyDict_New()) : common::borrow(mdb_entries.ptr()));
  SW_CHECK(common::set(self, names.mdb_entries, entries));
  return common::none();
}

py::object mdb_cache_str(py::handle self) {
  static PyObject* values = PyUnicode_InternFromString("values");
  SW_LET(dev, common::get(self, names.dev));
  TextParts text;
  SW_CHECK(text.add(common::percent_text("dev: %s:\n", dev)));
  SW_LET(entries, common::get(self, names.mdb_entries));
  SW_LET(all, common::call_method(entries, values));
  SW_LET(iterator, common::steal(PyObject_GetIter(all.ptr())));
  while (PyObject* entry = PyIter_Next(iterator.ptr())) {
    py::object held = common::steal(entry);
    SW_CHECK(text.add(common::steal(PyObject_Str(held.ptr()))));
  }
  if (PyErr_Occurred()) return {};
  return text.joined();
}

py::object vlan_entry_init(py::handle self, py::handle vid) {
  SW_CHECK(common::set(self, names.vid, vid));
  SW_LET(tagged, new_list());
  SW_CHECK(common::set(self, names.tagged_swp, tagged));
  SW_LET(untagged, new_list());
  SW_CHECK(common::set(self, names.untagged_swp, untagged));
  return common::none();
}

py::object vlan_entry_add_port(py::handle self, py::handle port, py::handle untagged) {
  SW_LET(is_untagged, common::truth(untagged));
  SW_LET(ports, common::get(self, is_untagged ? names.untagged_swp : names.tagged_swp));
  SW_CHECK(append_to(ports, port));
  return common::none();
}

py::object vlan_entry_str(py::handle self) {
  SW_LET(vid, common::get(self, names.vid));
  SW_LET(tagged, common::get(self, names.tagged_swp));
  SW_LET(tagged_text, comma_joined(tagged));
  SW_LET(untagged, common::get(self, names.untagged_swp));
  SW_LET(untagged_text, comma_joined(untagged));
  return common::percent_text("vid: %d\n  tagged: %s\n  untagged: %s\n", vid, tagged_text,
                              untagged_text);
}

py::object vlan_dev_init(py::handle self, py::handle dev, py::handle vid, py::handle atlink) {
  SW_CHECK(common::set(self, names.dev, dev));
  SW_CHECK(common::set(self, names.vid, vid));
  SW_CHECK(common::set(self, names.atlink, atlink));
  return common::none();
}

py::object vlan_dev_str(py::handle self) {
  SW_LET(dev, common::get(self, names.dev));
  SW_LET(vid, common::get(self, names.vid));
  SW_LET(atlink, common::get(self, names.atlink));
  return common::percent_text("dev: %s vid: %d atlink: %s", dev, vid, atlink);
}

py::object dev_entry_init(py::handle self, py::handle dev, py::handle kind,
                          py::handle vlan_filtering) {
  SW_CHECK(common::set(self, names.dev, dev));
  SW_CHECK(common::set(self, names.kind, kind));
  SW_CHECK(common::set(self, names.vlan_filtering, vlan_filtering));
  return common::none();
}

py::object dev_entry_str(py::handle self) {
  SW_LET(dev, common::get(self, names.dev));
  SW_LET(kind, common::get(self, names.kind));
  SW_LET(vlan_filtering, common::get(self, names.vlan_filtering));
  return common::percent_text("%s: kind: %s vlan_filtering: %d\n", dev, kind, vlan_filtering);
}

}  // namespace

void define_kernel_records(py::module_& module) {
  remember_own_class(Record::kKernMdbEntry, common::ClassBuilder(module, "KernMdbEntry", py::tuple(),
                       "One group of a bridge's multicast database in one VLAN, with its ports.")
      .method("__init__", &mdb_entry_init, {"self", "vid", "grp"})
      .method("add_port", &mdb_entry_add_port, {"self", "dev"})
      .method("__str__", &mdb_entry_str, {"self"})
      .build());
  remember_own_class(Record::kKernMdbCache, common::ClassBuilder(module, "KernMdbCache", py::tuple(), "The multicast database of one bridge.")
      .method("__init__", &mdb_cache_init,
              {"self", "dev", "vlan_filtering", {"mdb_entries", py::none()}})
      .method("__str__", &mdb_cache_str, {"self"})
      .build());
  remember_own_class(Record::kKernVlanEntry, common::ClassBuilder(module, "KernVlanEntry", py::tuple(),
                       "One VLAN of the bridge VLAN table with its tagged and untagged ports.")
      .method("__init__", &vlan_entry_init, {"self", "vid"})
      .method("add_port", &vlan_entry_add_port, {"self", "port", "untagged"})
      .method("__str__", &vlan_entry_str, {"self"})
      .build());
  remember_own_class(Record::kKernVlanDevEntry, common::ClassBuilder(module, "KernVlanDevEntry", py::tuple(),
                       "One kernel VLAN device and the device it sits on.")
      .method("__init__", &vlan_dev_init, {"self", "dev", "vid", "atlink"})
      .method("__str__", &vlan_dev_str, {"self"})
      .build());
  remember_own_class(Record::kKernDevEntry, common::ClassBuilder(module, "KernDevEntry", py::tuple(),
                       "One kernel network device with its kind and VLAN filtering.")
      .method("__init__", &dev_entry_init, {"self", "dev", "kind", "vlan_filtering"})
      .method("__str__", &dev_entry_str, {"self"})
      .build());
}

}  // namespace fanoutprobe
