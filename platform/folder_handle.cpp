#include "platform/folder_handle.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/descriptors.h"

namespace tarnwick::platform {
namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

int OpenEachComponent(std::string_view path) {
  int folder = ::open(path.starts_with('/') ? "/" : ".", kFolderFlags);
  std::string component;
  while (folder >= 0 && !path.empty()) {
    const std::size_t slash = path.find('/');
    component.assign(path.substr(0, slash));
    path.remove_prefix(slash == std::string_view::npos ? path.size() : slash + 1);
    if (component.empty()) continue;
    const int next =
        OpenWaitingForDescriptor([&] { return ::openat(folder, component.c_str(), kFolderFlags); });
    const int error = errno;
    ::close(folder);
    errno = error;
    folder = next;
  }
  return folder;
}

}  // namespace

int OpenFolderHandle(std::string_view path) {
  if (path.size() < PATH_MAX) {
    const std::string whole(path);
    const int folder =
        OpenWaitingForDescriptor([&] { return ::open(whole.c_str(), kFolderFlags); });
    if (folder >= 0 || errno != ENAMETOOLONG) return folder;
  }
  return OpenEachComponent(path);
}

}  // namespace tarnwick::platform
