// Extended attributes (a POSIX ACL among them) carried from one file to
// another.
#pragma once

#include <string>

namespace bringup {

// Gives the file open as `destination` exactly the extended attributes of
// the file at `source_path`, open as `source` (-1 when it may not be read):
// every one the source has, its POSIX ACL included, and none it lacks (a
// folder's default ACL gives one to every file made in it). False when
// that cannot be done wholly; the destination may then hold part of them.
bool carry_extended_attributes(int source, const std::string& source_path, int destination);

}  // namespace bringup
