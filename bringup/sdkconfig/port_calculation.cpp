// SDKConfig's construction, `config` and the port calculation: one
// configured port per used entry of the platform ports, numbered per unit,
// with MAC indexes over the whole switch.
#include "bringup/config/configured_port_ops.hpp"
#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

namespace {

// The chip data files, loaded in this order.
constexpr const char* kChipFiles[] = {"uft.json",      "riot.json",    "hw_desc",
                                      "rc.forwarding", "datapath.conf", "sdk.bcm"};

// `mapping.get(key, 1)`.
py::object get_or_one(py::handle mapping, py::handle key) {
  PyObject* found = PyDict_GetItemWithError(mapping.ptr(), key.ptr());
  if (found) return common::borrow(found);
  if (PyErr_Occurred()) return {};
  return common::integer(1);
}

// Pass 1: (loopback, mode, platform port) per used entry, in order.
py::object used_entries(py::handle self, py::handle config_map) {
  static const py::handle fabric_prefix = common::forever(py::str("Fabric-"));
  static const py::handle loopback_word = common::forever(py::str("loopback"));
  SW_LET(platform_switch, switch_of(self));
  SW_LET(platform_ports, common::get(platform_switch, names.ports));
  SW_LET(entries, common::steal(PyList_New(0)));
  SW_LET(iterator, common::steal(PyObject_GetIter(platform_ports.ptr())));
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object port = common::steal(raw);
    SW_LET(label, common::get(port, names.label));
    SW_LET(fabric, common::get(port, names.is_fabric));
    SW_LET(is_fabric, common::truth(fabric));
    py::object key = label;
    if (is_fabric) SW_CHECK(key = common::steal(PyNumber_Add(fabric_prefix.ptr(), label.ptr())));
    PyObject* configured = PyDict_Check(config_map.ptr())
                               ? PyDict_GetItemWithError(config_map.ptr(), key.ptr())
                               : nullptr;
    if (!configured && PyErr_Occurred()) return {};
    py::object configured_mode;
    if (configured) {
      configured_mode = common::borrow(configured);
    } else if (!PyDict_Check(config_map.ptr())) {
      SW_LET(present, common::contains(config_map, key));
      configured_mode = present ? common::item(config_map, key) : common::get(port, names.default_mode);
      SW_CHECK(configured_mode);
    } else {
      SW_CHECK(configured_mode = common::get(port, names.default_mode));
    }
    SW_LET(is_loopback, PyUnicode_Check(configured_mode.ptr())
                            ? common::equal(configured_mode, loopback_word)
                            : 0);
    py::object mode = configured_mode;
    if (is_loopback) SW_CHECK(mode = common::get(port, names.default_mode));
    SW_LET(configurable, common::call_method(port, names.configurable, config_map));
    SW_LET(use, common::truth(configurable));
    if (!use) continue;
    SW_LET(pairs, common::call_method(port, names.port_mangler, mode));
    SW_LET(pair_iterator, common::steal(PyObject_GetIter(pairs.ptr())));
    while (PyObject* raw_pair = PyIter_Next(pair_iterator.ptr())) {
      py::object pair = common::steal(raw_pair);
      SW_LET(pair_port, common::item_at(pair, 0));
      SW_LET(pair_mode, common::item_at(pair, 1));
      SW_LET(entry, common::steal(PyTuple_Pack(3, is_loopback ? Py_True : Py_False,
                                               pair_mode.ptr(), pair_port.ptr())));
      SW_CHECK(PyList_Append(entries.ptr(), entry.ptr()));
    }
    if (PyErr_Occurred()) return {};
  }
  if (PyErr_Occurred()) return {};
  return entries;
}

}  // namespace

py::object sdkconfig_init(py::handle self, py::handle platform, py::handle verbose,
                          py::handle exploded, py::handle dummy) {
  SW_CHECK(init_base(names.Config, self, platform, verbose, exploded, dummy));
  for (const char* file : kChipFiles) {
    SW_LET(name, common::steal(PyUnicode_InternFromString(file)));
    SW_CHECK(common::call_method(self, names.read_config, name));
  }
  return common::none();
}

py::object bcmconfig_init(py::handle self, py::handle platform, py::handle verbose,
                          py::handle exploded, py::handle dummy) {
  return init_base(names.SDKConfig, self, platform, verbose, exploded, dummy);
}

py::object sdkconfig_config(py::handle self, py::handle config_text) {
  static const py::handle l3_only = common::forever(py::str("l3-only"));
  static const py::handle fallback =
      common::forever(py::str("Not enough macs in platform, falling to l3-only"));
  {
    SW_LET(base, global(names.Config));
    SW_LET(base_config, common::get(base, names.config));
    SW_CHECK(common::call(base_config, self, config_text));
  }
  SW_LET(max_mac_index, common::call_method(self, names._calculate_configuration));
  SW_LET(verbose, common::get(self, names.verbose));
  SW_LET(is_verbose, common::truth(verbose));
  if (is_verbose) {
    SW_LET(macrange, common::get(self, names.macrange));
    SW_LET(line, common::percent_text("max_mac_index %d macrange %d\n", max_mac_index, macrange));
    SW_LET(sys, global(names.sys));
    SW_LET(out, common::get(sys, names.stdout));
    SW_CHECK(common::call_method(out, names.write, line));
  }
  SW_CHECK(common::call_method(self, names._calculate_leds));
  SW_CHECK(common::call_method(self, names._calculate_units));
  SW_LET(ports, common::get(self, names.ports));
  SW_CHECK(common::call_method(self, names._calculate_gangs, ports));
  SW_LET(macrange, common::get(self, names.macrange));
  SW_LET(too_many, PyObject_RichCompareBool(max_mac_index.ptr(), macrange.ptr(), Py_GT));
  if (too_many) {
    SW_LET(syslog, global(names.syslog));
    SW_LET(priority, common::get(syslog, names.LOG_INFO));
    SW_CHECK(common::call_method(syslog, names.syslog, priority, fallback));
    SW_CHECK(common::call_method(self, names.set_macmode, l3_only));
  }
  return common::none();
}

py::object calculate_configuration(py::handle self) {
  SW_LET(ports, common::steal(PyList_New(0)));
  SW_CHECK(common::set(self, names.ports, ports));
  SW_LET(mapped_portnums, common::steal(PyDict_New()));
  SW_CHECK(common::set(self, names.mapped_portnums, mapped_portnums));
  SW_LET(config_map, common::get(self, names.config_map));
  SW_LET(entries, used_entries(self, config_map));
  SW_LET(chip, chip_of_config(self));
  SW_LET(if_nums, common::steal(PyDict_New()));
  SW_LET(mac_index, common::integer(0));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(entries.ptr()); ++i) {
    PyObject* entry = PyList_GET_ITEM(entries.ptr(), i);
    py::handle loopback = PyTuple_GET_ITEM(entry, 0), mode = PyTuple_GET_ITEM(entry, 1),
               hw_port = PyTuple_GET_ITEM(entry, 2);
    SW_LET(unit, common::get(hw_port, names.unit));
    SW_LET(mapped_portnum, get_or_one(mapped_portnums, unit));
    PyObject* found = PyDict_GetItemWithError(if_nums.ptr(), unit.ptr());
    if (!found && PyErr_Occurred()) return {};
    py::object u_map = found ? common::borrow(found) : py::object();
    Py_ssize_t u_map_size = u_map ? PyObject_Size(u_map.ptr()) : 0;
    if (u_map_size < 0) return {};
    if (u_map_size == 0) {
      SW_CHECK(u_map = common::steal(PyDict_New()));
      SW_CHECK(PyDict_SetItem(if_nums.ptr(), unit.ptr(), u_map.ptr()));
    }
    SW_LET(zero, common::integer(0));
    SW_LET(if_type, common::call_method(hw_port, names.hw_intf_prefix, mode, zero));
    SW_LET(if_portnum, get_or_one(u_map, if_type));
    // The chip's flags are read for each port, as the rule states them.
    SW_LET(dport_capable, common::get(chip, names.dport_capable));
    py::object configured;
    if (is_true(dport_capable)) {
      SW_LET(cls, global(names.BCMConfiguredDportPort));
      SW_CHECK(configured = common::call(cls, mode, hw_port, mapped_portnum, if_portnum,
                                         mac_index, loopback));
      SW_LET(count, common::get(configured, names.num_logical_ports));
      SW_LET(next, common::steal(PyNumber_Add(if_portnum.ptr(), count.ptr())));
      SW_CHECK(PyObject_SetItem(u_map.ptr(), if_type.ptr(), next.ptr()));
    } else {
      SW_LET(portmap_capable, common::get(chip, names.portmap_capable));
      SW_LET(cls, global(is_true(portmap_capable) ? names.SDKConfiguredMappedPort
                                                  : names.SDKConfiguredPort));
      SW_CHECK(configured = common::call(cls, mode, hw_port, mapped_portnum, mac_index, loopback));
    }
    SW_LET(count, common::get(configured, names.num_logical_ports));
    SW_LET(next, common::steal(PyNumber_Add(mapped_portnum.ptr(), count.ptr())));
    SW_CHECK(PyDict_SetItem(mapped_portnums.ptr(), unit.ptr(), next.ptr()));
    SW_CHECK(PyList_Append(ports.ptr(), configured.ptr()));
    SW_LET(contribution, common::call_method(hw_port, names.mac_addrs_contrib_total, config_map));
    SW_CHECK(mac_index = common::steal(PyNumber_Add(mac_index.ptr(), contribution.ptr())));
  }
  return mac_index;
}

}  // namespace bringup
