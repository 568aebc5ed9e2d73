#pragma once
// The last look at a duplicate before it is listed, the moment it may be offered for
// deletion: it must still be the file whose bytes were compared, with the same device
// and inode, size, modification and change time as the walk saw (and the reads found).
// A file written to since, even with its times put back, has a new change time.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cache/known_digests.h"
#include "engine/duplicates/found_files.h"
#include "engine/duplicates/opened_folder.h"
#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"
#include "engine/schedule/worker_pool.h"
#include "platform/file_status.h"

namespace tarnwick {

// The stamp a stat gave.
FileStamp StampOf(const platform::FileStatus& status);

class MemberCheck {
 public:
  // Whether the file `name` of `folder` still has the stamp whose print (StampPrint) is
  // `print`; `seen` is then what the look found, which serves its row. `folder` must stay
  // valid while it is the one open.
  bool StillTheFileCompared(std::string_view folder, const char* name, std::uint64_t print,
                            platform::FileStatus& seen);

 private:
  OpenedFolder folder_;
  std::string path_;
};

// What the look before listing found of one member.
struct MemberLook {
  platform::FileStatus seen;
  bool same = false;  // still the file compared
};

// Looks at each of `members` (file numbers of `files`), whose prints `printOf` gives, on
// the job's workers with the window live; `looked(count)` tells on the job's thread how
// many have been looked at. The looks come back in the order of `members`; after a stop,
// those of the first members only, as far as they were looked at, but always of the
// first `atLeast` (a group that is being listed is finished).
std::vector<MemberLook> LookAtMembers(const FoundFiles& files,
                                      std::span<const std::uint32_t> members,
                                      const std::function<std::uint64_t(std::uint32_t)>& printOf,
                                      WorkerPool* pool, JobHost& host, const StopFlag& stop,
                                      const std::function<void(std::size_t)>& looked,
                                      std::size_t atLeast);

}  // namespace tarnwick
