#pragma once
// The size of a file as the list and the filters show it.

#include <cstdint>
#include <string>

namespace tarnwick {

// stat's size of the file (a link to a file gives the target's size). A file that no
// longer exists, or cannot be looked at, has size 0; a file without read permission
// still has its real size.
std::int64_t FileSizeOf(const std::string& path);

}  // namespace tarnwick
