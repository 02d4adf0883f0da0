// The per-port sections of the SDK configuration body (emphasis, port
// initialisation, fibre preference, auto-negotiation, PHY offsets,
// identifiers and system interfaces, PHY models and addresses) and the
// PHY table and script.
#include <algorithm>

#include "bringup/sdkconfig/sdkconfig_ops.hpp"
#include "bringup/sdkconfig/port_walk.hpp"
#include "bringup/sdkconfig/text_lines.hpp"

namespace bringup {

namespace {

// The first `needed` numbers of a tuning list (fewer when it is shorter:
// the lines then stop at the index error); nullopt for an absent one.
// Elements past those are never read, whatever they hold.
bool tuning_values(py::handle port, PyObject* name, Py_ssize_t needed,
                   std::optional<std::vector<HostNumber>>& out) {
  py::object values = common::get(port, name);
  if (!values) return false;
  if (values.is_none()) return true;
  py::object listed = common::steal(PySequence_List(values.ptr()));
  if (!listed) return false;
  out.emplace();
  for (Py_ssize_t i = 0; i < std::min(needed, PyList_GET_SIZE(listed.ptr())); ++i) {
    HostNumber number;
    if (!host_number(PyList_GET_ITEM(listed.ptr(), i), 'x', number)) return false;
    out->push_back(number);
  }
  return true;
}

// The auto-negotiation code of a setting text, or -1 for none.
long autoneg_code(py::handle setting) {
  static const char* const kCodes[] = {"off", "bam", "on", "auto"};
  if (!PyUnicode_Check(setting.ptr())) return -1;
  for (long code = 0; code < 4; ++code) {
    if (PyUnicode_CompareWithASCIIString(setting.ptr(), kCodes[code]) == 0) return code;
  }
  return -1;
}

// 0 when the line was written, -1 with the host's error set.
inline int written(bool ok) { return ok ? 0 : -1; }

// One value of sub-port 0, written in hexadecimal under the port's name
// when set (a gang member's only under a name of its own).
py::object first_sub_value(py::handle self, PyObject* value_name, const char* key,
                           KeyName naming) {
  // The unit count is read only where the name uses it: `units` does not
  // exist before the first `config`.
  py::object units = common::none();
  if (naming == KeyName::kConfigName) SW_CHECK(units = unit_count(self));
  SubPortZeroKeys keys(self, naming, units);
  return each_port(self, [&](py::handle port, TextLines& lines) -> int {
    py::object value = common::get(port, value_name);
    if (!value) return -1;
    if (value.is_none()) return 0;
    py::object name = keys.name_of(port);
    if (!name) return -1;
    if (name.is_none()) return 0;
    return written(lines.line(key, Text{name}, "=0x", hex(value)));
  });
}

}  // namespace

py::object port_emphasis_text(py::handle self) {
  static const py::handle forty = common::forever(py::str("40G"));
  SW_LET(ports, ports_of(self));
  std::vector<EmphasisPort> records;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    EmphasisPort record;
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    record.logical_ports = static_cast<int>(count);
    if (count > 0) {
      SW_LET(unit, common::get(port, names.unit));
      if (!host_number(unit, 'u', record.unit)) return {};
      SW_LET(mode, common::get(port, names.mode));
      SW_LET(four, common::equal(mode, forty));
      record.four_lanes = four;
      // Lanes 0 to 3 of a "40G" port, else one entry per sub-port.
      const Py_ssize_t needed = four ? 4 : count;
      if (!tuning_values(port, names.pre_emphasis, needed, record.pre_emphasis) ||
          !tuning_values(port, names.drv_current, needed, record.drv_current) ||
          !tuning_values(port, names.pre_drv_current, needed, record.pre_drv_current)) {
        return {};
      }
    }
    records.push_back(std::move(record));
  }
  return rendered([&] { return join_lines(emphasis_lines(records)); });
}

py::object port_init_text(py::handle self) {
  SW_LET(units, unit_count(self));
  SW_LET(config_class, global(names.SDKConfig));
  SW_LET(codes, common::get(config_class, names.serdes_if_type_map));
  return each_logical_port(self, [&](py::handle port, py::handle sub, TextLines& lines) -> int {
    py::object name = common::call_method(port, names.sdk_config_intf, sub, units);
    if (!name) return -1;
    py::object autoneg = common::get(port, names.enable_auto_neg);
    if (!autoneg || !lines.line("port_init_autoneg_", Text{name}, "=", Number{autoneg})) return -1;
    int on = common::truth(autoneg);
    if (on < 0) return -1;
    if (!on) {
      py::object speed = common::get(port, names.speed);
      if (!speed || !lines.line("port_init_speed_", Text{name}, "=", Megabits{speed}) ||
          !lines.line("port_init_duplex_", Text{name}, "=1")) {
        return -1;
      }
    }
    py::object serdes = common::get(port, names.serdes_if_type);
    if (!serdes) return -1;
    if (serdes.is_none()) return 0;
    py::object code = common::item(codes, serdes);
    if (!code) return -1;
    return written(lines.line("serdes_if_type_", Text{name}, "=", Number{code}, " # ", Text{serdes}));
  });
}

py::object fiber_pref_text(py::handle self) {
  SW_LET(units, unit_count(self));
  return each_logical_port(self, [&](py::handle port, py::handle sub, TextLines& lines) -> int {
    py::object preference = common::get(port, names.set_fiber_pref);
    if (!preference) return -1;
    int wanted = common::truth(preference);
    if (wanted <= 0) return wanted;
    py::object name = common::call_method(port, names.sdk_config_intf, sub, units);
    if (!name) return -1;
    return written(lines.line("serdes_fiber_pref_", Text{name}, "=1"));
  });
}

py::object phy_an_text(py::handle self) {
  SW_LET(units, unit_count(self));
  SW_LET(ports, ports_of(self));
  TextLines lines;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    SW_LET(c37, common::get(port, names.an_c37));
    SW_LET(c73, common::get(port, names.an_c73));
    const long c37_code = autoneg_code(c37), c73_code = autoneg_code(c73);
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(sub_number, common::integer(sub));
      SW_LET(name, common::call_method(port, names.sdk_config_intf, sub_number, units));
      // The codes are the table's own small ints, written as "%d" writes them.
      if (c37_code >= 0 && !lines.line("phy_an_c37_", Text{name}, "=", decimal(c37_code))) return {};
      if (c73_code >= 0 && !lines.line("phy_an_c73_", Text{name}, "=", decimal(c73_code))) return {};
    }
  }
  return lines.host();
}

py::object prim_offsets_text(py::handle self) {
  return first_sub_value(self, names.prim_offset, kPrimOffsetKey, KeyName::kConfigName);
}

py::object phy_id1s_text(py::handle self) {
  return first_sub_value(self, names.phy_id1, kPhyId1Key, KeyName::kLogicalPort);
}

py::object sys_interfaces_text(py::handle self) {
  return first_sub_value(self, names.sys_interface, kSysInterfaceKey, KeyName::kConfigNameOfUnit);
}

py::object phys_text(py::handle self) {
  SW_LET(units, unit_count(self));
  return each_logical_port(self, [&](py::handle port, py::handle sub, TextLines& lines) -> int {
    py::object model = common::call_method(port, names.phy_type, sub);
    if (!model) return -1;
    if (model.is_none()) return 0;
    py::object detected = common::call_method(port, names.phy_autodetect, sub);
    if (!detected) return -1;
    int skip = common::truth(detected);
    if (skip != 0) return skip < 0 ? -1 : 0;
    py::object name = common::call_method(port, names.sdk_config_intf, sub, units);
    if (!name) return -1;
    return written(lines.line("phy_", Text{model}, "_", Text{name}, "=1"));
  });
}

py::object phy_addrs_text(py::handle self) {
  SW_LET(units, unit_count(self));
  return each_logical_port(self, [&](py::handle port, py::handle sub, TextLines& lines) -> int {
    py::object model = common::call_method(port, names.phy_type, sub);
    if (!model) return -1;
    if (model.is_none()) return 0;
    py::object name = common::call_method(port, names.sdk_config_intf, sub, units);
    if (!name) return -1;
    py::object address = common::call_method(port, names.phy_addr, sub);
    if (!address) return -1;
    return written(lines.line("port_phy_addr_", Text{name}, "=0x", hex(address)));
  });
}

py::object phytab_text(py::handle self) {
  SW_CHECK(refuse_shared_kernel_name(self));
  SW_LET(ports, ports_of(self));
  std::vector<PhyTablePort> records;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    PhyTablePort record;
    SW_LET(num_phys, common::get(port, names.num_phys));
    const long phys = PyLong_AsLong(num_phys.ptr());
    if (phys == -1 && PyErr_Occurred()) return {};
    SW_LET(mode, common::get(port, names.mode));
    if (!text_form(mode, record.mode)) return {};
    for (long phy = 0; phy < phys; ++phy) {
      SW_LET(index, common::integer(phy));
      SW_LET(address, common::call_method(port, names.phy_addr, index));
      HostNumber number;
      if (!host_number(address, 'x', number)) return {};
      record.phy_addrs.push_back(number);
      long count = 0;
      if (!logical_port_count(port, count)) return {};
      if (count <= phy) continue;
      SW_LET(sdk_name, common::call_method(port, names.sdk_intf, index));
      SW_LET(linux_name, common::call_method(port, names.linux_port_name, index));
      record.sdk_intfs.emplace_back();
      record.linux_port_names.emplace_back();
      if (!text_form(sdk_name, record.sdk_intfs.back()) ||
          !text_form(linux_name, record.linux_port_names.back())) {
        return {};
      }
    }
    records.push_back(std::move(record));
  }
  return rendered([&] { return join_lines(phy_table_rows(records)); });
}

py::object rcphy_text(py::handle self) {
  return each_port(self, [&](py::handle port, TextLines& lines) -> int {
    py::object num_phys = common::get(port, names.num_phys);
    if (!num_phys) return -1;
    const long phys = PyLong_AsLong(num_phys.ptr());
    if (phys == -1 && PyErr_Occurred()) return -1;
    for (long phy = 0; phy < phys; ++phy) {
      long count = 0;
      if (!logical_port_count(port, count)) return -1;
      if (count <= phy) continue;
      py::object index = common::integer(phy);
      py::object address = index ? common::call_method(port, names.phy_addr, index) : py::object();
      py::object table = address ? common::get(port, names.phy_init) : py::object();
      py::object keys = table ? common::steal(PySequence_List(table.ptr())) : py::object();
      if (!keys) return -1;
      for (Py_ssize_t k = 0; k < PyList_GET_SIZE(keys.ptr()); ++k) {
        py::handle key = PyList_GET_ITEM(keys.ptr(), k);
        py::object value = common::item(table, key);
        if (!value ||
            !lines.line("phy raw c45 ", Text{address}, " ", Text{key}, " ", Text{value})) {
          return -1;
        }
      }
    }
    return 0;
  });
}

}  // namespace bringup
