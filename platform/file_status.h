#pragma once
// What stat tells about a path, following symbolic links.

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace tarnwick::platform {

struct FileStatus {
  std::int64_t size = 0;
  bool regular = false;
  bool folder = false;
  dev_t device = 0;
  ino_t inode = 0;
  timespec modified{};
  timespec changed{};  // the status change time (ctime)
};

// nullopt when the path does not exist (a dangling link included) or cannot be looked at.
std::optional<FileStatus> StatusOf(const std::string& path);
// The same for `path` relative to the open folder `folderFd` (AT_FDCWD: the working folder).
std::optional<FileStatus> StatusAt(int folderFd, const char* path);

// A folder held open so that its files can be looked up by name: in a big tree this
// spares the kernel walking the folder's whole path again for every file.
class OpenFolder {
 public:
  OpenFolder() = default;
  ~OpenFolder() { Close(); }
  OpenFolder(const OpenFolder&) = delete;
  OpenFolder& operator=(const OpenFolder&) = delete;

  // Holds `folder` instead of the folder held so far. False when it cannot be opened;
  // nothing is held then.
  bool Open(const std::string& folder);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  // The folder's descriptor, for lookups relative to it; -1 when nothing is held.
  int Descriptor() const { return fd_; }

  // StatusOf for the entry `name` of the folder held; nullopt when nothing is held.
  std::optional<FileStatus> StatusOf(const char* name) const;

 private:
  int fd_ = -1;
};

}  // namespace tarnwick::platform
