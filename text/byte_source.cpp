#include "text/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tarnwick {

std::int64_t MemorySource::Read(char* into, std::size_t count) {
  const std::size_t taken = std::min(count, bytes_.size() - at_);
  if (taken > 0) std::memcpy(into, bytes_.data() + at_, taken);
  at_ += taken;
  return static_cast<std::int64_t>(taken);
}

bool MemorySource::Rewind() {
  at_ = 0;
  return true;
}

OpenResult FileSource::Open() {
  const bool opened = file_.listedRegular ? open_.OpenRegularAt(file_.folderFd, file_.name)
                                          : open_.OpenAt(file_.folderFd, file_.name);
  at_ = 0;
  if (opened) return OpenResult::Opened;
  error_ = open_.Error();
  return platform::IsReadFailure(error_) ? OpenResult::Failed : OpenResult::Skipped;
}

std::int64_t FileSource::Read(char* into, std::size_t count) {
  const std::int64_t size = open_.Size();
  if (size > 0) count = static_cast<std::size_t>(std::min<std::int64_t>(
                    static_cast<std::int64_t>(count), std::max<std::int64_t>(size - at_, 0)));
  std::size_t filled = 0;
  while (filled < count) {
    const std::int64_t got = open_.Read(into + filled, count - filled);
    if (got < 0) {
      error_ = errno;
      return -1;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  at_ += static_cast<std::int64_t>(filled);
  return static_cast<std::int64_t>(filled);
}

bool FileSource::Rewind() {
  if (Open() == OpenResult::Opened) return true;
  if (error_ == 0) error_ = EIO;  // the file turned into something that is not read
  errno = error_;
  return false;
}

}  // namespace tarnwick
