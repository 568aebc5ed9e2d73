// Finding what the digest cache keeps for files: a batch of lookups in one read
// transaction, the files of a folder in one pass over their rows.
#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "cache/cache_entry.h"
#include "cache/digest_cache.h"

namespace tarnwick {

using cache_entry::Checksum;
using cache_entry::EntryNumber;
using cache_entry::SameFolder;

// The digests of the row `select_` is on, when it is the entry of exactly `stamp`.
KnownDigests DigestCache::RowDigests(const FileStamp& stamp) const {
  // Another file may share the entry's number, and the entry may be of an earlier
  // state of this one: only the whole stamp makes it this file's.
  const FileStamp stored{static_cast<std::uint64_t>(sqlite3_column_int64(select_, 1)),
                         static_cast<std::uint64_t>(sqlite3_column_int64(select_, 2)),
                         sqlite3_column_int64(select_, 3), sqlite3_column_int64(select_, 4),
                         sqlite3_column_int64(select_, 5)};
  if (stored != stamp) return {};
  KnownDigests digests;
  if (sqlite3_column_type(select_, 6) == SQLITE_INTEGER)
    digests.ends = static_cast<std::uint64_t>(sqlite3_column_int64(select_, 6));
  if (sqlite3_column_type(select_, 7) == SQLITE_INTEGER)
    digests.whole = static_cast<std::uint64_t>(sqlite3_column_int64(select_, 7));
  if (sqlite3_column_type(select_, 8) == SQLITE_BLOB &&
      sqlite3_column_bytes(select_, 8) == static_cast<int>(sizeof(Sha256Bytes))) {
    Sha256Bytes sha256;
    std::memcpy(sha256.data(), sqlite3_column_blob(select_, 8), sha256.size());
    digests.sha256 = sha256;
  }
  if (sqlite3_column_int64(select_, 9) != Checksum(stamp, digests)) return {};
  return digests;
}

void DigestCache::FindRangeLocked(const NumberedLookup* first, const NumberedLookup* last) {
  if (!db_) return;
  sqlite3_reset(select_);
  sqlite3_bind_int64(select_, 1, first->number);
  sqlite3_bind_int64(select_, 2, (last - 1)->number);
  // Rows and lookups both come in entry order: one pass over each.
  int code;
  while ((code = sqlite3_step(select_)) == SQLITE_ROW) {
    const std::int64_t number = sqlite3_column_int64(select_, 0);
    while (first != last && first->number < number) ++first;
    for (const NumberedLookup* same = first; same != last && same->number == number; ++same)
      same->lookup->digests = RowDigests(same->lookup->stamp);
  }
  if (code != SQLITE_DONE) Fail(code, ErrorText());
}

KnownDigests DigestCache::Find(const FileStamp& stamp, std::uint64_t place) {
  std::vector<Lookup> one{{stamp, 0, place, {}}};
  FindEach(one);
  return one.front().digests;
}

void DigestCache::FindEach(std::vector<Lookup>& lookups) {
  // The lookups in entry order, each number worked out once; the lookups stay where the
  // caller put them.
  std::vector<NumberedLookup> order;
  order.reserve(lookups.size());
  for (Lookup& lookup : lookups) order.push_back({EntryNumber(lookup.stamp, lookup.place), &lookup});
  std::sort(order.begin(), order.end(),
            [](const NumberedLookup& a, const NumberedLookup& b) { return a.number < b.number; });
  std::lock_guard lock(mutex_);
  // One read transaction for the batch: each lookup on its own would take and drop the
  // database's locks, and SQLite could keep no page between them.
  const bool inTransaction =
      db_ && sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
  // One pass over the rows of each folder's files, from the first to the last of them.
  for (auto first = order.begin(); first != order.end() && db_;) {
    auto last = first + 1;
    while (last != order.end() && SameFolder(last->number, first->number)) ++last;
    FindRangeLocked(&*first, &*first + (last - first));
    first = last;
  }
  // A statement left stepping would hold the database's read snapshot.
  if (select_) sqlite3_reset(select_);
  if (inTransaction && db_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace tarnwick
