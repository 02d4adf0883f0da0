// The IPv4 multicast routes, from the "ipmc table show" listing or from
// the "dump chg l3_entry_ipv4_multicast" memory dump, stored in `mroutes`
// under the route key "<vrf>, (<source>, <group>)".
#include <string>
#include <string_view>

#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "fanoutprobe/asic_tables/shell_access.hpp"
#include "fanoutprobe/core/route_tables.hpp"
#include "fanoutprobe/core/text_scan.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

// "%s, (%s, %s)" of the VRF name, source and group. `%s` of a plain str
// is the text itself, so for plain texts the key is joined directly.
py::object route_key(py::handle vrf_name, py::handle source, py::handle group) {
  static const py::handle key_format = common::forever(py::str("%s, (%s, %s)"));
  const py::handle parts[3] = {vrf_name, source, group};
  std::string_view texts[3];
  for (int i = 0; i < 3; ++i) {
    Py_ssize_t size = 0;
    const char* data =
        PyUnicode_CheckExact(parts[i].ptr()) ? PyUnicode_AsUTF8AndSize(parts[i].ptr(), &size) : nullptr;
    if (!data) {
      PyErr_Clear();  // not plain, or lone surrogates: the host's % decides
      return common::percent_text(key_format, vrf_name, source, group);
    }
    texts[i] = std::string_view(data, static_cast<std::size_t>(size));
  }
  thread_local std::string key;
  key.assign(texts[0]).append(", (").append(texts[1]).append(", ").append(texts[2]).append(")");
  return common::steal(PyUnicode_DecodeUTF8(key.data(), static_cast<Py_ssize_t>(key.size()), nullptr));
}

// Builds the route and stores it under its key in `mroutes`; a later route
// with the same key replaces the earlier one.
py::object store_route(py::handle mroutes, py::handle route_class, py::handle source,
                       py::handle group, py::handle iif, py::handle group_index,
                       py::handle vrf_name) {
  SW_LET(route, make_record(Record::kHmroute, route_class, source, group, iif, group_index, vrf_name));
  SW_LET(key, route_key(vrf_name, source, group));
  if (PyObject_SetItem(mroutes.ptr(), key.ptr(), route.ptr()) < 0) return {};
  return common::none();
}

py::object number(std::string_view text, Number (*read)(std::string_view)) {
  Number parsed = read(text);
  if (parsed.failure) return fail_with(parsed.failure);
  return host_int(parsed.value);
}

// fields.get(name, fallback), or fields[name] when there is no fallback.
py::object field(py::handle fields, PyObject* name, py::handle fallback) {
  if (!fallback) return common::item(fields, name);
  return common::call_method(fields, names.get, name, fallback);
}

// "0x" anywhere selects hexadecimal.
py::object hex_or_decimal_of(py::handle value) {
  if (!PyUnicode_Check(value.ptr())) return int_of_text(value, 10);
  TextView view;
  if (!view_text(value, "field value", view)) return {};
  return number(view.text, &hex_or_decimal);
}

py::object dotted_of(py::handle value) {
  int overflow = 0;
  long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (number == -1 && PyErr_Occurred()) return {};
  Failure fault;
  std::string text = overflow ? std::string() : dotted_quad(number, fault);
  if (overflow) fault = failure(FailureKind::kValue, "IPv4 address value out of range");
  if (fault) return fail_with(fault);
  return host_text(text);
}

py::object dump_entry_route(py::handle self, py::handle route_class, py::handle fields) {
  static const py::handle zero = common::forever(py::str("0"));
  SW_LET(valid_0_text, field(fields, names.VALID_0, zero));
  SW_LET(valid_0, int_of_text(valid_0_text, 10));
  SW_LET(valid_1_text, field(fields, names.VALID_1, zero));
  SW_LET(valid_1, int_of_text(valid_1_text, 10));
  SW_LET(half_0, common::truth(valid_0));
  SW_LET(half_1, common::truth(valid_1));
  if (!half_0 && !half_1) return common::none();
  SW_LET(source_text, field(fields, names.SOURCE_IP_ADDR, zero));
  SW_LET(source_value, int_of_text(source_text, 16));
  SW_LET(source, dotted_of(source_value));
  SW_LET(group_text, field(fields, names.GROUP_IP_ADDR, py::handle()));
  SW_LET(group_value, int_of_text(group_text, 16));
  SW_LET(group, dotted_of(group_value));
  SW_LET(vrf_text, field(fields, names.VRF_ID, zero));
  SW_LET(vrf_id, hex_or_decimal_of(vrf_text));
  SW_LET(vrf_db, common::get(self, names.vrf_db));
  SW_LET(vrf_name, common::call_method(vrf_db, names.vrf_id2name, vrf_id));
  SW_LET(iif_text, field(fields, names.EXPECTED_L3_IIF, zero));
  SW_LET(iif, hex_or_decimal_of(iif_text));
  SW_LET(index_text, field(fields, names.L3MC_INDEX, zero));
  SW_LET(group_index, int_of_text(index_text, 16));
  SW_LET(mroutes, common::get(self, names.mroutes));
  return store_route(mroutes, route_class, source, group, iif, group_index, vrf_name);
}

}  // namespace

py::object parse_ipmc_table(py::handle self) {
  FANOUTPROBE_TEXT(command, "ipmc table show");
  FANOUTPROBE_TEXT(timed_out, "ipmc table show timed out");
  SW_LET(output, run_shell(self, command, timed_out));
  TextView view;
  if (!view_text(output, "shell output", view)) return {};
  IpmcRead read = read_ipmc_table(view.text);
  // Read once for the whole listing: nothing the rows call changes them.
  SW_LET(route_class, common::get(module_handle(), names.Hmroute));
  SW_LET(vrf_db, common::get(self, names.vrf_db));
  SW_LET(mroutes, common::get(self, names.mroutes));
  for (const IpmcRow& row : read.rows) {
    SW_LET(source, host_text(row.source));
    SW_LET(group, host_text(row.group));
    SW_LET(iif, number(row.vlan, &decimal));
    SW_LET(vrf_id, number(row.vrf, &decimal));
    SW_LET(vrf_name, common::call_method(vrf_db, names.vrf_id2name, vrf_id));
    SW_LET(group_index, number(row.group_index, &hexadecimal));
    SW_CHECK(store_route(mroutes, route_class, source, group, iif, group_index, vrf_name));
  }
  if (read.failure) return fail_with(read.failure);
  return common::none();
}

py::object field_dict_build(py::handle, py::handle entry) {
  TextView view;
  if (!view_text(entry, "entry", view)) return {};
  DumpEntry read = read_dump_entry(view.text);
  SW_LET(fields, common::steal(PyDict_New()));
  if (!read.is_entry) return common::steal(PyTuple_Pack(2, Py_None, fields.ptr()));
  for (const auto& [name, value] : read.fields) {
    SW_LET(name_text, host_text(name));
    SW_LET(value_text, host_text(value));
    if (PyDict_SetItem(fields.ptr(), name_text.ptr(), value_text.ptr()) < 0) return {};
  }
  SW_LET(index, host_text(read.index));
  return common::steal(PyTuple_Pack(2, index.ptr(), fields.ptr()));
}

py::object parse_l3_entry_ipmc_table(py::handle self) {
  FANOUTPROBE_TEXT(command, "dump chg l3_entry_ipv4_multicast");
  SW_LET(output, run_shell(self, command, command));
  TextView view;
  if (!view_text(output, "shell output", view)) return {};
  SW_LET(route_class, common::get(module_handle(), names.Hmroute));
  for (std::string_view line : split_lines(view.text)) {
    SW_LET(line_text, host_text(line));
    SW_LET(parsed, common::call_method(self, names._field_dict_build, line_text));
    SW_LET(index, common::item_at(parsed, 0));
    if (index.is_none()) continue;
    SW_LET(fields, common::item_at(parsed, 1));
    SW_CHECK(dump_entry_route(self, route_class, fields));
  }
  return common::none();
}

}  // namespace fanoutprobe
