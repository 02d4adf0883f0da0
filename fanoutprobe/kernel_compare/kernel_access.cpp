#include "fanoutprobe/kernel_compare/kernel_access.hpp"

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/host_calls.hpp"
#include "common/unlocked_wait.hpp"
#include "common/process_errors.hpp"
#include "common/process_runner.hpp"
#include "fanoutprobe/asic_tables/host_text.hpp"
#include "fanoutprobe/asic_tables/lasting.hpp"
#include "fanoutprobe/core/kernel_files.hpp"
#include "fanoutprobe/core/kernel_outputs.hpp"
#include "fanoutprobe/names.hpp"

namespace fanoutprobe {

namespace {

// The seam object, or None.
py::object seam() { return common::get(module_handle(), names._kernel_seam); }

bool path_bytes(py::handle path, std::string& out) {
  PyObject* converted = nullptr;
  if (!PyUnicode_FSConverter(path.ptr(), &converted)) return false;
  out.assign(PyBytes_AS_STRING(converted), static_cast<std::size_t>(PyBytes_GET_SIZE(converted)));
  Py_DECREF(converted);
  return true;
}

py::object text_of_bytes(const std::string& bytes) {
  return common::steal(PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()),
                                            "surrogateescape"));
}

}  // namespace

int device_name_ok(py::handle dev) {
  TextView view;
  if (!view_text(dev, "device name", view)) return -1;
  return is_device_name(view.text) ? 1 : 0;
}

py::object device_path(py::handle dev, const char* tail) {
  static const py::object& root = lasting(py::str("/sys/class/net/"));
  SW_LET(head, common::steal(PyUnicode_Concat(root.ptr(), dev.ptr())));
  SW_LET(tail_text, common::steal(PyUnicode_FromString(tail)));
  return common::steal(PyUnicode_Concat(head.ptr(), tail_text.ptr()));
}

py::object read_kernel_text(py::handle path) {
  SW_LET(recorded, seam());
  if (!recorded.is_none()) return common::call_method(recorded, names.read, path);
  std::string bytes;
  if (!path_bytes(path, bytes)) return {};
  std::optional<std::string> content = read_regular_file(bytes);
  if (!content) return common::none();
  return text_of_bytes(*content);
}

py::object read_kernel_text_in(py::handle directory, const char* name) {
  SW_LET(recorded, seam());
  SW_LET(name_text, common::steal(PyUnicode_FromString(name)));
  SW_LET(path, common::steal(PyUnicode_Concat(directory.ptr(), name_text.ptr())));
  if (recorded.is_none()) {
    std::string bytes;
    if (!path_bytes(directory, bytes)) return {};
    if (!is_directory(bytes)) return common::none();
  }
  return read_kernel_text(path);
}

py::object list_kernel_directory(py::handle path) {
  SW_LET(recorded, seam());
  if (!recorded.is_none()) return common::call_method(recorded, names.listdir, path);
  std::string bytes;
  if (!path_bytes(path, bytes)) return {};
  std::optional<std::vector<std::string>> entries = list_directory(bytes);
  if (!entries) return common::none();
  SW_LET(list, common::steal(PyList_New(0)));
  for (const std::string& entry : *entries) {
    SW_LET(name, common::steal(PyUnicode_DecodeFSDefaultAndSize(
                     entry.data(), static_cast<Py_ssize_t>(entry.size()))));
    if (PyList_Append(list.ptr(), name.ptr()) < 0) return {};
  }
  return list;
}

py::object get_cmd_output(py::handle cmdList, py::handle dispStr) {
  // A text is one word, not a list of one-character words.
  if (PyUnicode_Check(cmdList.ptr()) || PyBytes_Check(cmdList.ptr()) ||
      PyByteArray_Check(cmdList.ptr())) {
    PyErr_Format(PyExc_TypeError,
                 "_get_cmd_output() argument 'cmdList' must be a list of the program and "
                 "its arguments, not %.200s",
                 Py_TYPE(cmdList.ptr())->tp_name);
    return {};
  }
  SW_LET(recorded, seam());
  if (!recorded.is_none()) {
    SW_LET(answer, common::call_method(recorded, names.run, cmdList));
    SW_LET(status, common::item_at(answer, 0));
    SW_LET(failed, common::truth(status));
    if (failed) return common::borrow(dispStr.ptr());
    return common::item_at(answer, 1);
  }
  SW_LET(words, common::steal(PySequence_List(cmdList.ptr())));
  std::vector<std::string> argv;
  for (Py_ssize_t i = 0; i < PyList_GET_SIZE(words.ptr()); ++i) {
    argv.emplace_back();
    if (!path_bytes(PyList_GET_ITEM(words.ptr(), i), argv.back())) return {};
  }
  if (argv.empty()) return common::fail(PyExc_IndexError, "list index out of range");
  common::ProcessOptions options;
  options.input = common::Stream::kInherit;
  options.errors = common::Stream::kNull;
  common::ProcessResult result;
  try {
    common::UnlockedWait wait;  // the program runs without the host lock
    options.keep_waiting = [&wait] { return wait.run_handlers(); };
    result = common::run_process(argv, options);
  } catch (const common::Interrupted&) {
    return {};  // the handler's exception is set; the program is killed and reaped
  } catch (const common::OsError& error) {
    return common::fail_os(error);
  } catch (const std::invalid_argument& error) {
    return common::fail(PyExc_ValueError, error.what());
  } catch (const std::bad_alloc&) {
    return common::steal(PyErr_NoMemory());
  } catch (const std::exception& error) {
    return common::fail(PyExc_RuntimeError, error.what());
  } catch (...) {
    return common::fail(PyExc_RuntimeError, "running the program failed");
  }
  if (result.status != 0) return common::borrow(dispStr.ptr());
  return text_of_bytes(result.output);
}

}  // namespace fanoutprobe
