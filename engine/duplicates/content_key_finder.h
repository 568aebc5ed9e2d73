#pragma once
// The content keys of the duplicate filter (the MD5 key button), found without reading
// every file: the files go through the stages of key_stage.h, each read at most once a
// stage, and only files that agree with another to the end are proven equal, by their
// SHA-256 or byte for byte. Files of one content class hold the same bytes, as the
// walk saw them; what the digest cache knows replaces a read.
//
// The job's thread hands the files in (Add), in walk order, and is the one owner of
// what is known of them (file_key_table.h): it hands the reads out in batches on lanes
// of the job's scheduler (small reads, whole big files, byte comparisons), takes the
// results back in order and decides what is read next. Finish waits for the rest,
// keeping the window live. Without workers the reads run on the job's thread, handling
// window events between reads. With workers, small reads go through the read queue once
// the device is seen to make them wait (or when a depth is asked for).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "cache/digest_cache.h"
#include "engine/duplicates/bucket_comparer.h"
#include "engine/duplicates/bucket_table.h"
#include "engine/duplicates/cache_link.h"
#include "engine/duplicates/file_key_table.h"
#include "engine/duplicates/found_files.h"
#include "engine/duplicates/key_stage.h"
#include "engine/duplicates/settled_files.h"
#include "engine/duplicates/stage_reader.h"
#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"
#include "engine/reads/device_waits.h"
#include "engine/reads/read_queue.h"
#include "engine/reads/read_settings.h"
#include "engine/reads/read_tickets.h"
#include "engine/schedule/batch_scheduler.h"
#include "engine/schedule/ordered_batches.h"
#include "engine/schedule/worker_pool.h"

namespace tarnwick {

// A file the system would not let a job read, and its reason (errno).
struct FileReadError {
  std::uint32_t file;
  int error;
};

class ContentKeyFinder {
 public:
  // `files`, `pool` (null: read on the calling thread) and `cache` (null, or not in use:
  // no cache) must outlive the finder. Every call comes from the job's thread. With
  // workers, the small reads are opened and read ahead of them as `reads` say.
  ContentKeyFinder(const FoundFiles& files, WorkerPool* pool, DigestCache* cache, JobHost& host,
                   const StopFlag& stop, const ReadSettings& reads = {});
  // Returns once no worker is left working for it.
  ~ContentKeyFinder();
  ContentKeyFinder(const ContentKeyFinder&) = delete;
  ContentKeyFinder& operator=(const ContentKeyFinder&) = delete;

  // Takes the newest file of `files`, with the stamp a stat of it gave. A file that is
  // not a regular one (or could not be looked at) has no key and is never opened.
  // `cacheable`: its file system keeps stamps the digest cache may trust.
  void Add(std::uint32_t file, const FileStamp& stamp, bool regular, bool cacheable);
  // A file of `size` bytes will be added soon.
  void Expect(std::int64_t size) const { bySize_.Prefetch(size, 0); }
  // Reads what is still needed and returns once every key is known, or once the stop
  // flag is set: the reads in hand then end within one read and are left out, and what
  // was found meanwhile is kept. Stores what was read in the digest cache.
  void Finish();

  // The content class of `file`: nullopt when it has none (no other file of its size or
  // of its quick hashes, unreadable, changed, or not reached before a stop).
  std::optional<std::uint32_t> ClassOf(std::uint32_t file) const { return table_.ClassOf(file); }
  // Classes are numbered from 0 up to this.
  std::uint32_t ClassCount() const { return table_.ClassCount(); }
  // The print of the stamp the walk saw (StampPrint): a file still has it when its bytes
  // are still those that were compared.
  std::uint64_t PrintOf(std::uint32_t file) const { return table_.Print(file); }
  // In walk order once Finish has returned: the files that could not be opened or read
  // for a reason the system gave (platform::IsReadFailure), and the files found no
  // longer to be what the walk saw when they were read.
  const std::vector<FileReadError>& Errors() const { return errors_; }
  const std::vector<std::uint32_t>& Changed() const { return changed_; }

 private:
  struct ReadBatch {
    std::vector<StageReadItem> items;
    std::vector<StageReadResult> results;
    ReadTickets tickets;  // of the items read ahead
  };
  // Files of one bucket compared byte for byte. When the bucket was too large to read
  // side by side it is compared in parts that each hold its first file: the files found
  // equal to it join one class across the parts.
  struct BucketToCompare {
    std::vector<CompareItem> items;
    std::int64_t size = 0;
    std::uint32_t firstFileClass = FileKeyTable::kNone;
    CompareOutcome outcome;
  };
  // Buckets of small files go a few together, one of big files alone.
  struct CompareBatch {
    std::vector<BucketToCompare> buckets;
    std::size_t files = 0;
  };
  // A file waiting for its bytes to be compared with those of its bucket.
  struct Candidate {
    Stage stage;  // the stage whose table holds the bucket
    std::uint32_t bucket;
    std::uint32_t file;
  };

  // The file shares its size with another: from now on it may have a duplicate.
  void Enter(std::uint32_t file);
  // Moves the file to `stage`: on at once when the stage's digest is known, else by a read.
  void Advance(std::uint32_t file, Stage stage);
  // With the digest cache: keeps a file whose digest it knew out of the ends stage
  // (true), or opens that stage to the files of its size kept out before it.
  bool KeptAside(std::uint32_t file);
  // Goes on from what `stage` has made known of the file.
  void Continue(std::uint32_t file, Stage stage);
  void Join(Stage stage, std::uint32_t file);
  std::int64_t SizeOf(std::uint32_t file) const { return bySize_.SizeOf(table_.SizeBucket(file)); }
  void OnLookedUp(std::uint32_t file, const KnownDigests& digests);
  void OnRead(const StageReadResult& result);
  void OnCompared(const BucketToCompare& bucket);

  // Takes back every batch done at the head of its lane, and the cache's answers.
  void MergeDone();
  // Hands out the reads waiting, in batches, while the lanes have room; `partial`: also
  // a last small batch.
  void HandOut(bool partial);
  // Hands the buckets of the candidates out to be compared; big files of a bucket too
  // large to compare side by side go through the whole-content stage first. True when
  // anything was handed out.
  bool CompareCandidates();
  void CompareBucket(std::vector<CompareItem>& items, std::int64_t size);
  // Adds a bucket to the batch being filled, handing it out once it holds enough.
  void QueueCompare(BucketToCompare bucket);
  void HandOutCompares();
  void Compare(CompareBatch& batch, const BatchRun& run);
  bool Idle() const;
  // Waits a step for any lane's head, keeping the window live.
  void WaitStep();
  // Reads and compares until nothing is left to do, or a stop.
  void Drain();
  void Read(ReadBatch& batch, const BatchRun& run);
  // Asks the read queue for the batch's files, while it has room.
  void AskReads(ReadBatch& batch);
  // Shows the file a read is on, at most once a wait step.
  void ShowReading();
  // Counts work handed to a stage, and work it finished, and tells the host.
  void Plan(DuplicateStage stage, std::uint64_t amount);
  void Done(DuplicateStage stage, std::uint64_t amount);
  static DuplicateStage ProgressStage(Stage stage);
  static std::uint64_t ComparedBytes(const BucketToCompare& bucket);

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
  std::vector<std::uint32_t> changed_;
  CacheLink cache_;
  // Equality is proven by SHA-256 when the cache keeps it, else byte for byte.
  const bool proveByDigest_;
  // Files compared side by side at most: each holds a descriptor while compared.
  const std::size_t mostCompared_;
  SettledFiles settled_;
  std::vector<Candidate> candidates_;
  CompareBatch comparing_;  // being filled

  std::deque<StageReader> readers_;                          // one per scheduler slot
  const ReadSettings readSettings_;
  DeviceWaits deviceWaits_;
  // Made for the first small reads handed out; ends after the lanes.
  std::unique_ptr<ReadQueue> reads_;
  std::deque<StageReadItem> smallWaiting_;                   // reads of at most two end pieces
  std::deque<StageReadItem> bigWaiting_;                     // whole big files, one to a batch
  std::atomic<std::uint32_t> reading_{FileKeyTable::kNone};  // the file a read is on
  std::uint32_t shownReading_ = FileKeyTable::kNone;
  // What each stage was given and has finished, in files or bytes (ProgressUnitOf).
  struct StageProgress {
    std::uint64_t done = 0, total = 0;
  };
  StageProgress progress_[static_cast<int>(DuplicateStage::ListGroups) + 1];
  std::chrono::steady_clock::time_point shownAt_{};
  // Declared last: they end first, waiting for the reads still running.
  OrderedBatches<ReadBatch> smallReads_;
  OrderedBatches<ReadBatch> bigReads_;
  OrderedBatches<CompareBatch> compares_;
};

}  // namespace tarnwick
