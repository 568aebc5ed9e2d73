#include "platform/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick::platform {

ReadOnlyFile::~ReadOnlyFile() { Close(); }

bool ReadOnlyFile::Open(const std::string& path) {
  Close();
  // Non-blocking so that opening a FIFO without a writer returns at once; the fstat
  // below then refuses it before any read could wait.
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;

  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = info.st_size;
  device_ = info.st_dev;
  inode_ = info.st_ino;
  return true;
}

std::int64_t ReadOnlyFile::Read(void* buffer, std::size_t count) {
  if (fd_ < 0) return -1;
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, count);
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

void ReadOnlyFile::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  size_ = 0;
  device_ = 0;
  inode_ = 0;
}

}  // namespace tarnwick::platform
