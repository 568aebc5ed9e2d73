#include "platform/file_system_kind.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/statfs.h>

#include <cstdio>
#include <iterator>

namespace tarnwick::platform {
namespace {

struct KnownKind {
  unsigned long magic;
  const char* name;
  bool trustworthyStamps;
};

// Magic numbers the kernel headers do not all name.
constexpr unsigned long kF2fsMagic = 0xF2F52010;
constexpr unsigned long kExfatMagic = 0x2011BAB0;
constexpr unsigned long kNtfs3Magic = 0x7366746E;
constexpr unsigned long kFuseMagic = 0x65735546;
constexpr unsigned long kCifsMagic = 0xFF534D42;
constexpr unsigned long kSmb2Magic = 0xFE534D42;
constexpr unsigned long kNtfsMagic = 0x5346544E;

// The one list of what the digest cache trusts, and the names of the kinds a user may
// meet where it is passed by.
constexpr KnownKind kKinds[] = {
    {EXT4_SUPER_MAGIC, "ext2/ext3/ext4", true},  // one magic for the three
    {XFS_SUPER_MAGIC, "xfs", true},
    {BTRFS_SUPER_MAGIC, "btrfs", true},
    {kF2fsMagic, "f2fs", true},
    {TMPFS_MAGIC, "tmpfs", true},
    {MSDOS_SUPER_MAGIC, "vfat", false},
    {kExfatMagic, "exfat", false},
    {kNtfs3Magic, "ntfs3", false},
    {kNtfsMagic, "ntfs", false},
    {kFuseMagic, "fuse", false},
    {NFS_SUPER_MAGIC, "nfs", false},
    {kCifsMagic, "cifs", false},
    {kSmb2Magic, "smb", false},
    {OVERLAYFS_SUPER_MAGIC, "overlay", false},
    {SQUASHFS_MAGIC, "squashfs", false},
    {ISOFS_SUPER_MAGIC, "iso9660", false},
    {PROC_SUPER_MAGIC, "proc", false},
    {SYSFS_MAGIC, "sysfs", false},
};

}  // namespace

FileSystemKind FileSystemKindOf(int fd, const char* path) {
  struct statfs info {};
  const int got = fd >= 0 ? ::fstatfs(fd, &info) : (path ? ::statfs(path, &info) : -1);
  if (got != 0) return {0, "unknown"};
  const auto magic = static_cast<unsigned long>(info.f_type);
  for (const KnownKind& kind : kKinds) {
    if (kind.magic == magic) return {magic, kind.name};
  }
  char hex[24];
  std::snprintf(hex, sizeof hex, "0x%lx", magic);
  return {magic, hex};
}

bool KeepsTrustworthyStamps(const FileSystemKind& kind) {
  for (const KnownKind& known : kKinds) {
    if (known.magic == kind.magic) return known.trustworthyStamps;
  }
  return false;
}

std::string TrustworthyStampFileSystems() {
  std::string names;
  for (const KnownKind& known : kKinds) {
    if (!known.trustworthyStamps) continue;
    if (!names.empty()) names += ", ";
    names += known.name;
  }
  return names;
}

}  // namespace tarnwick::platform
