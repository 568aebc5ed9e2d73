#include "platform/file_status.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::platform {

std::optional<FileStatus> StatusAt(int folderFd, const char* path) {
  struct stat status {};
  if (::fstatat(folderFd, path, &status, 0) != 0) return std::nullopt;
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

std::optional<FileStatus> StatusOf(const std::string& path) {
  return StatusAt(AT_FDCWD, path.c_str());
}

bool OpenFolder::Open(const std::string& folder) {
  Close();
  // O_PATH: only a handle for lookups, so a folder without read permission opens too.
  fd_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  return fd_ >= 0;
}

void OpenFolder::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::optional<FileStatus> OpenFolder::StatusOf(const char* name) const {
  if (fd_ < 0) return std::nullopt;
  return StatusAt(fd_, name);
}

}  // namespace tarnwick::platform
