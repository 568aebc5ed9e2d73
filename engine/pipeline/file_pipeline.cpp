#include "engine/pipeline/file_pipeline.h"

#include <algorithm>
#include <chrono>

#include "engine/reads/prefetched_content.h"
#include "engine/reads/read_tickets.h"
#include "engine/rows/add_row.h"
#include "engine/schedule/descriptor_budget.h"
#include "platform/read_only_file.h"
#include "text/text_stream.h"

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;

// A batch should keep a worker busy about this long: long enough that handing it over
// and waking the threads cost little, short enough that the workers share the files
// evenly and a stop is seen soon.
constexpr double kBatchNanos = 1e6;
constexpr std::size_t kMaxBatchFiles = 512;
// How many files ahead of the one merged the duplicate filter is told what comes: far
// enough for memory to answer meanwhile.
constexpr std::size_t kMergeAhead = 3;
// Batches handed out and not yet merged: a few per worker, and no more than a share of
// descriptors, since each holds a folder open and a running one a file too.
std::size_t BatchesOut(unsigned workers) {
  constexpr std::size_t kPerWorker = 4;
  return std::min(kPerWorker * workers, DescriptorShare());
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
  bool readsContent = false;  // every file's content is read: whether reads wait is looked at
  std::vector<std::shared_ptr<const FolderVisit>> folders;
  std::string names;  // each followed by a NUL
  std::vector<File> files;
  std::vector<FileOutcome> outcomes;
  ReadTickets tickets;  // of the files whose content is read ahead
  std::string unreadablePath;
  int unreadableError = 0;
  std::int64_t workNanos = 0;

  std::size_t Count() const { return files.size(); }
  const FolderVisit& FolderOf(std::size_t index) const { return *folders[files[index].folder]; }
  // A name, followed by its NUL.
  std::string_view Name(std::size_t index) const {
    const std::size_t end =
        index + 1 < files.size() ? files[index + 1].nameStart - 1 : names.size() - 1;
    return std::string_view(names).substr(files[index].nameStart, end - files[index].nameStart);
  }
};

FilePipeline::FilePipeline(WorkerPool* pool, const OptionControls& options, const Sinks& sinks,
                           const ReadSettings& reads)
    : options_(options),
      sinks_(sinks),
      pathsOnly_(sinks.list.PathsOnly()),
      stopRequested_([&stop = sinks.stop] { return stop.IsSet(); }),
      searchable_(sinks.host, options),
      scheduler_(pool, sinks.host, sinks.stop),
      workers_(scheduler_.Slots()),
      readSettings_(reads),
      batches_(scheduler_, BatchesOut(scheduler_.Workers()),
               [this](Batch& batch, const BatchRun& run) { Work(batch, run); }) {
  // The folders of the batches out (and of the one filling) stay within a share.
  batchesOut_ = BatchesOut(scheduler_.Workers());
  foldersPerBatch_ = std::max<std::size_t>(1, DescriptorShare() / (batchesOut_ + 1));
}

FilePipeline::~FilePipeline() = default;

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
    // Files whose content is read whatever their name: those are read ahead.
    const bool contentFilter = snapshot_->IsChecked(Check::ContentFilter);
    snapshotReadsContent_ = contentFilter ? snapshot_->IsChecked(Check::InContent) &&
                                                !snapshot_->IsChecked(Check::InName)
                                          : snapshot_->IsChecked(Check::LengthFilter) &&
                                                !snapshot_->IsChecked(Check::MeasureSize);
  }
  return snapshot_;
}

void FilePipeline::Add(const std::shared_ptr<const FolderVisit>& folder, std::string_view name,
                       bool listedRegular, std::uint64_t inode) {
  const std::shared_ptr<const FilterOptions>& options = Options();
  // With one thread, or for a file that needs nothing looked at while nothing waits
  // before it, handing over would cost more than the work.
  if (scheduler_.Workers() == 0 || (batches_.Empty() && !open_ && !snapshotNeedsWorkers_)) {
    FileOutcome outcome = workers_[scheduler_.JobSlot()].Process(
        *folder, name, listedRegular, *options, pathsOnly_, stopRequested_);
    Merge(*folder, name, outcome);
    return;
  }
  // Asked for first: waiting for a free slot may hand the open batch out.
  const bool readAhead = readSettings_.depth != 0 || deviceWaits_.Seen();
  const ReadQueue::Ticket ticket = readAhead && snapshotReadsContent_ && listedRegular
                                       ? AskRead(folder, name, inode)
                                       : ReadQueue::kNoTicket;
  if (open_ && open_->options != options) HandOut();
  if (!open_) Open(folder, options);
  if (open_->folders.back() != folder) {
    if (open_->folders.size() >= foldersPerBatch_) {
      HandOut();
      Open(folder, options);
    } else {
      open_->folders.push_back(folder);
    }
  }
  open_->tickets.Add(reads_.get(), ticket);
  open_->files.push_back({static_cast<std::uint32_t>(open_->names.size()),
                          static_cast<std::uint16_t>(open_->folders.size() - 1), listedRegular});
  open_->names.append(name);
  open_->names.push_back('\0');
  if (open_->Count() >= batchLimit_) HandOut();
  MergeDone();
  while (!sinks_.stop.IsSet() && batches_.Full()) {
    batches_.WaitForHead();
    MergeDone();
  }
}

ReadQueue::Ticket FilePipeline::AskRead(const std::shared_ptr<const FolderVisit>& folder,
                                        std::string_view name, std::uint64_t inode) {
  if (!reads_) {
    const platform::DeviceKind kind =
        readSettings_.device.value_or(platform::DeviceKindOf(folder->fd));
    reads_ = std::make_unique<ReadQueue>(readSettings_, kind, kPieceSize);
  }
  // Every slot holds a file asked for and not yet worked on: the oldest are worked on
  // first, which frees theirs.
  while (reads_->Free() == 0 && !sinks_.stop.IsSet()) {
    if (open_) HandOut();
    if (!batches_.WaitForHead()) break;
    MergeDone();
  }
  return reads_->Ask(folder, folder->fd, name, inode);
}

void FilePipeline::Open(const std::shared_ptr<const FolderVisit>& folder,
                        const std::shared_ptr<const FilterOptions>& options) {
  if (spare_.empty()) {
    open_ = std::make_unique<Batch>();
  } else {
    open_ = std::move(spare_.back());
    spare_.pop_back();
  }
  open_->options = options;
  open_->readsContent = snapshotReadsContent_;
  open_->folders.push_back(folder);
}

void FilePipeline::AddUnreadableFolder(const std::string& path, int error) {
  // A folder that vanished, or was replaced by a link, since it was listed is passed by.
  if (!platform::IsReadFailure(error)) return;
  if (batches_.Empty() && !open_) {
    sinks_.host.ReportUnreadable(path, error);
    return;
  }
  if (open_) HandOut();
  Batch note;
  note.unreadablePath = path;
  note.unreadableError = error;
  batches_.Queue(std::move(note));
}

void FilePipeline::Finish() {
  if (open_) HandOut();
  while (!batches_.Empty() && !sinks_.stop.IsSet()) {
    batches_.WaitForHead();
    MergeDone();
  }
  // After a stop a worker finishes the file in hand; the window stays live meanwhile.
  if (sinks_.stop.IsSet()) batches_.DropAndWaitOut();
}

void FilePipeline::Merge(const FolderVisit& folder, std::string_view name, FileOutcome& outcome) {
  sinks_.host.FileExamined();
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
    // The store reports files it cannot read for their keys itself, after the walk. It
    // keeps what it needs of the path: one buffer serves every file.
    duplicatePath_.assign(folder.base).append(name);
    sinks_.duplicates.Add(platform::FileRef{folder.fd, name.data(), duplicatePath_}, outcome.size,
                          outcome.status ? &*outcome.status : nullptr);
    return;
  }
  ResultRow& row = outcome.row;
  if (!pathsOnly_) row.countText = CountText(carried_);
  row.characters = outcome.counted ? outcome.characters : -1;
  row.encoding = outcome.encoding;
  sinks_.list.Append(std::move(row));
}

void FilePipeline::HandOut() {
  std::unique_ptr<Batch> batch = std::move(open_);
  batch->outcomes.resize(batch->Count());
  batches_.HandOut(std::move(*batch));
}

void FilePipeline::Recycle(Batch& merged) {
  if (spare_.size() > batchesOut_) return;
  auto batch = std::make_unique<Batch>();
  batch->names.swap(merged.names);
  batch->files.swap(merged.files);
  batch->outcomes.swap(merged.outcomes);
  batch->names.clear();
  batch->files.clear();
  batch->outcomes.clear();
  spare_.push_back(std::move(batch));
}

void FilePipeline::Work(Batch& batch, const BatchRun& run) {
  FileWorker& worker = workers_[run.Slot()];
  const Clock::time_point start = Clock::now();
  // Time spent waiting for the read queue is the device's, not the work's: batches are
  // sized by the work alone, so that they stay large enough to keep the reads ahead.
  std::chrono::nanoseconds waited{0};
  for (std::size_t i = 0; i < batch.Count() && !run.Dropped(); ++i) {
    const FolderVisit& folder = batch.FolderOf(i);
    const std::string_view name = batch.Name(i);
    const ReadQueue::Ticket ticket = batch.tickets.Claim(i);
    if (ticket == ReadQueue::kNoTicket) {
      const DeviceWaits::Sample sample(deviceWaits_, i, batch.readsContent);
      batch.outcomes[i] = worker.Process(folder, name, batch.files[i].listedRegular, *batch.options,
                                         pathsOnly_, stopRequested_);
      continue;
    }
    const platform::FileRef file{folder.fd, name.data(), {}, batch.files[i].listedRegular};
    PrefetchedContent content(batch.tickets.Queue(), ticket, file);
    batch.outcomes[i] = worker.Process(folder, name, batch.files[i].listedRegular, *batch.options,
                                       pathsOnly_, stopRequested_, &content);
    waited += content.Waited();
  }
  batch.workNanos =
      std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start - waited).count();
}

void FilePipeline::MergeDone() {
  while (!sinks_.stop.IsSet()) {
    Batch* batch = batches_.DoneHead();
    if (!batch) return;
    if (batch->unreadableError != 0) {
      sinks_.host.ReportUnreadable(batch->unreadablePath, batch->unreadableError);
    }
    for (std::size_t i = 0; i < batch->Count(); ++i) {
      if (i + kMergeAhead < batch->Count()) {
        const FileOutcome& coming = batch->outcomes[i + kMergeAhead];
        if (coming.pass && coming.toDuplicates && coming.status)
          sinks_.duplicates.Expect(coming.size, *coming.status);
      }
      Merge(batch->FolderOf(i), batch->Name(i), batch->outcomes[i]);
      // The walk may be done while many files wait to be merged: the window stays live
      // and a stop keeps what has been merged and drops the rest.
      sinks_.host.ProcessPendingEvents();
      if (sinks_.stop.IsSet()) {
        open_.reset();
        batches_.Drop();
        return;
      }
    }
    if (batch->Count() > 0) {
      // Size the next batches from what this one cost.
      const double perFile =
          static_cast<double>(batch->workNanos) / static_cast<double>(batch->Count());
      nanosPerFile_ = nanosPerFile_ == 0 ? perFile : 0.75 * nanosPerFile_ + 0.25 * perFile;
      batchLimit_ = static_cast<std::size_t>(std::clamp(kBatchNanos / std::max(nanosPerFile_, 1.0),
                                                        1.0, static_cast<double>(kMaxBatchFiles)));
    }
    Recycle(*batch);
    batches_.PopHead();
  }
}

}  // namespace tarnwick
