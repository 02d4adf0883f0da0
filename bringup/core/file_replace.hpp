// Replacing a file whole, so that a failure leaves the old one intact.
#pragma once

#include <functional>
#include <string>

#include "common/process_runner.hpp"

namespace bringup {

// A failure whose error text needs a note(): how the file stands after
// it, or why a file left untouched was refused.
class ReplaceError : public common::OsError {
 public:
  ReplaceError(int error_number, std::string path, std::string note);
  const std::string& note() const { return note_; }

 private:
  std::string note_;
};

// The notes: the folder could not be flushed after the rename; the old
// text could not be put back after a failed rewrite in place; the file to
// rewrite in place was read shorter than its size.
extern const char* const kNewTextInPlace;
extern const char* const kMayBeDamaged;
extern const char* const kChangedWhileRead;

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
// owner, group, extended attributes (a POSIX ACL among them) and
// permission bits of the file it replaces, and no attribute that file
// lacks (those of a newly created file when there is none); until then
// only its owner may open it. The existing file itself is rewritten where
// no new file can take its place with all it has: where the directory may
// not be changed (EACCES, EPERM, EROFS), the old owner or an attribute
// cannot be given (EPERM, or EINVAL in a user namespace that does not map
// the owner), the rename is refused (EBUSY for a mount point, EXDEV), the
// file has other links, or only the kernel's links reach it (an open file
// deleted since, through /proc). There the space for a longer text is
// taken first and the old text, read beforehand, is put back if a later
// step fails; a file read shorter than its size is refused untouched. After
// a rename the directory is flushed too. An existing file that a plain open
// for writing would refuse is refused untouched with the same error, found
// without opening it for writing, and a failure to look at it (other than
// its absence) is raised. A target that is not a regular file (a pipe, a
// socket, a device) is written as a plain write would. No temporary file is
// left behind: on failure it is removed and common::OsError names `path`,
// or TemporaryLeftError also names the temporary file when that cannot be
// removed. A regular file is left wholly old or wholly new; only a failure
// to flush the directory comes after the new text is in place, and a
// second failure while putting the old text back may damage the file: both
// raise ReplaceError saying so, as does a file that changed while it was
// read. This process's replacements of an existing file take turns
// (RewriteTurn), each at the file `path` reaches once its turn comes (a
// new file put under the name meanwhile is begun again at), and a rewrite
// in place holds an exclusive record lock on the file (RewriteDescriptor)
// from the read of the old text to the flush of the new one, so that two
// at once end with one text whole; it never waits on a lock its caller
// holds, nor more than a second on a POSIX lock of a process that started
// this one (refused with EDEADLK where it cannot tell that no other
// process's stands in the way too), and a child forked meanwhile holds
// none of it. While either waits,
// `keep_waiting` (unset: the wait goes on) is asked at every pause, and
// false ends the wait with common::Interrupted, the file untouched. An existing file
// that the kernel's sticky-folder guard keeps a plain open of `path` from
// (another user's, under fs.protected_regular) is refused with EACCES, as
// that open is; a failure to ask the guard refuses the write with its
// own error.
void replace_file(const std::string& path, const std::string& content,
                  const std::function<bool()>& keep_waiting = {});

}  // namespace bringup
