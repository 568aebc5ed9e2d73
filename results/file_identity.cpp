#include "results/file_identity.h"

#include <sys/stat.h>

namespace tarnwick {

std::optional<FileId> IdentityOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileId{status.st_dev, status.st_ino};
}

std::optional<FileId> EntryIdentityOf(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) return std::nullopt;
  return FileId{status.st_dev, status.st_ino};
}

bool SameFile(const std::string& first, const std::string& second) {
  const std::optional<FileId> a = IdentityOf(first);
  return a && a == IdentityOf(second);
}

}  // namespace tarnwick
