#include "asicmodel/tomahawk_maverick/family_constructor.hpp"

#include <string>

#include "asicmodel/core/port_record.hpp"

namespace asicmodel::family {

py::dict sdk_port_fields(const py::dict& given) {
  py::dict fields;
  for (const char* name : kSDKPortFields) {
    py::str key(name);
    if (given.contains(key)) {
      fields[key] = given[key];
    } else {
      fields[key] = std::string(name) == "oversub" ? py::object(py::bool_(false)) : py::none();
    }
  }
  return fields;
}

py::dict single_interface_fields(const py::dict& given) {
  static const std::pair<const char*, const char*> kWrapped[] = {
      {"hw_port", "hw_ports"}, {"phy_type", "phy_types"}, {"phy_addr", "phy_addrs"}};
  py::dict fields;
  for (auto item : given) {
    py::object key = py::reinterpret_borrow<py::object>(item.first);
    py::object value = py::reinterpret_borrow<py::object>(item.second);
    bool wrapped = false;
    for (const auto& [single, plural] : kWrapped) {
      if (key.cast<std::string>() == single) {
        fields[py::str(plural)] = py::make_tuple(value);
        wrapped = true;
      }
    }
    if (!wrapped) fields[key] = value;
  }
  if (!fields.contains("prim_offset")) fields["prim_offset"] = py::none();
  return fields;
}

py::dict fabric_link_fields(const py::dict& arguments) {
  py::dict fields;
  fields["label"] = arguments["label"];
  fields["serdes"] = arguments["serdes"];
  fields["leds"] = py::none();
  fields["phy_types"] = py::none();
  fields["phy_addrs"] = py::none();
  for (const char* name : {"rx_polarity_flip", "tx_polarity_flip", "rx_lane_map", "tx_lane_map"}) {
    fields[name] = arguments[name];
  }
  fields["oversub"] = py::bool_(true);
  fields["unit"] = py::int_(0);
  return fields;
}

}  // namespace asicmodel::family
