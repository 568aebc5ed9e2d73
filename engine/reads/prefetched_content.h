#pragma once
// A file's content as a worker reads it when the read queue has read ahead for it: the
// first piece comes from the queue's slot, the rest straight from the open file. A file
// the queue did not read (no ticket, or the queue could not) is opened and read here.
// Opening it again goes back to its first byte, so that every filter of a file reads
// the one open file.

#include <chrono>
#include <cstdint>
#include <optional>

#include "engine/reads/read_queue.h"
#include "platform/file_ref.h"
#include "text/byte_source.h"

namespace tarnwick {

class PrefetchedContent final : public FileContent {
 public:
  // `queue` may be null and `ticket` kNoTicket: the file is read here. `file` must
  // outlive the object.
  PrefetchedContent(ReadQueue* queue, ReadQueue::Ticket ticket, const platform::FileRef& file);
  // Gives the slot back and closes the file.
  ~PrefetchedContent();
  PrefetchedContent(const PrefetchedContent&) = delete;
  PrefetchedContent& operator=(const PrefetchedContent&) = delete;

  OpenResult Open() override;
  int Error() const override;
  std::int64_t Read(char* into, std::size_t count) override;
  bool Rewind() override;
  // How long the first Open waited for the queue to read the file.
  std::chrono::nanoseconds Waited() const { return waited_; }

 private:
  ReadQueue* const queue_;
  const ReadQueue::Ticket ticket_;
  const platform::FileRef& file_;
  const ReadQueue::Result* taken_ = nullptr;
  std::optional<OpenResult> opened_;
  std::optional<FileSource> here_;  // a file the queue did not read
  int fd_ = -1;
  std::int64_t size_ = 0;
  std::int64_t at_ = 0;
  int error_ = 0;
  std::chrono::nanoseconds waited_{0};
};

}  // namespace tarnwick
