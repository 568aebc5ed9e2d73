#pragma once
// What kind of device holds a file: whether reads should come in order of their place
// on disk, few at a time (a spinning disk, where each jump costs a seek), or many at
// once (flash, a virtual disk, a network file system, which answer reads in parallel).

namespace tarnwick::platform {

enum class DeviceKind {
  Parallel,    // solid state, virtual, or not a local block device
  Rotational,  // a spinning disk: /sys/block/*/queue/rotational is 1
};

// The kind of the device under the open file or folder `fd`. A disk of a virtual machine
// (virtio, Xen) reports itself rotational whatever lies behind it, which it cannot
// know: it counts as parallel, as do file systems without a block device (tmpfs, NFS,
// FUSE) and anything /sys does not describe.
DeviceKind DeviceKindOf(int fd);

}  // namespace tarnwick::platform
