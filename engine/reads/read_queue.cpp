#include "engine/reads/read_queue.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "engine/schedule/descriptor_budget.h"

namespace tarnwick {
namespace {

// Reads in flight where the device answers many at once (measured on a virtual disk:
// the content search of 200,000 small files cold took 44 s at 4, 35 s at 16, 25 s at 64
// and 21 s at 256 on a loaded machine), and on a spinning disk, where a few let the
// disk's own queue order them and more only make every read wait longer.
constexpr unsigned kParallelDepth = 128;
constexpr unsigned kRotationalDepth = 4;
// Slots per read in flight: files read and not yet taken wait in the others.
constexpr std::size_t kSlotsPerRead = 2;
// On a spinning disk more files wait, so that the next read can be the nearest on disk.
constexpr std::size_t kRotationalSlots = 64;

}  // namespace

ReadQueue::ReadQueue(const ReadSettings& settings, platform::DeviceKind kind,
                     std::size_t pieceSize)
    : faults_(settings.faults),
      pieceSize_(pieceSize),
      pending_(kind == platform::DeviceKind::Rotational) {
  const bool rotational = kind == platform::DeviceKind::Rotational;
  unsigned depth = settings.depth != 0 ? settings.depth
                                       : (rotational ? kRotationalDepth : kParallelDepth);
  // Every file read and not yet taken holds a descriptor: all of them stay within a share.
  const std::size_t share = DescriptorShare();
  std::size_t slots = std::max<std::size_t>(kSlotsPerRead * depth,
                                            rotational ? kRotationalSlots : 0);
  slots = std::clamp<std::size_t>(slots, 1, share);
  depth_ = static_cast<unsigned>(std::clamp<std::size_t>(depth, 1, slots));
  slots_.resize(slots);
  free_.reserve(slots);
  for (std::size_t i = slots; i-- > 0;) free_.push_back(static_cast<std::uint32_t>(i));

  if (!settings.threadsOnly && ring_.Start(2 * depth_ + 2, faults_)) {
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC);
    usingRing_ = wakeFd_ >= 0;
  }
  if (usingRing_) {
    try {
      threads_.emplace_back([this] { RunRing(); });
      return;
    } catch (const std::system_error&) {
      usingRing_ = false;
    }
  }
  // Without the rings: as many threads as reads in flight, each reading one file.
  for (unsigned i = 0; i < depth_; ++i) {
    try {
      threads_.emplace_back([this] { RunThread(); });
    } catch (const std::system_error&) {
      break;  // a process limit: fewer reads at once
    }
  }
}

ReadQueue::~ReadQueue() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    // What was asked for and not sent is never read.
    while (!pending_.Empty()) {
      const std::uint32_t index = pending_.Pop();
      slots_[index].state = State::Free;
      slots_[index].keep.reset();
    }
  }
  wake_.notify_all();
  if (usingRing_) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
  }
  for (std::thread& thread : threads_) thread.join();
  if (wakeFd_ >= 0) ::close(wakeFd_);
  for (Slot& slot : slots_) CloseResult(slot);
}

ReadQueue::Ticket ReadQueue::Ask(std::shared_ptr<const void> keep, int folderFd,
                                 std::string_view name, std::uint64_t inode) {
  if (threads_.empty()) return kNoTicket;
  bool wakeRing = false;
  std::uint32_t index;
  {
    std::lock_guard lock(mutex_);
    if (free_.empty()) return kNoTicket;
    index = free_.back();
    free_.pop_back();
    Slot& slot = slots_[index];
    slot.state = State::Pending;
    slot.abandoned = false;
    slot.taken = false;
    ++slot.sequence;
    slot.keep = std::move(keep);
    slot.folderFd = folderFd;
    slot.name.assign(name);
    slot.result = Result{};
    pending_.Push(index, inode);
    wakeRing = usingRing_ && ringWaiting_;
    if (wakeRing) ringWaiting_ = false;
  }
  if (wakeRing) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
  }
  wake_.notify_one();
  return index;
}

std::size_t ReadQueue::Free() {
  std::lock_guard lock(mutex_);
  return threads_.empty() ? 0 : free_.size();
}

const ReadQueue::Result& ReadQueue::Take(Ticket ticket) {
  std::unique_lock lock(mutex_);
  Slot& slot = slots_[ticket];
  // Wanted now: it goes before every file asked for after it.
  if (slot.state == State::Pending) pending_.Promote(ticket);
  taken_.wait(lock, [&] { return slot.state == State::Done; });
  slot.taken = true;
  return slot.result;
}

void ReadQueue::Release(Ticket ticket) {
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[ticket];
  slot.result = Result{};
  slot.state = State::Free;
  free_.push_back(ticket);
}

void ReadQueue::Abandon(Ticket ticket) {
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[ticket];
  switch (slot.state) {
    case State::Pending:
      pending_.Remove(ticket);
      slot.keep.reset();
      slot.state = State::Free;
      free_.push_back(ticket);
      return;
    case State::Reading:
      slot.abandoned = true;
      return;
    case State::Done:
      CloseResult(slot);
      slot.state = State::Free;
      free_.push_back(ticket);
      return;
    case State::Free:
      return;
  }
}

void ReadQueue::CloseResult(Slot& slot) {
  if (slot.result.fd >= 0 && !slot.taken) ::close(slot.result.fd);
  slot.result.fd = -1;
}

bool ReadQueue::Check(Slot& slot, int fd, std::size_t& count) {
  Result& result = slot.result;
  if (::fstat(fd, &result.status) != 0 || !S_ISREG(result.status.st_mode)) {
    // A name replaced by a folder, a FIFO or a device since it was listed.
    result.openError = S_ISDIR(result.status.st_mode) ? EISDIR : 0;
    ::close(fd);
    return false;
  }
  result.fd = fd;
  const auto size = static_cast<std::size_t>(result.status.st_size);
  // A file that reports no size (a pseudo file) may still have content.
  count = size > 0 ? std::min(size, pieceSize_) : pieceSize_;
  // A big file is read on from here by the taker, from start to end.
  if (size > pieceSize_) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  slot.buffer.resize(count);
  return true;
}

void ReadQueue::Finish(std::uint32_t index) {
  Slot& slot = slots_[index];
  slot.keep.reset();
  --inFlight_;
  if (slot.abandoned) {
    CloseResult(slot);
    slot.state = State::Free;
    free_.push_back(index);
    return;
  }
  slot.state = State::Done;
}

}  // namespace tarnwick
