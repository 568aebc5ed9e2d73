// The two ways a ReadQueue's reads are made: the kernel's rings, driven by one thread,
// or a small pool of threads each opening and reading one file at a time.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "engine/reads/read_queue.h"
#include "platform/descriptors.h"
#include "platform/file_system_kind.h"
#include "platform/piece_read.h"

namespace tarnwick {
namespace {

constexpr int kOpenFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
constexpr std::uint64_t kWakeTag = ~std::uint64_t{0};
constexpr std::uint64_t kReadBit = 1;

std::uint64_t TagOf(std::uint32_t index, std::uint32_t sequence, bool read) {
  return (std::uint64_t{sequence} << 32) | (std::uint64_t{index} << 1) | (read ? kReadBit : 0);
}

}  // namespace

void ReadQueue::ReadHere(Slot& slot) {
  Result& result = slot.result;
  result.attempted = true;
  const int fd = platform::OpenWaitingForDescriptor(
      [&] { return ::openat(slot.folderFd, slot.name.c_str(), kOpenFlags); });
  if (fd < 0) {
    result.openError = errno;
    return;
  }
  std::size_t count = 0;
  if (!Check(slot, fd, count)) return;
  for (bool firstAttempt = true;; firstAttempt = false) {
    const std::int64_t got =
        platform::ReadPieceAt(fd, slot.buffer.data(), count, 0, faults_, firstAttempt);
    if (got >= 0) {
      result.first = std::string_view(slot.buffer.data(), static_cast<std::size_t>(got));
      result.firstRead = true;
      return;
    }
    if (errno == EAGAIN && firstAttempt) continue;
    // Refused twice: the taker reads it, waiting as long as it takes.
    if (errno == EAGAIN) return;
    result.readError = errno;
    result.firstRead = true;
    return;
  }
}

void ReadQueue::RunThread() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return closing_ || (!pending_.Empty() && inFlight_ < depth_); });
    if (pending_.Empty()) return;  // closing
    const std::uint32_t index = pending_.Pop();
    Slot& slot = slots_[index];
    slot.state = State::Reading;
    ++inFlight_;
    lock.unlock();
    ReadHere(slot);
    lock.lock();
    Finish(index);
    taken_.notify_all();
  }
}

void ReadQueue::OnRingCompletion(const platform::IoRing::Completion& completion,
                                 std::vector<std::uint32_t>& done) {
  const auto index = static_cast<std::uint32_t>((completion.tag & 0xFFFFFFFFU) >> 1);
  Slot& slot = slots_[index];
  Result& result = slot.result;
  const auto requeueRead = [&] {
    const std::size_t count = slot.buffer.size();
    const std::uint64_t tag = TagOf(index, slot.sequence, true);
    if (!ring_.QueueRead(result.fd, slot.buffer.data(), count, 0, tag)) {
      ring_.Submit();
      ring_.QueueRead(result.fd, slot.buffer.data(), count, 0, tag);
    }
  };
  if ((completion.tag & kReadBit) == 0) {
    if (completion.result < 0) {
      // Out of descriptors for a moment: the taker opens it, waiting for one.
      const int error = -completion.result;
      result.attempted = error != EMFILE && error != ENFILE;
      result.openError = error;
      done.push_back(index);
      return;
    }
    result.attempted = true;
    std::size_t count = 0;
    // A file that reports no size is a pseudo file, which the rings would wait on for as
    // long as it gives nothing: the taker reads it as it always did, without waiting.
    if (!Check(slot, completion.result, count) || result.status.st_size == 0) {
      done.push_back(index);
      return;
    }
    requeueRead();
    return;
  }
  if (completion.result == -EAGAIN) {
    // The file was opened without blocking, so that a FIFO put in a file's place never
    // holds a read, and the rings do not wait for the device on such a file: a file of
    // a disk, known now to be a regular one, is read the usual way. A pseudo file (no
    // size, or on /proc, /sys, tracefs, FUSE...) may wait for ever: the taker reads it
    // as it always did, without waiting.
    if (!slot.retried && result.status.st_size > 0 &&
        platform::KeepsTrustworthyStamps(platform::FileSystemKindOf(result.fd))) {
      slot.retried = true;
      ::fcntl(result.fd, F_SETFL, 0);
      requeueRead();
      return;
    }
    done.push_back(index);  // the taker reads it
    return;
  }
  result.firstRead = true;
  if (completion.result < 0) {
    result.readError = -completion.result;
  } else {
    result.first =
        std::string_view(slot.buffer.data(), static_cast<std::size_t>(completion.result));
  }
  done.push_back(index);
}

void ReadQueue::RunRing() {
  std::vector<std::uint32_t> toOpen;
  std::vector<std::uint32_t> done;
  bool watching = false;
  std::unique_lock lock(mutex_);
  for (;;) {
    while (inFlight_ < depth_ && !pending_.Empty()) {
      const std::uint32_t index = pending_.Pop();
      slots_[index].state = State::Reading;
      slots_[index].retried = false;
      ++inFlight_;
      toOpen.push_back(index);
    }
    if (closing_ && inFlight_ == 0) return;
    ringWaiting_ = true;
    lock.unlock();
    for (const std::uint32_t index : toOpen) {
      const Slot& slot = slots_[index];
      const std::uint64_t tag = TagOf(index, slot.sequence, false);
      if (!ring_.QueueOpen(slot.folderFd, slot.name.c_str(), kOpenFlags, tag)) {
        ring_.Submit();
        ring_.QueueOpen(slot.folderFd, slot.name.c_str(), kOpenFlags, tag);
      }
    }
    toOpen.clear();
    if (!watching) watching = ring_.QueueWatch(wakeFd_, &wakeValue_, kWakeTag);
    platform::IoRing::Completion completion{};
    const bool working = ring_.Submit() && ring_.Next(completion, true);
    if (working) {
      do {
        if (completion.tag == kWakeTag) {
          watching = false;
        } else {
          OnRingCompletion(completion, done);
        }
      } while (ring_.Next(completion, false));
    }
    lock.lock();
    ringWaiting_ = false;
    for (const std::uint32_t index : done) Finish(index);
    if (!done.empty()) taken_.notify_all();
    done.clear();
    if (!working) {
      // The rings failed: what they held is read here, what comes later as by the pool.
      ringFailed_ = true;
      break;
    }
  }
  for (std::uint32_t index = 0; index < slots_.size(); ++index) {
    if (slots_[index].state != State::Reading) continue;
    Result& result = slots_[index].result;
    if (result.fd >= 0) ::close(result.fd);
    result = Result{};
    lock.unlock();
    ReadHere(slots_[index]);
    lock.lock();
    Finish(index);
  }
  taken_.notify_all();
  lock.unlock();
  RunThread();
}

}  // namespace tarnwick
