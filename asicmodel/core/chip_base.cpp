// SDKChip and BCMChip: what a chip is, and where its data files are found.
#include "asicmodel/core/chip_base.hpp"

#include <dlfcn.h>

#include <string>

#include "asicmodel/core/registrations.hpp"
#include "asicmodel/core/names.hpp"
#include "common/host_calls.hpp"
#include "common/host_values.hpp"

namespace asicmodel {

namespace {

// The directory holding this library's shared object, found afresh on each
// use from the address of code inside it.
std::string library_directory() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&library_directory), &info) == 0 || !info.dli_fname) {
    return ".";
  }
  std::string path = info.dli_fname;
  auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

py::object sdk_chip_init(py::handle self, py::handle initial_path) {
  SW_LET(directories, common::steal(PyList_New(0)));
  SW_CHECK(PyList_Append(directories.ptr(), initial_path.ptr()));
  SW_CHECK(common::set(self, names.chip_dir_list, directories));
  return common::none();
}

py::object bcm_chip_init(py::handle self) {
  static const py::handle bcm_directory = common::forever(py::str("/bcm"));
  SW_LET(sdk_chip, common::get(this_module(), names.SDKChip));
  SW_LET(init, common::get(sdk_chip, names.dunder_init));
  SW_CHECK(common::call(init, self, bcm_directory));
  return common::none();
}

py::object is_acpi(py::handle) { return common::boolean(false); }

py::object chip_config_path(py::handle) {
  return common::steal(PyUnicode_FromString((library_directory() + "/__chip_config/").c_str()));
}

py::object bcm_config_path(py::handle) {
  return common::steal(PyUnicode_FromString((library_directory() + "/__bcm_config/").c_str()));
}

// Read whole, bytes decoded losslessly (UTF-8 with surrogateescape, no
// newline translation); the host's own errors for unreadable paths.
py::object read_text_file(py::handle path) {
  static const py::handle host_open = common::forever(common::builtin("open")), read_binary = common::forever(py::str("rb"));
  SW_LET(file, common::call(host_open, path, read_binary));
  py::object data = common::call_method(file, names.read);
  if (!data) {
    // The read's error is the one reported; closing must not replace it.
    PyObject *type, *value, *traceback;
    PyErr_Fetch(&type, &value, &traceback);
    py::object closed = common::call_method(file, names.close);
    if (!closed) PyErr_Clear();
    PyErr_Restore(type, value, traceback);
    return {};
  }
  SW_CHECK(common::call_method(file, names.close));
  static const py::handle utf8 = common::forever(py::str("utf-8")), lossless = common::forever(py::str("surrogateescape"));
  return common::call_method(data, names.decode, utf8, lossless);
}

// The first directory of the list, most specific first, that has the file
// wins; only names the chip lists are served.
py::object get_config(py::handle self, py::handle file_name) {
  static const py::handle slash = common::forever(py::str("/"));
  SW_LET(files, common::get(self, names.file_list));
  if (files.is_none()) return common::none();
  SW_LET(listed, common::contains(files, file_name));
  if (!listed) return common::none();
  SW_LET(base, common::get(self, names.chip_config_path));
  SW_LET(os_module, common::get(this_module(), names.os));
  SW_LET(os_path, common::get(os_module, names.path));
  SW_LET(exists, common::get(os_path, names.exists));
  SW_LET(directories, common::get(self, names.chip_dir_list));
  SW_LET(iterator, common::steal(PyObject_GetIter(directories.ptr())));
  while (PyObject* raw = PyIter_Next(iterator.ptr())) {
    py::object directory = common::steal(raw);
    SW_LET(head, common::steal(PyNumber_Add(base.ptr(), directory.ptr())));
    SW_LET(with_slash, common::steal(PyNumber_Add(head.ptr(), slash.ptr())));
    SW_LET(path, common::steal(PyNumber_Add(with_slash.ptr(), file_name.ptr())));
    SW_LET(found, common::call(exists, path));
    SW_LET(is_there, common::truth(found));
    if (is_there) return read_text_file(path);
  }
  if (PyErr_Occurred()) return {};
  return common::none();
}

struct FamilyChip {
  PyObject* base_class;  // interned
  py::object suffix;
};

py::object family_chip_init(void* data, PyObject* const* args) {
  const auto& chip = *static_cast<const FamilyChip*>(data);
  py::handle self = args[0];
  SW_LET(base, common::get(this_module(), chip.base_class));
  SW_LET(init, common::get(base, names.dunder_init));
  SW_CHECK(common::call(init, self));
  // Through the object, so the list the base constructor left is the one
  // changed, whatever its type.
  SW_LET(directories, common::get(self, names.chip_dir_list));
  SW_LET(first, common::item_at(directories, 0));
  SW_LET(own, common::steal(PyNumber_Add(first.ptr(), chip.suffix.ptr())));
  SW_LET(front, common::integer(0));
  SW_CHECK(common::call_method(directories, names.insert, front, own));
  return common::none();
}

}  // namespace

ClassBuilder& chip_constructor_with_suffix(ClassBuilder& chip_class, const char* base_class,
                                           const char* suffix) {
  PyObject* base = PyUnicode_InternFromString(base_class);
  if (!base) throw py::error_already_set();
  // Lives as long as the class, which is as long as the process.
  auto* chip = new FamilyChip{base, py::str(suffix)};
  return chip_class.method_object(
      "__init__", common::fast_function_array("__init__", chip_class.name() + ".__init__",
                                              nullptr, &family_chip_init, chip, {"self"}));
}

void define_part_chip(Catalogue& catalogue, const char* name, const char* base,
                      const char* suffix,
                      std::initializer_list<std::pair<const char*, py::object>> attributes) {
  ClassBuilder part = catalogue.define(name, base);
  for (const auto& [attribute, value] : attributes) part.attr(attribute, value);
  chip_constructor_with_suffix(part, base, suffix).build();
}

void define_chip_base(Catalogue& catalogue) {
  catalogue.define("SDKChip", nullptr, "SDK chip common attributes")
      .attr("sw_base", py::none())
      .attr("pci_vendor", py::none())
      .attr("pci_device", py::none())
      .attr("file_list", py::none())
      .attr("port_channel_type_map", py::dict())
      .attr("portmap_capable", py::none())
      .attr("dport_capable", py::none())
      .attr("bcm_pn", py::none())
      .attr("hsp_bw", py::none())
      .attr("base_pbmp", py::none())
      .method("__init__", &sdk_chip_init, {"self", "initial_path"})
      .classmethod("is_acpi", &is_acpi, {"cls"})
      .property("chip_config_path", &chip_config_path)
      .property("bcm_config_path", &bcm_config_path)
      .method("get_config", &get_config, {"self", "file_name"})
      .build();

  catalogue.define("BCMChip", "SDKChip", "BCM chip common attributes")
      .attr("sw_base", py::str("bcm"))
      .attr("ipv4_host_table_size", py::int_(8192))
      .attr("pci_vendor", py::int_(0x14E4))
      .attr("mixed_oversub", py::none())
      .attr("needs_lane_config", py::bool_(false))
      .method("__init__", &bcm_chip_init, {"self"})
      .build();
}

py::dict port_channel_types(Catalogue& catalogue, const char* single_lane, const char* four_lane) {
  py::dict types;
  types[py::int_(1)] = catalogue[single_lane];
  types[py::int_(4)] = catalogue[four_lane];
  return types;
}

}  // namespace asicmodel
