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

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string_view>
#include <vector>

#include "cache/digest_cache.h"
#include "engine/chunked_vector.h"
#include "engine/digest_read.h"
#include "engine/found_files.h"
#include "engine/hash_index.h"
#include "engine/job_host.h"
#include "engine/stop_flag.h"
#include "engine/worker_pool.h"
#include "platform/md5_digest.h"

namespace tarnwick {

// A file the system would not let a job read, and its reason (errno).
struct FileReadError {
  std::uint32_t file;
  int error;
};

class Md5KeyFinder {
 public:
  // `files`, `pool` (null: read on the calling thread) and `cache` (null: no cache)
  // must outlive the finder. Every call comes from the job's thread.
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

  // What is known of one file. The quick hash of its ends is kept here; the rarer
  // whole-content hash and MD5 key beside it, for the files that come so far.
  struct FileRecord {
    FileStamp stamp;
    std::uint64_t ends = 0;
    std::uint32_t further = kNone;  // its entry in further_
    std::uint8_t flags = 0;         // Flag bits
  };
  enum Flag : std::uint8_t {
    kEndsKnown = 1,    // `ends` holds its value
    kRead = 2,         // some digest was read by this job
    kUncacheable = 4,  // a digest read does not match the stamp the walk saw
    kHasKey = 8,       // its MD5 key is known: it went through every stage
  };
  struct FurtherDigests {
    std::uint64_t whole = 0;
    platform::Md5Value md5{};
    bool wholeKnown = false;
    bool md5Known = false;
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
    FileStamp stamp;
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
  // Enters the files that waited for the cache to be read.
  void EnterAwaiting();
  // Moves the file to `stage`: on at once when the stage's digest is known, else by a read.
  void Advance(std::uint32_t file, Stage stage);
  // Goes on from what `stage` has made known of the file.
  void Continue(std::uint32_t file, Stage stage);
  void Join(BucketTable& table, std::uint32_t file, Stage next);
  // What the file is bucketed by in `table`, beside its size.
  std::uint64_t BucketValue(const BucketTable& table, std::uint32_t file) const;
  FurtherDigests& Further(std::uint32_t file);
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

  ChunkedVector<FileRecord> records_;
  std::vector<FurtherDigests> further_;
  BucketTable sizes_, ends_, wholes_;
  std::vector<FileReadError> errors_;
  std::vector<std::uint32_t> awaiting_;  // entered while the cache was being read
  std::vector<WorkItem> outgoing_;       // work not yet handed to the workers
  std::vector<WorkResult> merging_;      // results being merged
  bool crowded_ = false;                 // a queue has grown past its bound
  std::uint32_t shownReading_ = kNone;
  std::chrono::steady_clock::time_point shownAt_{};

  // Shared with the workers, under mutex_.
  std::mutex mutex_;
  std::condition_variable changed_;  // a result came, or a worker stopped
  std::deque<WorkItem> small_;       // files or pieces of at most two end pieces
  std::deque<WorkItem> big_;         // whole big files, one per worker at a time
  std::vector<WorkResult> results_;
  unsigned running_ = 0;
  bool jobWaiting_ = false;        // the job's thread waits on changed_
  std::uint32_t reading_ = kNone;  // the file a worker took last
  std::atomic<bool> resultsWaiting_{false};
};

}  // namespace tarnwick
