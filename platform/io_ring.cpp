#include "platform/io_ring.h"

#include <liburing.h>

#include <algorithm>
#include <cerrno>
#include <unordered_set>

namespace tarnwick::platform {

struct IoRing::Ring {
  io_uring ring{};
  // With the EAGAIN fault: reads whose next answer is EAGAIN, and those that have had it
  // (tags are never reused).
  std::unordered_set<std::uint64_t> toRefuse;
  std::unordered_set<std::uint64_t> refused;
};

IoRing::IoRing() = default;

IoRing::~IoRing() {
  if (ring_) ::io_uring_queue_exit(&ring_->ring);
}

bool IoRing::Start(unsigned entries, const ReadFaults* faults) {
  faults_ = faults;
  if (faults_ && faults_->refuseRing) {
    errno = EPERM;
    return false;
  }
  auto ring = std::make_unique<Ring>();
  const int result = ::io_uring_queue_init(entries, &ring->ring, 0);
  if (result < 0) {
    errno = -result;
    return false;
  }
  ring_ = std::move(ring);
  return true;
}

bool IoRing::QueueOpen(int folderFd, const char* name, int flags, std::uint64_t tag) {
  io_uring_sqe* entry = ::io_uring_get_sqe(&ring_->ring);
  if (!entry) return false;
  ::io_uring_prep_openat(entry, folderFd, name, flags, 0);
  ::io_uring_sqe_set_data64(entry, tag);
  return true;
}

bool IoRing::QueueRead(int fd, void* into, std::size_t count, std::int64_t offset,
                       std::uint64_t tag) {
  io_uring_sqe* entry = ::io_uring_get_sqe(&ring_->ring);
  if (!entry) return false;
  if (faults_ && faults_->shortReadBytes > 0) count = std::min(count, faults_->shortReadBytes);
  if (faults_ && faults_->againFirst && ring_->refused.insert(tag).second)
    ring_->toRefuse.insert(tag);
  ::io_uring_prep_read(entry, fd, into, static_cast<unsigned>(count),
                       static_cast<std::uint64_t>(offset));
  ::io_uring_sqe_set_data64(entry, tag);
  return true;
}

bool IoRing::QueueWatch(int eventFd, std::uint64_t* into, std::uint64_t tag) {
  io_uring_sqe* entry = ::io_uring_get_sqe(&ring_->ring);
  if (!entry) return false;
  ::io_uring_prep_read(entry, eventFd, into, sizeof *into, ~std::uint64_t{0});
  ::io_uring_sqe_set_data64(entry, tag);
  return true;
}

bool IoRing::Submit() {
  for (;;) {
    const int result = ::io_uring_submit(&ring_->ring);
    if (result >= 0) return true;
    if (result == -EINTR) continue;
    errno = -result;
    return false;
  }
}

bool IoRing::Next(Completion& completion, bool wait) {
  io_uring_cqe* entry = nullptr;
  for (;;) {
    const int result = wait ? ::io_uring_wait_cqe(&ring_->ring, &entry)
                            : ::io_uring_peek_cqe(&ring_->ring, &entry);
    if (result == -EINTR) continue;
    if (result < 0 || !entry) return false;
    break;
  }
  completion.tag = ::io_uring_cqe_get_data64(entry);
  completion.result = entry->res;
  ::io_uring_cqe_seen(&ring_->ring, entry);
  if (!ring_->toRefuse.empty() && ring_->toRefuse.erase(completion.tag) > 0)
    completion.result = -EAGAIN;
  return true;
}

}  // namespace tarnwick::platform
