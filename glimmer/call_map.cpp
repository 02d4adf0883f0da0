// `configure`: the LED call map of one controller from its configured
// ports, folded into the run list that `call_list` keeps under the
// controller index, then emitted run by run into the program's collections.
#include <pybind11/pybind11.h>

#include <vector>

#include "common/py_ops.hpp"
#include "glimmer/core/run_folding.hpp"
#include "common/host_values.hpp"
#include "glimmer/operations.hpp"

namespace glimmer {

namespace {

py::list sorted_by(py::handle ports, py::object key) {
  py::dict options;
  options["key"] = key;
  return common::builtin("sorted")(ports, **options);
}

// Every LED position starts with the controller's pad value.
py::dict default_map(py::object self) {
  py::object positions = common::builtin("range")(self.attr("num_leds"));
  py::dict calls;
  for (py::handle led : positions) calls[led] = self.attr("default_pad");
  return calls;
}

// Gang label to the LED indexes of the gang's ports, in the ports' order.
py::dict led_index_lists(py::handle ports) {
  py::object by_label = py::module_::import("operator").attr("attrgetter")("gang_label");
  py::dict lists;
  for (py::handle port : sorted_by(ports, by_label)) {
    py::object label = port.attr("gang_label");
    py::object led_index = port.attr("leds")[py::int_(1)];
    if (!lists.contains(label)) {
      py::list indexes;
      indexes.append(led_index);
      lists[label] = indexes;
    } else {
      lists[label].attr("append")(led_index);
    }
  }
  return lists;
}

// Numbers the logical ports 1, 2, ... in hardware-port order and merges
// what each claims into the map; a later claim of an LED wins.
void merge_port_claims(py::dict& calls, py::handle ports, const py::dict& lists) {
  py::object by_port = py::module_::import("operator").attr("methodcaller")("hw_port_num", 0);
  py::object lport = py::int_(1);
  for (py::handle port : sorted_by(ports, by_port)) {
    for (py::handle sub : common::builtin("range")(port.attr("num_logical_ports"))) {
      py::object claims =
          port.attr("set_leds")(lport, sub, lists[port.attr("gang_label")]);
      calls.attr("update")(claims);
      lport = lport + py::int_(1);
    }
  }
}

// The map in ascending LED number, consecutive equal entries folded into
// (call, count) pairs.
py::list run_list(const py::dict& calls) {
  std::vector<py::object> sorted_calls;
  for (py::handle led : common::builtin("sorted")(calls)) sorted_calls.push_back(calls[led]);
  py::list runs;
  auto equal = [](const py::object& a, const py::object& b) { return common::py_equal(a, b); };
  for (const Run& run : fold_runs(sorted_calls, equal)) {
    runs.append(py::make_tuple(sorted_calls[run.first], run.count));
  }
  return runs;
}

// Python's `a and b` for the loop flag: the decision itself when it is
// false, else whether the run is longer than the loop threshold.
py::object loop_flag(py::object self, py::handle use_pad_n, py::handle call, py::handle count) {
  py::object decided = use_pad_n[call];
  if (!common::py_truthy(decided)) return decided;
  return py::reinterpret_borrow<py::object>(count) > self.attr("loop_insert_cost")
             ? common::py_bool(true)
             : common::py_bool(false);
}

}  // namespace

void configure(py::object self, py::object controller_idx, py::object ports) {
  py::dict calls = default_map(self);
  py::dict lists = led_index_lists(ports);
  merge_port_claims(calls, ports, lists);
  self.attr("call_list")[controller_idx] = run_list(calls);

  py::object runs = self.attr("call_list")[controller_idx];
  py::object use_pad_n = self.attr("_eval_looping")(runs);
  for (py::handle run : runs) {
    auto [call, count] = common::unpack<2>(run);
    if (common::py_equal(call, py::int_(0)) || common::py_equal(call, py::int_(1))) {
      self.attr("_led_pad_call")(call, count, loop_flag(self, use_pad_n, call, count));
    } else if (!call.is_none()) {
      self.attr("_led_port_call")(call, count);
    }
  }
}

}  // namespace glimmer
