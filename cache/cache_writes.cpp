// Writing to the digest cache: entries kept in large batches, each in one transaction
// in the table's own order, and old entries pruned at most once a day.
#include <sqlite3.h>

#include <algorithm>
#include <ctime>

#include "cache/cache_entry.h"
#include "cache/digest_cache.h"

namespace tarnwick {
namespace {

// Entries are written in batches of this many, each in one transaction and in the
// table's own order, so that a page is written once a batch.
constexpr std::size_t kBatchSize = 16384;
// Entries stored this many days ago are pruned (a file unchanged for that long is read
// once more), and the oldest beyond the count.
constexpr std::int64_t kPruneAfterDays = 365;
constexpr std::int64_t kMaxEntries = 1000000;

std::int64_t Today() { return static_cast<std::int64_t>(std::time(nullptr)) / 86400; }

std::int64_t Signed(std::uint64_t value) { return static_cast<std::int64_t>(value); }

}  // namespace

using cache_entry::Checksum;
using cache_entry::EntryNumber;

void DigestCache::Store(const FileStamp& stamp, const KnownDigests& digests, std::uint64_t place) {
  std::lock_guard lock(mutex_);
  if (!db_ || digests.Empty()) return;
  pending_.push_back({stamp, place, digests});
  if (pending_.size() >= kBatchSize) FlushLocked();
}

void DigestCache::Flush() {
  std::lock_guard lock(mutex_);
  FlushLocked();
}

void DigestCache::FlushLocked() {
  if (!db_ || pending_.empty()) return;
  const std::int64_t today = Today();
  std::sort(pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
    return EntryNumber(a.stamp, a.place) < EntryNumber(b.stamp, b.place);
  });
  int code = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  for (const Pending& entry : pending_) {
    if (code != SQLITE_OK) break;
    const FileStamp& stamp = entry.stamp;
    const KnownDigests& digests = entry.digests;
    sqlite3_reset(upsert_);
    sqlite3_bind_int64(upsert_, 1, EntryNumber(stamp, entry.place));
    sqlite3_bind_int64(upsert_, 2, Signed(stamp.device));
    sqlite3_bind_int64(upsert_, 3, Signed(stamp.inode));
    sqlite3_bind_int64(upsert_, 4, stamp.size);
    sqlite3_bind_int64(upsert_, 5, stamp.modifiedNs);
    sqlite3_bind_int64(upsert_, 6, stamp.changedNs);
    digests.ends ? sqlite3_bind_int64(upsert_, 7, Signed(*digests.ends))
                 : sqlite3_bind_null(upsert_, 7);
    digests.whole ? sqlite3_bind_int64(upsert_, 8, Signed(*digests.whole))
                  : sqlite3_bind_null(upsert_, 8);
    digests.sha256 ? sqlite3_bind_blob(upsert_, 9, digests.sha256->data(),
                                       static_cast<int>(digests.sha256->size()), SQLITE_STATIC)
                   : sqlite3_bind_null(upsert_, 9);
    sqlite3_bind_int64(upsert_, 10, Checksum(stamp, digests));
    sqlite3_bind_int64(upsert_, 11, today);
    code = sqlite3_step(upsert_) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db_);
  }
  sqlite3_reset(upsert_);
  pending_.clear();
  if (code == SQLITE_OK) code = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (code == SQLITE_OK) {
    wrote_ = true;
    return;
  }
  const std::string detail = ErrorText();
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  Fail(code, detail);
}

void DigestCache::NotePassedBy(const std::vector<std::string>& kinds) {
  std::lock_guard lock(mutex_);
  if (!db_ || kinds.empty()) return;
  sqlite3_stmt* note = nullptr;
  if (sqlite3_prepare_v2(db_, "INSERT OR REPLACE INTO meta VALUES('passed:' || ?1, ?2)", -1, &note,
                         nullptr) != SQLITE_OK)
    return;
  for (const std::string& kind : kinds) {
    sqlite3_reset(note);
    sqlite3_bind_text(note, 1, kind.c_str(), static_cast<int>(kind.size()), SQLITE_STATIC);
    sqlite3_bind_int64(note, 2, Today());
    sqlite3_step(note);
  }
  sqlite3_finalize(note);
}

void DigestCache::PruneLocked() {
  if (!db_) return;
  const std::int64_t today = Today();
  sqlite3_stmt* last = nullptr;
  bool prunedToday = false;
  if (sqlite3_prepare_v2(db_, "SELECT value FROM meta WHERE name='pruned'", -1, &last, nullptr) ==
          SQLITE_OK &&
      sqlite3_step(last) == SQLITE_ROW) {
    prunedToday = sqlite3_column_int64(last, 0) == today;
  }
  sqlite3_finalize(last);
  if (prunedToday) return;
  const std::string script =
      "BEGIN IMMEDIATE;"
      "DELETE FROM digests WHERE stored < " +
      std::to_string(today - kPruneAfterDays) +
      ";"
      "DELETE FROM digests WHERE file IN (SELECT file FROM digests"
      " ORDER BY stored LIMIT max(0, (SELECT count(*) FROM digests) - " +
      std::to_string(kMaxEntries) +
      "));"
      "INSERT OR REPLACE INTO meta VALUES('pruned', " +
      std::to_string(today) +
      ");"
      "COMMIT;";
  if (sqlite3_exec(db_, script.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace tarnwick
