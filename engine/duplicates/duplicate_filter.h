#pragma once
// The duplicate filter: collects the files that passed the other filters into groups
// of equal key (MD5 key, length or name) during the walk and lists them after it.

#include <cstdint>
#include <memory>

#include "engine/job/job_host.h"
#include "engine/job/option_controls.h"
#include "engine/job/stop_flag.h"
#include "engine/reads/read_settings.h"
#include "platform/file_ref.h"
#include "platform/file_status.h"
#include "results/result_list.h"

namespace tarnwick {

class DigestCache;
class WorkerPool;

class DuplicateStore {
 public:
  // The key button selected in `options` decides the key for the whole job (the
  // duplicate options are locked while a job runs). MD5 keys are read on `pool`, the
  // job's workers, or on the job's thread when it is null; `cache` (null: none) says
  // what earlier jobs read. Both must outlive the store.
  // The small reads of MD5 keys are read ahead of the workers as `reads` say.
  DuplicateStore(const OptionControls& options, JobHost& host, const StopFlag& stop,
                 WorkerPool* pool, DigestCache* cache, const ReadSettings& reads = {});
  ~DuplicateStore();
  DuplicateStore(const DuplicateStore&) = delete;
  DuplicateStore& operator=(const DuplicateStore&) = delete;

  // Adds a file that passed the other filters; called on the job's thread in walk
  // order. `file` reaches it (relative to its open folder, or by its path) and names
  // its full path. `size` is its length as the length filter measured it (0: not
  // measured). `status` is a stat of it when the caller has one; otherwise the store
  // makes its own. The same file reached twice (same device and inode) is kept once.
  void Add(const platform::FileRef& file, std::int64_t size,
           const platform::FileStatus* status = nullptr);
  // A file of `size` bytes with `status` will be added soon, a few files from now: the
  // table places it lands in are fetched into the processor's cache meanwhile, so that
  // adding it does not wait on memory.
  void Expect(std::int64_t size, const platform::FileStatus& status) const;

  // After the walk: the MD5 keys still being read are waited for (with the window
  // kept live), or, once the stop flag is set, left out. Files whose content could not
  // be read for a reason the system gives go to the host's ReportUnreadable, in walk
  // order.
  void FinishWalk();

  // Appends the groups' files to `list` as the selected output asks: one file of each
  // group of two or more, every file of those groups, or all but the last found of
  // each. Groups come in the order of their first file; files in the order they were
  // found. Each row carries its group's number, counting listed groups from 1.
  // Returns early, after a group, once the stop flag is set.
  void List(ResultList& list);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tarnwick
