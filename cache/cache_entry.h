#pragma once
// What an entry of the digest cache is: the number it is found by, the checksum that
// ties its digests to its stamp, and the print of a stamp that a job keeps per file.

#include <cstdint>

#include "cache/known_digests.h"

namespace tarnwick::cache_entry {

// The version of what an entry means; a database of another is started anew.
inline constexpr int kSchemaVersion = 3;

// The entry's number: two files that share it share one entry, the later one's. Its
// high bits come from the device and the file's place (its folder), its low bits are
// the inode's own: the entries of one folder lie together in the table, in inode order,
// so the lookups of a folder's files are one pass over neighbouring rows.
std::int64_t EntryNumber(const FileStamp& stamp, std::uint64_t place);
// Whether two entry numbers belong to one folder.
bool SameFolder(std::int64_t a, std::int64_t b);
// Ties an entry's digests to its stamp: a row changed by anything but this program
// (a damaged page, an edit) fails the check and is not used.
std::int64_t Checksum(const FileStamp& stamp, const KnownDigests& digests);

}  // namespace tarnwick::cache_entry
