// The digest cache saves reads and never changes an answer: a job with it lists what a
// job without it lists, whatever state the database is in, and a file changed since
// its digests were kept is read again even when its modification time was put back.

#include "cache/digest_cache.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cache/cache_entry.h"
#include "tests/engine/duplicate_test_support.h"
#include "tests/engine/temp_tree.h"

namespace tarnwick {
namespace {

using test::DuplicateOptions;
using test::Paths;
using test::RunStore;

// Bytes this process has read so far, digest workers included.
long long BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

class DigestCacheTest : public ::testing::Test {
 protected:
  // One tree for the suite, made before anything is timed: files changed in the last
  // two seconds are not cached (their stamp could still hide a change).
  static void SetUpTestSuite() {
    tree_ = new test::TempTree;
    const std::string big = RandomBytes(300 * 1024, 1);
    for (int copy = 0; copy < 3; ++copy)
      files_.push_back(tree_->Create("big/" + std::to_string(copy), big));
    for (int other = 0; other < 12; ++other)
      files_.push_back(
          tree_->Create("other/" + std::to_string(other), RandomBytes(300 * 1024, 10 + other)));
    files_.push_back(tree_->Create("small/a", "twin"));
    files_.push_back(tree_->Create("small/b", "twin"));
    twins_ = {tree_->Create("changed/a", big), tree_->Create("changed/b", big)};
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  }
  static void TearDownTestSuite() {
    delete tree_;
    tree_ = nullptr;
    files_.clear();
    twins_.clear();
  }

  std::string CachePath() const { return folder_.Path("cache/digests.sqlite"); }
  Paths Listed(DigestCache* cache, const Paths& files = files_, unsigned threads = 2) const {
    return RunStore(files, DuplicateOptions(Check::DupByMd5, Check::DupAll), {cache, threads});
  }

  static test::TempTree* tree_;
  static Paths files_;
  static Paths twins_;
  test::TempTree folder_;
};

test::TempTree* DigestCacheTest::tree_ = nullptr;
Paths DigestCacheTest::files_;
Paths DigestCacheTest::twins_;

// With one thread the cache is read and written on the job's thread, with several on
// the workers.
TEST_F(DigestCacheTest, RunAgainReadsNoFileAndListsTheSameRows) {
  const Paths expected = Listed(nullptr);
  ASSERT_EQ(expected.size(), 5u);
  for (const unsigned threads : {1u, 2u}) {
    const std::string path = folder_.Path("cache" + std::to_string(threads) + "/digests.sqlite");
    DigestCache first(path);
    EXPECT_EQ(Listed(&first, files_, threads), expected) << threads << " threads";
    EXPECT_FALSE(first.TakeNotice());

    // A second program, as a later run, finds everything the first one read.
    DigestCache second(path);
    const long long before = BytesReadSoFar();
    EXPECT_EQ(Listed(&second, files_, threads), expected) << threads << " threads";
    EXPECT_LT(BytesReadSoFar() - before, 300 * 1024) << threads << " threads: files read again";
    EXPECT_FALSE(second.TakeNotice());
  }
}

// Files the cache settled stay out of the quick-hash stages until a file it does not
// know comes in their size: new copies, walked before or after them, find their likes
// among them, and a new file of their size that matches none stays alone.
TEST_F(DigestCacheTest, NewFilesFindTheirLikesAmongFilesTheCacheKnew) {
  const std::string big = RandomBytes(300 * 1024, 1);
  const std::string other3 = RandomBytes(300 * 1024, 13);
  const Paths fresh = {folder_.Create("new/big", big), folder_.Create("new/other3", other3),
                       folder_.Create("new/unlike", RandomBytes(300 * 1024, 99)),
                       folder_.Create("new/twin", "twin")};
  for (const unsigned threads : {1u, 2u}) {
    const std::string path = folder_.Path("cache" + std::to_string(threads) + "/digests.sqlite");
    {
      DigestCache first(path);
      Listed(&first, files_, threads);
    }
    for (const bool freshFirst : {false, true}) {
      Paths files = files_;
      files.insert(freshFirst ? files.begin() : files.end(), fresh.begin(), fresh.end());
      const Paths expected = Listed(nullptr, files, threads);
      ASSERT_EQ(expected.size(), 9u);  // big, small and other/3, each with its new copy
      DigestCache again(path);
      EXPECT_EQ(Listed(&again, files, threads), expected)
          << threads << " threads, new files " << (freshFirst ? "first" : "last");
    }
  }
}

// Regression guard: the change time is part of what an entry holds for.
TEST_F(DigestCacheTest, FileChangedWithItsModificationTimePutBackIsReadAgain) {
  {
    DigestCache cache(CachePath());
    ASSERT_EQ(Listed(&cache, twins_), twins_);
  }
  struct stat before {};
  ASSERT_EQ(::stat(twins_[1].c_str(), &before), 0);
  std::string bytes = RandomBytes(300 * 1024, 1);
  bytes[150 * 1024] ^= 1;
  std::ofstream(twins_[1], std::ios::binary | std::ios::trunc) << bytes;
  const timespec times[2] = {before.st_atim, before.st_mtim};  // as `touch -r` would
  ASSERT_EQ(::utimensat(AT_FDCWD, twins_[1].c_str(), times, 0), 0);

  DigestCache cache(CachePath());
  EXPECT_TRUE(Listed(&cache, twins_).empty());
  EXPECT_TRUE(Listed(nullptr, twins_).empty());
}

// Entries are looked up one by one, in batches: each lookup gets its own file's entry,
// and only for the exact stamp it was stored under.
TEST_F(DigestCacheTest, LookupsFindOnlyTheEntryOfTheirExactStamp) {
  const FileStamp kept{7, 1001, 4096, 1'600'000'000'000'000'000, 1'600'000'000'000'000'001};
  FileStamp otherDevice = kept;  // the same inode on another device is another file
  otherDevice.device = 8;
  KnownDigests digests;
  digests.ends = 42;
  digests.sha256 = Sha256Bytes{1, 2, 3};
  KnownDigests otherDigests;
  otherDigests.ends = 43;
  {
    DigestCache cache(CachePath());
    cache.Store(kept, digests);
    cache.Store(otherDevice, otherDigests);
  }
  DigestCache cache(CachePath());
  std::vector<DigestCache::Lookup> lookups;
  for (std::uint32_t tag = 0; tag < 6; ++tag) {
    FileStamp stamp = tag % 2 ? otherDevice : kept;
    if (tag == 2) ++stamp.changedNs;  // changed, its modification time put back
    if (tag == 4) ++stamp.size;
    lookups.push_back({stamp, tag, {}, {}});
  }
  cache.FindEach(lookups);
  ASSERT_EQ(lookups.size(), 6u);
  for (const DigestCache::Lookup& lookup : lookups) {
    if (lookup.tag == 2 || lookup.tag == 4) {
      EXPECT_TRUE(lookup.digests.Empty()) << lookup.tag;
    } else if (lookup.tag % 2) {
      EXPECT_EQ(lookup.digests.ends, otherDigests.ends) << lookup.tag;
      EXPECT_FALSE(lookup.digests.sha256) << lookup.tag;
    } else {
      EXPECT_EQ(lookup.digests.ends, digests.ends) << lookup.tag;
      EXPECT_EQ(lookup.digests.sha256, digests.sha256) << lookup.tag;
    }
  }
  // What is stored during a run is found once it is written.
  FileStamp later = kept;
  later.inode = 1002;
  cache.Store(later, digests);
  cache.Flush();
  EXPECT_EQ(cache.Find(later).ends, digests.ends);
  EXPECT_TRUE(cache.Find(FileStamp{}).Empty());
}

// The files of a folder are found together, each with its own entry: folders whose files
// interleave by inode and in the batch (one folder's text the start of another's, one
// not UTF-8), files the cache never saw among them, and one batch mixing them all in any
// order.
TEST_F(DigestCacheTest, BatchesOverManyFoldersFindEachFileItsOwnEntry) {
  const std::string folders[] = {"/srv/a/", "/srv/a/b/", "/srv/\xff\xfe/"};
  const auto folderOf = [&](std::uint64_t inode) { return std::string_view(folders[inode % 3]); };
  const auto stampOf = [](std::uint64_t inode) {
    return FileStamp{9, inode, 100 + static_cast<std::int64_t>(inode), 1, 2};
  };
  const auto digestsOf = [](std::uint64_t inode) {
    KnownDigests digests;
    digests.ends = inode * 7;
    return digests;
  };
  {
    DigestCache cache(CachePath());
    for (std::uint64_t inode = 1; inode <= 300; ++inode) {
      if (inode % 5 != 0) cache.Store(stampOf(inode), digestsOf(inode), folderOf(inode));
    }
  }
  DigestCache cache(CachePath());
  std::vector<DigestCache::Lookup> lookups;
  for (std::uint64_t inode = 300; inode >= 1; --inode)
    lookups.push_back({stampOf(inode), static_cast<std::uint32_t>(inode), folderOf(inode), {}});
  // Stored in one folder, looked for in another: another file as far as the cache knows;
  // and so is the file on another device.
  lookups.push_back({stampOf(1), 1000, folderOf(2), {}});
  FileStamp elsewhere = stampOf(2);
  elsewhere.device = 10;
  lookups.push_back({elsewhere, 1001, folderOf(2), {}});
  cache.FindEach(lookups);
  ASSERT_EQ(lookups.size(), 302u);
  for (const DigestCache::Lookup& lookup : lookups) {
    const std::uint64_t inode = lookup.stamp.inode;
    if (lookup.tag >= 1000 || inode % 5 == 0) {
      EXPECT_TRUE(lookup.digests.Empty()) << lookup.tag;
    } else {
      EXPECT_EQ(lookup.digests.ends, digestsOf(inode).ends) << lookup.tag;
    }
  }
}

// A folder's entries are written together: what a later job stores there joins what an
// earlier one stored, a file stored again replaces its own entry only, and a file stored
// twice in one batch keeps the later entry.
TEST_F(DigestCacheTest, LaterStoresInAFolderKeepItsEarlierEntries) {
  const auto stampOf = [](std::uint64_t inode, std::int64_t changed) {
    return FileStamp{3, inode, 500, 1, changed};
  };
  const auto digestsOf = [](std::uint64_t value) {
    KnownDigests digests;
    digests.ends = value;
    return digests;
  };
  {
    DigestCache cache(CachePath());
    for (std::uint64_t inode = 10; inode <= 50; inode += 10)
      cache.Store(stampOf(inode, 1), digestsOf(inode));
  }
  {
    DigestCache cache(CachePath());
    cache.Store(stampOf(5, 1), digestsOf(5));    // before every inode there
    cache.Store(stampOf(30, 2), digestsOf(31));  // changed since
    cache.Store(stampOf(30, 3), digestsOf(32));  // and again, in the same batch
    cache.Store(stampOf(60, 1), digestsOf(60));  // after every inode there
  }
  DigestCache cache(CachePath());
  EXPECT_EQ(cache.Find(stampOf(5, 1)).ends, 5u);
  EXPECT_EQ(cache.Find(stampOf(10, 1)).ends, 10u);
  EXPECT_EQ(cache.Find(stampOf(40, 1)).ends, 40u);
  EXPECT_EQ(cache.Find(stampOf(60, 1)).ends, 60u);
  EXPECT_TRUE(cache.Find(stampOf(30, 1)).Empty());
  EXPECT_TRUE(cache.Find(stampOf(30, 2)).Empty());
  EXPECT_EQ(cache.Find(stampOf(30, 3)).ends, 32u);
  EXPECT_EQ(cache.Describe().entries, 7);
}

// A folder of many files is kept in several rows, none of which spills onto a page of
// its own: each file is found, whichever row holds it, and a later store rewrites the
// folder's rows whole, however many it then needs.
TEST_F(DigestCacheTest, AFolderOfManyFilesIsFoundWhole) {
  const auto stampOf = [](std::uint64_t inode, std::int64_t changed) {
    return FileStamp{3, inode, 4096, 1, changed};
  };
  const auto digestsOf = [](std::uint64_t value) { return KnownDigests{value, {}, {}}; };
  const std::string folder = "/srv/many/";
  {
    DigestCache cache(CachePath());
    for (std::uint64_t inode = 100; inode >= 1; --inode)
      cache.Store(stampOf(inode, 1), digestsOf(inode), folder);
  }
  {
    DigestCache cache(CachePath());
    cache.Store(stampOf(50, 2), digestsOf(500), folder);
    for (std::uint64_t inode = 101; inode <= 140; ++inode)
      cache.Store(stampOf(inode, 1), digestsOf(inode), folder);
  }
  DigestCache cache(CachePath());
  std::vector<DigestCache::Lookup> lookups;
  for (std::uint32_t inode = 1; inode <= 140; ++inode)
    lookups.push_back({stampOf(inode, inode == 50 ? 2 : 1), inode, folder, {}});
  lookups.push_back({stampOf(50, 1), 1000, folder, {}});
  cache.FindEach(lookups);
  for (const DigestCache::Lookup& lookup : lookups) {
    if (lookup.tag == 1000) {
      EXPECT_TRUE(lookup.digests.Empty());
    } else {
      EXPECT_EQ(lookup.digests.ends, lookup.tag == 50 ? 500u : lookup.tag) << lookup.tag;
    }
  }
  EXPECT_EQ(cache.Describe().entries, 140);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(CachePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* rows = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT count(*), max(length(entries)) FROM folders", -1, &rows,
                               nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_step(rows), SQLITE_ROW);
  EXPECT_GE(sqlite3_column_int(rows, 0), 4);
  EXPECT_LE(sqlite3_column_int(rows, 1), 4000);
  sqlite3_finalize(rows);
  sqlite3_close(db);
}

// Rewrites every entry without a SHA-256 in the cache's rows to claim the digests of an
// entry of a file over 1000 bytes that has one, keeping its own checksum. Returns how
// many entries were edited.
int ClaimDigestsOfABigFile(sqlite3* db) {
  struct Row {
    std::int64_t device;
    std::string folder;
    std::int64_t part;
    std::string entries;
  };
  std::vector<Row> rows;
  const auto blobOf = [](sqlite3_stmt* statement, int column) {
    return std::string(static_cast<const char*>(sqlite3_column_blob(statement, column)),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
  };
  sqlite3_stmt* read = nullptr;
  sqlite3_prepare_v2(db, "SELECT device, folder, part, entries FROM folders", -1, &read, nullptr);
  while (sqlite3_step(read) == SQLITE_ROW) {
    rows.push_back({sqlite3_column_int64(read, 0), blobOf(read, 1), sqlite3_column_int64(read, 2),
                    blobOf(read, 3)});
  }
  sqlite3_finalize(read);
  const auto entriesOf = [](const std::string& row) {
    std::vector<cache_entry::Entry> entries;
    for (std::size_t at = 0; at < row.size(); at += cache_entry::kEntryBytes)
      entries.push_back(
          *cache_entry::ReadEntry(reinterpret_cast<const unsigned char*>(row.data()) + at));
    return entries;
  };
  std::optional<KnownDigests> donor;
  for (const Row& row : rows) {
    for (const cache_entry::Entry& entry : entriesOf(row.entries))
      if (!donor && entry.digests.sha256 && entry.stamp.size > 1000) donor = entry.digests;
  }
  if (!donor) return 0;
  int edited = 0;
  sqlite3_stmt* write = nullptr;
  sqlite3_prepare_v2(
      db, "UPDATE folders SET entries = ?4 WHERE device = ?1 AND folder = ?2 AND part = ?3", -1,
      &write, nullptr);
  for (Row& folderRow : rows) {
    std::string& row = folderRow.entries;
    const std::vector<cache_entry::Entry> entries = entriesOf(row);
    for (std::size_t index = 0; index < entries.size(); ++index) {
      if (entries[index].digests.sha256) continue;
      cache_entry::Entry claimed = entries[index];
      claimed.digests = *donor;
      std::string bytes;
      cache_entry::AppendEntry(claimed, bytes);
      // The checksum, last in an entry, stays the one of the entry's own digests.
      const std::size_t at = index * cache_entry::kEntryBytes;
      row.replace(at, cache_entry::kEntryBytes - 8, bytes, 0, cache_entry::kEntryBytes - 8);
      ++edited;
    }
    sqlite3_reset(write);
    sqlite3_bind_int64(write, 1, folderRow.device);
    sqlite3_bind_blob(write, 2, folderRow.folder.data(), static_cast<int>(folderRow.folder.size()),
                      SQLITE_STATIC);
    sqlite3_bind_int64(write, 3, folderRow.part);
    sqlite3_bind_blob(write, 4, row.data(), static_cast<int>(row.size()), SQLITE_STATIC);
    sqlite3_step(write);
  }
  sqlite3_finalize(write);
  return edited;
}

// Whatever happened to the database, the rows are those of a job without a cache, and
// the problem is told once.
TEST_F(DigestCacheTest, DamagedForeignLockedOrUnreachableDatabasesChangeNoRow) {
  const Paths expected = Listed(nullptr);
  {
    DigestCache filled(CachePath());
    ASSERT_EQ(Listed(&filled), expected);
  }
  const auto runs = [&](CacheProblem problem, const std::string& path, bool usedAfter) {
    DigestCache cache(path);
    EXPECT_EQ(Listed(&cache), expected) << static_cast<int>(problem);
    const std::optional<CacheNotice> notice = cache.TakeNotice();
    ASSERT_TRUE(notice) << static_cast<int>(problem);
    EXPECT_EQ(notice->problem, problem);
    EXPECT_FALSE(cache.TakeNotice()) << "told twice";
    EXPECT_EQ(cache.InUse(), usedAfter) << static_cast<int>(problem);
  };

  // Entries edited to claim another file's digests fail their checksum: those files
  // are read again, and are not taken for copies of the big file.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(CachePath().c_str(), &db), SQLITE_OK);
  ASSERT_GT(ClaimDigestsOfABigFile(db), 10);
  {
    DigestCache edited(CachePath());
    EXPECT_EQ(Listed(&edited), expected);
    EXPECT_FALSE(edited.TakeNotice());
  }

  // Locked by another program for longer than the cache waits.
  ASSERT_EQ(sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM meta;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  runs(CacheProblem::Locked, CachePath(), false);
  sqlite3_close(db);

  // Another program's database, or another version's.
  ASSERT_EQ(sqlite3_open(CachePath().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version=99", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  runs(CacheProblem::OtherVersion, CachePath(), true);

  // Not a database at all.
  for (const char* suffix : {"-wal", "-shm"}) ::unlink((CachePath() + suffix).c_str());
  std::ofstream(CachePath(), std::ios::binary | std::ios::trunc) << RandomBytes(8192, 5);
  runs(CacheProblem::Damaged, CachePath(), true);

  // A folder that cannot be made: a file stands where it should be.
  folder_.Create("not-a-folder");
  runs(CacheProblem::Unavailable, folder_.Path("not-a-folder/digests.sqlite"), false);
}

TEST_F(DigestCacheTest, DatabaseInAReadOnlyFolderChangesNoRow) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const Paths expected = Listed(nullptr);
  {
    DigestCache filled(CachePath());
    ASSERT_EQ(Listed(&filled), expected);
  }
  folder_.SetMode("cache", 0555);
  DigestCache existing(CachePath());
  EXPECT_EQ(Listed(&existing), expected);
  EXPECT_TRUE(existing.TakeNotice());
  DigestCache missing(folder_.Path("cache/other.sqlite"));
  EXPECT_EQ(Listed(&missing), expected);
  const std::optional<CacheNotice> notice = missing.TakeNotice();
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->problem, CacheProblem::ReadOnly);
}

// The cache names the folders searched: what it makes is its owner's alone, a folder the
// user made for it keeps its permissions, and a database started anew is made private too.
TEST_F(DigestCacheTest, WhatTheCacheMakesIsItsOwnersAlone) {
  const auto modeOf = [](const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0u;
  };
  {
    DigestCache cache(folder_.Path("made/here/digests.sqlite"));
    ASSERT_TRUE(cache.InUse());
    cache.Store(FileStamp{1, 2, 3, 4, 5}, KnownDigests{7, {}, {}});
    cache.Flush();
    EXPECT_EQ(modeOf(folder_.Path("made/here")), 0700u);
    EXPECT_EQ(modeOf(folder_.Path("made/here/digests.sqlite")), 0600u);
    EXPECT_EQ(modeOf(folder_.Path("made/here/digests.sqlite-wal")), 0600u);
  }
  folder_.Create("own/keep", "");
  folder_.SetMode("own", 0755);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(folder_.Path("own/digests.sqlite").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version=4; CREATE TABLE t(x)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  ::chmod(folder_.Path("own/digests.sqlite").c_str(), 0644);
  DigestCache rebuilt(folder_.Path("own/digests.sqlite"));
  ASSERT_TRUE(rebuilt.InUse());
  EXPECT_EQ(modeOf(folder_.Path("own")), 0755u);
  EXPECT_EQ(modeOf(folder_.Path("own/digests.sqlite")), 0600u);
}

TEST_F(DigestCacheTest, ClearRemovesEveryEntry) {
  DigestCache cache(CachePath());
  ASSERT_EQ(Listed(&cache).size(), 5u);
  EXPECT_GT(cache.Describe().entries, 0);
  EXPECT_TRUE(cache.Clear());
  EXPECT_EQ(cache.Describe().entries, 0);
}

}  // namespace
}  // namespace tarnwick
