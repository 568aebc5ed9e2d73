#include "engine/reads/prefetched_content.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/piece_read.h"
#include "platform/read_only_file.h"

namespace tarnwick {

PrefetchedContent::PrefetchedContent(ReadQueue* queue, ReadQueue::Ticket ticket,
                                     const platform::FileRef& file)
    : queue_(ticket == ReadQueue::kNoTicket ? nullptr : queue), ticket_(ticket), file_(file) {}

PrefetchedContent::~PrefetchedContent() {
  if (fd_ >= 0) ::close(fd_);
  if (!queue_) return;
  if (taken_) {
    queue_->Release(ticket_);
  } else {
    queue_->Abandon(ticket_);
  }
}

OpenResult PrefetchedContent::Open() {
  if (opened_) {
    // Again, for another filter: from the first byte of the file already open.
    if (here_) return here_->Rewind() ? OpenResult::Opened : here_->Open();
    at_ = 0;
    return *opened_;
  }
  if (queue_) {
    const auto start = std::chrono::steady_clock::now();
    taken_ = &queue_->Take(ticket_);
    waited_ = std::chrono::steady_clock::now() - start;
  }
  if (!taken_ || !taken_->attempted) {
    here_.emplace(file_);
    opened_ = here_->Open();
    return *opened_;
  }
  fd_ = taken_->fd;
  if (fd_ < 0) {
    error_ = taken_->openError;
    opened_ = platform::IsReadFailure(error_) ? OpenResult::Failed : OpenResult::Skipped;
    return *opened_;
  }
  size_ = static_cast<std::int64_t>(taken_->status.st_size);
  at_ = 0;
  opened_ = OpenResult::Opened;
  return *opened_;
}

int PrefetchedContent::Error() const { return here_ ? here_->Error() : error_; }

std::int64_t PrefetchedContent::Read(char* into, std::size_t count) {
  if (here_) return here_->Read(into, count);
  // No further than the size the file had when it was opened, as FileSource reads.
  if (size_ > 0) {
    count = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), std::max<std::int64_t>(size_ - at_, 0)));
  }
  const std::string_view first = taken_->first;
  if (at_ == 0 && taken_->readError != 0 && count > 0) {
    error_ = taken_->readError;
    errno = error_;
    return -1;
  }
  std::size_t filled = 0;
  while (filled < count) {
    const auto at = static_cast<std::size_t>(at_);
    if (taken_->firstRead && at < first.size()) {
      const std::size_t taken = std::min(count - filled, first.size() - at);
      std::memcpy(into + filled, first.data() + at, taken);
      filled += taken;
      at_ += static_cast<std::int64_t>(taken);
      continue;
    }
    const std::int64_t got =
        platform::ReadPieceAt(fd_, into + filled, count - filled, at_, nullptr, false);
    if (got < 0) {
      error_ = errno;
      return -1;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
    at_ += got;
  }
  return static_cast<std::int64_t>(filled);
}

bool PrefetchedContent::Rewind() {
  if (here_) return here_->Rewind();
  at_ = 0;
  if (fd_ >= 0) return true;
  errno = error_ != 0 ? error_ : EIO;
  return false;
}

}  // namespace tarnwick
