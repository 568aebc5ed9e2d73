#include "results/file_operations.h"

#include <sys/stat.h>
#include <unistd.h>

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

TransferOutcome TransferRun::Transfer(const std::string& source, const std::string& target) {
  // Onto itself: the move or copy below refuses it as a failure.
  if (!SameFile(source, target)) {
    const std::optional<FileId> present = IdentityOf(target);
    if (present && sources_.contains(*present)) return TransferOutcome::NameTaken;
    const std::optional<FileId> entry = EntryIdentityOf(target);
    if (kind_ == Kind::Move && entry && placed_.contains(*entry)) return TransferOutcome::NameTaken;
  }
  const std::optional<FileId> placed =
      kind_ == Kind::Move ? RelocateFile(source, target)
                          : CopyFileReplacing(source, target, CopySync::WhenReplacing);
  if (!placed) return TransferOutcome::Failed;
  placed_.insert(*placed);
  return TransferOutcome::Done;
}

}  // namespace tarnwick
