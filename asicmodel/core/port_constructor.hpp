// Constructors of the family port classes, declared as data.
//
// A family constructor takes many arguments, each with its own name and
// many with a default, and mostly hands them on by name to its base
// class's constructor. A `Signature` lists the parameter names (required
// ones first, then those with a default) and `bind_constructor` makes the
// `__init__` of exactly that signature, so position, keyword and argument
// errors behave as in any Python class; its body receives the arguments as
// one dictionary in declaration order.
#pragma once

#include <array>
#include <cstddef>
#include <utility>
#include <vector>

#include "asicmodel/core/catalogue.hpp"

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

// The constructor's work: the new object and its arguments by name.
using ConstructorBody = void (*)(py::object self, py::dict arguments);

py::object default_value(Default value);

namespace detail {

template <std::size_t>
using Argument = py::object;

template <std::size_t R, std::size_t O, std::size_t... Ri, std::size_t... Oi>
ClassBuilder& bind(ClassBuilder& port_class, const Signature<R, O>& signature,
                   ConstructorBody body, std::index_sequence<Ri...>,
                   std::index_sequence<Oi...>) {
  std::vector<const char*> names = {signature.required[Ri]..., signature.optional[Oi].name...};
  auto init = [names, body](py::object self, Argument<Ri>... required,
                            Argument<R + Oi>... optional) {
    const std::array<py::object, R + O> values = {required..., optional...};
    py::dict arguments;
    for (std::size_t i = 0; i < names.size(); ++i) arguments[py::str(names[i])] = values[i];
    body(std::move(self), std::move(arguments));
  };
  return port_class.method(
      "__init__", init, py::arg("self"), py::arg(signature.required[Ri])...,
      py::arg_v(signature.optional[Oi].name, default_value(signature.optional[Oi].value))...);
}

}  // namespace detail

template <std::size_t R, std::size_t O>
ClassBuilder& bind_constructor(ClassBuilder& port_class, const Signature<R, O>& signature,
                               ConstructorBody body) {
  return detail::bind(port_class, signature, body, std::make_index_sequence<R>(),
                      std::make_index_sequence<O>());
}

// Runs `base_class.__init__(self, **arguments)`, the class looked up in the
// module when called.
void init_base(const char* base_class, py::object self, const py::dict& arguments);

}  // namespace asicmodel
