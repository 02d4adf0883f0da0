// The core's errors as the host's: a placeholder that cannot write its
// value is a TypeError, a tuning list too short an IndexError, a port name
// without a number a ValueError in int()'s words.
#pragma once

#include <nlohmann/json.hpp>

#include "bringup/core/port_lists.hpp"
#include "bringup/core/sdk_sections.hpp"

namespace bringup {

template <typename Render>
py::object rendered(Render&& render) {
  try {
    return host_text(render());
  } catch (const FormatError& error) {
    return common::fail(PyExc_TypeError, error.what());
  } catch (const TuningIndexError& error) {
    return common::fail(PyExc_IndexError, error.what());
  } catch (const PortNumberError& error) {
    py::object rest = host_text(error.what());
    if (!rest) return {};
    return common::fail_percent(PyExc_ValueError, "invalid literal for int() with base 10: %r",
                                rest);
  } catch (const nlohmann::json::exception& error) {
    return common::fail(PyExc_ValueError, error.what());
  }
}

}  // namespace bringup
