#include "engine/reads/folder_read_ahead.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <system_error>

#include "platform/descriptors.h"
#include "platform/thread_waits.h"

namespace tarnwick {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;
// One listing in this many is watched: the watch costs two system calls.
constexpr std::uint32_t kWatchEvery = 8;

}  // namespace

FolderReadAhead::FolderReadAhead(std::size_t most, unsigned threads, unsigned rotationalThreads,
                                 std::optional<platform::DeviceKind> device)
    : slots_(std::max<std::size_t>(most, 1)),
      threadCount_(threads),
      rotationalThreads_(rotationalThreads),
      device_(device) {
  for (std::size_t i = slots_.size(); i-- > 0;) free_.push_back(static_cast<std::uint32_t>(i));
}

void FolderReadAhead::StartThreads(int folderFd) {
  started_ = true;
  const bool rotational =
      device_.value_or(platform::DeviceKindOf(folderFd)) == platform::DeviceKind::Rotational;
  const unsigned count = rotational ? rotationalThreads_ : threadCount_;
  for (unsigned i = 0; i < count; ++i) {
    try {
      threads_.emplace_back([this] { Run(); });
    } catch (const std::system_error&) {
      break;  // a process limit: fewer listings at once, or none ahead
    }
  }
}

FolderReadAhead::~FolderReadAhead() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    for (const std::uint32_t index : pending_) slots_[index].keep.reset();
    pending_.clear();
  }
  wake_.notify_all();
  for (std::thread& thread : threads_) thread.join();
  for (Slot& slot : slots_) {
    if (slot.state == State::Done && slot.fd >= 0) ::close(slot.fd);
  }
}

FolderReadAhead::Watch::Watch(FolderReadAhead& ahead)
    : ahead_(ahead),
      sampled_(ahead.listings_.fetch_add(1, std::memory_order_relaxed) % kWatchEvery == 0) {
  if (sampled_) waits_ = platform::ThreadWaits();
}

void FolderReadAhead::Watch::End() {
  if (sampled_) ahead_.Note(platform::ThreadWaits() != waits_);
}

void FolderReadAhead::Note(bool waited) {
  // One listing that waited among many that did not changes nothing; a run of them does.
  const std::int32_t share = waitedShare_.load(std::memory_order_relaxed);
  const std::int32_t next = share + ((waited ? 1024 : 0) - share) / 8;
  waitedShare_.store(next, std::memory_order_relaxed);
  slow_.store(next > 512 && threadCount_ > 0, std::memory_order_relaxed);
}

std::size_t FolderReadAhead::Free() {
  std::lock_guard lock(mutex_);
  return free_.size();
}

FolderReadAhead::Ticket FolderReadAhead::Ask(std::shared_ptr<const void> keep, int parentFd,
                                             std::string_view name, std::size_t depth) {
  std::uint32_t index;
  {
    std::lock_guard lock(mutex_);
    if (!started_) StartThreads(parentFd);
    if (free_.empty() || threads_.empty()) return kNoTicket;
    index = free_.back();
    free_.pop_back();
    Slot& slot = slots_[index];
    slot.state = State::Pending;
    slot.depth = depth;
    slot.asked = ++asks_;
    slot.abandoned = false;
    slot.keep = std::move(keep);
    slot.parentFd = parentFd;
    slot.name.assign(name);
    slot.fd = -1;
    slot.error = 0;
    pending_.push_back(index);
  }
  wake_.notify_one();
  return index;
}

int FolderReadAhead::Take(Ticket ticket, platform::DirectoryListing& listing, int& error) {
  std::unique_lock lock(mutex_);
  Slot& slot = slots_[ticket];
  // Wanted now: before every other.
  if (slot.state == State::Pending) slot.depth = SIZE_MAX;
  listed_.wait(lock, [&] { return slot.state == State::Done; });
  const int fd = slot.fd;
  error = slot.error;
  std::swap(listing, slot.listing);
  slot.fd = -1;
  Release(ticket);
  return fd;
}

void FolderReadAhead::Abandon(Ticket ticket) {
  std::lock_guard lock(mutex_);
  Slot& slot = slots_[ticket];
  switch (slot.state) {
    case State::Pending:
      std::erase(pending_, ticket);
      slot.keep.reset();
      Release(ticket);
      return;
    case State::Listing:
      slot.abandoned = true;
      return;
    case State::Done:
      if (slot.fd >= 0) ::close(slot.fd);
      slot.fd = -1;
      Release(ticket);
      return;
    case State::Free:
      return;
  }
}

void FolderReadAhead::Release(std::uint32_t index) {
  slots_[index].state = State::Free;
  free_.push_back(index);
}

void FolderReadAhead::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return closing_ || !pending_.empty(); });
    if (pending_.empty()) return;
    const auto next = std::min_element(
        pending_.begin(), pending_.end(), [this](std::uint32_t a, std::uint32_t b) {
          const Slot& x = slots_[a];
          const Slot& y = slots_[b];
          return x.depth != y.depth ? x.depth > y.depth : x.asked < y.asked;
        });
    const std::uint32_t index = *next;
    pending_.erase(next);
    Slot& slot = slots_[index];
    slot.state = State::Listing;
    lock.unlock();
    Watch watch(*this);
    slot.fd = platform::OpenWaitingForDescriptor(
        [&] { return ::openat(slot.parentFd, slot.name.c_str(), kFolderFlags); });
    slot.error = slot.fd < 0 ? errno : 0;
    if (slot.fd >= 0) slot.listing.Read(slot.fd);
    watch.End();
    lock.lock();
    slot.keep.reset();
    if (slot.abandoned) {
      if (slot.fd >= 0) ::close(slot.fd);
      slot.fd = -1;
      Release(index);
      continue;
    }
    slot.state = State::Done;
    listed_.notify_all();
  }
}

}  // namespace tarnwick
