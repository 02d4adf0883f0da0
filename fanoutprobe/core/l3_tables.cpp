#include "fanoutprobe/core/l3_tables.hpp"

#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {

L3IntfRead read_l3_intfs(std::string_view output) {
  L3IntfRead read;
  std::vector<std::string_view> lines = split_lines(output);
  if (lines.size() < 2) {
    read.failure = failure(FailureKind::kIndex);
    return read;
  }
  std::vector<std::string_view> header = split_words(lines[1]);
  long intf_column = find_word(header, "Intf");
  if (intf_column < 0) {
    read.failure = failure(FailureKind::kNotInList, "Intf");
    return read;
  }
  long vlan_column = find_word(header, "VLAN");
  if (vlan_column < 0) {
    read.failure = failure(FailureKind::kNotInList, "VLAN");
    return read;
  }
  std::vector<std::string_view> words;
  for (std::size_t i = 3; i < lines.size(); ++i) {
    split_words(lines[i], words);
    long count = static_cast<long>(words.size());
    if (count <= vlan_column || count <= intf_column) continue;
    Number intf = decimal(words[intf_column]);
    Number vlan = intf.failure ? Number{} : decimal(words[vlan_column]);
    if (intf.failure || vlan.failure) {
      read.failure = intf.failure ? intf.failure : vlan.failure;
      return read;
    }
    read.rows.push_back({intf.value, vlan.value});
  }
  return read;
}

namespace {

// The values of the three keys a record is made of; any other key is read
// and dropped. A later field with the same key replaces the value.
struct Fields {
  static constexpr std::string_view kKeys[3] = {"port", "old_vid", "new_vid"};
  std::string_view values[3] = {"-1", "-1", "-1"};  // a missing key is -1
};

void put(Fields& fields, std::string_view key, std::string_view value) {
  for (int k = 0; k < 3; ++k) {
    if (Fields::kKeys[k] == key) {
      fields.values[k] = value;
      return;
    }
  }
}

// The leftmost "modid = <digits> port = <digits>" in the field.
void read_modid_field(std::string_view field, Fields& fields) {
  static constexpr std::string_view kModid = "modid = ", kPort = " port = ";
  for (std::size_t at = field.find(kModid); at != std::string_view::npos;
       at = field.find(kModid, at + 1)) {
    std::size_t modid_at = at + kModid.size();
    std::size_t modid = digit_run(field, modid_at);
    if (modid == 0 || field.substr(modid_at + modid, kPort.size()) != kPort) continue;
    std::size_t port_at = modid_at + modid + kPort.size();
    std::size_t port = digit_run(field, port_at);
    if (port == 0) continue;
    put(fields, "port", field.substr(port_at, port));
    return;
  }
}

void read_key_value_field(std::string_view field, Fields& fields) {
  std::string_view stripped = strip(field);
  std::size_t equals = stripped.find('=');
  if (equals == std::string_view::npos) return;  // neither "modid" nor "=": no value
  std::string_view rest = stripped.substr(equals + 1);
  put(fields, strip(stripped.substr(0, equals)), strip(rest.substr(0, rest.find('='))));
}

}  // namespace

XlateRead read_vlan_translations(std::string_view output) {
  XlateRead read;
  for (std::string_view line : split_lines(output)) {
    Fields fields;
    std::size_t start = 0;
    while (true) {
      std::size_t comma = line.find(',', start);
      std::string_view field = line.substr(start, comma == std::string_view::npos
                                                      ? std::string_view::npos
                                                      : comma - start);
      if (field.find("modid") != std::string_view::npos) {
        read_modid_field(field, fields);
      } else {
        read_key_value_field(field, fields);
      }
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    Number values[3];
    for (int k = 0; k < 3; ++k) {
      values[k] = decimal(fields.values[k]);
      if (values[k].failure) {
        read.failure = values[k].failure;
        return read;
      }
    }
    read.rows.push_back({values[0].value, values[2].value, values[1].value});
  }
  return read;
}

}  // namespace fanoutprobe
