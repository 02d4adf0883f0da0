#include "fanoutprobe/asic_tables/shell_access.hpp"

#include "common/host_calls.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

py::object run_shell(py::handle self, py::handle command, py::handle timeout_message) {
  SW_LET(shell, common::get(self, names.bcm));
  py::object output = common::call_method(shell, names.run, command);
  if (output || !PyErr_ExceptionMatches(PyExc_OSError)) return output;
  PyObject *type, *timeout, *traceback;
  PyErr_Fetch(&type, &timeout, &traceback);
  PyErr_NormalizeException(&type, &timeout, &traceback);
  if (traceback) PyException_SetTraceback(timeout, traceback);
  Py_XDECREF(type);
  Py_XDECREF(traceback);
  PyErr_SetObject(PyExc_RuntimeError, timeout_message.ptr());
  PyObject *runtime_type, *runtime, *runtime_traceback;
  PyErr_Fetch(&runtime_type, &runtime, &runtime_traceback);
  PyErr_NormalizeException(&runtime_type, &runtime, &runtime_traceback);
  PyException_SetContext(runtime, timeout);  // takes the reference
  PyErr_Restore(runtime_type, runtime, runtime_traceback);
  return {};
}

}  // namespace fanoutprobe
