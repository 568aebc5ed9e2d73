#pragma once
// A file's size and its three times to the nanosecond, from one statx: what a script
// is told about a listed file.

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace tarnwick::platform {

struct FileDetails {
  std::int64_t size = 0;
  timespec created{};  // birth time where the file system records one, else modified
  timespec modified{};
  timespec accessed{};
};

// Follows symbolic links and never opens the file. nullopt when the file does not
// exist or cannot be looked at.
std::optional<FileDetails> ReadFileDetails(const std::string& path);

}  // namespace tarnwick::platform
