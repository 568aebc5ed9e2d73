// Finding what the digest cache keeps for files: a batch of lookups in one read
// transaction, the files of a folder answered from its one row.
#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "cache/cache_entry.h"
#include "cache/digest_cache.h"

namespace tarnwick {
namespace {

// The lookups of one folder that follow one another in a batch.
struct FolderRun {
  std::size_t begin;
  std::size_t end;
};

// The order of two lookups' folders as their rows lie: by device (as SQLite orders its
// integers), then by text. A caller names a folder's files by one text, mostly: that is
// told without reading it.
int CompareFolders(const DigestCache::Lookup& a, const DigestCache::Lookup& b) {
  const auto deviceA = static_cast<std::int64_t>(a.stamp.device);
  const auto deviceB = static_cast<std::int64_t>(b.stamp.device);
  if (deviceA != deviceB) return deviceA < deviceB ? -1 : 1;
  if (a.folder.data() == b.folder.data() && a.folder.size() == b.folder.size()) return 0;
  return a.folder.compare(b.folder);
}

}  // namespace

using cache_entry::DeviceAt;
using cache_entry::InodeAt;
using cache_entry::kEntryBytes;

void DigestCache::BindFolder(sqlite3_stmt* statement, int index, std::string_view folder) {
  sqlite3_bind_blob(statement, index, folder.empty() ? "" : folder.data(),
                    static_cast<int>(folder.size()), SQLITE_STATIC);
}

DigestCache::RowBytes DigestCache::ReadRowLocked(std::uint64_t device, std::string_view folder) {
  sqlite3_reset(select_);
  sqlite3_bind_int64(select_, 1, static_cast<std::int64_t>(device));
  BindFolder(select_, 2, folder);
  rowBytes_.clear();
  bool whole = true;
  int code;
  while ((code = sqlite3_step(select_)) == SQLITE_ROW) {
    const void* bytes = sqlite3_column_blob(select_, 0);
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(select_, 0));
    // A part of another length than whole entries was not written by this program.
    if (!bytes || size % kEntryBytes != 0) whole = false;
    if (whole) rowBytes_.append(static_cast<const char*>(bytes), size);
  }
  if (code != SQLITE_DONE) {
    const std::string detail = ErrorText();
    sqlite3_reset(select_);
    Fail(code, detail);
    return {};
  }
  // A statement left stepping would hold the database's read snapshot.
  sqlite3_reset(select_);
  if (!whole || rowBytes_.empty()) return {};
  return {reinterpret_cast<const unsigned char*>(rowBytes_.data()), rowBytes_.size() / kEntryBytes};
}

void DigestCache::FindInFolderLocked(std::uint64_t device, std::string_view folder,
                                     std::span<Lookup* const> lookups) {
  const RowBytes row = ReadRowLocked(device, folder);
  if (row.count == 0) return;
  const auto inodeOf = [&](std::size_t entry) { return InodeAt(row.bytes + entry * kEntryBytes); };
  for (Lookup* const asked : lookups) {
    const FileStamp& stamp = asked->stamp;
    // Entries lie in inode order; a file on another device may share the inode.
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
      if (found && found->stamp == stamp) asked->digests = found->digests;
      break;
    }
  }
}

KnownDigests DigestCache::Find(const FileStamp& stamp, std::string_view folder) {
  std::vector<Lookup> one{{stamp, 0, folder, {}}};
  FindEach(one);
  return one.front().digests;
}

void DigestCache::FindEach(std::vector<Lookup>& lookups) {
  // A folder's files are asked for one after the other: the batch is cut into runs of one
  // folder, and the runs are taken in the order the rows lie in, so that neighbouring
  // rows are read from the same pages. The lookups stay where the caller put them.
  const auto sameFolder = [](const Lookup& a, const Lookup& b) {
    return CompareFolders(a, b) == 0;
  };
  std::vector<FolderRun> runs;
  for (std::size_t at = 0; at < lookups.size();) {
    std::size_t end = at + 1;
    while (end < lookups.size() && sameFolder(lookups[end], lookups[at])) ++end;
    runs.push_back({at, end});
    at = end;
  }
  std::stable_sort(runs.begin(), runs.end(), [&](const FolderRun& a, const FolderRun& b) {
    return CompareFolders(lookups[a.begin], lookups[b.begin]) < 0;
  });
  std::lock_guard lock(mutex_);
  // One read transaction for the batch: each lookup on its own would take and drop the
  // database's locks, and SQLite could keep no page between them.
  const bool inTransaction =
      db_ && sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
  std::vector<Lookup*> folderLookups;
  for (std::size_t run = 0; run < runs.size() && db_;) {
    // A folder asked for again later in the batch joins its first run.
    const Lookup& first = lookups[runs[run].begin];
    folderLookups.clear();
    for (; run < runs.size() && sameFolder(lookups[runs[run].begin], first); ++run) {
      for (std::size_t at = runs[run].begin; at < runs[run].end; ++at)
        folderLookups.push_back(&lookups[at]);
    }
    FindInFolderLocked(first.stamp.device, first.folder, folderLookups);
  }
  if (inTransaction && db_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace tarnwick
