#pragma once
// Folders opened and listed ahead of the walk by a few threads of their own, while the
// walk is busy with the folders before them. Listing a folder whose blocks are not in
// memory waits for the device; a walk that lists one folder after another keeps the
// device at one read at a time. Listed ahead, the next folders are ready when the walk
// comes to them. Only worthwhile while listings wait for the device: the folders are
// read ahead only while a listing takes long (the times of the walk's own listings and
// of those read ahead decide), since handing a listing over costs more than making one
// whose blocks are in memory.
//
// A walk knows only the subfolders of the folders it is in: a tree a few subfolders
// wide gives it one or two folders to ask for at a time, and the device waits on one
// read. Given what the walk would enter below a folder (ListBelow), the listings ahead
// go on down by themselves: the subfolders of a folder listed ahead are asked for as
// soon as it is listed, and come to the walk with it.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/block_device.h"
#include "platform/directory_listing.h"

namespace tarnwick {

class FolderReadAhead {
 public:
  using Ticket = std::uint32_t;
  static constexpr Ticket kNoTicket = UINT32_MAX;

  // At most `most` folders asked for and not yet taken (each holds a descriptor), listed
  // by `threads` threads, started with the first folder asked for; `rotationalThreads`
  // when that folder lies on a spinning disk (or `device` says so), whose head serves
  // one listing at a time and is sent back and forth by many. `always`: worthwhile
  // whatever the listings wait.
  FolderReadAhead(std::size_t most, unsigned threads, unsigned rotationalThreads,
                  std::optional<platform::DeviceKind> device, bool always = false);
  // Waits for the listings in hand and closes every folder not taken.
  ~FolderReadAhead();
  FolderReadAhead(const FolderReadAhead&) = delete;
  FolderReadAhead& operator=(const FolderReadAhead&) = delete;

  // Watches one listing in a few, made here or ahead, to tell whether listings wait for
  // the device: Begin before it, End after it on the same thread.
  class Watch {
   public:
    explicit Watch(FolderReadAhead& ahead);
    void End();

   private:
    FolderReadAhead& ahead_;
    bool sampled_;
    std::uint64_t waits_ = 0;
  };
  // Whether listings wait for the device, so that reading ahead pays.
  bool Worthwhile() const { return slow_.load(std::memory_order_relaxed); }

  // The subfolders the walk would enter below the folder open as `folderFd`, as indexes
  // of `listing` in the walk's order; none when it would not go below it. Called on
  // the listing threads.
  using SubfolderPicker = std::function<void(
      int folderFd, const platform::DirectoryListing& listing, std::vector<std::uint32_t>& picked)>;
  // Lets the listings ahead go on below the folders they list. Set before the first Ask.
  void ListBelow(SubfolderPicker picker) { picker_ = std::move(picker); }

  // A folder listed ahead, the walk's from Take on.
  struct Taken {
    int fd = -1;  // -1 when it could not be opened, `error` telling why
    int error = 0;
    // Holds `fd` open while its subfolders are being listed: then the descriptor is
    // closed by the last to let go of it, never by the walk.
    std::shared_ptr<const void> fdOwner;
    // Its first subfolders in the picker's order, asked for already.
    std::vector<Ticket> below;
  };
  // Folders that may be asked for now.
  std::size_t Free();

  // Asks for the subfolder `name` of the open folder `parentFd` (held open by `keep`
  // until then) to be opened (never through a link) and listed. Folders `depth` levels
  // down are listed before those above them, as a walk that goes depth first needs
  // them; of one depth, the first asked for first. kNoTicket when every slot is in use.
  Ticket Ask(std::shared_ptr<const void> keep, int parentFd, std::string_view name,
             std::size_t depth);
  // Waits for the subfolder `name` asked for with `ticket`: its descriptor, the caller's
  // from now on, and its listing, swapped into `listing` (whose Error() tells why a
  // folder that opened could not be read). False, the ticket let go, when the ticket was
  // for a folder of another name: the caller lists it itself.
  bool Take(Ticket ticket, std::string_view name, platform::DirectoryListing& listing,
            Taken& taken);
  // A folder that will not be entered, nor any of its subfolders: closed once listed.
  void Abandon(Ticket ticket);
  // The same for each of `tickets` but kNoTicket, each then set to kNoTicket.
  void Abandon(std::span<Ticket> tickets);

 private:
  enum class State { Free, Pending, Listing, Done };
  struct Slot {
    State state = State::Free;
    std::size_t depth = 0;
    std::uint64_t asked = 0;  // when, in asks
    bool wanted = false;      // the walk waits for it: before every other
    bool abandoned = false;
    std::shared_ptr<const void> keep;
    int parentFd = -1;
    std::string name;
    int fd = -1;
    std::shared_ptr<const void> fdOwner;  // set once subfolders are listed through `fd`
    std::vector<Ticket> below;
    int error = 0;
    platform::DirectoryListing listing;
  };

  void Run();
  // Under the lock from here on.
  void StartThreads(int folderFd);
  Ticket AskLocked(std::shared_ptr<const void> keep, int parentFd, std::string_view name,
                   std::size_t depth);
  // Asks for the `picked` subfolders of the folder listed in slot `index`, while slots
  // are left over for the walk's own asks.
  void AskBelowLocked(std::uint32_t index, const std::vector<std::uint32_t>& picked);
  void AbandonLocked(Ticket ticket);
  void CloseLocked(Slot& slot);
  void Release(std::uint32_t index);

  std::vector<Slot> slots_;
  std::mutex mutex_;
  std::condition_variable wake_;    // the threads: something to list, or closing
  std::condition_variable listed_;  // the walk: a listing is done
  std::vector<std::uint32_t> pending_;
  std::uint64_t asks_ = 0;
  std::vector<std::uint32_t> free_;
  bool closing_ = false;
  const unsigned threadCount_;
  const unsigned rotationalThreads_;
  const std::optional<platform::DeviceKind> device_;
  bool started_ = false;
  std::vector<std::thread> threads_;
  SubfolderPicker picker_;

  // Whether a listing waited for the device, over the last few dozen listings watched.
  void Note(bool waited);

  const bool always_;
  std::atomic<bool> slow_;
  std::atomic<std::uint32_t> listings_{0};
  std::atomic<std::int32_t> waitedShare_{0};  // a running mean, in 1/1024
};

}  // namespace tarnwick
