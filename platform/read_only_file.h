#pragma once
// Opening a file for reading its content: read-only, non-blocking, close-on-exec, and
// regular files only. A FIFO, socket, device or folder is refused (a FIFO would block
// the walk for ever), and so is a file the user may not read.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct stat;

namespace tarnwick::platform {

class ReadOnlyFile {
 public:
  ReadOnlyFile() = default;
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // False when the path is missing, unreadable or not a regular file.
  bool Open(const std::string& path);
  // The same for `name` relative to the open folder `folderFd` (AT_FDCWD: the working
  // folder), so a walk reaches its files without the kernel resolving whole paths.
  bool OpenAt(int folderFd, const char* name);
  // The same for a name that a stat, or the folder's listing, has already found to be a
  // regular file: that first look is not repeated. The open does not block and the
  // opened file is still checked to be a regular one, so a name replaced by a FIFO or a
  // device since is refused like one looked at.
  bool OpenRegularAt(int folderFd, const char* name);
  // Takes over `fd`, a regular file opened read-only elsewhere, whose fstat is `status`.
  void Adopt(int fd, const struct stat& status);
  // The file's first bytes, already read: reads within them are served from memory.
  // `bytes` must stay valid until the file is closed.
  void Preload(std::string_view bytes) { preloaded_ = bytes; }
  bool IsOpen() const { return fd_ >= 0; }
  // Why the last open or read failed, as the system reported it (EACCES, EIO,
  // ENOENT...), EISDIR for a folder, 0 for a special file (refused by design, not an
  // error). IsReadFailure tells which of these are worth naming.
  int Error() const { return error_; }

  // Size, device, inode and times as the open file reported them when it was opened.
  std::int64_t Size() const { return size_; }
  dev_t Device() const { return device_; }
  ino_t Inode() const { return inode_; }
  std::int64_t ModifiedNs() const { return modifiedNs_; }
  std::int64_t ChangedNs() const { return changedNs_; }

  // Reads up to `count` bytes; retries on EINTR. Returns the count read, 0 at the end,
  // -1 on an error (Error() tells why).
  std::int64_t Read(void* buffer, std::size_t count);
  // The same at `offset`, leaving the file position alone.
  std::int64_t ReadAt(void* buffer, std::size_t count, std::int64_t offset);
  // Tells the system the file will be read once from start to end (a larger read-ahead).
  void AdviseSequential();
  // True while size and times are still those the file had when it was opened: false
  // once it has been written to (or its status cannot be read).
  bool UnchangedSinceOpen() const;
  void Close();

 private:
  bool Fail(int error);

  int fd_ = -1;
  int error_ = 0;
  std::string_view preloaded_;
  std::int64_t size_ = 0;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  std::int64_t modifiedNs_ = 0;
  std::int64_t changedNs_ = 0;
};

// Whether `error` (an errno) is a failure worth naming: not a file or folder that does
// not exist (or vanished since it was listed), a dangling or looping link, a folder met
// as a file, or 0 (a special file), which a job skips or treats as empty by design.
bool IsReadFailure(int error);

}  // namespace tarnwick::platform
