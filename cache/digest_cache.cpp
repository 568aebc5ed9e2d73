#include "cache/digest_cache.h"

#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <utility>

namespace tarnwick {
namespace {

// "TRNW": marks the database as ours; the version changes with what an entry means.
constexpr int kApplicationId = 0x54524E57;
constexpr int kSchemaVersion = 2;
// Long enough for another program's batch of writes, short enough not to stall a job;
// opening, which a window may do on its own thread, waits less.
constexpr int kBusyTimeoutMs = 1000;
constexpr int kOpenBusyTimeoutMs = 250;
// Entries are written in batches of this many, each in one transaction and in the
// table's own order, so that a page is written once a batch.
constexpr std::size_t kBatchSize = 16384;
// Entries stored this many days ago are pruned (a file unchanged for that long is read
// once more), and the oldest beyond the count.
constexpr std::int64_t kPruneAfterDays = 365;
constexpr std::int64_t kMaxEntries = 1000000;

// An entry is found by one integer made of its device and inode (a lookup by integer
// costs far less than by two columns); the two are kept beside it and checked.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS digests("
    " file INTEGER PRIMARY KEY, device INTEGER NOT NULL, inode INTEGER NOT NULL,"
    " size INTEGER NOT NULL, modified INTEGER NOT NULL, changed INTEGER NOT NULL,"
    " ends INTEGER, whole INTEGER, md5 BLOB,"
    " checksum INTEGER NOT NULL, stored INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS meta(name TEXT PRIMARY KEY, value INTEGER) WITHOUT ROWID;";

std::int64_t Today() { return static_cast<std::int64_t>(std::time(nullptr)) / 86400; }

std::int64_t Signed(std::uint64_t value) { return static_cast<std::int64_t>(value); }

std::uint64_t Mix(std::uint64_t state, std::uint64_t value) {
  state = (state ^ value) * 0x9E3779B97F4A7C15ULL;
  return state ^ (state >> 29);
}

// The entry's number: two files that share it share one entry, the later one's. Its
// high bits come from the device and the file's place (its folder), its low bits are
// the inode's own: the entries of one folder lie together in the table, in inode order,
// so the lookups of a folder's files are one pass over neighbouring rows.
constexpr int kInodeBits = 40;
constexpr std::uint64_t kInodeMask = (std::uint64_t{1} << kInodeBits) - 1;

std::int64_t EntryNumber(const FileStamp& stamp, std::uint64_t place) {
  const std::uint64_t folder = Mix(Mix(0, stamp.device), place) >> (kInodeBits + 1);
  return Signed((folder << kInodeBits) | (stamp.inode & kInodeMask));
}

bool SameFolder(std::int64_t a, std::int64_t b) { return (a >> kInodeBits) == (b >> kInodeBits); }

// Ties an entry's digests to its stamp: a row changed by anything but this program
// (a damaged page, an edit) fails the check and is not used.
std::int64_t Checksum(const FileStamp& stamp, const KnownDigests& digests) {
  std::uint64_t sum = kSchemaVersion;
  for (const std::uint64_t value :
       {stamp.device, stamp.inode, static_cast<std::uint64_t>(stamp.size),
        static_cast<std::uint64_t>(stamp.modifiedNs), static_cast<std::uint64_t>(stamp.changedNs),
        digests.ends.value_or(0), digests.whole.value_or(0)}) {
    sum = Mix(sum, value);
  }
  sum = Mix(sum, (digests.ends ? 1 : 0) | (digests.whole ? 2 : 0) | (digests.md5 ? 4 : 0));
  if (digests.md5) {
    for (const std::uint8_t byte : *digests.md5) sum = Mix(sum, byte);
  }
  return Signed(sum);
}

bool IsDamage(int code) { return code == SQLITE_CORRUPT || code == SQLITE_NOTADB; }
bool IsLock(int code) { return code == SQLITE_BUSY || code == SQLITE_LOCKED; }

std::int64_t FileBytes(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
}

}  // namespace

std::uint64_t StampPrint(const FileStamp& stamp) {
  std::uint64_t print = 0x2545F4914F6CDD1DULL;
  for (const std::uint64_t value :
       {stamp.device, stamp.inode, static_cast<std::uint64_t>(stamp.size),
        static_cast<std::uint64_t>(stamp.modifiedNs),
        static_cast<std::uint64_t>(stamp.changedNs)}) {
    print = Mix(print, value);
  }
  return Mix(print, print >> 32);
}

DigestCache::DigestCache(std::string path) : path_(std::move(path)) {
  std::lock_guard lock(mutex_);
  Open();
  if (db_) sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

DigestCache::~DigestCache() {
  std::lock_guard lock(mutex_);
  FlushLocked();
  if (wrote_) PruneLocked();
  CloseDatabase();
}

bool DigestCache::InUse() const {
  std::lock_guard lock(mutex_);
  return db_ != nullptr;
}

std::string DigestCache::ErrorText() const { return db_ ? sqlite3_errmsg(db_) : ""; }

void DigestCache::CloseDatabase() {
  sqlite3_finalize(upsert_);
  upsert_ = nullptr;
  sqlite3_finalize(select_);
  select_ = nullptr;
  sqlite3_close(db_);
  db_ = nullptr;
}

void DigestCache::Report(CacheProblem why, const std::string& detail) {
  if (std::exchange(reported_, true)) return;
  notice_ = CacheNotice{why, path_, detail};
}

void DigestCache::Bypass(CacheProblem why, const std::string& detail) {
  Report(why, detail);
  CloseDatabase();
  pending_.clear();
}

void DigestCache::Fail(int code, const std::string& detail) {
  if (IsLock(code)) return Bypass(CacheProblem::Locked, detail);
  if (code == SQLITE_READONLY) return Bypass(CacheProblem::ReadOnly, detail);
  if (!IsDamage(code)) return Bypass(CacheProblem::WriteFailed, detail);
  // Started anew next time; meanwhile nothing more is read from it.
  Bypass(CacheProblem::Damaged, detail);
  for (const char* suffix : {"", "-wal", "-shm"}) ::unlink((path_ + suffix).c_str());
}

void DigestCache::Configure() {
  sqlite3_busy_timeout(db_, kOpenBusyTimeoutMs);
  // A cache may lose its last writes in a power cut, never its consistency: commits do
  // not wait for the disk.
  sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
}

void DigestCache::Open() {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
  if (error) return Bypass(CacheProblem::Unavailable, error.message());

  const int opened =
      sqlite3_open_v2(path_.c_str(), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (opened != SQLITE_OK) {
    const std::string detail = ErrorText();
    const std::string folder = std::filesystem::path(path_).parent_path();
    return Bypass(
        ::access(folder.c_str(), W_OK) == 0 ? CacheProblem::Unavailable : CacheProblem::ReadOnly,
        detail);
  }
  Configure();
  if (sqlite3_db_readonly(db_, "main") == 1) return Bypass(CacheProblem::ReadOnly, "");

  // What the file is: ours, fresh, someone else's, or no database at all.
  sqlite3_stmt* probe = nullptr;
  int code = sqlite3_prepare_v2(db_,
                                "SELECT (SELECT application_id FROM pragma_application_id),"
                                " (SELECT user_version FROM pragma_user_version),"
                                " (SELECT count(*) FROM sqlite_schema)",
                                -1, &probe, nullptr);
  if (code == SQLITE_OK) code = sqlite3_step(probe);
  const bool read = code == SQLITE_ROW;
  const int applicationId = read ? sqlite3_column_int(probe, 0) : 0;
  const int version = read ? sqlite3_column_int(probe, 1) : 0;
  const int tables = read ? sqlite3_column_int(probe, 2) : 0;
  sqlite3_finalize(probe);
  if (!read) {
    if (IsDamage(code)) return void(Rebuild(CacheProblem::Damaged, ErrorText()));
    if (IsLock(code)) return Bypass(CacheProblem::Locked, ErrorText());
    return Bypass(
        ::access(path_.c_str(), W_OK) == 0 ? CacheProblem::Unavailable : CacheProblem::ReadOnly,
        ErrorText());
  }
  if (tables == 0 && applicationId == 0 && version == 0) {
    if (CreateSchema()) Prepare();
    return;
  }
  if (applicationId != kApplicationId || version != kSchemaVersion) {
    Rebuild(CacheProblem::OtherVersion, "");
    return;
  }
  if (!Prepare()) Rebuild(CacheProblem::Damaged, ErrorText());
}

bool DigestCache::CreateSchema() {
  // Readers never wait for the writer, so the window and a command-line job share it.
  sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
  const std::string script = std::string("BEGIN IMMEDIATE;") + kSchema +
                             "PRAGMA application_id=" + std::to_string(kApplicationId) +
                             ";PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";COMMIT;";
  const int code = sqlite3_exec(db_, script.c_str(), nullptr, nullptr, nullptr);
  if (code == SQLITE_OK) return true;
  const std::string detail = ErrorText();
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  if (IsLock(code)) {
    Bypass(CacheProblem::Locked, detail);
  } else if (code == SQLITE_READONLY || code == SQLITE_CANTOPEN) {
    Bypass(CacheProblem::ReadOnly, detail);
  } else {
    Bypass(CacheProblem::Unavailable, detail);
  }
  return false;
}

bool DigestCache::Prepare() {
  return sqlite3_prepare_v3(
             db_,
             "INSERT OR REPLACE INTO digests VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)",
             -1, SQLITE_PREPARE_PERSISTENT, &upsert_, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v3(db_,
                            "SELECT file, device, inode, size, modified, changed, ends, whole,"
                            " md5, checksum FROM digests WHERE file BETWEEN ?1 AND ?2",
                            -1, SQLITE_PREPARE_PERSISTENT, &select_, nullptr) == SQLITE_OK;
}

bool DigestCache::Rebuild(CacheProblem why, const std::string& detail) {
  CloseDatabase();
  for (const char* suffix : {"", "-wal", "-shm"}) {
    const std::string file = path_ + suffix;
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
      Bypass(errno == EACCES || errno == EPERM || errno == EROFS ? CacheProblem::ReadOnly
                                                                 : CacheProblem::Unavailable,
             std::strerror(errno));
      return false;
    }
  }
  Report(why, detail);
  if (sqlite3_open_v2(path_.c_str(), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    Bypass(CacheProblem::Unavailable, ErrorText());
    return false;
  }
  Configure();
  if (!CreateSchema()) return false;
  if (Prepare()) return true;
  Bypass(CacheProblem::Unavailable, ErrorText());
  return false;
}

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
      sqlite3_column_bytes(select_, 8) == static_cast<int>(sizeof(Md5Bytes))) {
    Md5Bytes md5;
    std::memcpy(md5.data(), sqlite3_column_blob(select_, 8), md5.size());
    digests.md5 = md5;
  }
  if (sqlite3_column_int64(select_, 9) != Checksum(stamp, digests)) return {};
  return digests;
}

void DigestCache::FindRangeLocked(Lookup* first, Lookup* last) {
  if (!db_) return;
  sqlite3_reset(select_);
  sqlite3_bind_int64(select_, 1, EntryNumber(first->stamp, first->place));
  sqlite3_bind_int64(select_, 2, EntryNumber((last - 1)->stamp, (last - 1)->place));
  // Rows and lookups both come in entry order: one pass over each.
  int code;
  while ((code = sqlite3_step(select_)) == SQLITE_ROW) {
    const std::int64_t number = sqlite3_column_int64(select_, 0);
    while (first != last && EntryNumber(first->stamp, first->place) < number) ++first;
    for (Lookup* same = first; same != last && EntryNumber(same->stamp, same->place) == number;
         ++same) {
      same->digests = RowDigests(same->stamp);
    }
  }
  if (code != SQLITE_DONE) Fail(code, ErrorText());
}

KnownDigests DigestCache::Find(const FileStamp& stamp, std::uint64_t place) {
  std::vector<Lookup> one{{stamp, 0, place, {}}};
  FindEach(one);
  return one.front().digests;
}

void DigestCache::FindEach(std::vector<Lookup>& lookups) {
  std::sort(lookups.begin(), lookups.end(), [](const Lookup& a, const Lookup& b) {
    return EntryNumber(a.stamp, a.place) < EntryNumber(b.stamp, b.place);
  });
  std::lock_guard lock(mutex_);
  // One read transaction for the batch: each lookup on its own would take and drop the
  // database's locks, and SQLite could keep no page between them.
  const bool inTransaction =
      db_ && sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
  // One pass over the rows of each folder's files, from the first to the last of them.
  for (auto first = lookups.begin(); first != lookups.end() && db_;) {
    const std::int64_t folder = EntryNumber(first->stamp, first->place);
    auto last = first + 1;
    while (last != lookups.end() && SameFolder(EntryNumber(last->stamp, last->place), folder))
      ++last;
    FindRangeLocked(&*first, &*first + (last - first));
    first = last;
  }
  // A statement left stepping would hold the database's read snapshot.
  if (select_) sqlite3_reset(select_);
  if (inTransaction && db_) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
}

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
    digests.md5 ? sqlite3_bind_blob(upsert_, 9, digests.md5->data(),
                                    static_cast<int>(digests.md5->size()), SQLITE_STATIC)
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

std::optional<CacheNotice> DigestCache::TakeNotice() {
  std::lock_guard lock(mutex_);
  return std::exchange(notice_, std::nullopt);
}

DigestCache::Info DigestCache::Describe() {
  std::lock_guard lock(mutex_);
  FlushLocked();
  Info info;
  if (db_) {
    sqlite3_stmt* count = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT count(*) FROM digests", -1, &count, nullptr) == SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW) {
      info.entries = sqlite3_column_int64(count, 0);
    }
    sqlite3_finalize(count);
  }
  info.bytes = FileBytes(path_) + FileBytes(path_ + "-wal");
  return info;
}

bool DigestCache::Clear() {
  std::lock_guard lock(mutex_);
  pending_.clear();
  if (!db_) return false;
  int code = sqlite3_exec(db_, "BEGIN IMMEDIATE; DELETE FROM digests; DELETE FROM meta; COMMIT;",
                          nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) {
    const std::string detail = ErrorText();
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    Bypass(IsLock(code) ? CacheProblem::Locked : CacheProblem::WriteFailed, detail);
    return false;
  }
  // Give the space back; a reader elsewhere only makes these wait or do less.
  sqlite3_exec(db_, "VACUUM; PRAGMA wal_checkpoint(TRUNCATE);", nullptr, nullptr, nullptr);
  return true;
}

std::string DefaultDigestCachePath() {
  const char* cacheHome = std::getenv("XDG_CACHE_HOME");
  std::string base;
  if (cacheHome && cacheHome[0] == '/') {
    base = cacheHome;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !home[0]) {
      const passwd* user = ::getpwuid(::getuid());
      home = user && user->pw_dir ? user->pw_dir : "/";
    }
    base = std::string(home) + "/.cache";
  }
  return base + "/tarnwick/digests.sqlite";
}

}  // namespace tarnwick
