// Config's port layout side: construction (runners, MAC range, base MAC
// address), reading, completing and writing ports.conf, the chip texts.
#include <optional>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bringup/binding.hpp"
#include "bringup/config/config_ops.hpp"
#include "bringup/core/file_replace.hpp"
#include "bringup/core/mac_address.hpp"
#include "bringup/core/ports_conf.hpp"
#include "common/process_errors.hpp"
#include "common/process_runner.hpp"
#include "common/port_search.hpp"
#include "common/unlocked_wait.hpp"

namespace bringup {

namespace {

// The host's text as UTF-8 (surrogates kept as file bytes would be).
bool text_bytes(py::handle text, std::string& out) {
  py::object bytes = common::steal(PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape"));
  if (!bytes) return false;
  out.assign(PyBytes_AS_STRING(bytes.ptr()), PyBytes_GET_SIZE(bytes.ptr()));
  return true;
}

py::object text_of_bytes(const std::string& bytes) {
  return common::steal(PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()),
                                            "surrogateescape"));
}

// A path argument as the bytes the system sees.
bool path_bytes(py::handle path, std::string& out) {
  PyObject* converted = nullptr;
  if (!PyUnicode_FSConverter(path.ptr(), &converted)) return false;
  out.assign(PyBytes_AS_STRING(converted), PyBytes_GET_SIZE(converted));
  Py_DECREF(converted);
  return true;
}

// The failure's OSError, its text also naming the temporary file that
// stayed and why (unless the failure is the removal itself).
py::object fail_temporary_left(const TemporaryLeftError& error) {
  SW_LET(temporary, common::host_file_name(error.temporary()));
  SW_LET(reason, common::os_error_reason(error.error_number()));
  if (!error.removal_error()) {
    SW_LET(text, common::percent_text("%s; temporary file %r could not be removed", reason,
                                      temporary));
    return common::fail_os(error, text);
  }
  SW_LET(removal, common::os_error_reason(error.removal_error()));
  SW_LET(text, common::percent_text("%s; temporary file %r could not be removed: %s", reason,
                                    temporary, removal));
  return common::fail_os(error, text);
}

// The failure's OSError, its text also saying how the file stands.
py::object fail_replace(const ReplaceError& error) {
  SW_LET(reason, common::os_error_reason(error.error_number()));
  SW_LET(note, common::steal(PyUnicode_FromString(error.note().c_str())));
  SW_LET(text, common::percent_text("%s; %s", reason, note));
  return common::fail_os(error, text);
}

// The base MAC address text as a list of six ints.
py::object base_mac_of(py::handle text) {
  std::string bytes;
  std::optional<MacAddress> address;
  if (PyUnicode_Check(text.ptr()) && text_bytes(text, bytes)) address = parse_base_mac(bytes);
  if (PyErr_Occurred()) return {};
  if (!address) {
    return common::fail_percent(PyExc_ValueError,
                                "base MAC address is not six hexadecimal bytes: %r", text);
  }
  SW_LET(list, common::steal(PyList_New(0)));
  for (std::int64_t byte : *address) {
    SW_LET(value, common::integer(static_cast<long>(byte)));
    SW_CHECK(PyList_Append(list.ptr(), value.ptr()));
  }
  return list;
}

// The chip data names and the attributes they load, in the order tested.
struct ChipText {
  const char* file;
  PyObject* Names::*attribute;
};
constexpr std::array<ChipText, 6> kChipTexts = {{{"hw_desc", &Names::hw_desc},
                                                 {"rc.forwarding", &Names::rc_forwarding},
                                                 {"datapath.conf", &Names::datapath_conf},
                                                 {"sdk.bcm", &Names::sdk_bcm},
                                                 {"uft.json", &Names::uft},
                                                 {"riot.json", &Names::riot}}};

py::object chip_of(py::handle self) {
  SW_LET(platform, common::get(self, names.platform));
  SW_LET(platform_switch, common::get(platform, names.switch_));
  return common::get(platform_switch, names.chip);
}

// "File contains parsing errors:" and one "[line N]: 'text'" per bad line.
// The pieces are joined once, so the message costs time linear in its size.
py::object fail_parse(const std::vector<LayoutLine>& bad_lines) {
  static const py::handle heading = common::forever(py::str("ports.conf contains parsing errors:"));
  static const py::handle entry_format = common::forever(py::str("\n\t[line %2d]: %r"));
  static const py::handle nothing = common::forever(py::str(""));
  SW_LET(pieces, common::steal(PyList_New(0)));
  SW_CHECK(PyList_Append(pieces.ptr(), heading.ptr()));
  for (const LayoutLine& line : bad_lines) {
    SW_LET(number, common::integer(line.number));
    SW_LET(text, text_of_bytes(line.text));
    SW_LET(entry, common::percent_text(entry_format, number, text));
    SW_CHECK(PyList_Append(pieces.ptr(), entry.ptr()));
  }
  SW_LET(message, common::steal(PyUnicode_Join(nothing.ptr(), pieces.ptr())));
  return common::fail_object(PyExc_ValueError, message);
}

}  // namespace

py::object config_init(py::handle self, py::handle platform, py::handle verbose,
                       py::handle exploded, py::handle dummy) {
  static const py::handle standard = common::forever(py::str("standard"));
  static PyObject* const board_keywords = [] {
    PyObject* keywords = PyTuple_Pack(2, names.dummy, names.sw_base);
    if (!keywords) throw py::error_already_set();
    return keywords;
  }();
  static PyObject* const dummy_keyword = [] {
    PyObject* keywords = PyTuple_Pack(1, names.dummy);
    if (!keywords) throw py::error_already_set();
    return keywords;
  }();
  SW_CHECK(common::set(self, names.platform, platform));
  SW_CHECK(common::set(self, names.verbose, verbose));
  SW_CHECK(common::set(self, names.exploded, exploded));
  SW_CHECK(common::set(self, names.dummy, dummy));
  SW_LET(chip, chip_of(self));
  SW_LET(sw_base, common::get(chip, names.sw_base));
  SW_LET(boardinfo_class, global(names.Boardinfo));
  SW_LET(eeprom, common::call_with_keywords(boardinfo_class, {dummy, sw_base}, board_keywords));
  SW_CHECK(common::set(self, names.eeprom, eeprom));
  SW_LET(iproute2_class, global(names.IPRoute2));
  SW_LET(iproute2, common::call_with_keywords(iproute2_class, {dummy}, dummy_keyword));
  SW_CHECK(common::set(self, names.iproute2, iproute2));
  SW_LET(ifmaker_class, global(names.Ifmaker));
  SW_LET(ifmaker, common::call_with_keywords(ifmaker_class, {dummy}, dummy_keyword));
  SW_CHECK(common::set(self, names.ifmaker, ifmaker));
  SW_LET(ports, common::steal(PyList_New(0)));
  SW_CHECK(common::set(self, names.ports, ports));
  SW_LET(empty_base, common::steal(PyList_New(0)));
  SW_CHECK(common::set(self, names.macbase, empty_base));
  // The range is asked first: a failing range query stops construction
  // before the address query runs.
  SW_LET(macrange, common::get(eeprom, names.macrange));
  SW_CHECK(common::set(self, names.macrange, macrange));
  SW_LET(macaddr, common::get(eeprom, names.macaddr));
  SW_LET(macbase, base_mac_of(macaddr));
  SW_CHECK(common::set(self, names.macbase, macbase));
  SW_CHECK(common::set(self, names.macmode, standard));
  return common::none();
}

py::object config(py::handle self, py::handle config_text) {
  std::string text;
  if (!PyUnicode_Check(config_text.ptr())) {
    return common::fail_percent(PyExc_TypeError, "config() needs the layout text, not %r",
                                config_text);
  }
  if (!text_bytes(config_text, text)) return {};
  ParsedLayout layout = parse_ports_conf(text);
  if (!layout.bad_lines.empty()) return fail_parse(layout.bad_lines);
  SW_LET(parsed, common::steal(PyDict_New()));
  for (const auto& [label_bytes, mode_bytes] : layout.entries) {
    SW_LET(label, text_of_bytes(label_bytes));
    SW_LET(mode, text_of_bytes(mode_bytes));
    SW_CHECK(PyDict_SetItem(parsed.ptr(), label.ptr(), mode.ptr()));
  }
  // Completed before it replaces the old map, so a failure leaves that.
  SW_LET(completed, common::call_method(self, names._complete_modes, parsed));
  SW_CHECK(common::set(self, names.config_map, completed));
  return common::none();
}

py::object complete_modes(py::handle self, py::handle config_map) {
  SW_LET(labels, common::steal(PySequence_List(config_map.ptr())));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(labels.ptr()); ++i) {
    py::handle label = PyList_GET_ITEM(labels.ptr(), i);
    SW_LET(hwport, common::call_method(self, names.find_hw_port, label));
    if (hwport.is_none()) continue;
    SW_LET(mode, common::item(config_map, label));
    SW_LET(completed, common::call_method(hwport, names.complete_mode, hwport, mode));
    SW_CHECK(PyObject_SetItem(config_map.ptr(), label.ptr(), completed.ptr()));
  }
  return common::borrow(config_map.ptr());
}

py::object find_hw_port(py::handle self, py::handle label) {
  SW_LET(platform, common::get(self, names.platform));
  SW_LET(platform_switch, common::get(platform, names.switch_));
  SW_LET(ports, common::get(platform_switch, names.ports));
  return common::front_panel_port(ports, label, names.label, names.is_fabric);
}

py::object read_config(py::handle self, py::handle configfile) {
  for (const ChipText& chip_text : kChipTexts) {
    SW_LET(name, common::steal(PyUnicode_FromString(chip_text.file)));
    SW_LET(same, common::equal(configfile, name));
    if (!same) continue;
    SW_LET(chip, chip_of(self));
    SW_LET(text, common::call_method(chip, names.get_config, configfile));
    SW_CHECK(common::set(self, names.*chip_text.attribute, text));
    return common::none();
  }
  static PyObject* const debug_keyword = [] {
    PyObject* keywords = PyTuple_Pack(1, names.debug);
    if (!keywords) throw py::error_already_set();
    return keywords;
  }();
  SW_LET(tervane, global(names.tervane));
  SW_LET(conformer_module, common::get(tervane, names.conformer));
  SW_LET(conformer_class, common::get(conformer_module, names.Conformer));
  SW_LET(validator, common::call_with_keywords(conformer_class,
                                               {configfile, py::handle(Py_False)}, debug_keyword));
  SW_LET(errors, common::call_method(validator, names.conformer));
  SW_LET(count, PyObject_Size(errors.ptr()));
  if (count > 0) {
    SW_CHECK(common::call_method(validator, names.portwriteerrors, errors));
    SW_LET(sys, global(names.sys));
    SW_LET(status, common::integer(-1));
    SW_CHECK(common::call_method(sys, names.exit, status));
    return common::fail_object(PyExc_SystemExit, status);  // a sys.exit that returned
  }
  std::string path;
  if (!path_bytes(configfile, path)) return {};
  std::string content;
  try {
    content = common::read_file(path);
  } catch (const common::OsError& error) {
    return common::fail_os(error);
  }
  SW_LET(text, text_of_bytes(content));
  return common::call_method(self, names.config, text);
}

py::object init_config(py::handle self) {
  static const py::handle directory = common::forever(py::str("/etc/bcm.d"));
  static const py::handle rc_soc = common::forever(py::str("rc.soc"));
  static const py::handle fabric_prefix = common::forever(py::str("Fabric-"));
  SW_LET(os, global(names.os));
  SW_LET(os_path, common::get(os, names.path));
  SW_LET(exists, common::call_method(os_path, names.isdir, directory));
  SW_LET(is_directory, common::truth(exists));
  if (!is_directory) SW_CHECK(common::call_method(os, names.mkdir, directory));
  SW_LET(chip, chip_of(self));
  SW_LET(data_path, common::get(chip, names.bcm_config_path));
  SW_LET(source, common::steal(PyNumber_Add(data_path.ptr(), rc_soc.ptr())));
  SW_LET(shutil, global(names.shutil));
  SW_CHECK(common::call_method(shutil, names.copy, source, directory));
  SW_LET(config_map, common::steal(PyDict_New()));
  SW_LET(platform, common::get(self, names.platform));
  SW_LET(platform_switch, common::get(platform, names.switch_));
  SW_LET(ports, common::get(platform_switch, names.ports));
  SW_LET(iterator, common::steal(PyObject_GetIter(ports.ptr())));
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object port = common::steal(raw);
    SW_LET(label, common::get(port, names.label));
    SW_LET(fabric, common::get(port, names.is_fabric));
    SW_LET(is_fabric, common::truth(fabric));
    py::object key = label;
    if (is_fabric) SW_CHECK(key = common::steal(PyNumber_Add(fabric_prefix.ptr(), label.ptr())));
    SW_LET(mode, common::get(port, names.default_mode));
    SW_CHECK(PyDict_SetItem(config_map.ptr(), key.ptr(), mode.ptr()));
  }
  if (PyErr_Occurred()) return {};
  SW_CHECK(common::set(self, names.config_map, config_map));
  return common::none();
}

py::object write_config(py::handle self, py::handle configfile) {
  static const py::handle fabric_prefix = common::forever(py::str("Fabric-"));
  static const py::handle entry_format = common::forever(py::str("%s=%s\n"));
  std::string path;
  if (!path_bytes(configfile, path)) return {};
  SW_LET(config_map, common::get(self, names.config_map));
  SW_LET(labels, common::steal(PySequence_List(config_map.ptr())));
  // Every label is checked before anything is written. Labels are ordered
  // by the int they spell, of any size; the position keeps the sort stable
  // without comparing labels.
  SW_LET(ordered, common::steal(PyList_New(0)));
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(labels.ptr()); ++i) {
    py::handle label = PyList_GET_ITEM(labels.ptr(), i);
    SW_LET(fabric, common::call_method(label, names.startswith, fabric_prefix));
    SW_LET(is_fabric, common::truth(fabric));
    if (is_fabric) continue;
    SW_LET(number, to_int(label));
    SW_LET(position, common::integer(i));
    SW_LET(key, common::steal(PyTuple_Pack(3, number.ptr(), position.ptr(), label.ptr())));
    SW_CHECK(PyList_Append(ordered.ptr(), key.ptr()));
  }
  SW_CHECK(PyList_Sort(ordered.ptr()));
  std::string content = "# XXX - default config file (needs documentation comments)\n";
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ordered.ptr()); ++i) {
    py::handle label = PyTuple_GET_ITEM(PyList_GET_ITEM(ordered.ptr(), i), 2);
    SW_LET(mode, common::item(config_map, label));
    SW_LET(line, common::percent_text(entry_format, label, mode));
    std::string bytes;
    if (!text_bytes(line, bytes)) return {};
    content += bytes;
  }
  try {
    // Without the host's lock, as the host writes files; a signal while
    // waiting for another writer's lock runs the handlers, and one that
    // raises ends the write.
    common::UnlockedWait wait;
    replace_file(path, content, [&wait] { return wait.run_handlers(); });
  } catch (const common::Interrupted&) {
    return {};  // the handler's exception is set
  } catch (const TemporaryLeftError& error) {
    return fail_temporary_left(error);
  } catch (const ReplaceError& error) {
    return fail_replace(error);
  } catch (const common::OsError& error) {
    return common::fail_os(error);
  }
  return common::none();
}

}  // namespace bringup
