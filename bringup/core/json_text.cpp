#include "bringup/core/json_text.hpp"

namespace bringup {

namespace {

void write(const nlohmann::json& value, int level, std::string& out) {
  const std::string inner(static_cast<std::size_t>(4 * (level + 1)), ' ');
  const std::string outer(static_cast<std::size_t>(4 * level), ' ');
  if (value.is_object() && !value.empty()) {
    out += "{";
    bool first = true;
    for (const auto& [key, member] : value.items()) {
      out += first ? "\n" : ", \n";
      first = false;
      out += inner;
      out += nlohmann::json(key).dump(-1, ' ', true);
      out += ": ";
      write(member, level + 1, out);
    }
    out += "\n" + outer + "}";
  } else if (value.is_array() && !value.empty()) {
    out += "[";
    bool first = true;
    for (const auto& element : value) {
      out += first ? "\n" : ", \n";
      first = false;
      out += inner;
      write(element, level + 1, out);
    }
    out += "\n" + outer + "]";
  } else {
    // Scalars, "{}" and "[]": nlohmann writes them as the layout wants,
    // texts escaped to ASCII.
    out += value.dump(-1, ' ', true);
  }
}

}  // namespace

std::string json_text(const nlohmann::json& value) {
  std::string out;
  write(value, 0, out);
  return out;
}

}  // namespace bringup
