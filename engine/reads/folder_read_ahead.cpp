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

// A folder's descriptor, closed by the last of those who list through it.
struct SharedFolder {
  explicit SharedFolder(int descriptor) : fd(descriptor) {}
  ~SharedFolder() { ::close(fd); }
  SharedFolder(const SharedFolder&) = delete;
  SharedFolder& operator=(const SharedFolder&) = delete;
  const int fd;
};

}  // namespace

FolderReadAhead::FolderReadAhead(std::size_t most, unsigned threads, unsigned rotationalThreads,
                                 std::optional<platform::DeviceKind> device, bool always)
    : slots_(std::max<std::size_t>(most, 1)),
      threadCount_(threads),
      rotationalThreads_(rotationalThreads),
      device_(device),
      always_(always && threads > 0),
      slow_(always_) {
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
    if (slot.state == State::Done) CloseLocked(slot);
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
  slow_.store(always_ || (next > 512 && threadCount_ > 0), std::memory_order_relaxed);
}

std::size_t FolderReadAhead::Free() {
  std::lock_guard lock(mutex_);
  return free_.size();
}

FolderReadAhead::Ticket FolderReadAhead::Ask(std::shared_ptr<const void> keep, int parentFd,
                                             std::string_view name, std::size_t depth) {
  Ticket ticket;
  {
    std::lock_guard lock(mutex_);
    if (!started_) StartThreads(parentFd);
    if (threads_.empty()) return kNoTicket;
    ticket = AskLocked(std::move(keep), parentFd, name, depth);
  }
  if (ticket != kNoTicket) wake_.notify_one();
  return ticket;
}

FolderReadAhead::Ticket FolderReadAhead::AskLocked(std::shared_ptr<const void> keep, int parentFd,
                                                   std::string_view name, std::size_t depth) {
  if (free_.empty()) return kNoTicket;
  const std::uint32_t index = free_.back();
  free_.pop_back();
  Slot& slot = slots_[index];
  slot.state = State::Pending;
  slot.depth = depth;
  slot.asked = ++asks_;
  slot.wanted = false;
  slot.abandoned = false;
  slot.keep = std::move(keep);
  slot.parentFd = parentFd;
  slot.name.assign(name);
  slot.fd = -1;
  slot.error = 0;
  pending_.push_back(index);
  return index;
}

void FolderReadAhead::AskBelowLocked(std::uint32_t index,
                                     const std::vector<std::uint32_t>& picked) {
  // A quarter of the slots stay for the walk's own asks, nearer to it than these.
  const std::size_t reserve = slots_.size() / 4;
  Slot& slot = slots_[index];
  for (const std::uint32_t entry : picked) {
    if (free_.size() <= reserve || closing_) break;
    if (!slot.fdOwner) slot.fdOwner = std::make_shared<const SharedFolder>(slot.fd);
    slot.below.push_back(
        AskLocked(slot.fdOwner, slot.fd, slot.listing.Name(entry), slot.depth + 1));
    wake_.notify_one();
  }
}

bool FolderReadAhead::Take(Ticket ticket, std::string_view name,
                           platform::DirectoryListing& listing, Taken& taken) {
  std::unique_lock lock(mutex_);
  Slot& slot = slots_[ticket];
  if (slot.name != name) {
    AbandonLocked(ticket);
    return false;
  }
  if (slot.state == State::Pending) slot.wanted = true;
  listed_.wait(lock, [&] { return slot.state == State::Done; });
  taken.fd = slot.fd;
  taken.error = slot.error;
  taken.fdOwner = std::move(slot.fdOwner);
  taken.below.swap(slot.below);
  std::swap(listing, slot.listing);
  slot.fd = -1;
  Release(ticket);
  return true;
}

void FolderReadAhead::Abandon(Ticket ticket) {
  std::lock_guard lock(mutex_);
  AbandonLocked(ticket);
}

void FolderReadAhead::Abandon(std::span<Ticket> tickets) {
  std::lock_guard lock(mutex_);
  for (Ticket& ticket : tickets) {
    if (ticket != kNoTicket) AbandonLocked(ticket);
    ticket = kNoTicket;
  }
}

void FolderReadAhead::AbandonLocked(Ticket ticket) {
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
      CloseLocked(slot);
      Release(ticket);
      return;
    case State::Free:
      return;
  }
}

void FolderReadAhead::CloseLocked(Slot& slot) {
  for (const Ticket below : slot.below) AbandonLocked(below);
  slot.below.clear();
  // Subfolders still being opened through the descriptor close it when they let go.
  if (slot.fdOwner) {
    slot.fdOwner.reset();
  } else if (slot.fd >= 0) {
    ::close(slot.fd);
  }
  slot.fd = -1;
}

void FolderReadAhead::Release(std::uint32_t index) {
  Slot& slot = slots_[index];
  slot.state = State::Free;
  slot.fdOwner.reset();
  slot.below.clear();
  free_.push_back(index);
}

void FolderReadAhead::Run() {
  std::vector<std::uint32_t> picked;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return closing_ || !pending_.empty(); });
    if (pending_.empty()) return;
    const auto next = std::min_element(
        pending_.begin(), pending_.end(), [this](std::uint32_t a, std::uint32_t b) {
          const Slot& x = slots_[a];
          const Slot& y = slots_[b];
          if (x.wanted != y.wanted) return x.wanted;
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
    picked.clear();
    // Below a folder the walk may still leave out, nothing is listed.
    if (picker_ && slot.fd >= 0 && slot.listing.Error() == 0 && Worthwhile())
      picker_(slot.fd, slot.listing, picked);
    lock.lock();
    slot.keep.reset();
    if (slot.abandoned) {
      if (slot.fd >= 0) ::close(slot.fd);
      slot.fd = -1;
      Release(index);
      continue;
    }
    slot.state = State::Done;
    if (!picked.empty()) AskBelowLocked(index, picked);
    listed_.notify_all();
  }
}

}  // namespace tarnwick
