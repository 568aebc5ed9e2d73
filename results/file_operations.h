#pragma once
// The per-file actions of the delete, move and copy operations on the result list.
// Paths are the raw bytes the file system gave.

#include <set>
#include <string>
#include <vector>

#include "results/file_copy.h"
#include "results/file_identity.h"

namespace tarnwick {

// Removes the file (or link, or special file) `path` for good. A folder is refused:
// the list holds files, and a folder named by a row is not what the user picked.
bool DeletePermanently(const std::string& path);

enum class TransferOutcome {
  Done,       // the file is now at the target
  Failed,     // the move or copy failed; see RelocateFile and CopyFileReplacing
  NameTaken,  // skipped: the target holds a file the run must not replace
  Occupied,   // skipped: the target holds a file the caller may only replace when asked
};

// One move or copy of several files into one folder. A file that was there before the
// run is replaced, as a single move or copy would replace it (or, when the caller says
// so, left alone as Occupied, to be asked about), unless it is one of the run's own files
// (a file picked for the run in the destination folder): replacing it would destroy a
// file the user picked. A move also never replaces a file it has just moved there (that
// would destroy the only copy of the earlier file); a copy does, the later file winning,
// since the earlier one keeps its source, and counts it.
class TransferRun {
 public:
  enum class Kind { Move, Copy };

  // `sources`: the paths of every file the run will move or copy.
  TransferRun(Kind kind, const std::vector<std::string>& sources);

  // Moves or copies `source` to `target`. With `others` Keep, a file already at the
  // target that the run neither picked nor put there stays, and the outcome is Occupied;
  // nothing can take the name between the look and the move or copy. A folder at the
  // target is never replaced (Failed).
  TransferOutcome Transfer(const std::string& source, const std::string& target,
                           AtTarget others = AtTarget::Replace);

  // How many copies of the run replaced a copy the run had made before (files of one
  // name copied into one folder: only the last is left there).
  std::size_t ReplacedOwnCopies() const { return replacedOwnCopies_; }

 private:
  Kind kind_;
  std::set<FileId> sources_;  // the files the run's sources lead to
  std::set<FileId> placed_;   // the files the run has put at their targets
  std::size_t replacedOwnCopies_ = 0;
};

}  // namespace tarnwick
