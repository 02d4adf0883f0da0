// Replacing a file whole, so that a failure leaves the old one intact.
#pragma once

#include <string>

#include "common/process_runner.hpp"

namespace bringup {

// A failure after which the file is not simply as it was before: note()
// says how it stands, for the error's text.
class ReplaceError : public common::OsError {
 public:
  ReplaceError(int error_number, std::string path, std::string note);
  const std::string& note() const { return note_; }

 private:
  std::string note_;
};

// The notes: the folder could not be flushed after the rename; the old
// text could not be put back after a failed rewrite in place.
extern const char* const kNewTextInPlace;
extern const char* const kMayBeDamaged;

// A failed replacement whose temporary file could not be removed:
// error_number() and filename() are the failure's, temporary() names the
// file left behind and removal_error() is why it stayed, or 0 when the
// failure is the removal itself (its condition before was harmless).
class TemporaryLeftError : public common::OsError {
 public:
  TemporaryLeftError(int error_number, std::string path, std::string temporary, int removal_error);
  const std::string& temporary() const { return temporary_; }
  int removal_error() const { return removal_error_; }

 private:
  std::string temporary_;
  int removal_error_;
};

// Writes `content` to the file a plain open of `path` would write (symbolic
// links followed, a dangling one included): first to a new file beside that
// target, flushed to disk, then renamed over it. The new file takes the
// owner, group and permission bits of the file it replaces (those of a
// newly created file when there is none). Where the directory may not be
// changed (EACCES, EPERM, EROFS), the old owner cannot be kept (EPERM, or
// EINVAL in a user namespace that does not map it) or the rename is
// refused (EBUSY for a mount point, EXDEV), the existing file itself is
// rewritten: the space for the new text is taken first and the old text,
// read beforehand, is put back if a later step fails; a file that cannot
// be read whole is refused untouched. After a rename the directory is
// flushed too. An existing file that a plain open for writing would refuse
// is refused untouched, and a failure to look at it (other than its
// absence) is raised. A target that is not a regular file is written as
// a plain write would. No temporary file is left behind: on failure it is
// removed and common::OsError names `path`, or TemporaryLeftError also
// names the temporary file when that cannot be removed. A regular file is
// left wholly old or wholly new; only a failure to flush the directory
// comes after the new text is in place, and a second failure while putting
// the old text back may damage the file: both raise ReplaceError saying so.
void replace_file(const std::string& path, const std::string& content);

}  // namespace bringup
