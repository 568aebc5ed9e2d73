#pragma once
// The per-file actions of the delete, move and copy operations on the result list.
// Paths are the raw bytes the file system gave.

#include <set>
#include <string>

#include "results/file_identity.h"

namespace tarnwick {

// Removes the file (or link, or special file) `path` for good. A folder is refused:
// the list holds files, and a folder named by a row is not what the user picked.
bool DeletePermanently(const std::string& path);

// One move or copy of several files into one folder. A file the run has put into the
// folder is never replaced by a later file of the same name: that would destroy the
// file just moved (for a move, the only copy). A file that was there before the run
// is replaced, as a single move or copy would.
class TransferRun {
 public:
  enum class Kind { Move, Copy };

  explicit TransferRun(Kind kind) : kind_(kind) {}

  // Moves or copies `source` to `target`; true when the file is now at `target`.
  // See RelocateFile and CopyFileReplacing for what a failure leaves behind.
  bool Transfer(const std::string& source, const std::string& target);

 private:
  Kind kind_;
  std::set<FileId> placed_;
};

}  // namespace tarnwick
