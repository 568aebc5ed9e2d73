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

bool TransferRun::Transfer(const std::string& source, const std::string& target) {
  const std::optional<FileId> present = EntryIdentityOf(target);
  if (present && placed_.contains(*present)) return false;
  const std::optional<FileId> placed =
      kind_ == Kind::Move ? RelocateFile(source, target) : CopyFileReplacing(source, target, CopySync::WhenReplacing);
  if (!placed) return false;
  placed_.insert(*placed);
  return true;
}

}  // namespace tarnwick
