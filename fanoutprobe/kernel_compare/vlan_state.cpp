// Kernel VLAN state: the bridge VLAN table ("bridge -j vlan show") and the
// VLAN device table (/proc/net/vlan/config), each cached in one pass, and
// the resolution of an interface to its base device, kind and VLAN.
#include <string>
#include <unordered_map>

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/core/bridge_vlans.hpp"
#include "fanoutprobe/core/kernel_outputs.hpp"
#include "fanoutprobe/kernel_compare/kernel_access.hpp"
#include "fanoutprobe/kernel_compare/kernel_helpers.hpp"

namespace fanoutprobe {

namespace {

// json.JSONDecodeError(message, document, position), as the host's parser
// reports a text that is not JSON.
py::object fail_json(const BridgeVlanRead& read, py::handle document) {
  SW_LET(json, common::get(module_handle(), names.json));
  SW_LET(error_class, common::get(json, names.JSONDecodeError));
  // nlohmann quotes the last bytes it read, which may end inside a
  // character: a broken character reads as U+FFFD, never as a new error.
  const auto size = static_cast<Py_ssize_t>(read.json_error.size());
  SW_LET(message, common::steal(PyUnicode_DecodeUTF8(read.json_error.data(), size, "replace")));
  SW_LET(position, host_int(static_cast<std::int64_t>(read.json_error_at)));
  SW_LET(error, common::call(error_class, message, document, position));
  PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
  return {};
}

// The KernVlanEntry under `vid`, made and stored when there is none.
py::object vlan_entry(py::handle cache, py::handle vid) {
  py::object entry;
  SW_LET(found, lookup(cache, vid, entry));
  if (found) return entry;
  SW_LET(entry_class, common::get(module_handle(), names.KernVlanEntry));
  SW_LET(made, make_record(Record::kKernVlanEntry, entry_class, vid));
  if (PyObject_SetItem(cache.ptr(), vid.ptr(), made.ptr()) < 0) return {};
  return made;
}

py::object add_device_vlans(py::handle self, const DeviceVlans& device) {
  FANOUTPROBE_WORD(bridge, "bridge");
  FANOUTPROBE_WORD(bond, "bond");
  SW_LET(dev, host_text(device.device));
  for (const BridgeVlan& vlan : device.vlans) {
    SW_LET(kind, common::call_method(self, names._kern_dev_kind_get, dev));
    SW_LET(is_bridge, is_value(kind, bridge));
    if (is_bridge) continue;  // a bridge's own VLANs are no port membership
    if (vlan.failure) return fail_with(vlan.failure);  // its id is read only now
    py::handle untagged = vlan.untagged ? Py_True : Py_False;
    SW_LET(vid, host_int(vlan.vid));
    SW_LET(cache, common::get(self, names.kern_vlan_cache));
    SW_LET(entry, vlan_entry(cache, vid));
    SW_LET(is_bond, is_value(kind, bond));
    if (!is_bond) {
      SW_CHECK(common::call_method(entry, names.add_port, dev, untagged));
      continue;
    }
    SW_LET(slaves, common::call_method(self, names._expand_kern_bond, dev));
    SW_LET(iterator, common::steal(PyObject_GetIter(slaves.ptr())));
    while (PyObject* next = PyIter_Next(iterator.ptr())) {
      py::object slave = common::steal(next);
      SW_CHECK(common::call_method(entry, names.add_port, slave, untagged));
    }
    if (PyErr_Occurred()) return {};
  }
  return common::none();
}

}  // namespace

py::object kern_create_vlan_cache(py::handle self) {
  static const py::object& command =
      lasting(py::make_tuple("/sbin/bridge", "-j", "vlan", "show"));
  static const py::object& empty_object = lasting(py::str("{}"));
  SW_CHECK(common::set(self, names.kern_vlan_cache_created, Py_True));  // first: never retried
  SW_LET(command_list, common::steal(PySequence_List(command.ptr())));
  SW_LET(output, common::call_method(self, names._get_cmd_output, command_list, empty_object));
  TextView view;
  if (!view_text(output, "command output", view)) return {};
  BridgeVlanRead read = read_bridge_vlans(view.text);
  if (read.invalid_json) return fail_json(read, output);
  // A number beyond a double anywhere: the host's reading of it gives an
  // infinity, which no VLAN id can be.
  if (read.failure) return fail_with(read.failure);
  for (const DeviceVlans& device : read.devices) SW_CHECK(add_device_vlans(self, device));
  return common::none();
}

py::object kern_get_vlan_members(py::handle self, py::handle vid) {
  SW_LET(created, common::get(self, names.kern_vlan_cache_created));
  SW_LET(built, common::truth(created));
  if (!built) SW_CHECK(common::call_method(self, names._kern_create_vlan_cache));
  SW_LET(cache, common::get(self, names.kern_vlan_cache));
  py::object entry;
  SW_LET(found, lookup(cache, vid, entry));
  if (!found) return new_list();
  SW_LET(tagged, common::get(entry, names.tagged_swp));
  SW_LET(untagged, common::get(entry, names.untagged_swp));
  return common::steal(PyNumber_Add(tagged.ptr(), untagged.ptr()));
}

py::object kern_create_vlan_dev_cache(py::handle self) {
  static const py::object& config = lasting(py::str("/proc/net/vlan/config"));
  SW_CHECK(common::set(self, names.kern_vlan_dev_cache_created, Py_True));  // first: never retried
  SW_LET(content, read_kernel_text(config));
  if (content.is_none()) return common::none();
  TextView view;
  if (!view_text(content, "file content", view)) return {};
  VlanDeviceRead read = read_vlan_devices(view.text);
  SW_LET(entry_class, common::get(module_handle(), names.KernVlanDevEntry));
  for (const VlanDevice& device : read.devices) {
    SW_LET(dev, host_text(device.dev));
    SW_LET(vid, host_int(device.vid));
    SW_LET(atlink, host_text(device.atlink));
    SW_LET(entry, make_record(Record::kKernVlanDevEntry, entry_class, dev, vid, atlink));
    SW_LET(cache, common::get(self, names.kern_vlan_dev_cache));
    if (PyObject_SetItem(cache.ptr(), dev.ptr(), entry.ptr()) < 0) return {};
  }
  if (read.failure) return fail_with(read.failure);
  return common::none();
}

py::object kern_get_vlan_and_atlink(py::handle self, py::handle dev) {
  SW_LET(created, common::get(self, names.kern_vlan_dev_cache_created));
  SW_LET(built, common::truth(created));
  if (!built) SW_CHECK(common::call_method(self, names._kern_create_vlan_dev_cache));
  SW_LET(cache, common::get(self, names.kern_vlan_dev_cache));
  py::object entry;
  SW_LET(found, lookup(cache, dev, entry));
  if (!found) return tuple_of(Py_None, Py_None);
  SW_LET(vid, common::get(entry, names.vid));
  SW_LET(atlink, common::get(entry, names.atlink));
  return tuple_of(vid, atlink);
}

py::object kern_get_dev_vlan(py::handle self, py::handle dev, py::handle kind,
                             py::handle parent_vlan) {
  FANOUTPROBE_WORD(vlan_kind, "vlan");
  SW_LET(is_vlan, is_value(kind, vlan_kind));
  if (is_vlan) {
    SW_LET(pair, common::call_method(self, names._kern_get_vlan_and_atlink, dev));
    py::object vid_and_atlink[2];
    if (!unpack(pair, vid_and_atlink, 2)) return {};
    SW_LET(own_vlan, common::truth(vid_and_atlink[0]));  // present and not 0
    if (own_vlan) return tuple_of(vid_and_atlink[1], vid_and_atlink[0]);
  }
  return tuple_of(dev, parent_vlan);
}

py::object kern_base_dev_kind_get(py::handle self, py::handle orig_dev, py::handle parent_vlan) {
  SW_LET(kind, common::call_method(self, names._kern_dev_kind_get, orig_dev));
  SW_LET(pair, common::call_method(self, names._kern_get_dev_vlan, orig_dev, kind, parent_vlan));
  py::object dev_and_vlan[2];
  if (!unpack(pair, dev_and_vlan, 2)) return {};
  SW_LET(same, common::equal(dev_and_vlan[0], orig_dev));
  if (!same) {
    SW_LET(base_kind, common::call_method(self, names._kern_dev_kind_get, dev_and_vlan[0]));
    return tuple_of(base_kind, dev_and_vlan[0], dev_and_vlan[1]);
  }
  return tuple_of(kind, dev_and_vlan[0], dev_and_vlan[1]);
}

}  // namespace fanoutprobe
