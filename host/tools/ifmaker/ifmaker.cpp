// Stand-in for the switch-port device tool, installed on a switch as
// /usr/lib/tervane/ifmaker.
//
//   ifmaker add name NAME type TYPE unit UNIT
//       creates the device NAME of TYPE ("bcm_knet" or "mlx_sx_netdev") on
//       SDK unit UNIT (decimal)
//   ifmaker show type TYPE
//       lists the devices of TYPE, one "NAME TYPE UNIT" line each
//
// Without the switch drivers, a device is a tap device (made with
// `ip tuntap`) whose interface alias "ifmaker TYPE UNIT" records what it
// stands for; `show` reads the aliases under /sys/class/net. Anything not
// understood fails with a message on standard error and status 2; a
// failing `ip` passes its status on.
#include <dirent.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "common/process_runner.hpp"

namespace {

int usage(const std::string& problem) {
  std::cerr << "ifmaker: " << problem << "\n"
            << "usage: ifmaker add name NAME type TYPE unit UNIT | ifmaker show type TYPE\n";
  return 2;
}

bool known_type(const std::string& type) { return type == "bcm_knet" || type == "mlx_sx_netdev"; }

bool good_name(const std::string& name) {
  if (name.empty() || name.size() > 15 || name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c == '/' || c == ':' || std::isspace(c) || !std::isprint(c)) return false;
  }
  return true;
}

bool decimal(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (unsigned char c : text) {
    if (!std::isdigit(c)) return false;
  }
  return true;
}

int run_ip(const std::vector<std::string>& words) {
  std::vector<std::string> argv = {"ip"};
  argv.insert(argv.end(), words.begin(), words.end());
  common::ProcessOptions options;
  options.output = common::Stream::kInherit;
  common::ProcessResult result = common::run_process(argv, options);
  return result.status;
}

int add(const std::string& name, const std::string& type, const std::string& unit) {
  if (!good_name(name)) return usage("bad device name: " + name);
  if (!known_type(type)) return usage("unknown device type: " + type);
  if (!decimal(unit)) return usage("unit is not a decimal number: " + unit);
  if (int status = run_ip({"tuntap", "add", "dev", name, "mode", "tap", "one_queue"})) return status;
  return run_ip({"link", "set", "dev", name, "alias", "ifmaker " + type + " " + unit});
}

int show(const std::string& type) {
  if (!known_type(type)) return usage("unknown device type: " + type);
  DIR* directory = opendir("/sys/class/net");
  if (!directory) {
    std::perror("ifmaker: /sys/class/net");
    return 1;
  }
  std::vector<std::string> lines;
  while (dirent* entry = readdir(directory)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    std::ifstream alias_file("/sys/class/net/" + name + "/ifalias");
    std::string alias;
    if (!std::getline(alias_file, alias)) continue;
    const std::string tag = "ifmaker " + type + " ";
    if (alias.compare(0, tag.size(), tag) != 0) continue;
    lines.push_back(name + " " + type + " " + alias.substr(tag.size()));
  }
  closedir(directory);
  for (const std::string& line : lines) std::cout << line << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() == 7 && args[0] == "add" && args[1] == "name" && args[3] == "type" &&
        args[5] == "unit") {
      return add(args[2], args[4], args[6]);
    }
    if (args.size() == 3 && args[0] == "show" && args[1] == "type") return show(args[2]);
  } catch (const std::exception& error) {
    std::cerr << "ifmaker: " << error.what() << "\n";
    return 1;
  }
  return usage("arguments not understood");
}
