#pragma once
// The files met so far, by device and inode, so that a file reached twice (through
// overlapping name patterns, a hard link or a link to a file) counts once. Inodes are
// kept in one flat table per device, no allocation per file: four bytes a slot while
// every inode of the device fits in 32 bits (as on most file systems), eight after.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnwick {

class FileIdentitySet {
 public:
  // Adds the file; false when it was already there.
  bool Insert(dev_t device, ino_t inode);
  // The file will be inserted soon: its slot is fetched into the cache meanwhile.
  void Prefetch(dev_t device, ino_t inode) const;
  // Forgets every file and gives the memory back.
  void Clear() { devices_ = {}; }

 private:
  struct DeviceInodes {
    dev_t device = 0;
    bool hasInodeZero = false;          // 0 marks an empty slot, so inode 0 is kept aside
    std::vector<std::uint32_t> narrow;  // while every inode fits in 32 bits
    std::vector<std::uint64_t> wide;    // once one does not
    std::size_t count = 0;
  };
  static bool InsertInode(DeviceInodes& table, std::uint64_t inode);
  static void Widen(DeviceInodes& table);

  std::vector<DeviceInodes> devices_;
};

}  // namespace tarnwick
