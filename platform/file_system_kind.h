#pragma once
// What kind of file system holds a file, and what that lets a program trust.

#include <string>

namespace tarnwick::platform {

struct FileSystemKind {
  unsigned long magic = 0;  // statfs's f_type
  std::string name;         // "ext4", "vfat", "fuse"...; the number in hex when unknown
};

// The kind of the file system of the open file or folder `fd`; of `path` when `fd` is
// AT_FDCWD or not open. nullopt-like: magic 0 and name "unknown" when it cannot be told.
FileSystemKind FileSystemKindOf(int fd, const char* path = nullptr);

// True for the file systems the digest cache may trust a file's stamp on: the kernel's
// own disk file systems and tmpfs (ext2/3/4, xfs, btrfs, f2fs, tmpfs), where any change
// to a file's content moves its change time and inode numbers stay put. Elsewhere
// (vfat, exFAT, NTFS, FUSE, network file systems...) a copy with its times restored can
// give a file new content under an unchanged stamp.
bool KeepsTrustworthyStamps(const FileSystemKind& kind);

// Those file systems' names, joined by ", ".
std::string TrustworthyStampFileSystems();

}  // namespace tarnwick::platform
