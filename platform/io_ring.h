#pragma once
// A thin adapter over the kernel's submission and completion rings (io_uring, through
// liburing): opens and reads are queued, sent in one system call, and their results
// come back tagged, in whatever order the device answers. Many reads can be in flight
// from one thread. A kernel without the rings, or one that refuses them (a container's
// seccomp profile, io_uring_disabled), leaves Start false: the caller reads another way.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tarnwick::platform {

// Faults a test makes the reads show, as a device or the kernel may: each read gives at
// most `shortReadBytes` bytes (0: as many as asked), the first answer to every read is
// EAGAIN, the rings are refused.
struct ReadFaults {
  std::size_t shortReadBytes = 0;
  bool againFirst = false;
  bool refuseRing = false;
};

class IoRing {
 public:
  struct Completion {
    std::uint64_t tag;
    int result;  // as the system call would return it, or -errno
  };

  IoRing();
  ~IoRing();
  IoRing(const IoRing&) = delete;
  IoRing& operator=(const IoRing&) = delete;

  // Sets the rings up for `entries` operations at once. False (errno set) when the
  // kernel has none or refuses them.
  bool Start(unsigned entries, const ReadFaults* faults = nullptr);

  // Queue an operation; false when the submission ring is full (Submit first).
  bool QueueOpen(int folderFd, const char* name, int flags, std::uint64_t tag);
  bool QueueRead(int fd, void* into, std::size_t count, std::int64_t offset, std::uint64_t tag);
  // Waits for the eventfd `eventFd` to be written, its count read into `into`.
  bool QueueWatch(int eventFd, std::uint64_t* into, std::uint64_t tag);
  // Sends what is queued. False on a failure of the rings themselves.
  bool Submit();
  // The next completion: waits for one when `wait`, else false when none is there.
  bool Next(Completion& completion, bool wait);

 private:
  struct Ring;
  std::unique_ptr<Ring> ring_;
  const ReadFaults* faults_ = nullptr;
};

}  // namespace tarnwick::platform
