// The chip base classes and the data-file lookup every chip class shares.
#pragma once

#include "asicmodel/core/catalogue.hpp"

namespace asicmodel {

// Binds the constructor of a family or part-number chip class: it runs the
// constructor of `base_class` (looked up by name when called), then puts in
// front of `chip_dir_list` its first entry with `suffix` appended ("/td2",
// "/56850", or a bare word naming a sibling directory of a later
// generation).
ClassBuilder& chip_constructor_with_suffix(ClassBuilder& chip_class, const char* base_class,
                                           const char* suffix);

}  // namespace asicmodel
