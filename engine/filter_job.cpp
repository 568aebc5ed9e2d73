#include "engine/filter_job.h"

#include <memory>

#include "engine/duplicates/duplicate_filter.h"
#include "engine/pipeline/file_pipeline.h"
#include "engine/schedule/worker_pool.h"
#include "platform/descriptors.h"
#include "engine/walk/file_system_object_enumerator.h"
#include "engine/walk/find_file_enumerator.h"
#include "engine/walk/folder_walk.h"

namespace tarnwick {

void RunFilterJob(const std::string& root, Lister lister, const OptionControls& options,
                  ResultList& list, JobHost& host, StopFlag& stop, const JobSettings& settings) {
  list.Clear();
  stop.Clear();
  // A folder tree may call for many descriptors at once: the job may have every one the
  // system allows the process, not just the usual soft limit.
  platform::RaiseDescriptorLimit();

  std::unique_ptr<EntryLister> entryLister;
  if (lister == Lister::FileSystemObject) {
    entryLister = std::make_unique<FileSystemObjectEnumerator>(host);
  } else {
    entryLister = std::make_unique<FindFileEnumerator>(host);
  }
  // One thread: every file, folder and digest on the job's own, as the window always did,
  // unless the job's thread must stay free for a window. The pool lives until the
  // duplicates are listed: the digests are read on it too.
  const unsigned threads = WorkerCount(settings.threads);
  const std::unique_ptr<WorkerPool> pool = threads > 1 || settings.workOffJobThread
                                               ? std::make_unique<WorkerPool>(threads)
                                               : nullptr;
  DuplicateStore duplicates(options, host, stop, pool.get(), settings.digestCache, settings.reads);
  {
    FilePipeline pipeline(pool.get(), options, {list, duplicates, host, stop}, settings.reads);
    FolderWalk(*entryLister, options, settings, pipeline, host, stop).Run(root);
    pipeline.Finish();
  }

  if (!options.IsChecked(Check::DuplicateFilter)) return;
  duplicates.FinishWalk();
  // A stop during the walk still lists the duplicates found so far; a second stop
  // ends the listing.
  if (stop.IsSet()) stop.Clear();
  duplicates.List(list);
}

std::string SummaryText(std::size_t rowCount, std::int64_t elapsedMs) {
  return "筛选完毕！共筛选出 " + std::to_string(rowCount) + " 个文件，耗时 " +
         FormatElapsed(elapsedMs) + "。请单击按钮操作列表！";
}

}  // namespace tarnwick
