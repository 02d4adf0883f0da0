#include "fanoutprobe/core/bridge_vlans.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "fanoutprobe/core/text_scan.hpp"

namespace fanoutprobe {

namespace {

// The listing's own key order is kept: devices are read in listing order.
using Json = nlohmann::ordered_json;

bool is_vlan_list(const Json& value) { return value.is_array(); }

// nlohmann refuses a number literal beyond the range of a double, which the
// host's JSON reader takes (as an infinity). Before parsing, each such
// literal is replaced by an empty object; the reader below takes each of
// those objects, known by its place among the text's objects, as a binary
// value holding the literal's text, which no JSON text can give. Every
// reading but that of "vlan" passes over it as it would over a number, and
// "vlan" reports the number as too large.

// The length of the number the host reads at the start of `text`, 0 when
// none starts there: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?, each
// optional part taken only when whole (so "1e400.5" and "1e+x" read "1e400"
// and "1", and the text fails after them).
std::size_t json_number_length(std::string_view text) {
  auto digit = [&](std::size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
  std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
  if (!digit(i)) return 0;
  if (text[i++] != '0') {
    while (digit(i)) ++i;
  }
  if (i < text.size() && text[i] == '.' && digit(i + 1)) {
    for (i += 2; digit(i);) ++i;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t exponent = i + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    if (digit(exponent)) {
      for (i = exponent; digit(i);) ++i;
    }
  }
  return i;
}

// The power of ten of a JSON number's first significant digit (the
// exponent saturated far beyond any double), or 0 for a zero.
long long decimal_magnitude(std::string_view token) {
  std::size_t i = token[0] == '-' ? 1 : 0;
  long long magnitude = 0;
  bool significant = false;
  for (bool fraction = false; i < token.size() && token[i] != 'e' && token[i] != 'E'; ++i) {
    if (token[i] == '.') {
      fraction = true;
    } else if (significant) {
      if (!fraction) ++magnitude;
    } else if (token[i] != '0') {
      significant = true;
    } else if (fraction) {
      --magnitude;
    }
  }
  if (!significant) return 0;
  if (i == token.size()) return magnitude;
  long long exponent = 0;
  const bool negative = token[++i] == '-';
  if (token[i] == '-' || token[i] == '+') ++i;
  for (; i < token.size(); ++i) exponent = std::min(exponent * 10 + (token[i] - '0'), 1000000LL);
  return magnitude + (negative ? -exponent : exponent);
}

// Whether a number literal (a whole JSON number) reads as an infinity, as
// the host reads it, whatever the locale (std::from_chars, not strtod,
// which follows the locale's decimal point). from_chars reports both ends
// of the range alike; the magnitude tells an overflow from an underflow,
// which reads as a zero or a subnormal.
bool beyond_double(std::string_view token) {
  // Below 300 characters only an exponent reaches past a double.
  if (token.size() < 300 && token.find_first_of("eE") == std::string_view::npos) return false;
  double value = 0;
  const auto read = std::from_chars(token.data(), token.data() + token.size(), value);
  return read.ec == std::errc::result_out_of_range && decimal_magnitude(token) > 0;
}

// The text with every number literal beyond a double replaced (left empty
// when there is none); strings are passed over whole, so nothing inside
// them is taken for a number.
struct MarkedText {
  struct Replacement {
    std::size_t start, end;  // in the new text
    std::size_t original_start, original_end;
    std::size_t object;      // its place among the new text's objects, from 1
  };
  std::string text;
  std::vector<Replacement> replaced;  // in text order

  // The byte of the original text at byte `at` of the new one.
  std::size_t original_at(std::size_t at) const {
    std::size_t new_end = 0, original_end = 0;
    for (const Replacement& r : replaced) {
      if (at < r.start) break;
      if (at < r.end) return r.original_start;
      new_end = r.end;
      original_end = r.original_end;
    }
    return at - new_end + original_end;
  }
};

MarkedText with_wide_numbers_marked(std::string_view text) {
  MarkedText marked;
  std::size_t copied = 0, objects = 0;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\') ++i;
      }
      ++i;
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      const std::size_t end = i + std::max<std::size_t>(json_number_length(text.substr(i)), 1);
      if (beyond_double(text.substr(i, end - i))) {
        marked.text.append(text.substr(copied, i - copied));
        const std::size_t start = marked.text.size();
        marked.text.append("{}");
        marked.replaced.push_back({start, marked.text.size(), i, end, ++objects});
        copied = end;
      }
      i = end;
    } else {
      if (c == '{') ++objects;
      ++i;
    }
  }
  if (copied > 0) marked.text.append(text.substr(copied));
  return marked;
}

// Builds the document as nlohmann's own reader does, but takes each object
// that stands for a number beyond a double as a binary value holding the
// number's text (that object is empty: its end comes next).
class MarkedNumberReader {
 public:
  MarkedNumberReader(Json& document, const MarkedText& marked, std::string_view original)
      : dom_(document), marked_(marked), original_(original) {}

  bool null() { return dom_.null(); }
  bool boolean(bool value) { return dom_.boolean(value); }
  bool number_integer(Json::number_integer_t value) { return dom_.number_integer(value); }
  bool number_unsigned(Json::number_unsigned_t value) { return dom_.number_unsigned(value); }
  bool number_float(Json::number_float_t value, const Json::string_t& text) {
    return dom_.number_float(value, text);
  }
  bool string(Json::string_t& value) { return dom_.string(value); }
  bool binary(Json::binary_t& value) { return dom_.binary(value); }
  bool key(Json::string_t& value) { return dom_.key(value); }
  bool start_array(std::size_t size) { return dom_.start_array(size); }
  bool end_array() { return dom_.end_array(); }
  bool start_object(std::size_t size) {
    ++objects_;
    if (next_ == marked_.replaced.size() || marked_.replaced[next_].object != objects_)
      return dom_.start_object(size);
    const MarkedText::Replacement& number = marked_.replaced[next_];
    const std::string_view literal =
        original_.substr(number.original_start, number.original_end - number.original_start);
    Json::binary_t value(std::vector<std::uint8_t>(literal.begin(), literal.end()));
    in_number_ = true;
    return dom_.binary(value);
  }
  bool end_object() {
    if (!in_number_) return dom_.end_object();
    in_number_ = false;
    ++next_;
    return true;
  }
  template <typename Exception>
  bool parse_error(std::size_t position, const std::string& last_token, const Exception& error) {
    return dom_.parse_error(position, last_token, error);
  }

 private:
  nlohmann::detail::json_sax_dom_parser<Json> dom_;
  const MarkedText& marked_;
  std::string_view original_;
  std::size_t objects_ = 0;  // objects begun so far
  std::size_t next_ = 0;     // the next replacement to meet
  bool in_number_ = false;
};

// The literal text of a marked number, or nothing.
std::optional<std::string_view> number_beyond_double(const Json& value) {
  if (!value.is_binary()) return std::nullopt;
  const Json::binary_t& bytes = value.get_binary();
  return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

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
  if (std::optional<std::string_view> literal = number_beyond_double(value)) {
    fault = failure(FailureKind::kOverflow, *literal);
    return false;
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
    if (!vlan.is_object()) continue;  // a number beyond a double too
    BridgeVlan read_vlan{0, is_untagged(vlan), {}};
    auto found = vlan.find("vlan");
    if (found != vlan.end()) read_vid(*found, read_vlan.vid, read_vlan.failure);
    read.devices.back().vlans.push_back(std::move(read_vlan));
  }
}

// The number of characters of UTF-8 text: every byte but continuation
// bytes starts one (a lone surrogate's three bytes too).
std::size_t characters_in(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xc0) != 0x80;
  }));
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
  const MarkedText marked = with_wide_numbers_marked(json_text);
  try {
    MarkedNumberReader reader(document, marked, json_text);
    if (marked.replaced.empty()) {
      Json::sax_parse(json_text.begin(), json_text.end(), &reader);
    } else {
      Json::sax_parse(marked.text.begin(), marked.text.end(), &reader);
    }
  } catch (const Json::parse_error& error) {
    read.invalid_json = true;
    read.json_error = error.what();
    const std::size_t at = marked.original_at(error.byte > 0 ? error.byte - 1 : 0);
    read.json_error_at = characters_in(json_text.substr(0, at));
    return read;
  } catch (const Json::out_of_range& error) {
    // A number the marking above did not take for one beyond a double,
    // which nlohmann refuses all the same.
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
