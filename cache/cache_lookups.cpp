// Finding what the digest cache keeps for files: a batch of lookups in one read
// transaction, the files of a folder answered from its one row.
#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "cache/cache_entry.h"
#include "cache/digest_cache.h"

namespace tarnwick {

using cache_entry::DeviceAt;
using cache_entry::FolderNumber;
using cache_entry::InodeAt;
using cache_entry::kEntryBytes;

DigestCache::RowBytes DigestCache::ReadRowLocked(std::int64_t number) {
  sqlite3_reset(select_);
  sqlite3_bind_int64(select_, 1, number);
  const int code = sqlite3_step(select_);
  if (code == SQLITE_ROW) {
    const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(select_, 0));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(select_, 0));
    // A row of another length than whole entries was not written by this program.
    if (bytes && size % kEntryBytes == 0) return {bytes, size / kEntryBytes};
    return {};
  }
  if (code != SQLITE_DONE) Fail(code, ErrorText());
  return {};
}

void DigestCache::FindInFolderLocked(const NumberedLookup* first, const NumberedLookup* last) {
  const RowBytes row = ReadRowLocked(first->folder);
  if (row.count == 0) return;
  const auto inodeOf = [&](std::size_t entry) { return InodeAt(row.bytes + entry * kEntryBytes); };
  for (const NumberedLookup* asked = first; asked != last; ++asked) {
    const FileStamp& stamp = asked->lookup->stamp;
    // Entries lie in inode order; another folder's file may share the row and the inode.
    std::size_t low = 0;
    std::size_t high = row.count;
    while (low < high) {
      const std::size_t middle = (low + high) / 2;
      if (inodeOf(middle) < stamp.inode) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    for (std::size_t entry = low; entry < row.count && inodeOf(entry) == stamp.inode; ++entry) {
      const unsigned char* bytes = row.bytes + entry * kEntryBytes;
      if (DeviceAt(bytes) != stamp.device) continue;
      // The entry may be of an earlier state of this file: only the whole stamp makes it
      // this one's.
      const std::optional<cache_entry::Entry> found = cache_entry::ReadEntry(bytes);
      if (found && found->stamp == stamp) asked->lookup->digests = found->digests;
      break;
    }
  }
}

KnownDigests DigestCache::Find(const FileStamp& stamp, std::uint64_t place) {
  std::vector<Lookup> one{{stamp, 0, place, {}}};
  FindEach(one);
  return one.front().digests;
}

void DigestCache::FindEach(std::vector<Lookup>& lookups) {
  // The lookups by folder row, each row's number worked out once; the lookups stay
  // where the caller put them.
  std::vector<NumberedLookup> order;
  order.reserve(lookups.size());
  for (Lookup& lookup : lookups)
    order.push_back({FolderNumber(lookup.stamp.device, lookup.place), &lookup});
  std::sort(order.begin(), order.end(),
            [](const NumberedLookup& a, const NumberedLookup& b) { return a.folder < b.folder; });
  std::lock_guard lock(mutex_);
  // One read transaction for the batch: each lookup on its own would take and drop the
  // database's locks, and SQLite could keep no page between them.
  const bool inTransaction =
      db_ && sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
  for (auto first = order.begin(); first != order.end() && db_;) {
    auto last = first + 1;
    while (last != order.end() && last->folder == first->folder) ++last;
    FindInFolderLocked(&*first, &*first + (last - first));
    first = last;
  }
  // A statement left stepping would hold the database's read snapshot.
  if (select_) sqlite3_reset(select_);
  if (inTransaction && db_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace tarnwick
