#pragma once
// The folder a reader has open. The files a reader is given come a folder at a time,
// so each folder is opened once for all its files.

#include <string_view>

namespace tarnwick {

class OpenedFolder {
 public:
  OpenedFolder() = default;
  ~OpenedFolder();
  OpenedFolder(const OpenedFolder&) = delete;
  OpenedFolder& operator=(const OpenedFolder&) = delete;

  // The descriptor to open a file of `folder` relative to (AT_FDCWD for the empty
  // folder of a bare name); -1 when the folder cannot be reached (Error tells why).
  // `folder` must stay valid while it is the one open.
  int For(std::string_view folder);
  int Error() const { return error_; }

 private:
  std::string_view folder_;
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace tarnwick
