#include "platform/file_system_kind.h"

#include <linux/magic.h>
#include <sys/vfs.h>

namespace tarnwick::platform {

bool IsKernelFileSystem(int fd) {
  struct statfs info {};
  if (::fstatfs(fd, &info) != 0) return true;  // unknown: keep nothing
  switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case BPF_FS_MAGIC:
    case PSTOREFS_MAGIC:
    case EFIVARFS_MAGIC:
    case SELINUX_MAGIC:
    case BINFMTFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
      return true;
    default:
      return false;
  }
}

}  // namespace tarnwick::platform
