#pragma once
// One read at an offset on the calling thread, as the reads that are not sent through
// the kernel's rings make it, showing the same injected faults (io_ring.h) a test asks
// for.

#include <cstddef>
#include <cstdint>

#include "platform/io_ring.h"

namespace tarnwick::platform {

// pread, retried on EINTR: the count read, 0 at the end, -1 with errno set. With
// `faults`, at most faults->shortReadBytes bytes, and EAGAIN on a `firstAttempt` when
// faults->againFirst.
std::int64_t ReadPieceAt(int fd, void* into, std::size_t count, std::int64_t offset,
                         const ReadFaults* faults, bool firstAttempt);

}  // namespace tarnwick::platform
