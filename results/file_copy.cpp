#include "results/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "results/path_parts.h"
#include "results/rename_keeping_target.h"

namespace tarnwick {
namespace {

constexpr std::size_t kBufferSize = std::size_t{1} << 20;

// Closes the descriptor it holds unless it was handed back with Release().
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return fd_; }
  int Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// `expectedSize` only sizes the buffer: a small file needs no megabyte of it.
bool CopyBytes(int from, int to, off_t expectedSize) {
  const auto wanted = static_cast<std::size_t>(std::max<off_t>(expectedSize, 0)) + 1;
  std::vector<char> buffer(std::min(wanted, kBufferSize));
  for (;;) {
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!WriteAll(to, buffer.data(), static_cast<std::size_t>(got))) return false;
  }
}

// Writes everything into the open temporary file and closes it; true only when every
// byte was written (and, with `sync`, reached the disk) and the close reported no error.
bool FillTemporary(int from, Descriptor& to, const struct stat& sourceStatus, bool sync) {
  if (!CopyBytes(from, to.Get(), sourceStatus.st_size)) return false;
  // Permission bits and times are the copy's attributes; a file system that cannot
  // keep them still holds the data, so their failure does not fail the copy.
  (void)::fchmod(to.Get(), sourceStatus.st_mode & 0777);
  const struct timespec times[2] = {sourceStatus.st_atim, sourceStatus.st_mtim};
  (void)::futimens(to.Get(), times);
  if (sync && ::fsync(to.Get()) != 0) return false;
  return ::close(to.Release()) == 0;
}

}  // namespace

std::optional<FileId> CopyFileReplacing(const std::string& source, const std::string& target,
                                        CopySync sync, AtTarget atTarget) {
  struct stat sourceStatus {};
  // Looked at before it is opened: opening a FIFO would block, opening a device can act
  // on it.
  if (::stat(source.c_str(), &sourceStatus) != 0 || !S_ISREG(sourceStatus.st_mode)) {
    return std::nullopt;
  }
  const std::optional<FileId> replaced = IdentityOf(target);
  if (replaced == FileId{sourceStatus.st_dev, sourceStatus.st_ino}) return std::nullopt;
  if (atTarget == AtTarget::Keep && EntryIdentityOf(target)) {
    errno = EEXIST;
    return std::nullopt;
  }
  const bool mustSync = sync == CopySync::Always || replaced.has_value();

  Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  struct stat opened {};
  if (in.Get() < 0 || ::fstat(in.Get(), &opened) != 0 || opened.st_dev != sourceStatus.st_dev ||
      opened.st_ino != sourceStatus.st_ino) {
    return std::nullopt;
  }

  std::string temporary = ContainingFolder(target) + "/.tarnwick-copy-XXXXXX";
  Descriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
  if (out.Get() < 0) return std::nullopt;
  struct stat created {};
  const bool written =
      ::fstat(out.Get(), &created) == 0 && FillTemporary(in.Get(), out, opened, mustSync);
  const bool placed =
      written && (atTarget == AtTarget::Keep ? RenameKeepingTarget(temporary, target)
                                             : ::rename(temporary.c_str(), target.c_str()) == 0);
  if (!placed) {
    const int error = errno;
    ::unlink(temporary.c_str());
    errno = error;
    return std::nullopt;
  }
  return FileId{created.st_dev, created.st_ino};
}

}  // namespace tarnwick
