#include "engine/duplicates/file_identity_set.h"

#include <limits>
#include <utility>

namespace tarnwick {
namespace {

std::size_t HomeOf(std::uint64_t inode, std::size_t slotCount) {
  return static_cast<std::size_t>((inode * 0x9E3779B97F4A7C15ULL) >> 32) & (slotCount - 1);
}

template <typename Cell>
void Place(std::vector<Cell>& cells, std::uint64_t inode) {
  const std::size_t mask = cells.size() - 1;
  std::size_t at = HomeOf(inode, cells.size());
  while (cells[at] != 0) at = (at + 1) & mask;
  cells[at] = static_cast<Cell>(inode);
}

// Doubles the table (or starts it) with every inode in its new place.
template <typename Cell>
void Grow(std::vector<Cell>& cells) {
  std::vector<Cell> old = std::move(cells);
  cells.assign(old.empty() ? 16 : 2 * old.size(), 0);
  for (const Cell inode : old) {
    if (inode != 0) Place(cells, inode);
  }
}

// Adds `inode` (not 0) to `cells` unless it is there; true when added.
template <typename Cell>
bool Add(std::vector<Cell>& cells, std::size_t& count, std::uint64_t inode) {
  if (2 * (count + 1) > cells.size()) Grow(cells);
  const std::size_t mask = cells.size() - 1;
  for (std::size_t at = HomeOf(inode, cells.size());; at = (at + 1) & mask) {
    if (cells[at] == inode) return false;
    if (cells[at] == 0) {
      cells[at] = static_cast<Cell>(inode);
      ++count;
      return true;
    }
  }
}

}  // namespace

bool FileIdentitySet::Insert(dev_t device, ino_t inode) {
  for (DeviceInodes& table : devices_) {
    if (table.device == device) return InsertInode(table, inode);
  }
  devices_.emplace_back().device = device;
  return InsertInode(devices_.back(), inode);
}

void FileIdentitySet::Prefetch(dev_t device, ino_t inode) const {
  for (const DeviceInodes& table : devices_) {
    if (table.device != device) continue;
    if (!table.wide.empty()) {
      __builtin_prefetch(&table.wide[HomeOf(inode, table.wide.size())]);
    } else if (!table.narrow.empty()) {
      __builtin_prefetch(&table.narrow[HomeOf(inode, table.narrow.size())]);
    }
    return;
  }
}

bool FileIdentitySet::InsertInode(DeviceInodes& table, std::uint64_t inode) {
  if (inode == 0) return !std::exchange(table.hasInodeZero, true);
  const bool fits = inode <= std::numeric_limits<std::uint32_t>::max();
  if (!fits && table.wide.empty()) Widen(table);
  if (!table.wide.empty()) return Add(table.wide, table.count, inode);
  return Add(table.narrow, table.count, inode);
}

void FileIdentitySet::Widen(DeviceInodes& table) {
  table.wide.assign(table.narrow.empty() ? 16 : table.narrow.size(), 0);
  for (const std::uint32_t inode : table.narrow) {
    if (inode != 0) Place(table.wide, inode);
  }
  table.narrow = {};
}

}  // namespace tarnwick
