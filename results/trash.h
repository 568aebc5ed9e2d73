#pragma once
// The desktop's trash (freedesktop.org layout): a trashed file can be restored from the
// file manager's trash view. Nothing here ever deletes a file: when a file cannot be
// put into a trash it stays where it is.

#include <sys/types.h>

#include <ctime>
#include <string>

namespace tarnwick {

struct TrashPlace {
  std::string homeTrash;  // "$XDG_DATA_HOME/Trash", for files on its file system
  uid_t user = 0;         // names the trash of other file systems: .Trash/UID, .Trash-UID
};

// The home trash and user of this process: $XDG_DATA_HOME when it is an absolute path,
// else $HOME/.local/share.
TrashPlace CurrentTrashPlace();

// Moves the file `path` into a trash on its own file system, with a .trashinfo entry
// holding its original path and `deletedAt` (local time): the home trash when the file
// lies on the same file system, else "$topdir/.Trash/UID" when "$topdir/.Trash" is a
// real sticky folder, else "$topdir/.Trash-UID", where $topdir is the mount point of the
// file's file system. The name inside the trash gets a number when it is taken, and a
// name too long to carry the info file's suffix is shortened there (the info file
// still holds the original path).
// False, with the file left in place, when it is a folder, does not exist, or no trash
// on its file system can take it.
bool MoveToTrash(const std::string& path, const TrashPlace& place, std::time_t deletedAt);

}  // namespace tarnwick
