#pragma once
// The reads of a job in flight, apart from the threads that work on what is read. The
// job's thread asks for files ahead of the workers (Ask); the files are opened and their
// first piece read, many at once, by the kernel's rings (io_uring) from one thread of the
// queue's own, or where the rings are missing or refused by a small pool of I/O threads;
// a worker takes a file when it comes to it (Take), most often read by then. The workers
// stay one per core and do the work on the content; the device is kept busy with as many
// reads as it answers at once (the depth). Memory stays bounded: every slot holds at
// most one piece.

#include <sys/stat.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/reads/pending_reads.h"
#include "engine/reads/read_settings.h"
#include "platform/io_ring.h"
#include "text/byte_buffer.h"

namespace tarnwick {

class ReadQueue {
 public:
  using Ticket = std::uint32_t;
  static constexpr Ticket kNoTicket = UINT32_MAX;

  // What the read of one file gave.
  struct Result {
    // False: the queue could not read the file (no descriptor was free, the rings
    // failed); the taker opens and reads it itself.
    bool attempted = false;
    int fd = -1;  // the open regular file, the taker's from Take on; -1: none
    // Why there is none: the errno of the open, EISDIR for a folder, 0 for a special
    // file (refused by design).
    int openError = 0;
    struct stat status {};  // of the open file
    // Its first bytes, read at once; fewer than a piece at its end, or when the device
    // gave fewer (the rest is read by the taker).
    std::string_view first;
    bool firstRead = false;  // false: nothing was read, the taker reads from the start
    int readError = 0;       // the errno of a first read that failed
  };

  // Reads files that lie on a device of `kind`, `pieceSize` bytes ahead each.
  ReadQueue(const ReadSettings& settings, platform::DeviceKind kind, std::size_t pieceSize);
  // Waits for the reads in flight and closes every file not taken.
  ~ReadQueue();
  ReadQueue(const ReadQueue&) = delete;
  ReadQueue& operator=(const ReadQueue&) = delete;

  // Reads in flight at most, and files asked for and not yet released at most.
  unsigned Depth() const { return depth_; }
  std::size_t Capacity() const { return slots_.size(); }
  // Whether the kernel's rings carry the reads (else the I/O threads).
  bool UsesRing() const { return usingRing_; }
  // Slots free for Ask now.
  std::size_t Free();

  // Asks for the regular file `name` (as the folder's listing saw it) of the open folder
  // `folderFd` to be opened and its first piece read; `keep` holds the folder open until
  // the open is made; `inode` places the file on disk. kNoTicket when every slot is in
  // use: the file is then read by whoever works on it.
  Ticket Ask(std::shared_ptr<const void> keep, int folderFd, std::string_view name,
             std::uint64_t inode);
  // Waits until the ticket's file is read. The open file passes to the caller; the result
  // stays valid until Release.
  const Result& Take(Ticket ticket);
  void Release(Ticket ticket);
  // A ticket that will never be taken: its read is left to end and its file closed.
  void Abandon(Ticket ticket);

 private:
  enum class State { Free, Pending, Reading, Done };
  struct Slot {
    State state = State::Free;
    bool abandoned = false;
    bool taken = false;
    bool retried = false;  // the first read was refused once (EAGAIN) and sent again
    std::uint32_t sequence = 0;  // counts the files the slot has held
    std::shared_ptr<const void> keep;
    int folderFd = -1;
    std::string name;
    ByteBuffer buffer;
    Result result;
  };

  // After a successful open, on the thread that made it: whether the file is a regular
  // one to read (else it is closed and the slot done). Counts the first read's bytes.
  bool Check(Slot& slot, int fd, std::size_t& count);
  // The slot's read is over: under the lock.
  void Finish(std::uint32_t index);
  void CloseResult(Slot& slot);

  void RunRing();
  void RunThread();
  // Opens and reads the slot's file on this thread.
  void ReadHere(Slot& slot);
  // The ring's loop, once opens and reads are queued: what each completion means.
  void OnRingCompletion(const platform::IoRing::Completion& completion,
                        std::vector<std::uint32_t>& done);

  const platform::ReadFaults* const faults_;
  const std::size_t pieceSize_;
  unsigned depth_ = 1;
  bool usingRing_ = false;
  std::vector<Slot> slots_;

  std::mutex mutex_;
  std::condition_variable wake_;   // the I/O threads: something pending, or closing
  std::condition_variable taken_;  // the takers: a read is done
  PendingReads pending_;
  std::vector<std::uint32_t> free_;
  unsigned inFlight_ = 0;
  bool closing_ = false;
  bool ringWaiting_ = false;  // the ring's thread waits in the kernel
  bool ringFailed_ = false;   // the rings failed midway: the ring's thread reads as the others

  platform::IoRing ring_;
  int wakeFd_ = -1;  // an eventfd the ring's thread watches for new asks
  std::uint64_t wakeValue_ = 0;
  std::vector<std::thread> threads_;
};

}  // namespace tarnwick
