#pragma once
// The check a duplicate group's member passes before it is listed: it must still be the
// file whose content was read. A file replaced since (another device or inode behind the
// name), written to (another size, modification or change time) or gone is no longer
// what was compared, and offering it for deletion as a duplicate would be a guess.

#include <cstdint>
#include <string>

#include "platform/read_only_file.h"

namespace tarnwick {

// What a file was when its content was read: which file, and the status every write
// changes.
struct ReadStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  bool operator==(const ReadStamp&) const = default;
};

// The stamp of an open file, as it was when it was opened.
ReadStamp StampOfOpenFile(const platform::ReadOnlyFile& file);

// Whether the file at `path` (a link followed, as the walk followed it) is still the one
// `read` describes: the same device and inode, size, modification and change time.
// False when it is gone or cannot be looked at.
bool IsStillFileRead(const std::string& path, const ReadStamp& read);

}  // namespace tarnwick
