// Replacing a file whole, so that a failure leaves the old one intact.
#pragma once

#include <string>

namespace bringup {

// Writes `content` to a new file in the directory of `path`, then renames
// it over `path`. The new file takes the permission bits of the file it
// replaces (those of a newly created file when there is none). On failure
// the temporary file is removed and common::OsError names the path that
// failed; `path` is then untouched.
void replace_file(const std::string& path, const std::string& content);

}  // namespace bringup
