#pragma once
// A file's three times, and their conversion to local calendar time.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_ref.h"

namespace tarnwick::platform {

// Seconds since the epoch (UTC), rounded down to the second.
struct FileStamps {
  std::int64_t created = 0;  // birth time where the file system records it, else modified
  std::int64_t modified = 0;
  std::int64_t accessed = 0;
  std::int64_t size = 0;  // read by the same look, so a row needs no second one
};

// Follows symbolic links. nullopt when the file does not exist or cannot be looked at.
// Never opens the file, so a FIFO or an unreadable file is no obstacle.
std::optional<FileStamps> ReadFileStamps(const FileRef& file);

struct LocalTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  long utcOffset = 0;  // seconds east of UTC in force at that moment
};

// The local calendar time at `seconds`, with the zone offset in force at that moment
// (daylight saving of the time itself, not of today). nullopt when the system cannot
// represent it.
std::optional<LocalTime> ToLocalTime(std::int64_t seconds);

}  // namespace tarnwick::platform
