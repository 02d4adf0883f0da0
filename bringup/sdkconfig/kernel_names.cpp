// A kernel has one network device per name, and a port's name comes from
// its gang's label (the 4k+1 at or below its leader's) or from its
// platform port's override: where a platform's gangs do not sit on labels
// 4k+1 to 4k+4, or an override repeats a name, two ports would get one
// device; an override on a broken-out port names all its sub-ports alike,
// and each sub-port is a device of its own. Every text listing kernel
// names, and the port table's device work, ask this first.
#include "bringup/sdkconfig/port_walk.hpp"
#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

namespace {

// The refusal of `name`, given by port `first` and again by port `again`:
// always empty, with the error set.
py::object refuse_ports(py::handle self, py::handle name, py::handle first, py::handle again) {
  SW_LET(first_key, layout_key(first));
  SW_LET(again_key, layout_key(again));
  return refuse_layout(self, "platform: %s: Kernel name %s given to ports %s and %s", name,
                       first_key, again_key);
}

// The refusal of `name`, given again by sub-port `again` of `port`, naming
// the first of its sub-ports that gives it: the port is asked again here,
// on this path only (`again` itself should it now name them otherwise).
// Always empty, with the error set.
py::object refuse_sub_ports(py::handle self, py::handle name, py::handle port, py::handle again) {
  const long last = PyLong_AsLong(again.ptr());
  if (last == -1 && PyErr_Occurred()) return {};
  py::object first = common::ref(again);
  for (long sub = 0; sub < last; ++sub) {
    SW_LET(number, common::integer(sub));
    SW_LET(given, common::call_method(port, names.linux_port_name, number));
    SW_LET(same, common::equal(given, name));
    if (same) {
      first = number;
      break;
    }
  }
  SW_LET(key, layout_key(port));
  return refuse_layout(self, "platform: %s: Kernel name %s given to sub-ports %s and %s of port %s",
                       name, first, again, key);
}

}  // namespace

py::object refuse_shared_kernel_name(py::handle self) {
  SW_LET(givers, common::steal(PyDict_New()));  // kernel name -> the port first giving it
  bool walked = walk_logical_ports(self, [&](py::handle port, py::handle sub) -> int {
    py::object name = common::call_method(port, names.linux_port_name, sub);
    if (!name) return -1;
    const Py_ssize_t named = PyDict_GET_SIZE(givers.ptr());
    PyObject* giver = PyDict_SetDefault(givers.ptr(), name.ptr(), port.ptr());
    if (!giver) return -1;
    if (PyDict_GET_SIZE(givers.ptr()) > named) return 0;  // the first to give it
    if (giver == port.ptr()) refuse_sub_ports(self, name, port, sub);
    else refuse_ports(self, name, common::borrow(giver), port);
    return -1;
  });
  if (!walked) return {};
  return common::none();
}

}  // namespace bringup
