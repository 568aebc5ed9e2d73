#pragma once
// Opening a file for reading its content: read-only, non-blocking, close-on-exec, and
// regular files only. A FIFO, socket, device or folder is refused (a FIFO would block
// the walk for ever), and so is a file the user may not read.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

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
  bool IsOpen() const { return fd_ >= 0; }
  // Why the last Open failed: the system's errno, EISDIR for a folder, 0 for a special
  // file (refused by design, not an error).
  int Error() const { return error_; }
  // Size, device and inode as the open file reports them.
  std::int64_t Size() const { return size_; }
  dev_t Device() const { return device_; }
  ino_t Inode() const { return inode_; }
  // Reads up to `count` bytes; retries on EINTR. Returns the count read, 0 at the end,
  // -1 on an error.
  std::int64_t Read(void* buffer, std::size_t count);
  void Close();

 private:
  bool Fail(int error);

  int fd_ = -1;
  int error_ = 0;
  std::int64_t size_ = 0;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

// Whether `error` (an errno) is a failure worth naming: not a file that does not exist, a
// dangling or looping link, a folder, or 0 (a special file), which the filters treat as
// empty by design.
bool IsReadFailure(int error);

// The filters open and read files themselves; a job learns from this note why one of
// them could not be read. Returns the errno of the last open or read on the calling
// thread that failed for a reason the system reports (no permission, an I/O error)
// and clears it; 0 when none failed since the last call. A file that does not exist, a
// dangling or looping link and a special file leave no note: they are what the filters
// treat as empty by design.
int TakeReadFailure();

}  // namespace tarnwick::platform
