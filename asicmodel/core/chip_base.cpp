// SDKChip and BCMChip: what a chip is, and where its data files are found.
#include "asicmodel/core/chip_base.hpp"

#include <dlfcn.h>

#include <string>

#include "asicmodel/core/registrations.hpp"
#include "common/py_ops.hpp"

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

void sdk_chip_init(py::object self, py::object initial_path) {
  py::list directories;
  directories.append(initial_path);
  self.attr("chip_dir_list") = directories;
}

void bcm_chip_init(py::object self) {
  this_module().attr("SDKChip").attr("__init__")(self, py::str("/bcm"));
}

py::object is_acpi(py::object) { return py::bool_(false); }

py::object chip_config_path(py::object) { return py::str(library_directory() + "/__chip_config/"); }

py::object bcm_config_path(py::object) { return py::str(library_directory() + "/__bcm_config/"); }

// Read whole, bytes decoded losslessly (UTF-8 with surrogateescape, no
// newline translation); the host's own errors for unreadable paths.
py::object read_text_file(const py::object& path) {
  py::object builtins = py::module_::import("builtins");
  py::object file = builtins.attr("open")(path, "rb");
  py::object data;
  try {
    data = file.attr("read")();
  } catch (...) {
    file.attr("close")();
    throw;
  }
  file.attr("close")();
  return data.attr("decode")("utf-8", "surrogateescape");
}

// The first directory of the list, most specific first, that has the file
// wins; only names the chip lists are served.
py::object get_config(py::object self, py::object file_name) {
  py::object files = self.attr("file_list");
  if (files.is_none() || !common::py_contains(files, file_name)) return py::none();
  py::object base = self.attr("chip_config_path");
  py::object exists = this_module().attr("os").attr("path").attr("exists");
  for (py::handle directory : self.attr("chip_dir_list")) {
    py::object path = base + py::reinterpret_borrow<py::object>(directory) + py::str("/") + file_name;
    if (common::py_truthy(exists(path))) return read_text_file(path);
  }
  return py::none();
}

void family_chip_init(py::object self, const std::string& base_class, const std::string& suffix) {
  this_module().attr(base_class.c_str()).attr("__init__")(self);
  // Through the object, so the list the base constructor left is the one
  // changed, whatever its type.
  py::object directories = self.attr("chip_dir_list");
  py::object first = directories[py::int_(0)];
  directories.attr("insert")(0, first + py::str(suffix));
}

}  // namespace

ClassBuilder& chip_constructor_with_suffix(ClassBuilder& chip_class, const char* base_class,
                                           const char* suffix) {
  std::string base(base_class), tail(suffix);
  return chip_class.method(
      "__init__", [base, tail](py::object self) { family_chip_init(self, base, tail); },
      py::arg("self"));
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
      .method("__init__", &sdk_chip_init, py::arg("self"), py::arg("initial_path"))
      .classmethod("is_acpi", &is_acpi, py::arg("cls"))
      .property("chip_config_path", &chip_config_path)
      .property("bcm_config_path", &bcm_config_path)
      .method("get_config", &get_config, py::arg("self"), py::arg("file_name"))
      .build();

  catalogue.define("BCMChip", "SDKChip", "BCM chip common attributes")
      .attr("sw_base", py::str("bcm"))
      .attr("ipv4_host_table_size", py::int_(8192))
      .attr("pci_vendor", py::int_(0x14E4))
      .attr("mixed_oversub", py::none())
      .attr("needs_lane_config", py::bool_(false))
      .method("__init__", &bcm_chip_init, py::arg("self"))
      .build();
}

py::dict port_channel_types(Catalogue& catalogue, const char* single_lane, const char* four_lane) {
  py::dict types;
  types[py::int_(1)] = catalogue[single_lane];
  types[py::int_(4)] = catalogue[four_lane];
  return types;
}

}  // namespace asicmodel
