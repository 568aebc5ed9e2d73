#include "platform/file_status.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace tarnwick::platform {

std::optional<FileStatus> StatusOf(const FileRef& file) {
  struct stat status {};
  if (::fstatat(file.folderFd, file.name, &status, 0) != 0) return std::nullopt;
  FileStatus result;
  result.size = static_cast<std::int64_t>(status.st_size);
  result.regular = S_ISREG(status.st_mode);
  result.folder = S_ISDIR(status.st_mode);
  result.device = status.st_dev;
  result.inode = status.st_ino;
  result.modified = status.st_mtim;
  result.changed = status.st_ctim;
  return result;
}

std::optional<FileStatus> StatusOf(const std::string& path) { return StatusOf(FileAtPath(path)); }

}  // namespace tarnwick::platform
