#include "results/file_relocate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "results/file_copy.h"
#include "results/path_parts.h"
#include "results/rename_keeping_target.h"

namespace tarnwick {
namespace {

// Makes the new entry in `folder` durable before the source's entry goes away.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<FileId> RelocateFile(const std::string& source, const std::string& target,
                                   AtTarget atTarget) {
  if (!EntryIdentityOf(source) || SameFile(source, target)) return std::nullopt;
  const bool renamed = atTarget == AtTarget::Keep ? RenameKeepingTarget(source, target)
                                                  : ::rename(source.c_str(), target.c_str()) == 0;
  if (renamed) return EntryIdentityOf(target);
  if (errno != EXDEV) return std::nullopt;

  const std::optional<FileId> copied =
      CopyFileReplacing(source, target, CopySync::Always, atTarget);
  if (!copied) return std::nullopt;
  SyncFolder(ContainingFolder(target));
  if (::unlink(source.c_str()) != 0) return std::nullopt;
  return copied;
}

}  // namespace tarnwick
