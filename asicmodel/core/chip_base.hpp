// The chip base classes, the data-file lookup every chip class shares, and
// the port channel map the family chip classes build.
#pragma once

#include <initializer_list>
#include <utility>

#include "asicmodel/core/catalogue.hpp"

namespace asicmodel {

// Binds the constructor of a family or part-number chip class: it runs the
// constructor of `base_class` (looked up by name when called), then puts in
// front of `chip_dir_list` its first entry with `suffix` appended ("/td2",
// "/56850", or a bare word naming a sibling directory of a later
// generation).
ClassBuilder& chip_constructor_with_suffix(ClassBuilder& chip_class, const char* base_class,
                                           const char* suffix);

// Defines and binds a part-number chip class: `base`'s data plus the given
// class attributes, and the part's own directory (`suffix`) searched first.
void define_part_chip(Catalogue& catalogue, const char* name, const char* base,
                      const char* suffix,
                      std::initializer_list<std::pair<const char*, py::object>> attributes);

// A `port_channel_type_map`: channel width in serdes lanes (1, 4) -> the
// family's single-lane and four-lane speed port classes, by name.
py::dict port_channel_types(Catalogue& catalogue, const char* single_lane, const char* four_lane);

}  // namespace asicmodel
