#include "platform/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick::platform {
namespace {

thread_local int tReadFailure = 0;

void NoteFailure(int error) {
  if (IsReadFailure(error)) tReadFailure = error;
}

}  // namespace

bool IsReadFailure(int error) {
  return error != 0 && error != ENOENT && error != ENOTDIR && error != ELOOP && error != EISDIR;
}

int TakeReadFailure() {
  const int failure = tReadFailure;
  tReadFailure = 0;
  return failure;
}

ReadOnlyFile::~ReadOnlyFile() { Close(); }

bool ReadOnlyFile::Open(const std::string& path) { return OpenAt(AT_FDCWD, path.c_str()); }

bool ReadOnlyFile::Fail(int error) {
  error_ = error;
  if (error != 0) NoteFailure(error);
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

  // Non-blocking, and checked again once open, since the path may have been replaced
  // by a FIFO between the two looks.
  int fd;
  do {
    fd = ::openat(folderFd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return Fail(errno);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Fail(0);
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
    if (errno == EINTR) continue;
    NoteFailure(errno);
    return -1;
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
