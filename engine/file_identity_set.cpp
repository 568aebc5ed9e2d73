#include "engine/file_identity_set.h"

#include <utility>

namespace tarnwick {
namespace {

std::size_t HomeOf(std::uint64_t inode, std::size_t slotCount) {
  return static_cast<std::size_t>((inode * 0x9E3779B97F4A7C15ULL) >> 32) & (slotCount - 1);
}

}  // namespace

bool FileIdentitySet::Insert(dev_t device, ino_t inode) {
  for (DeviceInodes& table : devices_) {
    if (table.device == device) return InsertInode(table, inode);
  }
  devices_.emplace_back().device = device;
  return InsertInode(devices_.back(), inode);
}

bool FileIdentitySet::InsertInode(DeviceInodes& table, std::uint64_t inode) {
  if (inode == 0) return !std::exchange(table.hasInodeZero, true);
  if (2 * (table.count + 1) > table.cells.size()) Grow(table);
  const std::size_t mask = table.cells.size() - 1;
  for (std::size_t at = HomeOf(inode, table.cells.size());; at = (at + 1) & mask) {
    if (table.cells[at] == inode) return false;
    if (table.cells[at] == 0) {
      table.cells[at] = inode;
      ++table.count;
      return true;
    }
  }
}

void FileIdentitySet::Grow(DeviceInodes& table) {
  std::vector<std::uint64_t> old = std::move(table.cells);
  table.cells.assign(old.empty() ? 16 : 2 * old.size(), 0);
  const std::size_t mask = table.cells.size() - 1;
  for (const std::uint64_t inode : old) {
    if (inode == 0) continue;
    std::size_t at = HomeOf(inode, table.cells.size());
    while (table.cells[at] != 0) at = (at + 1) & mask;
    table.cells[at] = inode;
  }
}

}  // namespace tarnwick
