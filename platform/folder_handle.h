#pragma once
// Reaching a folder again by its path after a walk has closed it, whatever the path's
// length: a path longer than the system's limit (PATH_MAX) is opened one component at
// a time, each relative to the one before.

#include <string_view>

namespace tarnwick::platform {

// A handle on the folder `path` for lookups relative to it (O_PATH: no read permission
// is needed). Returns the descriptor, which the caller closes, or -1 with errno set.
int OpenFolderHandle(std::string_view path);

}  // namespace tarnwick::platform
