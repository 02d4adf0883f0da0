// Reading kernel files and directories the way the kernel readers need:
// what cannot be read is simply absent, never an error.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fanoutprobe {

// The bytes of `path` when it is a regular file; none when it is not one or
// cannot be opened. A read error ends the reading: what was read stands.
std::optional<std::string> read_regular_file(const std::string& path);

bool is_directory(const std::string& path);

// The entry names of the directory `path` ("." and ".." left out), in the
// order the system lists them; none when it cannot be listed.
std::optional<std::vector<std::string>> list_directory(const std::string& path);

}  // namespace fanoutprobe
