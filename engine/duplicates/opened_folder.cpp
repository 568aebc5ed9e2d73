#include "engine/duplicates/opened_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/folder_handle.h"

namespace tarnwick {

OpenedFolder::~OpenedFolder() {
  if (fd_ >= 0) ::close(fd_);
}

int OpenedFolder::For(std::string_view folder) {
  if (folder.empty()) return AT_FDCWD;
  // The finder keeps each folder's text once: the same folder comes as the same text.
  if (folder.data() != folder_.data()) {
    if (fd_ >= 0) ::close(fd_);
    folder_ = folder;
    fd_ = platform::OpenFolderHandle(folder);
    error_ = fd_ < 0 ? errno : 0;
  }
  return fd_;
}

}  // namespace tarnwick
