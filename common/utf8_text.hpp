// Host texts as UTF-8 for the plain C++ cores, and back, without C++
// throws (see host_calls.hpp). Lone surrogates pass through both ways
// ("surrogatepass"), so no character of a host text is lost; ASCII texts
// are copied straight from the host's own storage.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <string_view>

namespace common {

namespace py = pybind11;

// Appends the text's UTF-8 form; -1 with the error set when `text` is not
// a str.
int append_utf8(std::string& out, py::handle text);

// `"".join(texts)` written as UTF-8 onto `out`, with the host's errors for
// an item that is not a str or a value that is not iterable.
int join_utf8(std::string& out, py::handle texts);

// A host text from UTF-8; null with the error set.
py::object text_from_utf8(std::string_view utf8);

}  // namespace common
