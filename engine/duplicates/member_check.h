#pragma once
// The last look at a duplicate before it is listed, the moment it may be offered for
// deletion: it must still be the file whose bytes were compared, with the same device
// and inode, size, modification and change time as the walk saw (and the reads found).
// A file written to since, even with its times put back, has a new change time.

#include <cstdint>
#include <string>
#include <string_view>

#include "cache/known_digests.h"
#include "engine/duplicates/opened_folder.h"
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

}  // namespace tarnwick
