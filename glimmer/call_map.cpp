// `configure`: the LED call map of one controller from its configured
// ports, folded into the run list that `call_list` keeps under the
// controller index, then emitted run by run into the program's collections.
//
// Each port's gang label and hardware port number are asked once; the
// ports are ordered by them with the host's stable sort (plain texts and
// plain ints are ordered here, with the same result).
#include <pybind11/pybind11.h>

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <numeric>
#include <vector>

#include "common/host_calls.hpp"
#include "common/host_containers.hpp"
#include "glimmer/core/run_folding.hpp"
#include "glimmer/led_calls.hpp"
#include "glimmer/names.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

using Order = std::vector<Py_ssize_t>;

// Stable orders of plain keys, equal to the host's.
bool order_plain_ints(py::handle keys, Order& order) {
  const Py_ssize_t count = PyList_GET_SIZE(keys.ptr());
  std::vector<std::int64_t> values(static_cast<std::size_t>(count));
  for (Py_ssize_t i = 0; i < count; ++i) {
    if (!plain_int(PyList_GET_ITEM(keys.ptr(), i), values[static_cast<std::size_t>(i)])) return false;
  }
  std::stable_sort(order.begin(), order.end(), [&values](Py_ssize_t a, Py_ssize_t b) {
    return values[static_cast<std::size_t>(a)] < values[static_cast<std::size_t>(b)];
  });
  return true;
}

bool order_plain_texts(py::handle keys, Order& order) {
  const Py_ssize_t count = PyList_GET_SIZE(keys.ptr());
  bool one_byte = true;
  for (Py_ssize_t i = 0; i < count; ++i) {
    PyObject* key = PyList_GET_ITEM(keys.ptr(), i);
    if (!PyUnicode_CheckExact(key)) return false;
    one_byte = one_byte && PyUnicode_KIND(key) == PyUnicode_1BYTE_KIND;
  }
  auto item = [&keys](Py_ssize_t i) { return PyList_GET_ITEM(keys.ptr(), i); };
  if (one_byte) {
    // Latin-1 texts: code point order is byte order, a prefix first.
    std::stable_sort(order.begin(), order.end(), [&item](Py_ssize_t a, Py_ssize_t b) {
      PyObject *left = item(a), *right = item(b);
      const Py_ssize_t left_size = PyUnicode_GET_LENGTH(left), right_size = PyUnicode_GET_LENGTH(right);
      int compared = std::memcmp(PyUnicode_DATA(left), PyUnicode_DATA(right),
                                 static_cast<std::size_t>(std::min(left_size, right_size)));
      return compared != 0 ? compared < 0 : left_size < right_size;
    });
    return true;
  }
  // Plain texts compare by code point and never fail.
  std::stable_sort(order.begin(), order.end(), [&item](Py_ssize_t a, Py_ssize_t b) {
    return PyUnicode_Compare(item(a), item(b)) < 0;
  });
  return true;
}

// Positions 0..n-1 in the stable order of `keys` (a list), as
// sorted(range(n), key=keys.__getitem__) gives them; -1 with the error set.
int stable_order(py::handle keys, Order& order) {
  order.resize(static_cast<std::size_t>(PyList_GET_SIZE(keys.ptr())));
  std::iota(order.begin(), order.end(), 0);
  if (order_plain_ints(keys, order) || order_plain_texts(keys, order)) return 0;
  // Anything else: the host's own sort, comparing the keys with `<`.
  static PyObject* const key_only = PyTuple_Pack(1, names.key);
  if (!key_only) return -1;
  py::object positions = common::steal(PyList_New(static_cast<Py_ssize_t>(order.size())));
  if (!positions) return -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    PyObject* position = PyLong_FromSsize_t(static_cast<Py_ssize_t>(i));
    if (!position) return -1;
    PyList_SET_ITEM(positions.ptr(), static_cast<Py_ssize_t>(i), position);
  }
  py::object lookup = common::get(keys, names.dunder_getitem);
  py::object sort = lookup ? common::get(positions, names.sort) : py::object();
  if (!sort || !common::call_with_keywords(sort, {lookup}, key_only)) return -1;
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i] = PyLong_AsSsize_t(PyList_GET_ITEM(positions.ptr(), static_cast<Py_ssize_t>(i)));
  }
  return 0;
}

// Every LED position starts with the controller's pad value.
py::object default_map(py::handle self) {
  SW_LET(num_leds, common::get(self, names.num_leds));
  SW_LET(default_pad, common::get(self, names.default_pad));
  std::int64_t expected = 0;
  const bool counted = plain_int(num_leds, expected) && expected > 0 && expected < (1 << 24);
  SW_LET(calls, common::steal(counted ? _PyDict_NewPresized(static_cast<Py_ssize_t>(expected))
                                      : PyDict_New()));
  SW_CHECK(for_each_index(num_leds, [&](const py::object& led) {
    return PyDict_SetItem(calls.ptr(), led.ptr(), default_pad.ptr()) == 0;
  }));
  return calls;
}

// Gang label to the LED indexes of the gang's ports, in the ports' order;
// `labels` receives each port's label, in `ports` order.
py::object led_index_lists(py::handle ports, py::object& labels) {
  labels = common::steal(PyList_New(0));
  if (!labels) return {};
  const Py_ssize_t count = PyList_GET_SIZE(ports.ptr());
  for (Py_ssize_t i = 0; i < count; ++i) {
    SW_LET(label, common::get(PyList_GET_ITEM(ports.ptr(), i), names.gang_label));
    SW_CHECK(PyList_Append(labels.ptr(), label.ptr()));
  }
  Order order;
  SW_CHECK(stable_order(labels, order));
  SW_LET(lists, common::steal(PyDict_New()));
  for (Py_ssize_t i : order) {
    PyObject* label = PyList_GET_ITEM(labels.ptr(), i);
    SW_LET(leds, common::get(PyList_GET_ITEM(ports.ptr(), i), names.leds));
    SW_LET(led_index, common::item_at(leds, 1));
    PyObject* indexes = PyDict_GetItemWithError(lists.ptr(), label);
    if (indexes) {
      SW_CHECK(PyList_Append(indexes, led_index.ptr()));
    } else {
      if (PyErr_Occurred()) return {};
      SW_LET(fresh, common::steal(PyList_New(0)));
      SW_CHECK(PyList_Append(fresh.ptr(), led_index.ptr()));
      SW_CHECK(PyDict_SetItem(lists.ptr(), label, fresh.ptr()));
    }
  }
  return lists;
}

// Numbers the logical ports 1, 2, ... in hardware-port order and merges
// what each claims into the map; a later claim of an LED wins.
py::object merge_port_claims(py::handle calls, py::handle ports, py::handle first_ports,
                             py::handle labels, py::handle lists) {
  static const py::handle zero = py::int_(0).release();
  const Py_ssize_t count = PyList_GET_SIZE(ports.ptr());
  SW_LET(hw_ports, common::steal(PyList_New(0)));
  for (Py_ssize_t i = 0; i < count; ++i) {
    SW_LET(hw_port, common::call_method(PyList_GET_ITEM(ports.ptr(), i), names.hw_port_num, zero));
    SW_CHECK(PyList_Append(hw_ports.ptr(), hw_port.ptr()));
  }
  Order order;
  SW_CHECK(stable_order(hw_ports, order));
  long long lport = 1;
  for (Py_ssize_t i : order) {
    py::handle port = PyList_GET_ITEM(ports.ptr(), i);
    SW_LET(logical_ports, common::get(port, names.num_logical_ports));
    // The label read for the gang lists, unless the second walk of `ports`
    // met another object there.
    py::object label;
    if (i < PyList_GET_SIZE(first_ports.ptr()) && PyList_GET_ITEM(first_ports.ptr(), i) == port.ptr()) {
      label = common::borrow(PyList_GET_ITEM(labels.ptr(), i));
    } else {
      label = common::get(port, names.gang_label);
      if (!label) return {};
    }
    SW_CHECK(for_each_index(logical_ports, [&](const py::object& sub) {
      PyObject* indexes = PyDict_GetItemWithError(lists.ptr(), label.ptr());
      if (!indexes) {
        if (!PyErr_Occurred()) common::fail_key(label);
        return false;
      }
      py::object number = common::steal(PyLong_FromLongLong(lport));
      if (!number) return false;
      py::object claims = common::call_method(port, names.set_leds, number, sub, indexes);
      if (!claims || common::update_dict(calls, claims) < 0) return false;
      ++lport;
      return true;
    }));
  }
  return common::none();
}

// The map's entries in ascending LED number. Plain int LED numbers that
// the map already holds in ascending order (the default map's order, which
// claims of those LEDs keep) are taken as they are; anything else is
// sorted by the host.
int sorted_calls_of(py::handle calls, std::vector<py::object>& sorted_calls) {
  const Py_ssize_t count = PyDict_GET_SIZE(calls.ptr());
  sorted_calls.reserve(static_cast<std::size_t>(count));
  PyObject *led = nullptr, *call = nullptr;
  Py_ssize_t position = 0;
  std::int64_t previous = 0, number = 0;
  bool ascending = true;
  while (ascending && PyDict_Next(calls.ptr(), &position, &led, &call)) {
    ascending = plain_int(led, number) && (sorted_calls.empty() || number > previous);
    previous = number;
    if (ascending) sorted_calls.push_back(common::borrow(call));
  }
  if (ascending) return 0;
  sorted_calls.clear();
  py::object leds = common::steal(PyDict_Keys(calls.ptr()));
  if (!leds || PyList_Sort(leds.ptr()) < 0) return -1;
  for (Py_ssize_t i = 0; i < count; ++i) {
    PyObject* value = PyDict_GetItemWithError(calls.ptr(), PyList_GET_ITEM(leds.ptr(), i));
    if (!value) {
      if (!PyErr_Occurred()) common::fail_key(PyList_GET_ITEM(leds.ptr(), i));
      return -1;
    }
    sorted_calls.push_back(common::borrow(value));
  }
  return 0;
}

// The map in ascending LED number, consecutive equal entries folded into
// (call, count) pairs.
py::object run_list(py::handle calls) {
  std::vector<py::object> sorted_calls;
  SW_CHECK(sorted_calls_of(calls, sorted_calls));
  bool failed = false;
  std::vector<Run> runs = fold_runs(sorted_calls, [&failed](const py::object& a, const py::object& b) {
    if (failed) return false;
    int same = common::equal(a, b);
    if (same < 0) failed = true;
    return same == 1;
  });
  if (failed) return {};
  SW_LET(pairs, common::steal(PyList_New(static_cast<Py_ssize_t>(runs.size()))));
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SW_LET(length, common::steal(PyLong_FromSize_t(runs[i].count)));
    PyObject* pair = PyTuple_Pack(2, sorted_calls[runs[i].first].ptr(), length.ptr());
    if (!pair) return {};
    PyList_SET_ITEM(pairs.ptr(), static_cast<Py_ssize_t>(i), pair);
  }
  return pairs;
}

// Python's `use_pad_n[call] and count > loop_insert_cost`.
py::object loop_flag(py::handle self, py::handle use_pad_n, py::handle call, py::handle count) {
  SW_LET(decided, common::item(use_pad_n, call));
  SW_LET(loops, common::truth(decided));
  if (!loops) return decided;
  SW_LET(threshold, common::get(self, names.loop_insert_cost));
  return common::steal(PyObject_RichCompare(count.ptr(), threshold.ptr(), Py_GT));
}

// The runs stored for this controller, read from the object.
py::object stored_runs(py::handle self, py::handle controller_idx) {
  SW_LET(call_list, common::get(self, names.call_list));
  return common::item(call_list, controller_idx);
}

}  // namespace

py::object configure(py::handle self, py::handle controller_idx, py::handle ports) {
  SW_LET(calls, default_map(self));
  // `ports` is walked twice, as two loops over it would.
  SW_LET(first_ports, common::steal(PySequence_List(ports.ptr())));
  py::object labels;
  SW_LET(lists, led_index_lists(first_ports, labels));
  SW_LET(second_ports, common::steal(PySequence_List(ports.ptr())));
  SW_CHECK(merge_port_claims(calls, second_ports, first_ports, labels, lists));
  SW_LET(runs, run_list(calls));
  SW_LET(call_list, common::get(self, names.call_list));
  SW_CHECK(PyObject_SetItem(call_list.ptr(), controller_idx.ptr(), runs.ptr()));

  SW_LET(looping_runs, stored_runs(self, controller_idx));
  SW_LET(use_pad_n, common::call_method(self, names._eval_looping, looping_runs));
  SW_LET(emitted_runs, stored_runs(self, controller_idx));
  SW_CHECK(for_each_run(emitted_runs, [&](py::handle call, py::handle count, int pad) {
    if (pad >= 0) {
      py::object flag = loop_flag(self, use_pad_n, call, count);
      return flag && common::call_method(self, names._led_pad_call, call, count, flag);
    }
    if (call.ptr() == Py_None) return true;
    return static_cast<bool>(common::call_method(self, names._led_port_call, call, count));
  }));
  return common::none();
}

}  // namespace glimmer
