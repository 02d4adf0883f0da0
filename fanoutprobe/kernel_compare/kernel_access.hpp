// How the kernel readers reach the kernel: programs started directly from
// an argument vector, files and directories under fixed paths.
//
// The private seam `fanoutprobe._kernel_seam` is None unless a test or a
// benchmark sets it (it is defined, off, in module.cpp). When it is set,
// every kernel command and kernel file read goes to it instead of the
// system, so recorded output can stand for devices this kernel cannot make
// (VLAN devices, bonds, VLAN filtering):
//   seam.run(cmdList)  -> (exit status, standard output text)
//   seam.read(path)    -> the file's text, or None when it is no regular file
//   seam.listdir(path) -> a list of entry names, or None when not listable
// With the seam off nothing of it is looked at beyond the one attribute.
#pragma once

#include <pybind11/pybind11.h>

namespace fanoutprobe {

namespace py = pybind11;

// 1 when `dev` can name a device (core/kernel_outputs.hpp), 0 when it names
// none, -1 with TypeError when it is not text.
int device_name_ok(py::handle dev);

// "/sys/class/net/" + dev + tail.
py::object device_path(py::handle dev, const char* tail);

// The text of a kernel file (UTF-8, surrogateescape), None when it is not a
// regular file or cannot be opened.
py::object read_kernel_text(py::handle path);

// Like read_kernel_text, but None unless `directory` is a directory too.
py::object read_kernel_text_in(py::handle directory, const char* name);

// The entry names of a kernel directory, None when it cannot be listed.
py::object list_kernel_directory(py::handle path);

// Asic._get_cmd_output(cmdList, dispStr=None).
py::object get_cmd_output(py::handle cmdList, py::handle dispStr);

}  // namespace fanoutprobe
