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
                                       std::uint64_t print) {
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
  const FileStamp stamp{static_cast<std::uint64_t>(status.st_dev),
                        static_cast<std::uint64_t>(status.st_ino),
                        static_cast<std::int64_t>(status.st_size), Nanoseconds(status.st_mtim),
                        Nanoseconds(status.st_ctim)};
  return StampPrint(stamp) == print;
}

}  // namespace tarnwick
