#pragma once
// The MD5 keys of the duplicate filter, found without reading every file. A file of a
// size no other file has is never read. Files of a shared size first compare a quick
// hash of their first and last pieces (of their whole content when they are small);
// big files that still agree compare a quick hash of their whole content; only files
// that agree with another to the end are given the MD5 key. The keys a job groups by
// are those of digesting every file; fewer files are read, and each at most once a
// stage. What the digest cache knows replaces a read.
//
// The reads run on the job's worker pool. The job's thread hands the files in (Add), in
// walk order, and is the one owner of what the reads found: it merges the workers'
// results as they come, which decides what is read next. Finish waits for the rest,
// keeping the window live. A job without a pool reads on its own thread, handling
// window events between reads.
//
// What is known of a file is kept in columns of a few bytes each, and digests only for
// the files that come so far: a million files cost some 17 bytes each, and a
// key 16 bytes however many files share it. The digest cache
// is looked up in batches as files come, and nothing of it is held in memory.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cache/digest_cache.h"
#include "engine/duplicates/chunked_vector.h"
#include "engine/duplicates/digest_read.h"
#include "engine/duplicates/found_files.h"
#include "engine/duplicates/hash_index.h"
#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"
#include "engine/schedule/worker_pool.h"
#include "platform/md5_digest.h"

namespace tarnwick {

// A file the system would not let a job read, and its reason (errno).
struct FileReadError {
  std::uint32_t file;
  int error;
};

class Md5KeyFinder {
 public:
  // `files`, `pool` (null: read on the calling thread) and `cache` (null, or not in use:
  // no cache) must outlive the finder. Every call comes from the job's thread.
  Md5KeyFinder(const FoundFiles& files, WorkerPool* pool, DigestCache* cache, JobHost& host,
               const StopFlag& stop);
  // Returns once no worker is left working for it.
  ~Md5KeyFinder();
  Md5KeyFinder(const Md5KeyFinder&) = delete;
  Md5KeyFinder& operator=(const Md5KeyFinder&) = delete;

  // Takes the newest file of `files`, as a stat saw it. A file that is not a regular
  // one (or could not be looked at) has no key and is never opened.
  void Add(std::uint32_t file, const FileStamp& stamp, bool regular);
  // Reads what is still needed and returns once every key is known, or once the stop
  // flag is set: the reads in hand then end within one read and are left out, and what
  // was found meanwhile is kept. Stores what was read in the digest cache.
  void Finish();

  // The key of `file`: nullptr when it has none (no other file of its size or of its
  // quick hashes, unreadable, changed while read, or not reached before a stop).
  const platform::Md5Value* KeyOf(std::uint32_t file) const;
  // The files that could not be opened or read for a reason the system gave
  // (platform::IsReadFailure), in walk order once Finish has returned.
  const std::vector<FileReadError>& Errors() const { return errors_; }

 private:
  // The reads a file may need, in this order.
  enum class Stage : std::uint8_t { Ends, Whole, Md5 };
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  enum Flag : std::uint8_t {
    kEndsKnown = 1,     // its quick hash of the ends is known
    kWholeKnown = 2,    // its quick hash of the whole content is known
    kMd5Known = 4,      // its MD5 key is known (it may not need it)
    kHasKey = 8,        // it went through every stage: its MD5 key counts
    kRead = 16,         // some digest was read by this job
    kUncacheable = 32,  // a digest read does not match the stamp the walk saw
    kLookedUp = 64,     // what the cache knows of it has been learned
    kEntered = 128,     // it shares its size with another file: waits for its lookup
  };
  // The files sharing a size, or a size and a quick hash: once a second one comes,
  // both go on to the next stage, and so does every later one. A bucket's key is its
  // first file's; its size is kept beside it too, since every file looks it up.
  struct Bucket {
    std::int64_t size;
    std::uint32_t first;
    std::uint32_t count;
  };
  struct BucketTable {
    HashIndex index;
    std::vector<Bucket> buckets;
  };
  // What a worker needs to read one file: nothing it shares with the job's thread.
  struct WorkItem {
    std::uint32_t file;
    Stage stage;
    std::int64_t size;
    std::uint64_t print;  // of the stamp the walk saw (with a cache)
    std::string_view folder;
    const char* name;
  };
  struct WorkResult {
    std::uint32_t file;
    Stage stage;
    ReadEnd end;
    int error;
    bool cacheable;
    KnownDigests digests;
  };

  // Job's thread.
  // The file shares its size with another: from now on it may have a duplicate.
  void Enter(std::uint32_t file);
  // Hands the files gathered for a cache lookup to a worker (or looks them up here).
  void StartLookups();
  void OnLookedUp(const DigestCache::Lookup& lookup);
  // Moves the file to `stage`: on at once when the stage's digest is known, else by a read.
  void Advance(std::uint32_t file, Stage stage);
  // Goes on from what `stage` has made known of the file.
  void Continue(std::uint32_t file, Stage stage);
  void Join(BucketTable& table, std::uint32_t file, std::int64_t size, Stage next);
  // What the file is bucketed by in `table`, beside its size.
  std::uint64_t BucketValue(const BucketTable& table, std::uint32_t file) const;
  std::int64_t SizeOf(std::uint32_t file) const { return bySize_.buckets[sizeBucket_[file]].size; }
  void SetKey(std::uint32_t file, const platform::Md5Value& key);
  // The number the cache keeps the file's entry under beside its stamp: its folder's.
  std::uint64_t PlaceOf(std::uint32_t file);
  // Everything known of the file, as the cache keeps it; and the reverse.
  KnownDigests Known(std::uint32_t file) const;
  void Learn(std::uint32_t file, const KnownDigests& digests);
  void OnResult(const WorkResult& result);
  void Merge();
  // Hands the work read so far over and starts workers for it, up to the pool's size;
  // without a pool, reads it here.
  void StartWorkers();
  void ReadHere();
  // Waits a step for the workers' next result or end, with `lock` on mutex_.
  void WaitForWorkers(std::unique_lock<std::mutex>& lock);
  void DropQueuedWork();
  // Shows the file a read is on, at most once a wait step.
  void ShowReading();
  // Stores what this job read in the cache, on a worker, keeping the window live.
  void StoreInCacheAside();
  void StoreInCache();

  // Worker threads.
  struct OpenedFolder;
  void Drain();
  bool TakeWork(std::vector<WorkItem>& batch);
  WorkResult Read(const WorkItem& item, OpenedFolder& folder, const StopRequest& stop);

  const FoundFiles& files_;
  WorkerPool* const pool_;
  DigestCache* const cache_;
  JobHost& host_;
  const StopFlag& stop_;
  // What a read on a worker, and one on the job's thread, takes for a stop request.
  const StopRequest workerStop_;
  const StopRequest hereStop_;

  // For each file in walk order.
  ChunkedVector<std::uint32_t> sizeBucket_;  // its bucket in bySize_ (kNone: not read)
  ChunkedVector<std::uint64_t> ends_;        // its quick hash of the ends
  ChunkedVector<std::uint32_t> keyOf_;       // its key's number in keys_ (kNone: none)
  ChunkedVector<std::uint8_t> flags_;        // Flag bits
  ChunkedVector<std::uint64_t> prints_;      // with a cache: the print of its stamp
  // The distinct MD5 keys, and the whole-content hashes of the (big) files that have one.
  ChunkedVector<platform::Md5Value> keys_;
  HashIndex keyIndex_;
  std::unordered_map<std::uint32_t, std::uint64_t> wholes_;
  BucketTable bySize_, byEnds_, byWhole_;
  std::vector<FileReadError> errors_;
  std::vector<DigestCache::Lookup> lookups_;  // to be looked up in the cache
  std::vector<WorkItem> outgoing_;            // work not yet handed to the workers
  std::vector<WorkResult> merging_;           // results being merged
  std::vector<DigestCache::Lookup> mergingLookups_;
  bool crowded_ = false;               // a queue has grown past its bound
  const char* placeFolder_ = nullptr;  // the folder text place_ is of
  std::uint64_t place_ = 0;
  std::uint32_t shownReading_ = kNone;
  std::chrono::steady_clock::time_point shownAt_{};

  // Shared with the workers, under mutex_.
  std::mutex mutex_;
  std::condition_variable changed_;  // a result came, or a worker stopped
  std::deque<WorkItem> small_;       // files or pieces of at most two end pieces
  std::deque<WorkItem> big_;         // whole big files, one per worker at a time
  std::vector<WorkResult> results_;
  std::vector<DigestCache::Lookup> lookedUp_;
  unsigned running_ = 0;
  unsigned lookingUp_ = 0;         // batches of lookups on workers
  bool jobWaiting_ = false;        // the job's thread waits on changed_
  std::uint32_t reading_ = kNone;  // the file a worker took last
  std::atomic<bool> resultsWaiting_{false};
};

}  // namespace tarnwick
