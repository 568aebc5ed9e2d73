#pragma once
// The per-file work of a job and the merge of its results. The walk hands out each file
// on the job's thread. With one thread the file is worked on and merged at once; with
// several, the files go in batches, across folders, to a pool of workers, each with
// filter objects of its own, while the walk goes on. A batch is sized to keep a worker
// busy about a millisecond, so threads hand over and wake once a batch, not once a
// file. The merge step always runs on the job's thread and takes the results in walk
// order: it applies what carries from file to file (a folder's last character count),
// lists each passing file or hands it to the duplicate filter, and reports what could
// not be read. Rows therefore come out in the same order and with the same texts
// whatever the number of threads.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/duplicates/duplicate_filter.h"
#include "engine/job/filter_options.h"
#include "engine/job/job_host.h"
#include "engine/job/option_controls.h"
#include "engine/job/stop_flag.h"
#include "engine/pipeline/folder_visit.h"
#include "engine/pipeline/process_file.h"
#include "engine/pipeline/searchable_pattern.h"
#include "engine/reads/device_waits.h"
#include "engine/reads/read_queue.h"
#include "engine/reads/read_settings.h"
#include "engine/schedule/batch_scheduler.h"
#include "engine/schedule/ordered_batches.h"
#include "results/result_list.h"

namespace tarnwick {

class FilePipeline {
 public:
  // Where merged files go.
  struct Sinks {
    ResultList& list;
    DuplicateStore& duplicates;
    JobHost& host;
    const StopFlag& stop;
  };

  // Without a pool every file is worked on at once on the job's thread. `options` are
  // read on the job's thread only. The pool must outlive the pipeline. With workers, the
  // content of files the filters read is read ahead of them as `reads` say.
  FilePipeline(WorkerPool* pool, const OptionControls& options, const Sinks& sinks,
               const ReadSettings& reads = {});
  // Drops whatever has not been merged and waits for the batches the workers are on.
  ~FilePipeline();
  FilePipeline(const FilePipeline&) = delete;
  FilePipeline& operator=(const FilePipeline&) = delete;

  // The options as they read now, for the files handed out from now on: copied again
  // only when they have changed, with a content search that compiles (SearchablePattern).
  const std::shared_ptr<const FilterOptions>& Options();

  // Hands out the file `name` of `folder` (copied; followed by a NUL in memory; the
  // folder's optionsAtEntry set); `listedRegular` when the folder's listing saw a
  // regular file there, `inode` its number there. With one thread it is worked on and
  // merged before this returns. With several it may wait, keeping the window live, while
  // too much work is pending; done files are merged meanwhile.
  void Add(const std::shared_ptr<const FolderVisit>& folder, std::string_view name,
           bool listedRegular, std::uint64_t inode = 0);
  // A folder that could not be opened or read, reported in walk order among the files.
  void AddUnreadableFolder(const std::string& path, int error);
  // Merges every file handed out, in order, keeping the window live while it waits.
  // Once the stop flag is set nothing more is merged: the rows listed are the walk's
  // first files, without gaps; the workers' files in hand are finished and dropped.
  void Finish();

 private:
  struct Batch;

  void Merge(const FolderVisit& folder, std::string_view name, FileOutcome& outcome);
  // Opens a new batch for files of `folder` worked on with `options`.
  void Open(const std::shared_ptr<const FolderVisit>& folder,
            const std::shared_ptr<const FilterOptions>& options);
  void HandOut();
  // Keeps the memory of a merged batch for a later one.
  void Recycle(Batch& merged);
  void Work(Batch& batch, const BatchRun& run);
  // Merges the done batches at the head of the lane, in order.
  void MergeDone();
  // Asks for the file's content to be read ahead, once a slot is free.
  ReadQueue::Ticket AskRead(const std::shared_ptr<const FolderVisit>& folder, std::string_view name,
                            std::uint64_t inode);

  const OptionControls& options_;
  Sinks sinks_;
  const bool pathsOnly_;
  // A content read in hand stops between two pieces once the job is stopped.
  const std::function<bool()> stopRequested_;
  std::shared_ptr<const FilterOptions> snapshot_;
  std::uint64_t snapshotRevision_ = 0;
  SearchablePattern searchable_;
  // The copy's files need something looked at, which is worth a worker's time.
  bool snapshotNeedsWorkers_ = false;
  // The copy's filters read the content of every file they see.
  bool snapshotReadsContent_ = false;

  // Merge state: the folder of the last file merged and its last character count.
  std::uint64_t mergedFolder_ = 0;
  std::int64_t carried_ = 0;
  std::string duplicatePath_;  // the path of the file handed to the duplicate filter

  // Hand-out state, job thread only.
  std::unique_ptr<Batch> open_;  // filling, not yet handed out
  // Emptied batches that kept their memory: fresh memory costs a page fault every few
  // files.
  std::vector<std::unique_ptr<Batch>> spare_;
  std::size_t batchLimit_ = 1;  // files per batch, grown from timings
  double nanosPerFile_ = 0;
  std::size_t foldersPerBatch_ = 1;  // folders a batch holds open, at most
  std::size_t batchesOut_ = 1;       // batches handed out and not merged, at most

  BatchScheduler scheduler_;
  std::vector<FileWorker> workers_;  // one per scheduler slot
  const ReadSettings readSettings_;
  // Whether the workers' own reads wait: content is read ahead through the queue only
  // then, or when a depth is asked for.
  DeviceWaits deviceWaits_;
  // Made for the first file whose content is read; ends after the batches.
  std::unique_ptr<ReadQueue> reads_;
  // Declared last: it ends first, waiting for the batches still running.
  OrderedBatches<Batch> batches_;
};

}  // namespace tarnwick
