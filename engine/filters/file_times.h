#pragma once
// A file's creation, modification and access times as texts "yyyy-MM-dd HH:mm:ss" in
// local time: the form the time filter parses and the list shows.

#include <cstdint>
#include <string>

#include "platform/file_ref.h"

namespace tarnwick {

enum class TimeKind { Created, Modified, Accessed };

struct FileTimes {
  std::string created;
  std::string modified;
  std::string accessed;
  std::int64_t size = 0;  // the file's size, read with the times

  const std::string& Of(TimeKind kind) const;
};

// All three texts are empty when the file's times cannot be read (it has vanished, or
// its folder may not be searched). A file without read permission still has its times.
FileTimes ReadFileTimes(const platform::FileRef& file);

// "yyyy-MM-dd HH:mm:ss" (four-digit year, the rest two digits) in local time for
// `seconds` since the epoch; "" when the system cannot represent that moment.
std::string LocalTimeText(std::int64_t seconds);

}  // namespace tarnwick
