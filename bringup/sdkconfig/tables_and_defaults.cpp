// The MAC-index and SFP tables and the JSON link defaults.
#include <nlohmann/json.hpp>

#include "bringup/core/json_text.hpp"
#include "bringup/sdkconfig/sdkconfig_ops.hpp"
#include "bringup/sdkconfig/port_walk.hpp"
#include "bringup/sdkconfig/text_lines.hpp"

namespace bringup {

namespace {

// A host value as JSON: dicts with text keys, lists and tuples, texts,
// bools, ints and None; anything else is refused by name.
bool json_of(py::handle value, nlohmann::json& out) {
  if (value.is_none()) {
    out = nullptr;
  } else if (PyBool_Check(value.ptr())) {
    out = value.ptr() == Py_True;
  } else if (PyLong_Check(value.ptr())) {
    HostNumber number;
    if (!host_number(value, 'd', number)) return false;
    out = *number;
  } else if (PyUnicode_Check(value.ptr())) {
    std::string text;
    if (!text_form(value, text)) return false;
    out = std::move(text);
  } else if (PyDict_Check(value.ptr())) {
    out = nlohmann::json::object();
    PyObject *key, *member;
    Py_ssize_t position = 0;
    while (PyDict_Next(value.ptr(), &position, &key, &member)) {
      if (!PyUnicode_Check(key)) {
        common::fail_percent(PyExc_TypeError, "link defaults keys must be texts, not %r",
                             py::handle(key));
        return false;
      }
      std::string name;
      nlohmann::json rendered_member;
      if (!text_form(key, name) || !json_of(member, rendered_member)) return false;
      out[name] = std::move(rendered_member);
    }
  } else if (PyList_Check(value.ptr()) || PyTuple_Check(value.ptr())) {
    out = nlohmann::json::array();
    py::object listed = common::steal(PySequence_List(value.ptr()));
    if (!listed) return false;
    for (Py_ssize_t i = 0; i < PyList_GET_SIZE(listed.ptr()); ++i) {
      nlohmann::json element;
      if (!json_of(PyList_GET_ITEM(listed.ptr(), i), element)) return false;
      out.push_back(std::move(element));
    }
  } else {
    common::fail_percent(PyExc_TypeError, "cannot write %r in the link defaults", value);
    return false;
  }
  return true;
}

// {"link-autoneg": on/off, "link-duplex": "full", "link-speed": <speed in Mb/s>}.
py::object link_settings(py::handle autoneg, py::handle speed) {
  static const py::handle on = common::forever(py::str("on")), off = common::forever(py::str("off")),
                          full = common::forever(py::str("full"));
  static const py::handle autoneg_key = common::forever(py::str("link-autoneg")),
                          duplex_key = common::forever(py::str("link-duplex")),
                          speed_key = common::forever(py::str("link-speed"));
  SW_LET(is_on, common::truth(autoneg));
  SW_LET(speed_text, TextLines::single(Megabits{speed}));
  SW_LET(settings, common::steal(PyDict_New()));
  SW_CHECK(PyDict_SetItem(settings.ptr(), autoneg_key.ptr(), (is_on ? on : off).ptr()));
  SW_CHECK(PyDict_SetItem(settings.ptr(), duplex_key.ptr(), full.ptr()));
  SW_CHECK(PyDict_SetItem(settings.ptr(), speed_key.ptr(), speed_text.ptr()));
  return settings;
}

}  // namespace

py::object ethertab_text(py::handle self) {
  SW_CHECK(refuse_shared_kernel_name(self));
  SW_CHECK(refuse_shared_sdk_port(self));
  return each_logical_port(self, [&](py::handle port, py::handle sub, TextLines& rows) -> int {
    py::object name = common::call_method(port, names.linux_port_name, sub);
    if (!name) return -1;
    py::object mac_index = common::get(port, names.mac_index);
    if (!mac_index) return -1;
    py::object index = common::steal(PyNumber_Add(mac_index.ptr(), sub.ptr()));
    if (!index) return -1;
    return rows.line(Text{name}, "\t", Text{index}) ? 0 : -1;
  });
}

py::object sfptab_text(py::handle self) {
  static const py::handle sdk = common::forever(py::str("sdk"));
  SW_CHECK(refuse_shared_kernel_name(self));
  SW_LET(ports, ports_of(self));
  TextLines rows;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    SW_LET(physical, common::get(port, names.physical_port));
    SW_LET(psfp, common::get(physical, names.sfp));
    SW_LET(present, common::truth(psfp));
    if (!present) continue;
    SW_LET(method, common::get(psfp, names.accessmethod));
    SW_LET(found, common::call_method(method, names.find, sdk));
    SW_LET(address, common::get(psfp, names.address));
    SW_LET(later, PyObject_RichCompareBool(found.ptr(), common::integer(0).ptr(), Py_GT));
    SW_LET(sfpaddress, common::percent_text(later ? "0x%x" : "%s", address));
    SW_LET(type, common::get(psfp, names.type));
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < (count > 1 ? count : 1); ++sub) {
      SW_LET(sub_number, common::integer(sub));
      SW_LET(name, common::call_method(port, names.linux_port_name, sub_number));
      if (!rows.line(Text{name}, "\t", Text{type}, "\t", Text{method}, "\t", Text{sfpaddress})) {
        return {};
      }
    }
  }
  return rows.host();
}

py::object linkdefaults_per_interface(py::handle self) {
  static const py::handle defaults = common::forever(py::str("defaults")),
                          iface_defaults = common::forever(py::str("iface_defaults"));
  SW_CHECK(refuse_shared_kernel_name(self));
  SW_LET(ports, ports_of(self));
  SW_LET(interfaces, common::steal(PyDict_New()));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(physical, common::get(port, names.physical_port));
      SW_LET(fabric, common::get(physical, names.is_fabric));
      SW_LET(is_fabric, common::truth(fabric));
      if (is_fabric) continue;
      SW_LET(sub_number, common::integer(sub));
      SW_LET(name, common::call_method(port, names.linux_port_name, sub_number));
      SW_LET(autoneg, common::get(port, names.enable_auto_neg));
      SW_LET(speed, common::get(port, names.speed));
      SW_LET(settings, link_settings(autoneg, speed));
      SW_CHECK(PyObject_SetItem(interfaces.ptr(), name.ptr(), settings.ptr()));
    }
  }
  SW_LET(result, common::steal(PyDict_New()));
  SW_LET(empty, common::steal(PyDict_New()));
  SW_CHECK(PyDict_SetItem(result.ptr(), defaults.ptr(), empty.ptr()));
  SW_CHECK(PyDict_SetItem(result.ptr(), iface_defaults.ptr(), interfaces.ptr()));
  return result;
}

py::object linkdefaults_vx(py::handle) {
  static const py::handle one_gig = common::forever(py::str("1"));
  static const py::handle defaults = common::forever(py::str("defaults")),
                          iface_defaults = common::forever(py::str("iface_defaults")),
                          module_globals = common::forever(py::str("module_globals")),
                          ignore_errors = common::forever(py::str("ethtool_ignore_errors"));
  SW_LET(settings, link_settings(Py_False, one_gig));
  SW_LET(globals, common::steal(PyDict_New()));
  SW_CHECK(PyDict_SetItem(globals.ptr(), ignore_errors.ptr(), Py_True));
  SW_LET(result, common::steal(PyDict_New()));
  SW_CHECK(PyDict_SetItem(result.ptr(), module_globals.ptr(), globals.ptr()));
  SW_CHECK(PyDict_SetItem(result.ptr(), defaults.ptr(), settings.ptr()));
  (void)iface_defaults;
  return result;
}

py::object linkdefaults_text(py::handle self) {
  static const py::handle vx = common::forever(py::str("vx"));
  static const py::handle readme_key = common::forever(py::str("README")),
                          ethtool_key = common::forever(py::str("ethtool")),
                          defaults = common::forever(py::str("defaults")),
                          iface_defaults = common::forever(py::str("iface_defaults"));
  static const py::handle readme =
      common::forever(py::str("This file is automatically generated. Do not edit this file."));
  SW_LET(ethtool, common::steal(PyDict_New()));
  SW_LET(empty_defaults, common::steal(PyDict_New()));
  SW_LET(empty_interfaces, common::steal(PyDict_New()));
  SW_CHECK(PyDict_SetItem(ethtool.ptr(), defaults.ptr(), empty_defaults.ptr()));
  SW_CHECK(PyDict_SetItem(ethtool.ptr(), iface_defaults.ptr(), empty_interfaces.ptr()));
  SW_LET(chip, chip_of_config(self));
  SW_LET(sw_base, common::get(chip, names.sw_base));
  SW_LET(is_vx, common::equal(sw_base, vx));
  SW_LET(update, common::call_method(self, is_vx ? names._linkdefaults_vx : names._linkdefaults));
  SW_CHECK(PyDict_Update(ethtool.ptr(), update.ptr()));
  SW_LET(top, common::steal(PyDict_New()));
  SW_CHECK(PyDict_SetItem(top.ptr(), readme_key.ptr(), readme.ptr()));
  SW_CHECK(PyDict_SetItem(top.ptr(), ethtool_key.ptr(), ethtool.ptr()));
  nlohmann::json document;
  if (!json_of(top, document)) return {};
  return rendered([&] { return json_text(document); });
}

}  // namespace bringup
