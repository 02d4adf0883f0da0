// `output(name)`: the text of every generated file by name; the per-unit
// port scripts, the LED script and the LED program texts.
#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

namespace {

// Appends `self.<name>` to the element list.
int append_attribute(py::handle self, py::handle elements, PyObject* name) {
  py::object text = common::get(self, name);
  if (!text) return -1;
  return PyList_Append(elements.ptr(), text.ptr());
}

int append_literal(py::handle elements, const char* text) {
  py::object value = common::steal(PyUnicode_FromString(text));
  if (!value) return -1;
  return PyList_Append(elements.ptr(), value.ptr());
}

// The layout's refusals that name a cause come first (a port past its
// bounds, then, as the port map is written, a broken gang, a flip without
// a polarity rule or a lane count); the check of the result itself comes
// last, as the net for what only it sees, before the text is returned.
py::object config_body(py::handle self) {
  std::vector<py::object> counted;
  SW_CHECK(refuse_port_past_bounds(self, counted));
  SW_LET(elements, common::steal(PyList_New(0)));
  SW_LET(chip, chip_of_config(self));
  SW_CHECK(append_literal(elements, "\n# pbmp"));
  SW_CHECK(append_attribute(self, elements, names.sdk_pbmp));
  SW_LET(dport_capable, common::get(chip, names.dport_capable));
  if (is_true(dport_capable)) {
    SW_CHECK(append_literal(elements, "\n# dport map"));
    SW_CHECK(append_attribute(self, elements, names.dportmap));
  }
  SW_LET(portmap_capable, common::get(chip, names.portmap_capable));
  if (is_true(portmap_capable)) {
    SW_CHECK(append_literal(elements, "\n# portmap"));
    SW_CHECK(append_attribute(self, elements, names.portmap));
  } else {
    SW_CHECK(append_literal(elements, "\n# non portmap capable config"));
    SW_CHECK(append_attribute(self, elements, names.portmap_uncapable_config));
  }
  struct Section {
    const char* header;
    PyObject* Names::*attribute;
  };
  static const Section kSections[] = {{"\n# emphasis", &Names::port_emphasis},
                                      {"\n# port initializations", &Names::port_init},
                                      {"\n# phys", &Names::phys},
                                      {"\n# addrs", &Names::phy_addrs},
                                      {"\n# autoneg", &Names::phy_an},
                                      {"\n# prime_offsets", &Names::prim_offsets},
                                      {"\n# phy_id1s", &Names::phy_id1s},
                                      {"\n# sys_interfaces", &Names::sys_interfaces}};
  for (const Section& section : kSections) {
    SW_CHECK(append_literal(elements, section.header));
    SW_CHECK(append_attribute(self, elements, names.*section.attribute));
  }
  SW_LET(fiber, common::get(self, names.fiber_pref));
  SW_LET(has_fiber, common::truth(fiber));
  if (has_fiber) {
    SW_CHECK(append_literal(elements, "\n# fiber pref"));
    SW_CHECK(PyList_Append(elements.ptr(), fiber.ptr()));
  }
  SW_CHECK(refuse_shared_result(self, counted, Wiring::kByLane));
  return joined(elements);
}

// "# use <method> method for ucode download\nphy_ext_rom_boot=<value>".
py::object ucode_text(py::handle self) {
  SW_LET(exploded, common::get(self, names.exploded));
  SW_LET(is_exploded, common::truth(exploded));
  SW_LET(platform_switch, switch_of(self));
  SW_LET(flag, common::get(platform_switch, is_exploded ? names.has_phy_ucode_mdio
                                                        : names.has_phy_ucode_spi_rom));
  SW_LET(set, common::truth(flag));
  // Exploded mode prefers MDIO; otherwise the SPI-ROM when the board has one.
  const bool spi_rom = is_exploded ? !set : set;
  // A board with neither method gets MDIO: a ROM boot value would point the
  // PHYs at a ROM that is not there.
  if (spi_rom && is_exploded) {
    SW_LET(rom, common::get(platform_switch, names.has_phy_ucode_spi_rom));
    SW_LET(has_rom, common::truth(rom));
    if (!has_rom) return host_text("# use MDIO method for ucode download\nphy_ext_rom_boot=0");
  }
  return host_text(spi_rom ? "# use SPI-ROM method for ucode download\nphy_ext_rom_boot=3000"
                           : "# use MDIO method for ucode download\nphy_ext_rom_boot=0");
}

// A header line then the chip's text; None when the chip has no such file.
py::object chip_text(py::handle self, PyObject* name, const char* header) {
  SW_LET(text, common::get(self, name));
  if (text.is_none() || !header) return text;
  SW_LET(head, common::steal(PyUnicode_FromString(header)));
  return common::steal(PyUnicode_Concat(head.ptr(), text.ptr()));
}

py::object headed(py::handle self, const char* header, PyObject* name) {
  SW_LET(body, common::get(self, name));
  SW_LET(head, common::steal(PyUnicode_FromString(header)));
  return common::steal(PyUnicode_Concat(head.ptr(), body.ptr()));
}

}  // namespace

py::object output(py::handle self, py::handle configfile) {
  static const py::handle rcports_prefix = common::forever(py::str("rcports_"));
  static const py::handle underscore = common::forever(py::str("_"));
  auto is = [&](const char* name) {
    return PyUnicode_Check(configfile.ptr()) &&
           PyUnicode_CompareWithASCIIString(configfile.ptr(), name) == 0;
  };
  if (is("portsbcm")) return config_body(self);
  if (is("porttab")) {
    return headed(self, "# linux_intf\tsdk_intf\tunit\tis_fabric\tlogical_port\tis_loopback\n",
                  names.porttab);
  }
  if (is("linkdefaults")) return common::get(self, names.linkdefaults);
  if (is("phytab")) return headed(self, "# phy_addr\tlinux_intf\tsdk_intf\n", names.phytab);
  if (PyUnicode_Check(configfile.ptr())) {
    SW_LET(prefixed, common::call_method(configfile, names.startswith, rcports_prefix));
    if (prefixed.ptr() == Py_True) {
      SW_LET(parts, common::steal(PyUnicode_RSplit(configfile.ptr(), underscore.ptr(), 1)));
      SW_LET(unit, to_int(PyList_GET_ITEM(parts.ptr(), PyList_GET_SIZE(parts.ptr()) - 1)));
      return common::call_method(self, names.rcports, unit);
    }
  }
  if (is("rcled")) return common::get(self, names.rcled);
  if (is("rcphy")) return common::get(self, names.rcphy);
  if (is("ethertab")) return common::get(self, names.ethertab);
  if (is("ucodebcm")) return ucode_text(self);
  if (is("sfptab")) return headed(self, "# linux_intf\tmode\tsfp_addrtype\tsfp_addr\n", names.sfptab);
  if (is("hwdesc")) return chip_text(self, names.hw_desc, " # chip description file\n");
  if (is("uft")) return chip_text(self, names.uft, nullptr);
  if (is("riot")) return chip_text(self, names.riot, nullptr);
  if (is("datapath")) return chip_text(self, names.datapath_conf, " # chip datapath configuration file\n");
  if (is("sdk")) return chip_text(self, names.sdk_bcm, nullptr);
  if (is("rcforwarding")) {
    return chip_text(self, names.rc_forwarding, " # chip forwarding configuration file\n");
  }
  return common::fail_percent(PyExc_ValueError, "unknown generated file name: %r", configfile);
}

py::object rcports(py::handle self, py::handle unit) {
  SW_LET(ports, ports_of(self));
  std::vector<ScriptPort> script_ports;
  std::vector<py::object> port_names;  // sdk_intf(sub) of each logical port
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    SW_LET(port_unit, common::get(port, names.unit));
    SW_LET(same, common::equal(port_unit, unit));
    if (!same) continue;
    long count = 0;
    if (!logical_port_count(port, count)) return {};
    for (long sub = 0; sub < count; ++sub) {
      SW_LET(sub_number, common::integer(sub));
      ScriptPort entry;
      SW_LET(name, common::call_method(port, names.sdk_intf, sub_number));
      port_names.push_back(name);
      SW_LET(speed, common::get(port, names.speed));
      if (!text_form(speed, entry.speed)) return {};
      entry.speed_order = PyFloat_AsDouble(speed.ptr());
      if (entry.speed_order == -1.0 && PyErr_Occurred()) return {};
      SW_LET(loopback, common::get(port, names.loopback));
      SW_LET(is_loopback, common::truth(loopback));
      entry.loopback = is_loopback;
      SW_LET(group, common::get(port, names.sdk_group));
      if (!group.is_none()) {
        entry.sdk_group.emplace();
        if (!text_form(group, *entry.sdk_group)) return {};
      }
      script_ports.push_back(std::move(entry));
    }
  }
  // Each list is written as `self._compress_portlist(list)` makes it, so an
  // override is heard.
  auto compress = [&](const std::vector<std::size_t>& members) -> std::optional<std::string> {
    py::object list = common::steal(PyList_New(0));
    if (!list) return std::nullopt;
    for (std::size_t member : members) {
      if (PyList_Append(list.ptr(), port_names[member].ptr()) < 0) return std::nullopt;
    }
    py::object compressed = common::call_method(self, names._compress_portlist, list);
    std::string text;
    if (!compressed || !text_form(compressed, text)) return std::nullopt;
    return text;
  };
  std::optional<std::string> script = port_script(script_ports, compress);
  if (!script) return {};
  return host_text(*script);
}

py::object compress_portlist_of(py::handle, py::handle portlist) {
  SW_LET(listed, common::steal(PySequence_List(portlist.ptr())));
  std::vector<std::string> port_names;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(listed.ptr()); ++i) {
    port_names.emplace_back();
    if (!text_form(PyList_GET_ITEM(listed.ptr(), i), port_names.back())) return {};
  }
  return rendered([&] { return compress_portlist(port_names); });
}

py::object rcled_text(py::handle self) {
  SW_LET(programs, common::get(self, names._led_programs));
  SW_LET(indexes, common::steal(PySequence_List(programs.ptr())));
  SW_LET(elements, common::steal(PyList_New(0)));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(indexes.ptr()); ++i) {
    py::handle index = PyList_GET_ITEM(indexes.ptr(), i);
    SW_LET(block, common::percent_text(
                      "led %d stop\nled %d auto on\nled %d load /etc/bcm.d/led%d.hex\nled %d start\n",
                      index, index, index, index, index));
    SW_CHECK(PyList_Append(elements.ptr(), block.ptr()));
    SW_LET(controller, common::item(programs, index));
    SW_LET(commands, common::call_method(controller, names.led_memory_init_commands, index));
    SW_LET(iterator, common::steal(PyObject_GetIter(commands.ptr())));
    while (PyObject* line = PyIter_Next(iterator.ptr())) {
      py::object held = common::steal(line);
      SW_CHECK(PyList_Append(elements.ptr(), held.ptr()));
    }
    if (PyErr_Occurred()) return {};
  }
  return joined(elements);
}

namespace {

py::object program_texts(py::handle self, PyObject* text_name) {
  SW_LET(programs, common::get(self, names._led_programs));
  SW_LET(indexes, common::steal(PySequence_List(programs.ptr())));
  SW_LET(texts, common::steal(PyDict_New()));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(indexes.ptr()); ++i) {
    py::handle index = PyList_GET_ITEM(indexes.ptr(), i);
    SW_LET(controller, common::item(programs, index));
    SW_LET(text, common::get(controller, text_name));
    SW_CHECK(PyDict_SetItem(texts.ptr(), index.ptr(), text.ptr()));
  }
  return texts;
}

}  // namespace

py::object led_asm(py::handle self) { return program_texts(self, names.asm_); }

py::object led_hex(py::handle self) { return program_texts(self, names.hex); }

}  // namespace bringup
