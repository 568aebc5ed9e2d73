#pragma once
// What an entry of the digest cache is and how a folder's rows keep it. The entries of
// one folder (its device and text) lie together, in a few rows read one after the other:
// a job asks for the files of a folder one after the other, so one read answers them
// all. Across the rows the entries lie in inode order, each of a fixed size, and each
// carries a checksum tying its digests to its stamp.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "cache/known_digests.h"

namespace tarnwick::cache_entry {

// The version of what the database holds; a database of another is started anew.
inline constexpr int kSchemaVersion = 5;

struct Entry {
  FileStamp stamp;
  KnownDigests digests;
  std::int64_t storedDay = 0;  // days since 1970 when it was stored
};

// An entry's bytes in a row: device, inode, size, modification and change time, the two
// quick hashes, which digests are known and the day stored, the SHA-256, the checksum.
inline constexpr std::size_t kEntryBytes = 9 * 8 + 32;

// Appends the bytes of `entry` to a row.
void AppendEntry(const Entry& entry, std::string& row);
// The entry whose bytes start at `bytes`; none when its checksum fails (a row changed
// by anything but this program: a damaged page, an edit).
std::optional<Entry> ReadEntry(const unsigned char* bytes);
// The device and inode of the entry at `bytes`, without checking it.
std::uint64_t DeviceAt(const unsigned char* bytes);
std::uint64_t InodeAt(const unsigned char* bytes);

}  // namespace tarnwick::cache_entry
