#pragma once
// Renaming a file onto a name only while nothing holds that name.

#include <string>

namespace tarnwick {

// Renames `from` to `to` unless something already is at `to`: then false with errno
// EEXIST and nothing touched. Atomic where the file system allows it (a rename that
// refuses to replace, else a hard link and an unlink); on one that has neither, the look
// at `to` and the rename are two steps. False with the system's errno on other failures.
bool RenameKeepingTarget(const std::string& from, const std::string& to);

}  // namespace tarnwick
