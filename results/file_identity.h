#pragma once
// The identity of a file on this machine: its device and inode. Two paths name the
// same file exactly when their identities are equal, whatever links lead to them.

#include <sys/types.h>

#include <compare>
#include <optional>
#include <string>

namespace tarnwick {

struct FileId {
  dev_t device = 0;
  ino_t inode = 0;
  auto operator<=>(const FileId&) const = default;
};

// The identity of the file `path` leads to, links followed; nullopt when it does not
// exist (a dangling link included) or cannot be looked at.
std::optional<FileId> IdentityOf(const std::string& path);

// The identity of the directory entry `path` itself: a link is not followed.
std::optional<FileId> EntryIdentityOf(const std::string& path);

// True when both paths lead to one existing file.
bool SameFile(const std::string& first, const std::string& second);

}  // namespace tarnwick
