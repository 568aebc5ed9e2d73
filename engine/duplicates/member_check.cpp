#include "engine/duplicates/member_check.h"

#include <optional>

#include "platform/file_status.h"

namespace tarnwick {
namespace {

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

ReadStamp StampOfOpenFile(const platform::ReadOnlyFile& file) {
  return {static_cast<std::uint64_t>(file.Device()), static_cast<std::uint64_t>(file.Inode()),
          file.Size(), file.ModifiedNs(), file.ChangedNs()};
}

bool IsStillFileRead(const std::string& path, const ReadStamp& read) {
  const std::optional<platform::FileStatus> now = platform::StatusOf(path);
  if (!now) return false;
  const ReadStamp current{static_cast<std::uint64_t>(now->device),
                          static_cast<std::uint64_t>(now->inode), now->size,
                          Nanoseconds(now->modified), Nanoseconds(now->changed)};
  return current == read;
}

}  // namespace tarnwick
