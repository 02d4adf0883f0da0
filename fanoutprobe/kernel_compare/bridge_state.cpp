// Bridge membership (the bridge's brif directory) and the bridge multicast
// database ("bridge mdb show dev <bridge>"), each cached per bridge, and
// the group MAC text that keys the database.
#include <string>
#include <unordered_map>

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/core/kernel_outputs.hpp"
#include "fanoutprobe/kernel_compare/kernel_access.hpp"
#include "fanoutprobe/kernel_compare/kernel_helpers.hpp"

namespace fanoutprobe {

namespace {

const py::object& minus_one() {
  static const py::object& value = lasting(py::int_(-1));
  return value;
}

// Appends (through `add`, a callable taking one name) the names a port
// stands for: a bond's slaves, each with ".<vlan>" when the port is a VLAN
// device on the bond; any other port's own name.
template <typename Add>
py::object add_port_names(py::handle self, py::handle port, Add add) {
  FANOUTPROBE_WORD(bond, "bond");
  SW_LET(resolved, common::call_method(self, names._kern_base_dev_kind_get, port, minus_one()));
  py::object kind_dev_vlan[3];
  if (!unpack(resolved, kind_dev_vlan, 3)) return {};
  SW_LET(is_bond, is_value(kind_dev_vlan[0], bond));
  if (!is_bond) return add(port);
  SW_LET(slaves, common::call_method(self, names._expand_kern_bond, kind_dev_vlan[1]));
  SW_LET(tagged, differs_from_minus_one(kind_dev_vlan[2]));
  SW_LET(iterator, common::steal(PyObject_GetIter(slaves.ptr())));
  while (PyObject* next = PyIter_Next(iterator.ptr())) {
    py::object slave = common::steal(next);
    if (tagged) {
      SW_LET(name, dotted(slave, kind_dev_vlan[2]));
      SW_CHECK(add(name));
    } else {
      SW_CHECK(add(slave));
    }
  }
  if (PyErr_Occurred()) return {};
  return common::none();
}

// Objects made once per database read from the texts of its lines: a port
// or group named on many lines is one host object, made by one call.
class TextPool {
 public:
  template <typename Make>
  py::object get(std::string_view text, Make make) {
    auto found = texts_.find(text);
    if (found != texts_.end()) return found->second;
    py::object made = make(text);
    if (made) texts_.emplace(std::string(text), made);
    return made;
  }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  std::unordered_map<std::string, py::object, Hash, std::equal_to<>> texts_;
};

}  // namespace

py::object kern_setup_br_cache(py::handle self, py::handle dev) {
  SW_LET(members, new_list());
  SW_LET(named, device_name_ok(dev));
  if (named) {
    SW_LET(path, device_path(dev, "/brif"));
    SW_LET(entries, list_kernel_directory(path));
    if (!entries.is_none()) {
      SW_LET(iterator, common::steal(PyObject_GetIter(entries.ptr())));
      auto append = [&](py::handle name) -> py::object {
        if (PyList_Append(members.ptr(), name.ptr()) < 0) return {};
        return common::none();
      };
      while (PyObject* next = PyIter_Next(iterator.ptr())) {
        py::object member = common::steal(next);
        SW_CHECK(add_port_names(self, member, append));
      }
      if (PyErr_Occurred()) return {};
    }
  }
  SW_LET(cache, common::get(self, names.kern_br_cache));
  if (PyObject_SetItem(cache.ptr(), dev.ptr(), members.ptr()) < 0) return {};
  return common::item(cache, dev);
}

py::object kern_get_br_members(py::handle self, py::handle dev) {
  SW_LET(cache, common::get(self, names.kern_br_cache));
  py::object members;
  SW_LET(cached, lookup(cache, dev, members));
  if (cached) return members;
  return common::call_method(self, names._kern_setup_br_cache, dev);
}

py::object grp_ip2mac(py::handle /*self*/, py::handle grp) {
  TextView view;
  if (!view_text(grp, "group address", view)) return {};
  std::optional<std::string> mac = group_mac(view.text);
  if (!mac) return common::fail_percent(PyExc_ValueError, "not an IPv4 group address: %r", grp);
  return host_text(*mac);
}

namespace {

// "%d.%s" of a VLAN id and a group MAC text.
py::object mdb_key(py::handle vlan, py::handle grp_mac) {
  if (PyLong_CheckExact(vlan.ptr()) && PyUnicode_CheckExact(grp_mac.ptr()))
    return common::steal(PyUnicode_FromFormat("%S.%U", vlan.ptr(), grp_mac.ptr()));
  return common::percent_text("%d.%s", vlan, grp_mac);
}

py::object entry_or_none(py::handle mdb_cache, py::handle key) {
  SW_LET(entries, common::get(mdb_cache, names.mdb_entries));
  py::object entry;
  SW_LET(found, lookup(entries, key, entry));
  return found ? entry : common::none();
}

// Reads the bridge's database into the new, already stored, cache.
py::object read_database(py::handle self, py::handle dev, py::handle mdb_cache,
                         py::handle output, bool vlan_filtering) {
  TextView bridge_view, output_view;
  if (!view_text(dev, "device name", bridge_view)) return {};
  if (!view_text(output, "command output", output_view)) return {};
  SW_LET(entry_class, common::get(module_handle(), names.KernMdbEntry));
  TextPool ports, groups;
  auto port_text = [](std::string_view text) { return host_text(text); };
  // The MAC text comes from the object's own _grp_ip2mac, asked once per group.
  auto group_mac_text = [self](std::string_view group) -> py::object {
    SW_LET(grp_ip, host_text(group));
    return common::call_method(self, names._grp_ip2mac, grp_ip);
  };
  for (const MdbLine& line : read_mdb(output_view.text, bridge_view.text, vlan_filtering)) {
    SW_LET(vid, host_int(line.vid));
    SW_LET(grp_mac, groups.get(line.group, group_mac_text));
    SW_LET(key, mdb_key(vid, grp_mac));
    SW_LET(entries, common::get(mdb_cache, names.mdb_entries));
    py::object entry;
    SW_LET(found, lookup(entries, key, entry));
    if (!found) {
      entry = make_record(Record::kKernMdbEntry, entry_class, vid, grp_mac);
      if (!entry || PyObject_SetItem(entries.ptr(), key.ptr(), entry.ptr()) < 0) return {};
    }
    SW_LET(port, ports.get(line.port, port_text));
    SW_CHECK(add_port_names(self, port, [&](py::handle name) {
      return common::call_method(entry, names.add_port, name);
    }));
  }
  return common::none();
}

}  // namespace

py::object kern_dev_get_mdb_entry(py::handle self, py::handle orig_dev, py::handle orig_vlan,
                                  py::handle orig_grp) {
  static const py::object& bridge = lasting(py::str("/sbin/bridge"));
  static const py::object& mdb = lasting(py::str("mdb"));
  static const py::object& show = lasting(py::str("show"));
  static const py::object& dev_word = lasting(py::str("dev"));
  static const py::object& nothing = lasting(py::str(""));
  SW_LET(key, mdb_key(orig_vlan, orig_grp));
  SW_LET(caches, common::get(self, names.kern_mdb_cache));
  py::object cached;
  SW_LET(known, lookup(caches, orig_dev, cached));
  if (known) return entry_or_none(cached, key);
  // A name that can name no device runs nothing and reads as no entries.
  SW_LET(named, device_name_ok(orig_dev));
  py::object output = nothing;
  if (named) {
    SW_LET(command, common::steal(PyList_New(5)));
    const py::handle words[5] = {bridge, mdb, show, dev_word, orig_dev};
    for (int i = 0; i < 5; ++i) PyList_SET_ITEM(command.ptr(), i, words[i].inc_ref().ptr());
    output = common::call_method(self, names._get_cmd_output, command, nothing);
    if (!output) return {};
  }
  SW_LET(vlan_filtering, common::call_method(self, names._kern_dev_vlan_filtering_get, orig_dev));
  SW_LET(cache_class, common::get(module_handle(), names.KernMdbCache));
  SW_LET(mdb_cache, make_record(Record::kKernMdbCache, cache_class, orig_dev, vlan_filtering));
  if (PyObject_SetItem(caches.ptr(), orig_dev.ptr(), mdb_cache.ptr()) < 0) return {};
  SW_LET(filtering, common::truth(vlan_filtering));
  SW_CHECK(read_database(self, orig_dev, mdb_cache, output, filtering));
  return entry_or_none(mdb_cache, key);
}

}  // namespace fanoutprobe
