// One table of interned names per module.
//
// A module lists every attribute and method name its operations use, once:
//
//     #define GLIMMER_NAMES(N, S) N(asm) N(num_leds) S(dunder_init, "__init__")
//     COMMON_NAME_TABLE(Names, GLIMMER_NAMES)
//     inline Names names;  // filled by names.intern() at module start-up
//
// `N(x)` is a name spelt as the C++ field; `S(field, "text")` one that is
// not a C++ identifier. Reads are then `common::get(obj, names.num_leds)`:
// the same str object every time, so the host's type attribute cache hits.
// The strings live as long as the process (modules are never unloaded).
#pragma once

#include <pybind11/pybind11.h>

#define COMMON_NAME_FIELD(field) PyObject* field = nullptr;
#define COMMON_NAME_FIELD_SPELT(field, text) PyObject* field = nullptr;
#define COMMON_NAME_INTERN(field) \
  if (!(field = PyUnicode_InternFromString(#field))) throw ::pybind11::error_already_set();
#define COMMON_NAME_INTERN_SPELT(field, text) \
  if (!(field = PyUnicode_InternFromString(text))) throw ::pybind11::error_already_set();

#define COMMON_NAME_TABLE(Type, LIST)                                   \
  struct Type {                                                         \
    LIST(COMMON_NAME_FIELD, COMMON_NAME_FIELD_SPELT)                    \
    void intern() { LIST(COMMON_NAME_INTERN, COMMON_NAME_INTERN_SPELT) } \
  };
