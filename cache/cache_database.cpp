// The digest cache's database: opened, checked to be ours and of this version, made
// anew when damaged or foreign, bypassed when it cannot be used, described and cleared.
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "cache/cache_entry.h"
#include "cache/cache_failures.h"
#include "cache/digest_cache.h"

namespace tarnwick {
namespace {

// "TRNW": marks the database as ours; the version changes with what an entry means.
constexpr int kApplicationId = 0x54524E57;
// Long enough for another program's batch of writes, short enough not to stall a job;
// opening, which a window may do on its own thread, waits less.
constexpr int kBusyTimeoutMs = 1000;
constexpr int kOpenBusyTimeoutMs = 250;

// A folder's entries are a few rows, its parts, found by its device and text. The rows
// lie in the order of their folders' texts, so the folders of one part of a tree, which a
// job asks for one after the other, lie together on a few pages.
constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS folders("
    " device INTEGER NOT NULL, folder BLOB NOT NULL, part INTEGER NOT NULL,"
    " entries BLOB NOT NULL, count INTEGER NOT NULL, stored INTEGER NOT NULL,"
    " PRIMARY KEY(device, folder, part)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS meta(name TEXT PRIMARY KEY, value INTEGER) WITHOUT ROWID;";

std::int64_t FileBytes(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
}

}  // namespace

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
  sqlite3_finalize(insert_);
  insert_ = nullptr;
  sqlite3_finalize(erase_);
  erase_ = nullptr;
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
  pendingFolders_.clear();
}

void DigestCache::Fail(int code, const std::string& detail) {
  if (cache_failures::IsLock(code)) return Bypass(CacheProblem::Locked, detail);
  if (code == SQLITE_READONLY) return Bypass(CacheProblem::ReadOnly, detail);
  if (!cache_failures::IsDamage(code)) return Bypass(CacheProblem::WriteFailed, detail);
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
  // The cache names the folders searched: a folder made for it is its owner's alone.
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  if (std::filesystem::create_directories(folder, error))
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
  if (error) return Bypass(CacheProblem::Unavailable, error.message());

  const int opened =
      sqlite3_open_v2(path_.c_str(), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (opened != SQLITE_OK) {
    const std::string detail = ErrorText();
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
    if (cache_failures::IsDamage(code)) return void(Rebuild(CacheProblem::Damaged, ErrorText()));
    if (cache_failures::IsLock(code)) return Bypass(CacheProblem::Locked, ErrorText());
    return Bypass(
        ::access(path_.c_str(), W_OK) == 0 ? CacheProblem::Unavailable : CacheProblem::ReadOnly,
        ErrorText());
  }
  if (tables == 0 && applicationId == 0 && version == 0) {
    if (CreateSchema()) Prepare();
    return;
  }
  if (applicationId != kApplicationId || version != cache_entry::kSchemaVersion) {
    Rebuild(CacheProblem::OtherVersion, "");
    return;
  }
  if (!Prepare()) Rebuild(CacheProblem::Damaged, ErrorText());
}

bool DigestCache::CreateSchema() {
  // So is a database made anew (its journals take its permissions), wherever it lies.
  ::chmod(path_.c_str(), S_IRUSR | S_IWUSR);
  // Pages of 16 KiB hold a few folders' rows each: a job reading the rows of neighbouring
  // folders reads fewer pages. The size can only be set before the first table.
  sqlite3_exec(db_, "PRAGMA page_size=16384", nullptr, nullptr, nullptr);
  // Readers never wait for the writer, so the window and a command-line job share it.
  sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
  const std::string script = std::string("BEGIN IMMEDIATE;") + kSchema +
                             "PRAGMA application_id=" + std::to_string(kApplicationId) +
                             ";PRAGMA user_version=" + std::to_string(cache_entry::kSchemaVersion) +
                             ";COMMIT;";
  const int code = sqlite3_exec(db_, script.c_str(), nullptr, nullptr, nullptr);
  if (code == SQLITE_OK) return true;
  const std::string detail = ErrorText();
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  if (cache_failures::IsLock(code)) {
    Bypass(CacheProblem::Locked, detail);
  } else if (code == SQLITE_READONLY || code == SQLITE_CANTOPEN) {
    Bypass(CacheProblem::ReadOnly, detail);
  } else {
    Bypass(CacheProblem::Unavailable, detail);
  }
  return false;
}

bool DigestCache::Prepare() {
  const auto prepare = [&](const char* sql, sqlite3_stmt** statement) {
    return sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr) ==
           SQLITE_OK;
  };
  return prepare("INSERT INTO folders VALUES(?1, ?2, ?3, ?4, ?5, ?6)", &insert_) &&
         prepare("DELETE FROM folders WHERE device = ?1 AND folder = ?2", &erase_) &&
         prepare("SELECT entries FROM folders WHERE device = ?1 AND folder = ?2 ORDER BY part",
                 &select_);
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
    if (sqlite3_prepare_v2(db_, "SELECT total(count) FROM folders", -1, &count, nullptr) ==
            SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW) {
      info.entries = sqlite3_column_int64(count, 0);
    }
    sqlite3_finalize(count);
    sqlite3_stmt* passed = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "SELECT substr(name, 8) FROM meta WHERE name LIKE 'passed:%' ORDER BY 1",
                           -1, &passed, nullptr) == SQLITE_OK) {
      while (sqlite3_step(passed) == SQLITE_ROW)
        info.passedBy.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(passed, 0)));
    }
    sqlite3_finalize(passed);
  }
  info.bytes = FileBytes(path_) + FileBytes(path_ + "-wal");
  return info;
}

bool DigestCache::Clear() {
  std::lock_guard lock(mutex_);
  pending_.clear();
  pendingFolders_.clear();
  if (!db_) return false;
  int code = sqlite3_exec(db_, "BEGIN IMMEDIATE; DELETE FROM folders; DELETE FROM meta; COMMIT;",
                          nullptr, nullptr, nullptr);
  if (code != SQLITE_OK) {
    const std::string detail = ErrorText();
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    Bypass(cache_failures::IsLock(code) ? CacheProblem::Locked : CacheProblem::WriteFailed, detail);
    return false;
  }
  // Give the space back; a reader elsewhere only makes these wait or do less.
  sqlite3_exec(db_, "VACUUM; PRAGMA wal_checkpoint(TRUNCATE);", nullptr, nullptr, nullptr);
  return true;
}

}  // namespace tarnwick
