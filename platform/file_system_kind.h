#pragma once
// What kind of file system holds a file.

namespace tarnwick::platform {

// True when the open file or folder `fd` lies on a file system whose files the kernel
// makes up as they are read (/proc, /sys, debugfs, cgroups...): their content changes
// without their times changing, so nothing read from them may be kept for later.
bool IsKernelFileSystem(int fd);

}  // namespace tarnwick::platform
