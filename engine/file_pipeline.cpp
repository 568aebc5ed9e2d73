#include "engine/file_pipeline.h"

#include <sys/resource.h>

#include <algorithm>
#include <chrono>

#include "engine/add_row.h"
#include "platform/read_only_file.h"

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;

// A batch should keep a worker busy about this long: long enough that handing it over
// and waking the threads cost little, short enough that the workers share the files
// evenly and a stop is seen soon.
constexpr double kBatchNanos = 1e6;
constexpr std::size_t kMaxBatchFiles = 512;
// Batches handed out and not yet merged, per worker.
constexpr std::size_t kQueuedBatchesPerWorker = 4;
// How long the job's thread waits for a worker before it handles window events again.
constexpr auto kWaitSlice = std::chrono::milliseconds(10);

// Folders the batches in flight may hold open together: a quarter of the descriptors the
// process may have (the walk keeps another quarter on its way down).
std::size_t FolderBudget() {
  constexpr std::size_t kMost = 256;
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kMost;
  return std::clamp<std::size_t>(static_cast<std::size_t>(limit.rlim_cur / 4), 4, kMost);
}

}  // namespace

// Files worked on by one worker with the options they were handed out with, from one or
// more folders in walk order. A batch without files reports a folder that could not be
// read.
struct FilePipeline::Batch {
  struct File {
    std::uint32_t nameStart;
    std::uint16_t folder;  // in `folders`
    bool listedRegular;
  };
  std::shared_ptr<const FilterOptions> options;
  std::vector<std::shared_ptr<const FolderVisit>> folders;
  std::string names;  // each followed by a NUL
  std::vector<File> files;
  std::vector<FileOutcome> outcomes;
  std::string unreadablePath;
  int unreadableError = 0;
  std::int64_t workNanos = 0;
  // Set by the worker once every outcome is in; the job's thread reads it unlocked.
  std::atomic<bool> done{false};

  std::size_t Count() const { return files.size(); }
  const FolderVisit& FolderOf(std::size_t index) const { return *folders[files[index].folder]; }
  // A name, followed by its NUL.
  std::string_view Name(std::size_t index) const {
    const std::size_t end =
        index + 1 < files.size() ? files[index + 1].nameStart - 1 : names.size() - 1;
    return std::string_view(names).substr(files[index].nameStart, end - files[index].nameStart);
  }
};

FilePipeline::FilePipeline(WorkerPool* pool, const OptionControls& options, const Sinks& sinks)
    : options_(options),
      sinks_(sinks),
      pathsOnly_(sinks.list.PathsOnly()),
      stopRequested_([&stop = sinks.stop] { return stop.IsSet(); }),
      searchable_(sinks.host, options),
      pool_(pool) {
  if (!pool_) return;
  workers_ = std::make_unique<FileWorker[]>(pool_->Size());
  queueLimit_ = kQueuedBatchesPerWorker * pool_->Size();
  foldersPerBatch_ = std::max<std::size_t>(1, FolderBudget() / (queueLimit_ + 1));
}

FilePipeline::~FilePipeline() {
  Drop();
  std::unique_lock lock(mutex_);
  awaitingAll_ = true;
  batchDone_.wait(lock, [this] { return running_ == 0; });
}

const std::shared_ptr<const FilterOptions>& FilePipeline::Options() {
  if (!snapshot_ || options_.Revision() != snapshotRevision_) {
    FilterOptions copy(options_);
    searchable_.Keep(copy);
    snapshot_ = std::make_shared<const FilterOptions>(std::move(copy));
    snapshotRevision_ = options_.Revision();
    snapshotNeedsWorkers_ = !pathsOnly_ || snapshot_->IsChecked(Check::ContentFilter) ||
                            snapshot_->IsChecked(Check::LengthFilter) ||
                            snapshot_->IsChecked(Check::TimeFilter) ||
                            snapshot_->IsChecked(Check::DuplicateFilter);
  }
  return snapshot_;
}

void FilePipeline::Add(const std::shared_ptr<const FolderVisit>& folder, std::string_view name,
                       bool listedRegular) {
  const std::shared_ptr<const FilterOptions>& options = Options();
  // With one thread, or for a file that needs nothing looked at while nothing waits
  // before it, handing over would cost more than the work.
  if (!pool_ || (queue_.empty() && !open_ && !snapshotNeedsWorkers_)) {
    FileOutcome outcome =
        ownWorker_.Process(*folder, name, listedRegular, *options, pathsOnly_, stopRequested_);
    Merge(*folder, name, outcome);
    return;
  }
  if (open_ && open_->options != options) Submit();
  if (!open_) Open(folder, options);
  if (open_->folders.back() != folder) {
    if (open_->folders.size() >= foldersPerBatch_) {
      Submit();
      Open(folder, options);
    } else {
      open_->folders.push_back(folder);
    }
  }
  open_->files.push_back({static_cast<std::uint32_t>(open_->names.size()),
                          static_cast<std::uint16_t>(open_->folders.size() - 1), listedRegular});
  open_->names.append(name);
  open_->names.push_back('\0');
  if (open_->Count() >= batchLimit_) Submit();
  MergeDone();
  while (!sinks_.stop.IsSet() && queue_.size() >= queueLimit_) {
    WaitForFirst();
    MergeDone();
  }
}

void FilePipeline::Open(const std::shared_ptr<const FolderVisit>& folder,
                        const std::shared_ptr<const FilterOptions>& options) {
  open_ = std::make_shared<Batch>();
  open_->options = options;
  open_->folders.push_back(folder);
}

void FilePipeline::AddUnreadableFolder(const std::string& path, int error) {
  // A folder that vanished, or was replaced by a link, since it was listed is passed by.
  if (!platform::IsReadFailure(error)) return;
  if (queue_.empty() && !open_) {
    sinks_.host.ReportUnreadable(path, error);
    return;
  }
  if (open_) Submit();
  auto note = std::make_shared<Batch>();
  note->unreadablePath = path;
  note->unreadableError = error;
  note->done.store(true, std::memory_order_relaxed);  // not shared with any worker
  queue_.push_back(std::move(note));
}

void FilePipeline::Finish() {
  if (open_) Submit();
  while (!queue_.empty() && !sinks_.stop.IsSet()) {
    WaitForFirst();
    MergeDone();
  }
  if (!sinks_.stop.IsSet()) return;
  Drop();
  // A worker finishes the file in hand; the window stays live meanwhile.
  std::unique_lock lock(mutex_);
  awaitingAll_ = true;
  while (!batchDone_.wait_for(lock, kWaitSlice, [this] { return running_ == 0; })) {
    lock.unlock();
    sinks_.host.ProcessPendingEvents();
    lock.lock();
  }
  awaitingAll_ = false;
}

void FilePipeline::Merge(const FolderVisit& folder, std::string_view name, FileOutcome& outcome) {
  // The character count carries from file to file within a folder and starts at 0 in
  // each.
  if (folder.number != mergedFolder_) {
    mergedFolder_ = folder.number;
    carried_ = 0;
  }
  if (outcome.counted) carried_ = outcome.characters;
  if (outcome.error != 0) sinks_.host.ReportUnreadable(folder.PathOf(name), outcome.error);
  if (outcome.undecided) sinks_.host.ReportUndecided(folder.PathOf(name));
  if (!outcome.pass) return;

  if (outcome.toDuplicates) {
    // The store reports files it cannot read for their keys itself, after the walk.
    const std::string path = folder.PathOf(name);
    sinks_.duplicates.Add(platform::FileRef{folder.fd, name.data(), path}, outcome.size,
                          outcome.status ? &*outcome.status : nullptr);
    return;
  }
  ResultRow& row = outcome.row;
  if (!pathsOnly_) row.countText = CountText(carried_);
  row.characters = outcome.counted ? outcome.characters : -1;
  row.encoding = outcome.encoding;
  sinks_.list.Append(std::move(row));
}

void FilePipeline::Submit() {
  std::shared_ptr<Batch> batch = std::move(open_);
  batch->outcomes.resize(batch->Count());
  queue_.push_back(batch);
  {
    std::lock_guard lock(mutex_);
    ++running_;
  }
  pool_->Submit([this, batch] { RunBatch(*batch); });
}

void FilePipeline::RunBatch(Batch& batch) {
  FileWorker& worker = workers_[WorkerPool::CurrentWorker()];
  const Clock::time_point start = Clock::now();
  for (std::size_t i = 0; i < batch.Count() && !dropping_.load(std::memory_order_relaxed); ++i) {
    batch.outcomes[i] =
        worker.Process(batch.FolderOf(i), batch.Name(i), batch.files[i].listedRegular,
                       *batch.options, pathsOnly_, stopRequested_);
  }
  batch.workNanos =
      std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
  // The job's thread is woken only when it waits for this very batch, or for all of
  // them; otherwise it finds the batch done when it next looks. Notified under the
  // lock: once it is released the pipeline may end.
  std::lock_guard lock(mutex_);
  batch.done.store(true, std::memory_order_release);
  --running_;
  if (awaited_ == &batch || (awaitingAll_ && running_ == 0)) batchDone_.notify_all();
}

void FilePipeline::MergeDone() {
  while (!queue_.empty() && !sinks_.stop.IsSet()) {
    if (!queue_.front()->done.load(std::memory_order_acquire)) return;
    const std::shared_ptr<Batch> batch = std::move(queue_.front());
    queue_.pop_front();
    if (batch->unreadableError != 0) {
      sinks_.host.ReportUnreadable(batch->unreadablePath, batch->unreadableError);
    }
    if (batch->Count() == 0) continue;
    for (std::size_t i = 0; i < batch->Count(); ++i) {
      Merge(batch->FolderOf(i), batch->Name(i), batch->outcomes[i]);
      // The walk may be done while many files wait to be merged: the window stays live
      // and a stop keeps what has been merged and drops the rest.
      sinks_.host.ProcessPendingEvents();
      if (sinks_.stop.IsSet()) {
        Drop();
        return;
      }
    }
    // Size the next batches from what this one cost.
    const double perFile =
        static_cast<double>(batch->workNanos) / static_cast<double>(batch->Count());
    nanosPerFile_ = nanosPerFile_ == 0 ? perFile : 0.75 * nanosPerFile_ + 0.25 * perFile;
    batchLimit_ = static_cast<std::size_t>(std::clamp(kBatchNanos / std::max(nanosPerFile_, 1.0),
                                                      1.0, static_cast<double>(kMaxBatchFiles)));
  }
}

void FilePipeline::WaitForFirst() {
  if (open_) Submit();
  if (queue_.empty()) return;
  const Batch& first = *queue_.front();
  std::unique_lock lock(mutex_);
  awaited_ = &first;
  while (!batchDone_.wait_for(lock, kWaitSlice,
                              [&first] { return first.done.load(std::memory_order_relaxed); })) {
    lock.unlock();
    sinks_.host.ProcessPendingEvents();
    lock.lock();
    if (sinks_.stop.IsSet()) break;
  }
  awaited_ = nullptr;
}

void FilePipeline::Drop() {
  dropping_.store(true, std::memory_order_relaxed);
  open_.reset();
  queue_.clear();
}

}  // namespace tarnwick
