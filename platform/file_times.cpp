#include "platform/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

namespace tarnwick::platform {

std::optional<FileStamps> ReadFileStamps(const FileRef& file) {
  struct statx status {};
  constexpr unsigned kWanted = STATX_BTIME | STATX_MTIME | STATX_ATIME | STATX_SIZE;
  if (::statx(file.folderFd, file.name, AT_STATX_SYNC_AS_STAT, kWanted, &status) != 0)
    return std::nullopt;
  FileStamps stamps;
  stamps.modified = status.stx_mtime.tv_sec;
  stamps.accessed = status.stx_atime.tv_sec;
  stamps.size = static_cast<std::int64_t>(status.stx_size);
  stamps.created = (status.stx_mask & STATX_BTIME) ? status.stx_btime.tv_sec : stamps.modified;
  return stamps;
}

std::optional<LocalTime> ToLocalTime(std::int64_t seconds) {
  // The zone is read once, here, and localtime_r reuses it (localtime() would look at
  // /etc/localtime again on every call).
  static const bool zoneRead = (::tzset(), true);
  (void)zoneRead;
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  if (!::localtime_r(&time, &parts)) return std::nullopt;
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,  parts.tm_hour,
                   parts.tm_min,         parts.tm_sec,     parts.tm_gmtoff};
}

}  // namespace tarnwick::platform
