#pragma once
// The MD5 keys of the duplicate filter, found without reading every file: the files go
// through the stages of key_stage.h, each read at most once a stage, and only files
// that agree with another to the end are given the MD5 key. The keys a job groups by
// are those of digesting every file; fewer files are read. What the digest cache knows
// replaces a read.
//
// The job's thread hands the files in (Add), in walk order, and is the one owner of
// what is known of them (file_key_table.h): it hands the reads out in batches on two
// lanes of the job's scheduler, one for small reads and one for whole big files, takes
// the results back in order and decides what is read next. Finish waits for the rest,
// keeping the window live. Without workers the reads run on the job's thread, handling
// window events between reads.

#include <atomic>
#include <cstdint>
#include <deque>
#include <vector>

#include "cache/digest_cache.h"
#include "engine/duplicates/bucket_table.h"
#include "engine/duplicates/cache_link.h"
#include "engine/duplicates/file_key_table.h"
#include "engine/duplicates/found_files.h"
#include "engine/duplicates/key_stage.h"
#include "engine/duplicates/stage_reader.h"
#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"
#include "engine/schedule/batch_scheduler.h"
#include "engine/schedule/ordered_batches.h"
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
  const platform::Md5Value* KeyOf(std::uint32_t file) const { return table_.KeyOf(file); }
  // The files that could not be opened or read for a reason the system gave
  // (platform::IsReadFailure), in walk order once Finish has returned.
  const std::vector<FileReadError>& Errors() const { return errors_; }

 private:
  struct ReadBatch {
    std::vector<StageReadItem> items;
    std::vector<StageReadResult> results;
  };
  using ReadLane = OrderedBatches<ReadBatch>;

  // The file shares its size with another: from now on it may have a duplicate.
  void Enter(std::uint32_t file);
  // Moves the file to `stage`: on at once when the stage's digest is known, else by a read.
  void Advance(std::uint32_t file, Stage stage);
  // Goes on from what `stage` has made known of the file.
  void Continue(std::uint32_t file, Stage stage);
  void Join(Stage stage, std::uint32_t file);
  std::int64_t SizeOf(std::uint32_t file) const { return bySize_.SizeOf(table_.SizeBucket(file)); }
  void OnLookedUp(std::uint32_t file, const KnownDigests& digests);
  void OnRead(const StageReadResult& result);

  // Takes back every batch done at the head of its lane, and the cache's answers.
  void MergeDone();
  // Hands out the reads waiting, in batches, while the lanes have room; `partial`: also
  // a last small batch.
  void HandOut(bool partial);
  bool Idle() const;
  // Waits a step for any lane's head, keeping the window live.
  void WaitStep();
  void Read(ReadBatch& batch, const BatchRun& run);
  // Shows the file a read is on, at most once a wait step.
  void ShowReading();

  const FoundFiles& files_;
  JobHost& host_;
  const StopFlag& stop_;
  BatchScheduler scheduler_;
  // What a read on a worker, and one on the job's thread, takes for a stop request.
  const StopRequest workerStop_;
  const StopRequest hereStop_;

  FileKeyTable table_;
  BucketTable bySize_, byEnds_, byWhole_;
  std::vector<FileReadError> errors_;
  CacheLink cache_;

  std::deque<StageReader> readers_;                          // one per scheduler slot
  std::deque<StageReadItem> smallWaiting_;                   // reads of at most two end pieces
  std::deque<StageReadItem> bigWaiting_;                     // whole big files, one to a batch
  std::atomic<std::uint32_t> reading_{FileKeyTable::kNone};  // the file a read is on
  std::uint32_t shownReading_ = FileKeyTable::kNone;
  std::chrono::steady_clock::time_point shownAt_{};
  // Declared last: they end first, waiting for the reads still running.
  ReadLane smallReads_;
  ReadLane bigReads_;
};

}  // namespace tarnwick
