#pragma once
// The digest cache: what the duplicate filter learned of a file's content (its quick
// hashes and its MD5 key), kept in an SQLite database between jobs and programs, so
// that a job run again on an unchanged tree reads no file twice.
//
// An entry belongs to a file's device and inode and holds for its size, modification
// time and change time to the nanosecond: any difference and the entry is not used.
// The cache can never change a job's answer: an entry that fails its checksum is not
// used, and a database that is missing, damaged, of another version, locked or not
// writable is rebuilt or bypassed, with one notice saying so.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tarnwick {

// What identifies a file's content: the same file, the same size, not written to since.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

using Md5Bytes = std::array<std::uint8_t, 16>;

// The digests of one file; each is known or not.
struct KnownDigests {
  std::optional<std::uint64_t> ends;   // quick hash of the first and last pieces
  std::optional<std::uint64_t> whole;  // quick hash of the whole content
  std::optional<Md5Bytes> md5;         // the MD5 key of the duplicate filter
  bool Empty() const { return !ends && !whole && !md5; }
};

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

  // The digests stored for exactly this stamp (empty when none are). The first call
  // reads every entry into memory (unless Load has); what this program stores is found
  // after a Flush.
  KnownDigests Find(const FileStamp& stamp);
  // Reads every entry into memory now, so that Find answers at once.
  void Load();
  // True once Find answers without reading the database first.
  bool Loaded() const { return loaded_.load(std::memory_order_acquire); }
  // Keeps the digests of the file with `stamp`, replacing what was kept for its device
  // and inode. Written in large batches, each in one transaction.
  void Store(const FileStamp& stamp, const KnownDigests& digests);
  // Writes everything pending now.
  void Flush();

  // The first problem met since the last call; each problem is told once.
  std::optional<CacheNotice> TakeNotice();

  struct Info {
    std::int64_t entries = 0;
    std::int64_t bytes = 0;  // the database's files on disk
  };
  Info Describe();
  // Removes every entry. False, with a notice, when the database cannot be written.
  bool Clear();

 private:
  struct Pending {
    FileStamp stamp;
    KnownDigests digests;
  };
  // Every entry of the database, read at the first lookup: a job looks up each of its
  // files, and one pass over the table costs far less than a query for each. Entries
  // are found by a 64-bit print of their whole stamp. Most entries hold the quick hash
  // of the ends alone and sit in their cell; the others are kept aside.
  struct Snapshot {
    struct Cell {
      std::uint64_t print = 0;  // 0: empty; lowest bit set: `value` indexes `fuller`
      std::uint64_t value = 0;  // the ends hash, or the index into `fuller`
    };
    std::vector<Cell> cells;
    std::vector<KnownDigests> fuller;
    std::size_t count = 0;
    bool loaded = false;
    void Insert(std::uint64_t print, const KnownDigests& digests);
    KnownDigests Find(std::uint64_t print) const;
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
  void LoadLocked();
  void DropSnapshot();
  void FlushLocked();
  void PruneLocked();
  std::string ErrorText() const;
  void CloseDatabase();

  std::string path_;
  mutable std::mutex mutex_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* upsert_ = nullptr;
  Snapshot snapshot_;
  std::atomic<bool> loaded_{true};  // Snapshot loaded, or no database to load from
  std::vector<Pending> pending_;
  std::optional<CacheNotice> notice_;
  bool reported_ = false;
  bool wrote_ = false;
};

// $XDG_CACHE_HOME/tarnwick/digests.sqlite, or ~/.cache/tarnwick/digests.sqlite when
// XDG_CACHE_HOME is unset or not an absolute path.
std::string DefaultDigestCachePath();

}  // namespace tarnwick
