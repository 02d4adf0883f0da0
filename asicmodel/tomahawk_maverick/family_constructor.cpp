#include "asicmodel/tomahawk_maverick/family_constructor.hpp"

#include <utility>

#include "asicmodel/core/names.hpp"
#include "common/host_calls.hpp"

namespace asicmodel::family {

Fields sdk_port_fields(const Fields& given) {
  PyObject* const kSDKPortNames[] = {
      names.label,        names.hw_ports,         names.phy_types,        names.phy_addrs,
      names.phy_layer,    names.prim_offset,      names.leds,             names.unit,
      names.rx_polarity_flip, names.tx_polarity_flip, names.rx_lane_map,  names.tx_lane_map,
      names.mdi_pair_map, names.pre_emphasis,     names.drv_current,      names.pre_drv_current,
      names.oversub,      names.phy_id1,          names.sys_interface};
  Fields fields;
  for (PyObject* name : kSDKPortNames) {
    py::handle value = given.get(name);
    if (!value) value = name == names.oversub ? Py_False : Py_None;
    fields.append(name, value.ptr());  // the names above are distinct
  }
  return fields;
}

int single_interface_fields(const Fields& given, Fields& fields) {
  const std::pair<PyObject*, PyObject*> kWrapped[] = {{names.hw_port, names.hw_ports},
                                                      {names.phy_type, names.phy_types},
                                                      {names.phy_addr, names.phy_addrs}};
  for (std::size_t i = 0; i < given.size(); ++i) {
    PyObject* name = given.name(i);
    py::handle value = given.values()[i];
    py::object wrapped;
    for (const auto& [single, plural] : kWrapped) {
      if (name != single) continue;
      wrapped = common::steal(PyTuple_Pack(1, value.ptr()));
      if (!wrapped) return -1;
      name = plural;
    }
    fields.set(name, wrapped ? py::handle(wrapped) : value);
  }
  if (!fields.get(names.prim_offset)) fields.set(names.prim_offset, Py_None);
  return 0;
}

Fields fabric_link_fields(const Fields& given) {
  static const py::handle unit_zero = common::forever(py::int_(0));
  Fields fields;
  fields.set(names.label, given.get(names.label));
  fields.set(names.serdes, given.get(names.serdes));
  fields.set(names.leds, Py_None);
  fields.set(names.phy_types, Py_None);
  fields.set(names.phy_addrs, Py_None);
  for (PyObject* name : {names.rx_polarity_flip, names.tx_polarity_flip, names.rx_lane_map,
                         names.tx_lane_map}) {
    fields.set(name, given.get(name));
  }
  fields.set(names.oversub, Py_True);
  fields.set(names.unit, unit_zero);
  return fields;
}

}  // namespace asicmodel::family
