#include "platform/piece_read.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tarnwick::platform {

std::int64_t ReadPieceAt(int fd, void* into, std::size_t count, std::int64_t offset,
                         const ReadFaults* faults, bool firstAttempt) {
  if (faults) {
    if (faults->againFirst && firstAttempt) {
      errno = EAGAIN;
      return -1;
    }
    if (faults->shortReadBytes > 0) count = std::min(count, faults->shortReadBytes);
  }
  for (;;) {
    const ssize_t got = ::pread(fd, into, count, static_cast<off_t>(offset));
    if (got >= 0 || errno != EINTR) return got;
  }
}

}  // namespace tarnwick::platform
