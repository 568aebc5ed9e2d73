#pragma once
// How the per-file work of a job reaches a file: by its name in a folder the walk holds
// open, with the full path beside it for what the user sees (rows, name tests, messages).

#include <fcntl.h>

#include <string>
#include <string_view>

namespace tarnwick::platform {

struct FileRef {
  int folderFd = AT_FDCWD;     // the open folder `name` is relative to
  const char* name = nullptr;  // the entry's name there (with AT_FDCWD: a path)
  std::string_view path;       // the full path, raw bytes
  // The folder's listing said `name` is a regular file itself (not a link): it may be
  // opened without a look first (ReadOnlyFile::OpenRegularAt).
  bool listedRegular = false;
};

// A file reached by its path alone (outside a walk: dropped files, the viewer). The
// reference points into `path`, which must outlive it.
inline FileRef FileAtPath(const std::string& path) { return {AT_FDCWD, path.c_str(), path}; }

}  // namespace tarnwick::platform
