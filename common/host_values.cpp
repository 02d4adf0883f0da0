#include "common/host_values.hpp"

#include <cstring>
#include <vector>

#include "common/host_errors.hpp"

namespace common {

namespace {

std::string bytes_of(PyObject* encoded) {
  if (!encoded) throw py::error_already_set();
  py::bytes bytes = py::reinterpret_steal<py::bytes>(encoded);
  return std::string(bytes);
}

py::str decoded(PyObject* text) {
  if (!text) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(text);
}

}  // namespace

std::string utf8_of(py::handle text) {
  return bytes_of(PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogatepass"));
}

py::str text_of(const std::string& utf8) {
  return decoded(PyUnicode_DecodeUTF8(utf8.data(), static_cast<Py_ssize_t>(utf8.size()),
                                      "surrogatepass"));
}

std::string file_bytes_of(py::handle text) {
  return bytes_of(PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape"));
}

py::str text_of_file_bytes(const std::string& bytes) {
  return decoded(PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()),
                                      "surrogateescape"));
}

std::string path_bytes_of(py::handle path) {
  PyObject* converted = nullptr;
  if (!PyUnicode_FSConverter(path.ptr(), &converted)) throw py::error_already_set();
  return bytes_of(converted);
}

std::int64_t int64_of(py::handle value, const char* what) {
  if (!PyLong_Check(value.ptr())) {
    raise_type_error(std::string(what) + " must be an integer, not " +
                             Py_TYPE(value.ptr())->tp_name);
  }
  long long result = PyLong_AsLongLong(value.ptr());
  if (result == -1 && PyErr_Occurred()) throw py::error_already_set();
  return result;
}

template <std::size_t N>
std::array<py::object, N> unpack(py::handle value) {
  PyObject* iterator = PyObject_GetIter(value.ptr());
  if (!iterator) {
    PyErr_Clear();
    raise_type_error(std::string("cannot unpack non-iterable ") +
                             Py_TYPE(value.ptr())->tp_name + " object");
  }
  py::object items = py::reinterpret_steal<py::object>(iterator);
  std::array<py::object, N> result;
  std::size_t got = 0;
  for (; got <= N; ++got) {
    PyObject* item = PyIter_Next(items.ptr());
    if (!item) {
      if (PyErr_Occurred()) throw py::error_already_set();
      break;
    }
    if (got == N) {
      Py_DECREF(item);
      raise_value_error("too many values to unpack (expected " + std::to_string(N) + ")");
    }
    result[got] = py::reinterpret_steal<py::object>(item);
  }
  if (got < N) {
    raise_value_error("not enough values to unpack (expected " + std::to_string(N) +
                              ", got " + std::to_string(got) + ")");
  }
  return result;
}

template std::array<py::object, 2> unpack<2>(py::handle);
template std::array<py::object, 3> unpack<3>(py::handle);

void raise_os_error(int error_number, py::handle filename, py::object context) {
  // The host's OSError picks the subclass for the errno itself.
  py::object error = builtin("OSError")(error_number, std::strerror(error_number), filename);
  if (context) {
    PyException_SetContext(error.ptr(), context.release().ptr());
    // Restored as is: the replaced error stays the context.
    PyObject* type = py::type::handle_of(error).inc_ref().ptr();
    PyErr_Restore(type, error.release().ptr(), nullptr);
    throw py::error_already_set();
  }
  raise_error_object(py::type::handle_of(error), error);
}

void raise_called_process_error(int status, py::handle command) {
  py::object type = py::module_::import("subprocess").attr("CalledProcessError");
  raise_error_object(type, type(status, command));
}

py::object builtin(const char* name) { return py::module_::import("builtins").attr(name); }

}  // namespace common
