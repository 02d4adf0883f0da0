// JSON text in the layout the link-defaults file has always had: every
// member on a line of its own, indented by 4 blanks per level, members
// separated by ", " (so a line ending in a comma carries a blank after
// it), keys sorted by character order, empty objects and lists written
// "{}" and "[]", texts with every character outside printable ASCII as a
// \u escape (a lone surrogate as itself, as the host writes it), and no
// line feed after the last bracket. Texts are UTF-8 in which a lone
// surrogate may stand in its three-byte form.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace bringup {

// Keys of nlohmann's default object are kept sorted by byte order, which
// for UTF-8 is character order.
std::string json_text(const nlohmann::json& value);

}  // namespace bringup
