#include "fanoutprobe/core/bridge_vlans.hpp"

#include <cmath>
#include <nlohmann/json.hpp>

#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {

namespace {

// The listing's own key order is kept: devices are read in listing order.
using Json = nlohmann::ordered_json;

bool is_vlan_list(const Json& value) { return value.is_array(); }

bool read_vid(const Json& value, std::int64_t& vid, Failure& fault) {
  if (value.is_number_integer()) {
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > INT64_MAX) {
      fault = failure(FailureKind::kOverflow, value.dump());
      return false;
    }
    vid = value.get<std::int64_t>();
    return true;
  }
  if (value.is_number_float()) {
    double number = std::trunc(value.get<double>());
    if (!(number >= -9.2e18 && number <= 9.2e18)) {
      fault = failure(FailureKind::kOverflow, value.dump());
      return false;
    }
    vid = static_cast<std::int64_t>(number);
    return true;
  }
  if (value.is_boolean()) {
    vid = value.get<bool>() ? 1 : 0;
    return true;
  }
  if (value.is_string()) {
    Number number = decimal(value.get_ref<const std::string&>());
    if (number.failure) {
      fault = number.failure;
      return false;
    }
    vid = number.value;
    return true;
  }
  // What the host's int() says of null, a list or an object.
  const char* type = value.is_null() ? "NoneType" : value.is_array() ? "list" : "dict";
  fault = failure(FailureKind::kType,
                  std::string("int() argument must be a string, a bytes-like object or a real "
                              "number, not '") + type + "'");
  return false;
}

bool is_untagged(const Json& vlan) {
  auto flags = vlan.find("flags");
  if (flags == vlan.end() || !flags->is_array()) return false;
  for (const Json& flag : *flags)
    if (flag.is_string() && flag.get_ref<const std::string&>() == "Egress Untagged") return true;
  return false;
}

// Reads one device's VLAN objects.
void read_device(const std::string& device, const Json* vlans, BridgeVlanRead& read) {
  read.devices.push_back({device, {}});
  if (!vlans) return;
  for (const Json& vlan : *vlans) {
    if (!vlan.is_object()) continue;
    BridgeVlan read_vlan{0, is_untagged(vlan), {}};
    auto found = vlan.find("vlan");
    if (found != vlan.end()) read_vid(*found, read_vlan.vid, read_vlan.failure);
    read.devices.back().vlans.push_back(std::move(read_vlan));
  }
}

bool is_listing_of_objects(const Json& document) {
  for (const auto& item : document.items())
    if (!is_vlan_list(item.value())) return false;
  return true;
}

bool is_listing_of_devices(const Json& document) {
  for (const Json& element : document) {
    if (!element.is_object()) return false;
    auto name = element.find("ifname");
    if (name == element.end() || !name->is_string()) return false;
    auto vlans = element.find("vlans");
    if (vlans != element.end() && !is_vlan_list(*vlans)) return false;
  }
  return true;
}

}  // namespace

BridgeVlanRead read_bridge_vlans(std::string_view json_text) {
  BridgeVlanRead read;
  Json document;
  try {
    document = Json::parse(json_text.begin(), json_text.end());
  } catch (const Json::parse_error& error) {
    read.invalid_json = true;
    read.json_error = error.what();
    read.json_error_at = error.byte > 0 ? error.byte - 1 : 0;
    return read;
  } catch (const Json::out_of_range& error) {
    // A number literal beyond the range of a double: the host reads it as
    // an infinity, which no VLAN id can be.
    std::string_view message = error.what();
    std::size_t open = message.find('\''), close = message.rfind('\'');
    read.failure = failure(FailureKind::kOverflow, open < close
                                                       ? message.substr(open + 1, close - open - 1)
                                                       : message);
    return read;
  }
  if (document.is_object() && is_listing_of_objects(document)) {
    for (const auto& item : document.items())
      read_device(item.key(), &item.value(), read);
  } else if (document.is_array() && is_listing_of_devices(document)) {
    for (const Json& element : document) {
      auto vlans = element.find("vlans");
      const Json* list = vlans == element.end() ? nullptr : &*vlans;
      read_device(element["ifname"].get<std::string>(), list, read);
    }
  }
  return read;
}

}  // namespace fanoutprobe
