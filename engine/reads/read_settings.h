#pragma once
// How a job reads files: how many reads it keeps in flight, and through what.

#include <optional>

#include "platform/block_device.h"
#include "platform/io_ring.h"

namespace tarnwick {

struct ReadSettings {
  // Opens and reads kept in flight at once; 0: as suits the device under the chosen
  // folder (many on flash and virtual disks, few on a spinning disk).
  unsigned depth = 0;
  // Read through a small pool of threads even where the kernel's rings are there.
  bool threadsOnly = false;
  // Read as if the files lay on this kind of device, whatever /sys says.
  std::optional<platform::DeviceKind> device;
  // List folders ahead of the walk even while listings do not wait for the device
  // (tests: the walk's own listings are otherwise quicker in a warm tree).
  bool foldersAheadAlways = false;
  // Faults the reads show (tests); null: none.
  const platform::ReadFaults* faults = nullptr;
};

}  // namespace tarnwick
