#pragma once
// What stat tells about a file, following symbolic links.

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

#include "platform/file_ref.h"

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

// nullopt when the file does not exist (a dangling link included) or cannot be looked at.
std::optional<FileStatus> StatusOf(const FileRef& file);
std::optional<FileStatus> StatusOf(const std::string& path);

}  // namespace tarnwick::platform
