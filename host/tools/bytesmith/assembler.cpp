// Two passes: the first reads every statement, defines the names and gives
// each instruction its address; the second encodes the operands, now that
// every name is known, and checks each against its range.
#include "bytesmith/assembler.hpp"

#include <cctype>
#include <cstdio>
#include <map>
#include <optional>

namespace bytesmith {

namespace {

// What an operand position of an instruction form accepts.
enum class Slot {
  kRegA, kRegB,          // the register itself
  kAtA, kAtB,            // (a), (b)
  kValue,                // 0..255
  kAddress,              // (value), 0..255
  kBit,                  // 0 or 1
  kStatusBit,            // 0..15
  kLabel,                // code address, two bytes
  kCount,                // 0..1023, two bytes
};

struct Form {
  const char* mnemonic;
  std::vector<Slot> slots;
  std::uint8_t opcode;
};

std::vector<Form> instruction_forms() {
  using S = Slot;
  std::vector<Form> forms = {
      {"ld", {S::kRegA, S::kValue}, 0x10},   {"ld", {S::kRegB, S::kValue}, 0x11},
      {"ld", {S::kRegA, S::kAddress}, 0x12}, {"ld", {S::kRegB, S::kAddress}, 0x13},
      {"ld", {S::kAddress, S::kRegA}, 0x14}, {"ld", {S::kAddress, S::kRegB}, 0x15},
      {"ld", {S::kRegA, S::kAtB}, 0x16},     {"ld", {S::kRegB, S::kAtA}, 0x17},
      {"ld", {S::kAtB, S::kRegA}, 0x18},     {"ld", {S::kAtA, S::kRegB}, 0x19},
      {"ld", {S::kRegA, S::kRegB}, 0x1a},    {"ld", {S::kRegB, S::kRegA}, 0x1b},
      {"inc", {S::kRegA}, 0x20},             {"inc", {S::kRegB}, 0x21},
      {"dec", {S::kRegA}, 0x22},             {"dec", {S::kRegB}, 0x23},
      {"jmp", {S::kLabel}, 0x50},            {"jz", {S::kLabel}, 0x51},
      {"jnz", {S::kLabel}, 0x52},            {"call", {S::kLabel}, 0x55},
      {"ret", {}, 0x56},                     {"push", {S::kBit}, 0x60},
      {"pushst", {S::kStatusBit}, 0x61},     {"pack", {}, 0x62},
      {"pop", {}, 0x63},                     {"tand", {}, 0x64},
      {"tor", {}, 0x65},                     {"tinv", {}, 0x66},
      {"port", {S::kRegA}, 0x70},            {"port", {S::kRegB}, 0x71},
      {"port", {S::kValue}, 0x72},           {"send", {S::kCount}, 0x7f},
  };
  const std::pair<const char*, std::uint8_t> arithmetic[] = {
      {"add", 0x30}, {"sub", 0x34}, {"and", 0x38}, {"or", 0x3c}, {"xor", 0x40}, {"cmp", 0x44}};
  for (const auto& [name, base] : arithmetic) {
    forms.push_back({name, {S::kRegA, S::kValue}, base});
    forms.push_back({name, {S::kRegB, S::kValue}, static_cast<std::uint8_t>(base + 1)});
    forms.push_back({name, {S::kRegA, S::kRegB}, static_cast<std::uint8_t>(base + 2)});
    forms.push_back({name, {S::kRegB, S::kRegA}, static_cast<std::uint8_t>(base + 3)});
  }
  return forms;
}

std::size_t operand_bytes(Slot slot) {
  switch (slot) {
    case Slot::kValue: case Slot::kAddress: case Slot::kBit: case Slot::kStatusBit: return 1;
    case Slot::kLabel: case Slot::kCount: return 2;
    default: return 0;
  }
}

// The syntactic shape of a written operand.
struct Operand {
  enum class Kind { kRegA, kRegB, kAtA, kAtB, kExpression, kAtExpression, kBad } kind;
  std::string text;  // the expression, for the two expression kinds
};

std::string trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool is_name(const std::string& text) {
  if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0]))) return false;
  for (char c : text) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return true;
}

std::optional<long long> number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 12) return std::nullopt;
  for (char c : digits) {
    bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
    if (!ok) return std::nullopt;
  }
  return std::stoll(digits, nullptr, hex ? 16 : 10);
}

Operand classify(const std::string& written) {
  std::string text = trim(written);
  if (text == "a") return {Operand::Kind::kRegA, ""};
  if (text == "b") return {Operand::Kind::kRegB, ""};
  if (text.size() >= 2 && text.front() == '(' && text.back() == ')') {
    std::string inner = trim(text.substr(1, text.size() - 2));
    if (inner == "a") return {Operand::Kind::kAtA, ""};
    if (inner == "b") return {Operand::Kind::kAtB, ""};
    if (is_name(inner) || number(inner)) return {Operand::Kind::kAtExpression, inner};
    return {Operand::Kind::kBad, text};
  }
  if (is_name(text) || number(text)) return {Operand::Kind::kExpression, text};
  return {Operand::Kind::kBad, text};
}

bool fits(Slot slot, const Operand& operand) {
  using K = Operand::Kind;
  switch (slot) {
    case Slot::kRegA: return operand.kind == K::kRegA;
    case Slot::kRegB: return operand.kind == K::kRegB;
    case Slot::kAtA: return operand.kind == K::kAtA;
    case Slot::kAtB: return operand.kind == K::kAtB;
    case Slot::kAddress: return operand.kind == K::kAtExpression;
    default: return operand.kind == K::kExpression;
  }
}

struct Instruction {
  int line;
  const Form* form;
  std::vector<Operand> operands;
  std::size_t address;
};

struct Symbol {
  long long value;
  bool is_label;
  int line;
};

class Assembler {
 public:
  Assembly run(const std::string& source) {
    int line_number = 0;
    std::size_t start = 0;
    while (start <= source.size()) {
      std::size_t end = source.find('\n', start);
      if (end == std::string::npos) end = source.size();
      ++line_number;
      read_line(line_number, source.substr(start, end - start));
      start = end + 1;
    }
    if (address_ > kProgramMemory) {
      error(0, "program is " + std::to_string(address_) + " bytes, more than the " +
                   std::to_string(kProgramMemory) + " bytes of program memory");
    }
    for (const Instruction& instruction : instructions_) encode(instruction);
    if (!result_.errors.empty()) result_.program.clear();
    return std::move(result_);
  }

 private:
  void error(int line, const std::string& message) { result_.errors.push_back({line, message}); }

  void define(int line, const std::string& name, long long value, bool is_label) {
    auto known = symbols_.find(name);
    if (known != symbols_.end()) {
      error(line, std::string(is_label ? "duplicate label '" : "duplicate symbol '") + name +
                      "' (first defined on line " + std::to_string(known->second.line) + ")");
      return;
    }
    symbols_[name] = {value, is_label, line};
  }

  void read_line(int line, std::string text) {
    std::size_t comment = text.find(';');
    if (comment != std::string::npos) text.resize(comment);
    text = trim(text);
    if (text.empty()) return;

    std::size_t colon = text.find(':');
    if (colon != std::string::npos) {
      std::string label = trim(text.substr(0, colon));
      if (!is_name(label)) {
        error(line, "bad label '" + label + "'");
        return;
      }
      define(line, label, static_cast<long long>(address_), true);
      text = trim(text.substr(colon + 1));
      if (text.empty()) return;
    }

    std::size_t space = text.find_first_of(" \t");
    std::string word = text.substr(0, space);
    std::string rest = space == std::string::npos ? "" : trim(text.substr(space));

    std::size_t rest_space = rest.find_first_of(" \t");
    if (rest.substr(0, rest_space) == "equ") {
      define_symbol(line, word, trim(rest_space == std::string::npos ? "" : rest.substr(rest_space)));
      return;
    }
    read_instruction(line, word, rest);
  }

  void define_symbol(int line, const std::string& name, const std::string& value) {
    if (!is_name(name)) {
      error(line, "bad symbol name '" + name + "'");
      return;
    }
    std::optional<long long> resolved = number(value);
    if (!resolved && is_name(value)) {
      auto known = symbols_.find(value);
      if (known != symbols_.end() && !known->second.is_label) resolved = known->second.value;
    }
    if (!resolved) {
      error(line, value.empty() ? "missing value for symbol '" + name + "'"
                                : "undefined symbol '" + value + "'");
      return;
    }
    define(line, name, *resolved, false);
  }

  void read_instruction(int line, const std::string& mnemonic, const std::string& rest) {
    std::vector<Operand> operands;
    if (!rest.empty()) {
      std::size_t start = 0;
      for (;;) {
        std::size_t comma = rest.find(',', start);
        operands.push_back(classify(rest.substr(start, comma == std::string::npos
                                                           ? std::string::npos
                                                           : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    }
    bool known_mnemonic = false;
    for (const Form& form : forms_) {
      if (mnemonic != form.mnemonic) continue;
      known_mnemonic = true;
      if (form.slots.size() != operands.size()) continue;
      bool match = true;
      for (std::size_t i = 0; i < operands.size() && match; ++i) match = fits(form.slots[i], operands[i]);
      if (!match) continue;
      instructions_.push_back({line, &form, operands, address_});
      address_ += 1;
      for (Slot slot : form.slots) address_ += operand_bytes(slot);
      return;
    }
    if (!known_mnemonic) {
      error(line, "unknown mnemonic '" + mnemonic + "'");
    } else {
      error(line, "operands '" + rest + "' do not fit '" + mnemonic + "'");
    }
  }

  std::optional<long long> resolve(const Instruction& instruction, const std::string& text,
                                   bool want_label) {
    if (std::optional<long long> value = number(text)) {
      if (want_label) {
        error(instruction.line, "'" + text + "' is not a label");
        return std::nullopt;
      }
      return value;
    }
    auto known = symbols_.find(text);
    if (known == symbols_.end()) {
      error(instruction.line,
            std::string(want_label ? "undefined label '" : "undefined symbol '") + text + "'");
      return std::nullopt;
    }
    if (known->second.is_label != want_label) {
      error(instruction.line, "'" + text + (want_label ? "' is a symbol, not a label"
                                                       : "' is a label, not a value"));
      return std::nullopt;
    }
    return known->second.value;
  }

  void encode(const Instruction& instruction) {
    result_.program.push_back(instruction.form->opcode);
    for (std::size_t i = 0; i < instruction.operands.size(); ++i) {
      Slot slot = instruction.form->slots[i];
      if (operand_bytes(slot) == 0) continue;
      long long limit = 255;
      if (slot == Slot::kBit) limit = 1;
      if (slot == Slot::kStatusBit) limit = 15;
      if (slot == Slot::kCount || slot == Slot::kLabel) limit = kProgramMemory - 1;
      std::optional<long long> value =
          resolve(instruction, instruction.operands[i].text, slot == Slot::kLabel);
      if (!value) value = 0;
      if (*value < 0 || *value > limit) {
        error(instruction.line, "operand '" + instruction.operands[i].text + "' = " +
                                    std::to_string(*value) + " out of range 0.." +
                                    std::to_string(limit));
      }
      result_.program.push_back(static_cast<std::uint8_t>(*value & 0xff));
      if (operand_bytes(slot) == 2) {
        result_.program.push_back(static_cast<std::uint8_t>((*value >> 8) & 0xff));
      }
    }
  }

  const std::vector<Form> forms_ = instruction_forms();
  std::map<std::string, Symbol> symbols_;
  std::vector<Instruction> instructions_;
  std::size_t address_ = 0;
  Assembly result_;
};

}  // namespace

Assembly assemble(const std::string& source) { return Assembler().run(source); }

std::string hex_text(const std::vector<std::uint8_t>& program) {
  std::string text = "bytesmith hex 1\nsize " + std::to_string(program.size()) + "\n";
  unsigned checksum = 0;
  char cell[24];
  for (std::size_t at = 0; at < program.size(); at += 16) {
    std::snprintf(cell, sizeof cell, "%04zx:", at);
    text += cell;
    for (std::size_t i = at; i < program.size() && i < at + 16; ++i) {
      std::snprintf(cell, sizeof cell, " %02x", program[i]);
      text += cell;
      checksum = (checksum + program[i]) & 0xffff;
    }
    text += "\n";
  }
  std::snprintf(cell, sizeof cell, "%04x", checksum);
  return text + "end " + cell + "\n";
}

}  // namespace bytesmith
