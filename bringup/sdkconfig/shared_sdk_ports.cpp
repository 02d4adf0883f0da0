// A port's SDK logical ports and MAC addresses are its own only within
// its bounds. The calculation reserves `max_logical_ports` MAC indexes per
// port, so a mode making more logical ports gives the next port's indexes
// too; and a Tomahawk2 port numbers the third and fourth sub-ports of a
// four-way breakout with the SDK logical ports of the port after it, so a
// port naming its partner in `adj_label` must be disabled while that
// partner is split into `blocked_adj_split_num()` ports or more. Every
// text carrying SDK logical ports or MAC indexes, and the port table's
// device work, ask this first.
#include <utility>
#include <vector>

#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

namespace {

// `obj.name` when it has it, else a null object with no error set.
bool optional_attribute(py::handle obj, PyObject* name, py::object& out) {
  PyObject* value = nullptr;
  if (_PyObject_LookupAttr(obj.ptr(), name, &value) < 0) return false;
  out = common::steal(value);
  return true;
}

}  // namespace

py::object refuse_shared_sdk_port(py::handle self) {
  static const py::handle zero = common::forever(py::int_(0));
  SW_LET(ports, ports_of(self));
  SW_LET(front_panel, common::steal(PyDict_New()));  // label -> its first front-panel port
  std::vector<std::pair<py::handle, py::object>> blocked;  // (port, its split bound)
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    SW_LET(fabric, common::get(port, names.is_fabric));
    SW_LET(is_fabric, common::truth(fabric));
    // A fabric port that makes no device reserves no MAC index either.
    int makes_devices = !is_fabric;
    if (is_fabric) {
      SW_LET(create_fabric, common::get(port, names.create_fabric));
      SW_CHECK(makes_devices = common::truth(create_fabric));
    }
    if (makes_devices) {
      SW_LET(count, common::get(port, names.num_logical_ports));
      SW_LET(most, common::get(port, names.max_logical_ports));
      SW_LET(over, common::compare(count, most, Py_GT));
      if (over) {
        SW_LET(key, layout_key(port));
        SW_LET(mode, common::get(port, names.mode));
        return refuse_layout(self, "platform: %s: Port %s in mode %s makes %s logical ports, "
                                   "more than the %s it reserves", key, mode, count, most);
      }
    }
    SW_LET(label, common::get(port, names.label));
    if (!is_fabric && !PyDict_SetDefault(front_panel.ptr(), label.ptr(), port.ptr())) return {};
    SW_LET(physical, common::get(port, names.physical_port));
    py::object bound_of;
    if (!optional_attribute(physical, names.blocked_adj_split_num, bound_of)) return {};
    if (!bound_of) continue;
    SW_LET(bound, common::call(bound_of));
    SW_LET(binds, common::compare(bound, zero, Py_GT));
    if (binds) blocked.emplace_back(port, std::move(bound));
  }
  for (const auto& [port, bound] : blocked) {
    SW_LET(physical, common::get(port, names.physical_port));
    SW_LET(partner_label, common::get(physical, names.adj_label));
    PyObject* partner = PyDict_GetItemWithError(front_panel.ptr(), partner_label.ptr());
    if (!partner) {
      if (PyErr_Occurred()) return {};
      continue;  // the partner is disabled
    }
    SW_LET(split, common::get(partner, names.num_logical_ports));
    SW_LET(too_far, common::compare(split, bound, Py_GE));
    if (!too_far) continue;
    SW_LET(key, layout_key(port));
    SW_LET(partner_key, layout_key(partner));
    return refuse_layout(self, "platform: %s: Port %s must be disabled while port %s is split "
                               "into %s ports", key, partner_key, split);
  }
  return common::none();
}

}  // namespace bringup
