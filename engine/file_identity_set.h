#pragma once
// The files met so far, by device and inode, so that a file reached twice (through
// overlapping name patterns, a hard link or a link to a file) counts once. Inodes are
// kept in one flat table per device: eight bytes a slot, no allocation per file.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnwick {

class FileIdentitySet {
 public:
  // Adds the file; false when it was already there.
  bool Insert(dev_t device, ino_t inode);

 private:
  struct DeviceInodes {
    dev_t device = 0;
    bool hasInodeZero = false;  // 0 marks an empty slot, so inode 0 is kept aside
    std::vector<std::uint64_t> cells;
    std::size_t count = 0;
  };
  static bool InsertInode(DeviceInodes& table, std::uint64_t inode);
  static void Grow(DeviceInodes& table);

  std::vector<DeviceInodes> devices_;
};

}  // namespace tarnwick
