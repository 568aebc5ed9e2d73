#include "results/file_operations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "results/file_copy.h"
#include "results/file_relocate.h"

namespace tarnwick {

bool DeletePermanently(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) return false;
  return ::unlink(path.c_str()) == 0;
}

TransferRun::TransferRun(Kind kind, const std::vector<std::string>& sources) : kind_(kind) {
  for (const std::string& source : sources) {
    if (const std::optional<FileId> id = IdentityOf(source)) sources_.insert(*id);
  }
}

TransferOutcome TransferRun::Transfer(const std::string& source, const std::string& target,
                                      AtTarget others) {
  // Onto itself: a move or copy would destroy the file.
  if (SameFile(source, target)) return TransferOutcome::Failed;
  const std::optional<FileId> present = IdentityOf(target);
  if (present && sources_.contains(*present)) return TransferOutcome::NameTaken;
  const std::optional<FileId> entry = EntryIdentityOf(target);
  const bool replacesOwnCopy = entry && placed_.contains(*entry);
  if (replacesOwnCopy && kind_ == Kind::Move) return TransferOutcome::NameTaken;
  struct stat status {};
  if (entry && ::lstat(target.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
    return TransferOutcome::Failed;
  }
  const AtTarget atTarget = replacesOwnCopy ? AtTarget::Replace : others;
  const std::optional<FileId> placed =
      kind_ == Kind::Move ? RelocateFile(source, target, atTarget)
                          : CopyFileReplacing(source, target, CopySync::WhenReplacing, atTarget);
  if (!placed) {
    return atTarget == AtTarget::Keep && errno == EEXIST ? TransferOutcome::Occupied
                                                         : TransferOutcome::Failed;
  }
  placed_.insert(*placed);
  if (replacesOwnCopy) ++replacedOwnCopies_;
  return TransferOutcome::Done;
}

}  // namespace tarnwick
