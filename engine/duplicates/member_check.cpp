#include "engine/duplicates/member_check.h"

#include <limits.h>
#include <sys/stat.h>

#include <algorithm>
#include <numeric>

#include "engine/schedule/batch_scheduler.h"
#include "engine/schedule/ordered_batches.h"

namespace tarnwick {
namespace {

// Members looked at in one batch: a batch costs a worker well under a millisecond.
constexpr std::size_t kMembersInBatch = 256;

struct MemberRange {
  std::size_t begin;
  std::size_t end;
};

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

FileStamp StampOf(const platform::FileStatus& status) {
  return {static_cast<std::uint64_t>(status.device), static_cast<std::uint64_t>(status.inode),
          status.size, Nanoseconds(status.modified), Nanoseconds(status.changed)};
}

bool MemberCheck::StillTheFileCompared(std::string_view folder, const char* name,
                                       std::uint64_t print, platform::FileStatus& seen) {
  // Members of a group mostly lie in different folders: a path the system takes whole
  // is looked at directly, a longer one through its folder's handle.
  path_.assign(folder).append(name);
  struct stat status {};
  if (path_.size() < PATH_MAX) {
    if (::stat(path_.c_str(), &status) != 0) return false;
  } else {
    const int folderFd = folder_.For(folder);
    if (folderFd == -1 || ::fstatat(folderFd, name, &status, 0) != 0) return false;
  }
  seen.size = static_cast<std::int64_t>(status.st_size);
  seen.regular = S_ISREG(status.st_mode);
  seen.folder = S_ISDIR(status.st_mode);
  seen.device = status.st_dev;
  seen.inode = status.st_ino;
  seen.modified = status.st_mtim;
  seen.changed = status.st_ctim;
  return StampPrint(StampOf(seen)) == print;
}

std::vector<MemberLook> LookAtMembers(const FoundFiles& files,
                                      std::span<const std::uint32_t> members,
                                      const std::function<std::uint64_t(std::uint32_t)>& printOf,
                                      WorkerPool* pool, JobHost& host, const StopFlag& stop,
                                      const std::function<void(std::size_t)>& looked,
                                      std::size_t atLeast) {
  // A group's members lie in folders of their own, so the stats of the check are
  // path lookups the kernel does for each thread alike: they run on every worker. They
  // go in walk order, whatever the groups' order: members that lie near each other in
  // the walk share the kernel's entries of their folders.
  std::vector<MemberLook> looks(members.size());
  std::vector<std::uint32_t> walkOrder(members.size());
  std::iota(walkOrder.begin(), walkOrder.end(), 0);
  std::sort(walkOrder.begin(), walkOrder.end(),
            [&](std::uint32_t a, std::uint32_t b) { return members[a] < members[b]; });
  std::vector<char> lookedAt(members.size(), 0);
  const auto look = [&](MemberCheck& check, std::size_t member) {
    const std::uint32_t file = members[member];
    looks[member].same = check.StillTheFileCompared(files.Folder(file), files.Name(file),
                                                    printOf(file), looks[member].seen);
    lookedAt[member] = 1;
  };
  BatchScheduler scheduler(pool, host, stop);
  std::vector<MemberCheck> checks(scheduler.Slots());
  OrderedBatches<MemberRange> lane(
      scheduler, 2 * scheduler.Slots(), [&](MemberRange& range, const BatchRun& run) {
        MemberCheck& check = checks[run.Slot()];
        for (std::size_t at = range.begin; at < range.end && !run.Dropped(); ++at)
          look(check, walkOrder[at]);
      });
  std::size_t handedOut = 0;
  std::size_t done = 0;
  for (;;) {
    // What is done counts, a stop or not.
    while (const MemberRange* head = lane.DoneHead()) {
      done = head->end;
      lane.PopHead();
      looked(done);
    }
    if (done == members.size() || stop.IsSet()) break;
    while (handedOut < members.size() && !lane.Full()) {
      const std::size_t end = std::min(members.size(), handedOut + kMembersInBatch);
      lane.HandOut({handedOut, end});
      handedOut = end;
    }
    lane.WaitForHead();
  }
  // After a stop the looks not taken back are dropped; what runs is waited for, since it
  // writes into them. The first members asked for are then looked at here.
  lane.DropAndWaitOut();
  MemberCheck here;
  std::size_t first = 0;
  while (first < members.size() && (lookedAt[first] || first < atLeast)) {
    if (!lookedAt[first]) look(here, first);
    ++first;
  }
  looks.resize(first);
  return looks;
}

}  // namespace tarnwick
