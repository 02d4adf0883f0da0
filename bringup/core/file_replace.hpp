// Replacing a file whole, so that a failure leaves the old one intact.
#pragma once

#include <string>

namespace bringup {

// Writes `content` to the file a plain open of `path` would write (symbolic
// links followed, a dangling one included): first to a new file beside that
// target, flushed to disk, then renamed over it. The new file takes the
// owner, group and permission bits of the file it replaces (those of a
// newly created file when there is none). Where the directory may not be
// changed (EACCES, EPERM, EROFS) or the old owner cannot be kept, the
// existing file itself is rewritten: the space for the new text is taken
// first and the old text, read beforehand, is put back if a later step
// fails; a file that cannot be read is refused untouched. A target that is
// not a regular file is written as a plain write would. On failure the
// temporary file is removed and common::OsError names `path`; a regular
// file is left wholly old or wholly new.
void replace_file(const std::string& path, const std::string& content);

}  // namespace bringup
