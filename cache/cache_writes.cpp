// Writing to the digest cache: entries kept in large batches, each in one transaction,
// every folder's rows written once a batch; old entries pruned.
#include <sqlite3.h>

#include <algorithm>
#include <ctime>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "cache/cache_entry.h"
#include "cache/digest_cache.h"

namespace tarnwick {
namespace {

// Entries are written in batches of this many, each in one transaction, so that a
// folder's row is written once a batch.
constexpr std::size_t kBatchSize = 16384;
// Entries stored this many days ago are dropped (a file unchanged for that long is read
// once more), and at most once a day the oldest rows beyond the count.
constexpr std::int64_t kPruneAfterDays = 365;
constexpr std::int64_t kMaxEntries = 1000000;
// A folder's entries are kept in parts of at most this many, each part a row that fits
// the room a row has on its page: a longer one spills onto a page of its own, mostly
// left empty.
constexpr std::size_t kEntriesInPart = 32;

std::int64_t Today() { return static_cast<std::int64_t>(std::time(nullptr)) / 86400; }

// The order entries lie in within a row.
std::tuple<std::uint64_t, std::uint64_t> EntryKey(const FileStamp& stamp) {
  return {stamp.inode, stamp.device};
}

// The same, of an entry's bytes in a row.
std::tuple<std::uint64_t, std::uint64_t> EntryKeyAt(const unsigned char* bytes) {
  return {cache_entry::InodeAt(bytes), cache_entry::DeviceAt(bytes)};
}

// Each text's rank in byte order, equal texts sharing one.
std::vector<std::uint32_t> RanksInTextOrder(const std::vector<std::string>& texts) {
  std::vector<std::uint32_t> byText(texts.size());
  std::iota(byText.begin(), byText.end(), 0);
  std::sort(byText.begin(), byText.end(),
            [&](std::uint32_t a, std::uint32_t b) { return texts[a] < texts[b]; });
  std::vector<std::uint32_t> rankOf(texts.size());
  for (std::uint32_t rank = 0; rank < byText.size(); ++rank) {
    const bool again = rank > 0 && texts[byText[rank]] == texts[byText[rank - 1]];
    rankOf[byText[rank]] = again ? rankOf[byText[rank - 1]] : rank;
  }
  return rankOf;
}

}  // namespace

using cache_entry::kEntryBytes;

void DigestCache::Store(const FileStamp& stamp, const KnownDigests& digests,
                        std::string_view folder) {
  std::lock_guard lock(mutex_);
  if (!db_ || digests.Empty()) return;
  if (pendingFolders_.empty() || pendingFolders_.back() != folder)
    pendingFolders_.emplace_back(folder);
  pending_.push_back({stamp, static_cast<std::uint32_t>(pendingFolders_.size() - 1), digests});
  if (pending_.size() >= kBatchSize) FlushLocked();
}

void DigestCache::Flush() {
  std::lock_guard lock(mutex_);
  FlushLocked();
}

void DigestCache::FlushLocked() {
  if (!db_ || pending_.empty()) return;
  const std::int64_t today = Today();
  // By row, in the order the rows lie in, and in a row in entry order; of two entries
  // for one file the later stays.
  const std::vector<std::uint32_t> rankOf = RanksInTextOrder(pendingFolders_);
  using RowKey = std::pair<std::int64_t, std::uint32_t>;  // device, rank of the folder
  std::vector<std::pair<RowKey, const Pending*>> order;
  order.reserve(pending_.size());
  for (const Pending& entry : pending_) {
    const RowKey row{static_cast<std::int64_t>(entry.stamp.device), rankOf[entry.folder]};
    order.push_back({row, &entry});
  }
  std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
    return std::pair(a.first, EntryKey(a.second->stamp)) <
           std::pair(b.first, EntryKey(b.second->stamp));
  });
  int code = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  std::string row;
  for (auto first = order.begin(); first != order.end() && code == SQLITE_OK;) {
    auto last = first + 1;
    while (last != order.end() && last->first == first->first) ++last;
    const std::uint64_t device = first->second->stamp.device;
    const std::string& folder = pendingFolders_[first->second->folder];
    // What the folder holds now.
    const RowBytes old = ReadRowLocked(device, folder);
    if (!db_) return;  // failed, and told
    // Both lie in entry order: merged in one pass, a new entry taking its file's place.
    row.clear();
    std::size_t at = 0;
    const auto oldEntry = [&](std::size_t entry) { return old.bytes + entry * kEntryBytes; };
    const auto keepOld = [&](std::size_t entry) {
      const unsigned char* bytes = oldEntry(entry);
      const std::optional<cache_entry::Entry> known = cache_entry::ReadEntry(bytes);
      if (!known || known->storedDay < today - kPruneAfterDays) return;
      row.append(reinterpret_cast<const char*>(bytes), kEntryBytes);
    };
    const std::size_t oldCount = old.count;
    for (auto next = first; next != last; ++next) {
      const FileStamp& stamp = next->second->stamp;
      if (next + 1 != last && EntryKey(next[1].second->stamp) == EntryKey(stamp)) continue;
      for (; at < oldCount; ++at) {
        const auto oldKey = EntryKeyAt(oldEntry(at));
        if (oldKey > EntryKey(stamp)) break;
        if (oldKey < EntryKey(stamp)) keepOld(at);
      }
      cache_entry::AppendEntry({stamp, next->second->digests, today}, row);
    }
    for (; at < oldCount; ++at) keepOld(at);
    code = WriteFolderLocked(device, folder, row, today);
    first = last;
  }
  pending_.clear();
  pendingFolders_.clear();
  if (code == SQLITE_OK) code = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (code == SQLITE_OK) {
    wrote_ = true;
    return;
  }
  const std::string detail = ErrorText();
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  Fail(code, detail);
}

int DigestCache::WriteFolderLocked(std::uint64_t device, std::string_view folder,
                                   std::string_view entries, std::int64_t today) {
  sqlite3_reset(erase_);
  sqlite3_bind_int64(erase_, 1, static_cast<std::int64_t>(device));
  BindFolder(erase_, 2, folder);
  int code = sqlite3_step(erase_) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db_);
  sqlite3_reset(erase_);
  constexpr std::size_t kPartBytes = kEntriesInPart * kEntryBytes;
  for (std::size_t at = 0; at < entries.size() && code == SQLITE_OK; at += kPartBytes) {
    const std::string_view part = entries.substr(at, kPartBytes);
    sqlite3_reset(insert_);
    sqlite3_bind_int64(insert_, 1, static_cast<std::int64_t>(device));
    BindFolder(insert_, 2, folder);
    sqlite3_bind_int64(insert_, 3, static_cast<std::int64_t>(at / kPartBytes));
    sqlite3_bind_blob(insert_, 4, part.data(), static_cast<int>(part.size()), SQLITE_STATIC);
    sqlite3_bind_int64(insert_, 5, static_cast<std::int64_t>(part.size() / kEntryBytes));
    sqlite3_bind_int64(insert_, 6, today);
    code = sqlite3_step(insert_) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(db_);
  }
  sqlite3_reset(insert_);
  return code;
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
  // Rows not written to for a year go, and the oldest rows beyond the count of entries.
  const std::string script =
      "BEGIN IMMEDIATE;"
      "DELETE FROM folders WHERE stored < " +
      std::to_string(today - kPruneAfterDays) +
      ";"
      "DELETE FROM folders WHERE (device, folder, part) IN (SELECT device, folder, part FROM"
      " (SELECT device, folder, part, sum(count) OVER (ORDER BY stored DESC, device, folder,"
      " part) AS newer FROM folders) WHERE newer > " +
      std::to_string(kMaxEntries) +
      ");"
      "INSERT OR REPLACE INTO meta VALUES('pruned', " +
      std::to_string(today) +
      ");"
      "COMMIT;";
  if (sqlite3_exec(db_, script.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace tarnwick
