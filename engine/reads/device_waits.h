#pragma once
// Whether a job's reads wait for the device. Files already in memory are read faster by
// the workers themselves than through the read queue, which costs a hand-over a file;
// a file that has to come from the disk is read faster ahead of them. So the workers
// read by themselves and look, one read in a few, whether the read made them wait; once
// a few did, the reads are asked of the queue ahead of the workers.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/thread_waits.h"

namespace tarnwick {

class DeviceWaits {
 public:
  // Whether the device has been seen to make the reads wait.
  bool Seen() const { return count_.load(std::memory_order_relaxed) >= kWaitsToReadAhead; }

  // Looks, for the read numbered `index` of a batch when it is one of those sampled,
  // at whether the calling thread waited while it lived. Work that `reads` nothing is
  // not looked at: its waits are no device's, and the look costs two system calls.
  class Sample {
   public:
    Sample(DeviceWaits& waits, std::size_t index, bool reads)
        : waits_(reads && index % kReadsPerSample == 0 && !waits.Seen() ? &waits : nullptr),
          before_(waits_ ? platform::ThreadWaits() : 0) {}
    ~Sample() {
      if (waits_ && platform::ThreadWaits() != before_)
        waits_->count_.fetch_add(1, std::memory_order_relaxed);
    }
    Sample(const Sample&) = delete;
    Sample& operator=(const Sample&) = delete;

   private:
    DeviceWaits* const waits_;
    const std::uint64_t before_;
  };

 private:
  static constexpr std::size_t kReadsPerSample = 8;
  // A single wait may be a lock rather than the disk.
  static constexpr unsigned kWaitsToReadAhead = 4;
  std::atomic<unsigned> count_{0};
};

}  // namespace tarnwick
