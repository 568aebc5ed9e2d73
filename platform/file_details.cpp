#include "platform/file_details.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace tarnwick::platform {
namespace {

timespec ToTimespec(const statx_timestamp& stamp) {
  timespec time{};
  time.tv_sec = static_cast<std::time_t>(stamp.tv_sec);
  time.tv_nsec = static_cast<long>(stamp.tv_nsec);
  return time;
}

}  // namespace

std::optional<FileDetails> ReadFileDetails(const std::string& path) {
  struct statx status {};
  constexpr unsigned kWanted = STATX_SIZE | STATX_BTIME | STATX_MTIME | STATX_ATIME;
  if (::statx(AT_FDCWD, path.c_str(), AT_STATX_SYNC_AS_STAT, kWanted, &status) != 0) {
    return std::nullopt;
  }
  FileDetails details;
  details.size = static_cast<std::int64_t>(status.stx_size);
  details.modified = ToTimespec(status.stx_mtime);
  details.accessed = ToTimespec(status.stx_atime);
  details.created =
      (status.stx_mask & STATX_BTIME) ? ToTimespec(status.stx_btime) : details.modified;
  return details;
}

}  // namespace tarnwick::platform
