// A kernel has one network device per name, and a port's name comes from
// its gang's label (the 4k+1 at or below its leader's) or from its
// platform port's override: where a platform's gangs do not sit on labels
// 4k+1 to 4k+4, or an override repeats a name, two ports would get one
// device. Every text listing kernel names, and the port table's device
// work, ask this first.
#include "bringup/sdkconfig/port_walk.hpp"
#include "bringup/sdkconfig/sdkconfig_ops.hpp"

namespace bringup {

namespace {

// The refusal of `name`, given by `first` and again by `again`: always
// empty, with the error set.
py::object refusal(py::handle self, py::handle name, py::handle first, py::handle again) {
  SW_LET(first_key, layout_key(first));
  SW_LET(again_key, layout_key(again));
  SW_LET(platform, common::get(self, names.platform));
  SW_LET(platform_name, common::get(platform, names.name));
  return common::fail_percent(PyExc_RuntimeError,
                              "platform: %s: Kernel name %s given to ports %s and %s",
                              platform_name, name, first_key, again_key);
}

}  // namespace

py::object refuse_shared_kernel_name(py::handle self) {
  SW_LET(givers, common::steal(PyDict_New()));  // kernel name -> the port first giving it
  bool walked = walk_logical_ports(self, [&](py::handle port, py::handle sub) -> int {
    py::object name = common::call_method(port, names.linux_port_name, sub);
    if (!name) return -1;
    PyObject* giver = PyDict_SetDefault(givers.ptr(), name.ptr(), port.ptr());
    if (!giver) return -1;
    // Only an override repeats a name within one port, naming all its
    // sub-ports alike: that is still one port.
    if (giver == port.ptr()) return 0;
    refusal(self, name, common::borrow(giver), port);
    return -1;
  });
  if (!walked) return {};
  return common::none();
}

}  // namespace bringup
