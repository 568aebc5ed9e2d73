#include "engine/duplicates/member_check.h"

#include <limits.h>
#include <sys/stat.h>

namespace tarnwick {
namespace {

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

FileStamp StampOf(const platform::FileStatus& status) {
  return {static_cast<std::uint64_t>(status.device), static_cast<std::uint64_t>(status.inode),
          status.size, Nanoseconds(status.modified), Nanoseconds(status.changed)};
}

bool MemberCheck::StillTheFileCompared(std::string_view folder, const char* name,
                                       std::uint64_t print, platform::FileStatus& seen) {
  // Members of a group mostly lie in different folders: a path the system takes whole
  // is looked at directly, a longer one through its folder's handle.
  path_.assign(folder).append(name);
  struct stat status {};
  if (path_.size() < PATH_MAX) {
    if (::stat(path_.c_str(), &status) != 0) return false;
  } else {
    const int folderFd = folder_.For(folder);
    if (folderFd == -1 || ::fstatat(folderFd, name, &status, 0) != 0) return false;
  }
  seen.size = static_cast<std::int64_t>(status.st_size);
  seen.regular = S_ISREG(status.st_mode);
  seen.folder = S_ISDIR(status.st_mode);
  seen.device = status.st_dev;
  seen.inode = status.st_ino;
  seen.modified = status.st_mtim;
  seen.changed = status.st_ctim;
  return StampPrint(StampOf(seen)) == print;
}

}  // namespace tarnwick
