#include "platform/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/descriptors.h"

namespace tarnwick::platform {
namespace {

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

bool IsReadFailure(int error) {
  // ESRCH: an entry of /proc whose process ended while the walk went by, as good as gone.
  return error != 0 && error != ENOENT && error != ENOTDIR && error != ELOOP && error != EISDIR &&
         error != ESRCH;
}

ReadOnlyFile::~ReadOnlyFile() { Close(); }

bool ReadOnlyFile::Open(const std::string& path) { return OpenAt(AT_FDCWD, path.c_str()); }

bool ReadOnlyFile::Fail(int error) {
  error_ = error;
  return false;
}

bool ReadOnlyFile::OpenAt(int folderFd, const char* name) {
  Close();
  error_ = 0;
  // Special files are refused before they are opened: opening a device can act on it
  // (a watchdog starts counting, a tape rewinds), and a FIFO would wait for a writer.
  struct stat info {};
  if (::fstatat(folderFd, name, &info, 0) != 0) return Fail(errno);
  if (S_ISDIR(info.st_mode)) return Fail(EISDIR);
  if (!S_ISREG(info.st_mode)) return Fail(0);
  return OpenRegularAt(folderFd, name);
}

bool ReadOnlyFile::OpenRegularAt(int folderFd, const char* name) {
  Close();
  error_ = 0;
  // Non-blocking, and checked once open, since the path may have been replaced by a
  // FIFO since it was looked at.
  const int fd = OpenWaitingForDescriptor(
      [&] { return ::openat(folderFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY); });
  if (fd < 0) return Fail(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return Fail(error);
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return Fail(S_ISDIR(info.st_mode) ? EISDIR : 0);
  }
  Adopt(fd, info);
  return true;
}

void ReadOnlyFile::Adopt(int fd, const struct stat& status) {
  Close();
  error_ = 0;
  fd_ = fd;
  size_ = status.st_size;
  device_ = status.st_dev;
  inode_ = status.st_ino;
  modifiedNs_ = Nanoseconds(status.st_mtim);
  changedNs_ = Nanoseconds(status.st_ctim);
}

std::int64_t ReadOnlyFile::Read(void* buffer, std::size_t count) {
  if (fd_ < 0) return -1;
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, count);
    if (got >= 0) return got;
    if (errno == EINTR) continue;
    error_ = errno;
    return -1;
  }
}

std::int64_t ReadOnlyFile::ReadAt(void* buffer, std::size_t count, std::int64_t offset) {
  if (fd_ < 0) return -1;
  if (offset >= 0 && static_cast<std::size_t>(offset) < preloaded_.size()) {
    // Within the bytes read ahead: as much as they hold, the rest by the next read.
    const std::size_t taken = std::min(count, preloaded_.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, preloaded_.data() + offset, taken);
    return static_cast<std::int64_t>(taken);
  }
  for (;;) {
    const ssize_t got = ::pread(fd_, buffer, count, static_cast<off_t>(offset));
    if (got >= 0) return got;
    if (errno == EINTR) continue;
    error_ = errno;
    return -1;
  }
}

void ReadOnlyFile::AdviseSequential() {
  if (fd_ >= 0) ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

bool ReadOnlyFile::UnchangedSinceOpen() const {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return false;
  return info.st_size == size_ && Nanoseconds(info.st_mtim) == modifiedNs_ &&
         Nanoseconds(info.st_ctim) == changedNs_;
}

void ReadOnlyFile::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  preloaded_ = {};
  size_ = 0;
  device_ = 0;
  inode_ = 0;
  modifiedNs_ = 0;
  changedNs_ = 0;
}

}  // namespace tarnwick::platform
