// Constructors of the family port classes, declared as data.
//
// A family constructor takes many arguments, each with its own name and
// many with a default, and mostly hands them on by name to its base
// class's constructor. A `Signature` lists the parameter names (required
// ones first, then those with a default) and `bind_constructor` makes the
// `__init__` of exactly that signature as a fast builtin, so position,
// keyword and argument errors behave as in any Python class. Its body
// receives the arguments as `Fields`: interned names and values in
// declaration order, reshaped in place and handed to the base constructor
// by one vectorcall whose keyword-name tuple is built once per shape.
#pragma once

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "asicmodel/core/catalogue.hpp"
#include "asicmodel/core/names.hpp"
#include "common/host_calls.hpp"

namespace asicmodel {

enum class Default { kNone, kFalse, kZero };

struct Optional {
  const char* name;
  Default value = Default::kNone;
};

template <std::size_t R, std::size_t O>
struct Signature {
  std::array<const char*, R> required;
  std::array<Optional, O> optional;
};

template <std::size_t R, std::size_t O>
constexpr Signature<R, O> make_signature(const char* const (&required)[R],
                                         const Optional (&optional)[O]) {
  Signature<R, O> signature{};
  for (std::size_t i = 0; i < R; ++i) signature.required[i] = required[i];
  for (std::size_t i = 0; i < O; ++i) signature.optional[i] = optional[i];
  return signature;
}

template <std::size_t R>
constexpr Signature<R, 0> make_signature(const char* const (&required)[R]) {
  Signature<R, 0> signature{};
  for (std::size_t i = 0; i < R; ++i) signature.required[i] = required[i];
  return signature;
}

py::object default_value(Default value);

// Named constructor arguments, in order: at most 32, names interned.
class Fields {
 public:
  static constexpr std::size_t kCapacity = 32;
  Fields() = default;
  Fields(const Fields&) = delete;
  Fields& operator=(const Fields&) = delete;
  Fields(Fields&& other) noexcept : size_(other.size_), next_(other.next_) {
    for (std::size_t i = 0; i < size_; ++i) {
      names_[i] = other.names_[i];
      values_[i] = other.values_[i];
    }
    other.size_ = 0;
  }
  Fields& operator=(Fields&&) = delete;
  ~Fields() {
    for (std::size_t i = 0; i < size_; ++i) Py_XDECREF(values_[i]);
  }

  // The value under `name`, or a null handle.
  py::handle get(PyObject* name) const;
  // Replaces the value under `name`, or appends it.
  void set(PyObject* name, py::handle value);
  // Appends `name`, known to be absent (the declared parameters).
  void append(PyObject* name, PyObject* value) {
    names_[size_] = name;
    values_[size_++] = Py_NewRef(value);
  }
  // Removes `name` and returns its value (null when absent).
  py::object pop(PyObject* name);

  std::size_t size() const { return size_; }
  PyObject* name(std::size_t i) const { return names_[i]; }
  PyObject* const* values() const { return values_; }

 private:
  std::size_t index_of(PyObject* name) const;
  // Only the first `size_` entries are set; each value is a reference held.
  PyObject* names_[kCapacity];
  PyObject* values_[kCapacity];
  std::size_t size_ = 0;
  mutable std::size_t next_ = 0;  // where the next search starts
};

// The constructor's work: the new object and its arguments by name. Returns
// None, or a null object with the host's error set.
using ConstructorBody = py::object (*)(py::handle self, Fields& arguments);

void bind_constructor_names(ClassBuilder& port_class, std::vector<common::Param> params,
                            ConstructorBody body, const char* doc);

template <std::size_t R, std::size_t O>
ClassBuilder& bind_constructor(ClassBuilder& port_class, const Signature<R, O>& signature,
                               ConstructorBody body, const char* doc = nullptr) {
  std::vector<common::Param> params = {"self"};
  for (const char* name : signature.required) params.emplace_back(name);
  for (const Optional& optional : signature.optional) {
    params.emplace_back(optional.name, default_value(optional.value));
  }
  bind_constructor_names(port_class, std::move(params), body, doc);
  return port_class;
}

// Runs `base_class.__init__(self, **fields)`, the class looked up in the
// module when called; None or null with the error set.
py::object init_base(PyObject* base_class, py::handle self, const Fields& fields);

}  // namespace asicmodel
