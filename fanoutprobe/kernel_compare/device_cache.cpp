// The kernel device cache: each device's kind and VLAN filtering, learnt
// once per Asic; and a bond's slaves, read again at every call.
#include "common/host_calls.hpp"
#include "fanoutprobe/asic_tables/own_records.hpp"
#include "fanoutprobe/asic_tables/asic_operations.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/record_helpers.hpp"
#include "fanoutprobe/core/kernel_outputs.hpp"
#include "fanoutprobe/core/text_scan.hpp"
#include "fanoutprobe/kernel_compare/kernel_access.hpp"
#include "fanoutprobe/kernel_compare/kernel_helpers.hpp"

namespace fanoutprobe {

py::object kern_dev_kind_parse(py::handle self, py::handle dev) {
  FANOUTPROBE_WORD(swp, "swp");
  FANOUTPROBE_WORD(unknown, "unk");
  static const py::object& ip = lasting(py::str("/bin/ip"));
  static const py::object& detailed = lasting(py::str("-d"));
  static const py::object& link = lasting(py::str("link"));
  static const py::object& show = lasting(py::str("show"));
  static const py::object& nothing = lasting(py::str(""));
  SW_LET(linux_ports, common::get(self, names.linux_ports));
  SW_LET(is_port, common::contains(linux_ports, dev));
  if (is_port) return swp;
  SW_LET(named, device_name_ok(dev));
  if (!named) return unknown;
  SW_LET(command, common::steal(PyList_New(5)));
  const py::handle words[5] = {ip, detailed, link, show, dev};
  for (int i = 0; i < 5; ++i) PyList_SET_ITEM(command.ptr(), i, words[i].inc_ref().ptr());
  SW_LET(output, common::call_method(self, names._get_cmd_output, command, nothing));
  TextView view;
  if (!view_text(output, "command output", view)) return {};
  std::optional<std::string_view> kind = link_kind(view.text);
  if (!kind) return unknown;
  return host_text(*kind);
}

py::object kern_dev_vlan_filtering_parse(py::handle /*self*/, py::handle dev) {
  static const py::object& zero = lasting(py::int_(0));
  SW_LET(named, device_name_ok(dev));
  if (!named) return zero;
  SW_LET(path, device_path(dev, "/bridge/vlan_filtering"));
  SW_LET(content, read_kernel_text(path));
  if (content.is_none()) return zero;
  TextView view;
  if (!view_text(content, "file content", view)) return {};
  py::object value = zero;
  for (std::string_view line : split_lines(view.text)) {
    // int(line.strip(), 0): the base is the text's own (0x, 0o, 0b or decimal).
    SW_LET(text, host_text(strip(line)));
    SW_LET(number, common::steal(PyLong_FromUnicodeObject(text.ptr(), 0)));
    value = number;
  }
  return value;
}

py::object kern_dev_cache_get(py::handle self, py::handle dev) {
  SW_LET(cache, common::get(self, names.kern_dev_cache));
  py::object entry;
  SW_LET(cached, lookup(cache, dev, entry));
  if (cached) return entry;
  SW_LET(kind, common::call_method(self, names._kern_dev_kind_parse, dev));
  SW_LET(vlan_filtering, common::call_method(self, names._kern_dev_vlan_filtering_parse, dev));
  SW_LET(entry_class, common::get(module_handle(), names.KernDevEntry));
  SW_LET(made, make_record(Record::kKernDevEntry, entry_class, dev, kind, vlan_filtering));
  if (PyObject_SetItem(cache.ptr(), dev.ptr(), made.ptr()) < 0) return {};
  return common::item(cache, dev);
}

py::object kern_dev_vlan_filtering_get(py::handle self, py::handle dev) {
  SW_LET(entry, common::call_method(self, names._kern_dev_cache_get, dev));
  return common::get(entry, names.vlan_filtering);
}

py::object kern_dev_kind_get(py::handle self, py::handle dev) {
  SW_LET(entry, common::call_method(self, names._kern_dev_cache_get, dev));
  return common::get(entry, names.kind);
}

py::object expand_kern_bond(py::handle /*self*/, py::handle dev) {
  SW_LET(slaves, new_list());
  SW_LET(named, device_name_ok(dev));
  if (!named) return slaves;
  SW_LET(directory, device_path(dev, "/bonding/"));
  SW_LET(content, read_kernel_text_in(directory, "slaves"));
  if (content.is_none()) return slaves;
  TextView view;
  if (!view_text(content, "file content", view)) return {};
  for (std::string_view word : bond_slaves(view.text)) {
    SW_LET(name, host_text(word));
    if (PyList_Append(slaves.ptr(), name.ptr()) < 0) return {};
  }
  return slaves;
}

}  // namespace fanoutprobe
