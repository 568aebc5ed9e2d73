#pragma once
// The digest cache: what the duplicate filter learned of a file's content (its quick
// hashes and its SHA-256), kept in an SQLite database between jobs and programs, so
// that a job run again on an unchanged tree reads no file twice.
//
// An entry belongs to a file's device and inode and holds for its size, modification
// time and change time to the nanosecond: any difference and the entry is not used.
// The cache can never change a job's answer: an entry that fails its checksum is not
// used, and a database that is missing, damaged, of another version, locked or not
// writable is rebuilt or bypassed, with one notice saying so.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cache/known_digests.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tarnwick {

enum class CacheProblem {
  Unavailable,   // cannot be created or opened (a folder that cannot be made or written)
  ReadOnly,      // the database or its folder cannot be written
  Locked,        // another program holds it locked
  Damaged,       // not a database, or a damaged one: started anew
  OtherVersion,  // made by another version of the program: started anew
  WriteFailed,   // a write failed during the job: not used for the rest of it
};

struct CacheNotice {
  CacheProblem problem;
  std::string path;
  std::string detail;  // the system's or SQLite's own words, may be empty
};

class DigestCache {
 public:
  // Opens the database at `path`, creating it and its folder when missing. Never fails:
  // a database that cannot be used leaves the cache bypassed (InUse false).
  explicit DigestCache(std::string path);
  // Writes what is still pending and, at most once a day, prunes old entries.
  ~DigestCache();
  DigestCache(const DigestCache&) = delete;
  DigestCache& operator=(const DigestCache&) = delete;

  bool InUse() const;
  const std::string& Path() const { return path_; }

  // The rest may be called from any thread.

  // The digests stored for exactly this stamp (empty when none are), for a file in
  // `folder`: the text the caller names the file's folder by, the same when it stores and
  // when it looks up. What this program stores is found after a Flush.
  KnownDigests Find(const FileStamp& stamp, std::string_view folder = {});
  // Find for many files at once, filling in each one's `digests`: the files of one
  // folder are found in one pass over its row, the rows in the table's own order. Nothing
  // is held in memory between calls, however large the table.
  struct Lookup {
    FileStamp stamp;
    std::uint32_t tag = 0;    // the caller's, kept as it is
    std::string_view folder;  // must stay valid until the lookup is answered
    KnownDigests digests;
  };
  void FindEach(std::vector<Lookup>& lookups);
  // Keeps the digests of the file with `stamp` in `folder`, replacing what was kept for
  // its device, folder and inode. Written in large batches, each in one transaction.
  void Store(const FileStamp& stamp, const KnownDigests& digests, std::string_view folder = {});
  // Writes everything pending now.
  void Flush();

  // The first problem met since the last call; each problem is told once.
  std::optional<CacheNotice> TakeNotice();

  // Notes the kinds of file system (platform::FileSystemKind names) a job read without
  // the cache, since their stamps cannot be trusted.
  void NotePassedBy(const std::vector<std::string>& kinds);

  struct Info {
    std::int64_t entries = 0;
    std::int64_t bytes = 0;  // the database's files on disk
    // The kinds of file system jobs have read without the cache, each once.
    std::vector<std::string> passedBy;
  };
  Info Describe();
  // Removes every entry. False, with a notice, when the database cannot be written.
  bool Clear();

 private:
  struct Pending {
    FileStamp stamp;
    std::uint32_t folder;  // in pendingFolders_
    KnownDigests digests;
  };
  void Open();
  void Configure();
  bool Prepare();
  bool CreateSchema();
  bool Rebuild(CacheProblem why, const std::string& detail);
  void Bypass(CacheProblem why, const std::string& detail);
  void Report(CacheProblem why, const std::string& detail);
  // Bypasses the cache after SQLite failed with `code`, telling why.
  void Fail(int code, const std::string& detail);
  // Fills in `lookups`, all of the files of `folder` on `device`.
  void FindInFolderLocked(std::uint64_t device, std::string_view folder,
                          std::span<Lookup* const> lookups);
  // The entries of `folder` on `device`, its parts put together (empty when there are
  // none, or when one is damaged), valid until the next read.
  struct RowBytes {
    const unsigned char* bytes = nullptr;
    std::size_t count = 0;  // entries
  };
  RowBytes ReadRowLocked(std::uint64_t device, std::string_view folder);
  // Binds a folder's text as a blob, the empty text too (which a null pointer would make
  // an SQL NULL).
  static void BindFolder(sqlite3_stmt* statement, int index, std::string_view folder);
  void FlushLocked();
  // Writes `entries` (whole entries, in entry order) as the rows of `folder` on `device`
  // in place of its old ones. Returns SQLite's code.
  int WriteFolderLocked(std::uint64_t device, std::string_view folder, std::string_view entries,
                        std::int64_t today);
  void PruneLocked();
  std::string ErrorText() const;
  void CloseDatabase();

  std::string path_;
  mutable std::mutex mutex_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
  sqlite3_stmt* erase_ = nullptr;
  sqlite3_stmt* select_ = nullptr;
  std::string rowBytes_;  // what ReadRowLocked read
  std::vector<Pending> pending_;
  // The folders of what is pending, each kept once for the files stored after it.
  std::vector<std::string> pendingFolders_;
  std::optional<CacheNotice> notice_;
  bool reported_ = false;
  bool wrote_ = false;
};

// $XDG_CACHE_HOME/tarnwick/digests.sqlite, or ~/.cache/tarnwick/digests.sqlite when
// XDG_CACHE_HOME is unset or not an absolute path.
std::string DefaultDigestCachePath();

}  // namespace tarnwick
