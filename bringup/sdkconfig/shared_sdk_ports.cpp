// A port's SDK logical ports and MAC addresses are its own only within
// its bounds. The calculation reserves `max_logical_ports` MAC indexes per
// port, so a mode making more logical ports gives the next port's indexes
// too; and a Tomahawk2 port numbers the third and fourth sub-ports of a
// four-way breakout with the SDK logical ports of the port its `find_port`
// gives for the label one above, so a port naming its partner in
// `adj_label` must be disabled while that partner is split into
// `blocked_adj_split_num()` ports or more, and that neighbour must be
// there to number them: a front-panel port of the same unit, with two
// lanes at least. Then the result itself is checked (shared_results.cpp).
// Every text carrying SDK logical ports or MAC indexes, and the port
// table's device work, ask this first.
#include <cstring>
#include <utility>
#include <vector>

#include "bringup/sdkconfig/sdkconfig_ops.hpp"
#include "common/strict_int.hpp"

namespace bringup {

namespace {

// `obj.name` when it has it, else a null object with no error set.
bool optional_attribute(py::handle obj, PyObject* name, py::object& out) {
  PyObject* value = nullptr;
  if (_PyObject_LookupAttr(obj.ptr(), name, &value) < 0) return false;
  out = common::steal(value);
  return true;
}

// asicmodel's Tomahawk2 family class among the classes of `obj`
// (borrowed), or null with no error set.
PyObject* tomahawk_two_family(py::handle obj) {
  PyObject* classes = Py_TYPE(obj.ptr())->tp_mro;
  if (!classes) return nullptr;
  for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(classes); ++i) {
    auto* cls = reinterpret_cast<PyTypeObject*>(PyTuple_GET_ITEM(classes, i));
    if (std::strcmp(cls->tp_name, "TomahawkTwoPort") != 0) continue;
    PyObject* module = PyDict_GetItemWithError(cls->tp_dict, names.dunder_module);
    if (!module && PyErr_Occurred()) return nullptr;
    if (module && PyUnicode_Check(module) &&
        PyUnicode_CompareWithASCIIString(module, "asicmodel") == 0) {
      return reinterpret_cast<PyObject*>(cls);
    }
  }
  return nullptr;
}

// Whether `obj.<name>` is the family class's own operation: neither the
// object's class nor the object replaces it. 1, 0 or -1.
int family_operation(py::handle obj, PyObject* family, PyObject* name) {
  PyObject* own =
      PyDict_GetItemWithError(reinterpret_cast<PyTypeObject*>(family)->tp_dict, name);
  if (!own) return PyErr_Occurred() ? -1 : 0;
  py::object bound = common::get(obj, name);
  if (!bound) return -1;
  return PyMethod_Check(bound.ptr()) && PyMethod_GET_FUNCTION(bound.ptr()) == own &&
         PyMethod_GET_SELF(bound.ptr()) == obj.ptr();
}


// The platform's ports by label, as the family's `find_port` finds the
// port labelled one above: the first that is not a fabric port, and
// whether a fabric port carries the label. Read once, when first asked:
// one dict lookup then stands for that walk of the platform's ports.
struct PlatformLabels {
  py::object front_panel, fabric;

  // 0, or -1 with the error set.
  int read(py::handle self) {
    if (front_panel) return 0;
    front_panel = common::steal(PyDict_New());
    fabric = common::steal(PySet_New(nullptr));
    if (!front_panel || !fabric) return -1;
    py::object platform_switch = switch_of(self);
    py::object platform_ports = platform_switch ? common::get(platform_switch, names.ports)
                                                : py::object();
    py::object iterator = platform_ports ? common::steal(PyObject_GetIter(platform_ports.ptr()))
                                         : py::object();
    if (!iterator) return -1;
    while (PyObject* raw = PyIter_Next(iterator.ptr())) {
      py::object port = common::steal(raw);
      py::object label = common::get(port, names.label);
      py::object is_fabric = label ? common::get(port, names.is_fabric) : py::object();
      if (!is_fabric) return -1;
      int on_fabric = common::truth(is_fabric);
      if (on_fabric < 0) return -1;
      if (on_fabric ? PySet_Add(fabric.ptr(), label.ptr()) < 0
                    : !PyDict_SetDefault(front_panel.ptr(), label.ptr(), port.ptr())) {
        return -1;
      }
    }
    return PyErr_Occurred() ? -1 : 0;
  }
};

// A four-way breakout of a port that numbers its third and fourth
// sub-ports with the first two of the port its `find_port` gives for the
// label one above (its label read as a decimal number, plus 1) needs that
// port to be a front-panel port of its own unit with the lanes to carry
// them; else the layout is refused, naming the port and why. None when it
// is.
py::object refuse_missing_partner(py::handle self, PlatformLabels& labels, py::handle port,
                                  PyObject* family) {
  static const py::handle one = common::forever(py::int_(1));
  SW_LET(key, layout_key(port));
  SW_LET(mode, common::get(port, names.mode));
  SW_LET(physical, common::get(port, names.physical_port));
  SW_LET(label, common::get(physical, names.label));
  py::object number = PyLong_Check(label.ptr()) ? common::ref(label) : common::int_of_text(label);
  if (!number) {
    if (!PyErr_ExceptionMatches(PyExc_ValueError)) return {};
    PyErr_Clear();
    return refuse_layout(self, "platform: %s: Port %s in mode %s takes sub-ports 2 and 3 from "
                               "the port labelled one above, and its label is not a number",
                         key, mode);
  }
  SW_LET(next, common::steal(PyNumber_Add(number.ptr(), one.ptr())));
  SW_LET(wanted, common::steal(PyObject_Str(next.ptr())));
  // The family's own lookup is the platform's first front-panel port of
  // the label; one the class or the object replaces is asked.
  SW_LET(family_lookup, family_operation(physical, family, names.find_port));
  py::object partner;
  if (family_lookup) {
    SW_CHECK(labels.read(self));
    PyObject* found = PyDict_GetItemWithError(labels.front_panel.ptr(), wanted.ptr());
    if (!found && PyErr_Occurred()) return {};
    partner = found ? common::borrow(found) : common::none();
  } else {
    SW_CHECK(partner = common::call_method(physical, names.find_port, wanted));
  }
  if (partner.is_none()) {
    SW_CHECK(labels.read(self));
    SW_LET(on_fabric, PySet_Contains(labels.fabric.ptr(), wanted.ptr()));
    return refuse_layout(self, on_fabric ? "platform: %s: Port %s in mode %s takes sub-ports 2 "
                                           "and 3 from port %s, which is a fabric port"
                                         : "platform: %s: Port %s in mode %s takes sub-ports 2 "
                                           "and 3 from port %s, which the platform does not have",
                         key, mode, wanted);
  }
  // The port found, as ports.conf names it: the label one above but where
  // a lookup of the platform's own finds another.
  SW_LET(partner_key, family_lookup ? wanted : layout_key(partner));
  if (!family_lookup) {
    SW_LET(partner_fabric, common::get(partner, names.is_fabric));
    SW_LET(is_fabric, common::truth(partner_fabric));
    if (is_fabric) {
      return refuse_layout(self, "platform: %s: Port %s in mode %s takes sub-ports 2 and 3 from "
                                 "port %s, which is a fabric port",
                           key, mode, partner_key);
    }
  }
  SW_LET(unit, common::get(physical, names.unit));
  SW_LET(partner_unit, common::get(partner, names.unit));
  SW_LET(same_unit, common::equal(unit, partner_unit));
  if (!same_unit) {
    return refuse_layout(self, "platform: %s: Port %s in mode %s takes sub-ports 2 and 3 from "
                               "port %s, which is on unit %s, not %s",
                         key, mode, partner_key, partner_unit, unit);
  }
  SW_LET(lanes, common::get(partner, names.hw_ports));
  const Py_ssize_t lane_count = PyObject_Size(lanes.ptr());
  if (lane_count < 0) return {};
  if (lane_count < 2) {
    return refuse_layout(self, "platform: %s: Port %s in mode %s takes sub-ports 2 and 3 from "
                               "port %s, which has too few lanes to carry them",
                         key, mode, partner_key);
  }
  return common::none();
}

}  // namespace

py::object refuse_port_past_bounds(py::handle self, std::vector<py::object>& counted) {
  static const py::handle zero = common::forever(py::int_(0)), two = common::forever(py::int_(2));
  SW_LET(ports, ports_of(self));
  // Every text numbers and names a port within its chip: one without a
  // unit has none to be written on.
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(ports.ptr()); ++i) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    SW_LET(unit, common::get(port, names.unit));
    if (!unit.is_none()) continue;
    SW_LET(key, layout_key(port));
    return refuse_layout(self, "platform: %s: Port %s has no unit", key);
  }
  SW_LET(front_panel, common::steal(PyDict_New()));  // label -> its first front-panel port
  std::vector<std::pair<py::handle, py::object>> blocked;  // (port, its split bound)
  // Four-way breakouts numbered from a neighbour, and their family class.
  std::vector<std::pair<py::handle, PyObject*>> borrowing;
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
    SW_LET(physical, common::get(port, names.physical_port));
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
      counted.push_back(common::borrow(port.ptr()));
      SW_LET(past_two, common::compare(count, two, Py_GT));
      // A Tomahawk2-family port numbered the family's way borrows; one
      // whose class or object numbers its sub-ports otherwise borrows
      // nothing, and any clash is the result check's.
      PyObject* family = past_two ? tomahawk_two_family(physical) : nullptr;
      if (!family && PyErr_Occurred()) return {};
      if (family) {
        SW_LET(borrows, family_operation(physical, family, names.logical_port_num));
        if (borrows) borrowing.emplace_back(port, family);
      }
    }
    SW_LET(label, common::get(port, names.label));
    if (!is_fabric && !PyDict_SetDefault(front_panel.ptr(), label.ptr(), port.ptr())) return {};
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
  PlatformLabels labels;
  for (const auto& [port, family] : borrowing) {
    SW_CHECK(refuse_missing_partner(self, labels, port, family));
  }
  return common::none();
}

py::object refuse_shared_sdk_port(py::handle self) {
  std::vector<py::object> counted;
  SW_CHECK(refuse_port_past_bounds(self, counted));
  return refuse_shared_result(self, counted, Wiring::kNotChecked);
}

}  // namespace bringup
