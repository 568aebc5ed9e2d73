#include "engine/folder_walk.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <utility>

#include "engine/number_text.h"
#include "match/utf8_repair.h"
#include "text/program_text.h"

namespace tarnwick {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
// How long the walk waits for a worker before it handles window events again.
constexpr auto kWaitSlice = std::chrono::milliseconds(10);

// The status line is UTF-8; a folder name that is not is shown with replacements.
std::string DisplayText(const std::string& path) {
  if (IsValidUtf8(path)) return path;
  return Gb18030ToUtf8(Utf8ToGb18030(path));
}

// "d/" and "d//" name the folder "d"; "/" stays "/".
std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

// Folders the walk keeps open on its way down: a quarter of the descriptors the process
// may have, so that the work in flight and the program's other files find room too.
std::size_t HeldFolderLimit() {
  constexpr std::size_t kMost = 256;
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kMost;
  return std::clamp<std::size_t>(static_cast<std::size_t>(limit.rlim_cur / 4), 4, kMost);
}

}  // namespace

// A subfolder opened and listed by whichever thread claims it first: a worker ahead of
// the walk, or the walk itself when it gets there before any worker did.
struct FolderWalk::Ahead {
  std::shared_ptr<const FolderVisit> parent;  // keeps the parent's descriptor open
  std::string name;
  std::atomic<bool> claimed{false};
  bool done = false;  // guarded by AheadSync::mutex
  int fd = -1;
  int openError = 0;
  platform::DirectoryListing listing;

  ~Ahead() {
    if (fd >= 0) ::close(fd);
  }
  void OpenAndList() {
    fd = ::openat(parent->fd, name.c_str(), kFolderFlags | O_NOFOLLOW);
    if (fd < 0) {
      openError = errno;
      return;
    }
    listing.Read(fd);
  }
};

// Shared with the workers' tasks, which may end after the walk.
struct FolderWalk::AheadSync {
  std::mutex mutex;
  std::condition_variable done;
};

FolderWalk::FolderWalk(EntryLister& lister, const OptionControls& options,
                       const JobSettings& settings, FilePipeline& pipeline, WorkerPool* pool,
                       JobHost& host, const StopFlag& stop)
    : lister_(lister),
      options_(options),
      settings_(settings),
      pipeline_(pipeline),
      pool_(pool),
      host_(host),
      stop_(stop),
      heldFolders_(HeldFolderLimit()),
      aheadLimit_(std::min<std::size_t>(64, heldFolders_ / 2)),
      aheadSync_(std::make_shared<AheadSync>()) {}

FolderWalk::~FolderWalk() {
  for (Frame& frame : frames_) CallOffAhead(frame);
}

long long FolderWalk::FolderLevel(const std::string& root, const std::string& folder) {
  std::string_view below(folder);
  if (below.starts_with(root)) below.remove_prefix(root.size());
  return static_cast<long long>(std::count(below.begin(), below.end(), '/')) + 1;
}

void FolderWalk::Run(const std::string& root) {
  std::string text = WithoutTrailingSlashes(root);
  const int fd = ::open(text.c_str(), kFolderFlags);
  if (fd < 0) {
    pipeline_.AddUnreadableFolder(text, errno);
    return;
  }
  rules_.emplace(settings_, text, fd);
  depth_ = 0;
  if (!listing_.Read(fd)) pipeline_.AddUnreadableFolder(text, listing_.Error());
  Descend(fd, std::move(text), &listing_);
  while (depth_ > 0 && !stop_.IsSet()) {
    Frame& frame = frames_[depth_ - 1];
    if (frame.lost || frame.next == frame.starts.size()) {
      Ascend();
      continue;
    }
    EnterNextSubfolder(frame);
  }
  while (depth_ > 0) {
    Frame& frame = frames_[--depth_];
    CallOffAhead(frame);
    frame.visit.reset();
  }
}

void FolderWalk::EnterNextSubfolder(Frame& frame) {
  const std::size_t index = frame.next++;
  const char* name = frame.subfolders.data() + frame.starts[index];
  // Held until the subfolder's visit is done with the listing.
  const std::shared_ptr<Ahead> ahead = std::move(frame.ahead[index]);
  int child;
  int error = 0;
  if (ahead) {
    TakeAhead(*ahead);
    child = std::exchange(ahead->fd, -1);
    error = ahead->openError;
  } else {
    // A link put in the folder's place since it was listed is not followed.
    child = ::openat(frame.visit->fd, name, kFolderFlags | O_NOFOLLOW);
    if (child < 0) error = errno;
  }
  if (child < 0) {
    pipeline_.AddUnreadableFolder(frame.base + name, error);
    return;
  }
  if (rules_->OnOtherFileSystem(child)) {
    ::close(child);
    return;
  }
  const platform::DirectoryListing* listing = ahead ? &ahead->listing : nullptr;
  if (!listing) {
    listing_.Read(child);
    listing = &listing_;
  }
  if (listing->Error() != 0) pipeline_.AddUnreadableFolder(frame.base + name, listing->Error());
  Descend(child, frame.base + name, listing);
}

void FolderWalk::Descend(int fd, std::string text, const platform::DirectoryListing* listing) {
  if (frames_.size() == depth_) frames_.emplace_back();
  Frame& frame = frames_[depth_++];
  frame.text = std::move(text);
  frame.base.assign(frame.text);
  if (!frame.base.empty() && frame.base.back() != '/') frame.base += '/';
  frame.visit = std::make_shared<FolderVisit>(fd, frame.base, ++visits_);
  frame.lost = false;
  // In a deep tree the highest folders are let go, so the walk never runs out of
  // descriptors; Ascend opens them again on the way back.
  if (depth_ > heldFolders_) {
    Frame& high = frames_[depth_ - heldFolders_ - 1];
    struct stat status {};
    if (high.visit && ::fstat(high.visit->fd, &status) == 0) {
      high.device = status.st_dev;
      high.inode = status.st_ino;
      high.visit.reset();
    }
  }
  Visit(frame, *listing);
}

void FolderWalk::Ascend() {
  Frame& leaving = frames_[--depth_];
  if (depth_ > 0) {
    Frame& parent = frames_[depth_ - 1];
    if (!parent.visit && !parent.lost) {
      // Back up through "..", which must be the very folder let go on the way down.
      const int fd = leaving.visit ? ::openat(leaving.visit->fd, "..", kFolderFlags) : -1;
      const int error = errno;
      struct stat status {};
      if (fd >= 0 && ::fstat(fd, &status) == 0 && status.st_dev == parent.device &&
          status.st_ino == parent.inode) {
        parent.visit = std::make_shared<FolderVisit>(fd, parent.base, ++visits_);
      } else {
        if (fd >= 0) ::close(fd);
        parent.lost = true;
        // A folder that was itself lost has been reported; one moved away is reported now.
        if (leaving.visit) pipeline_.AddUnreadableFolder(parent.text, fd < 0 ? error : ENOENT);
      }
    }
  }
  CallOffAhead(leaving);
  leaving.visit.reset();
}

bool FolderWalk::WithinLevels(const std::string& folder) {
  const long long level = FolderLevel(root_, folder);
  host_.ProcessPendingEvents();
  return level < ReadLevel(options_.Text(Field::Levels));
}

void FolderWalk::Visit(Frame& frame, const platform::DirectoryListing& listing) {
  const std::shared_ptr<const FolderVisit> visit = frame.visit;
  lister_.PickFiles(frame.text, options_.Text(Field::NameMask), listing, picked_);
  if (depth_ == 1) root_ = frame.text;
  frame.visit->optionsAtEntry = pipeline_.Options();
  host_.SetStatusText("正在筛选：" + DisplayText(frame.text));
  host_.RefreshStatus();

  frame.subfolders.clear();
  frame.starts.clear();
  frame.ahead.clear();
  frame.next = 0;
  for (const std::uint32_t index : picked_) {
    const char* name = listing.NameData(index);
    if (rules_->ExcludesName(name)) continue;
    host_.ProcessPendingEvents();
    pipeline_.Add(visit, name);
    if (stop_.IsSet()) return;
  }
  pipeline_.EndOfFolderFiles();

  if (options_.IsChecked(Check::ScopeThis)) return;
  if (options_.IsChecked(Check::ScopeLevels) && !WithinLevels(frame.text)) return;
  if (stop_.IsSet()) return;
  for (std::uint32_t i = 0; i < listing.Count(); ++i) {
    if (!listing.IsFolder(i)) continue;
    host_.ProcessPendingEvents();
    if (rules_->SkipsFolder(visit->fd, listing.NameData(i))) continue;
    frame.starts.push_back(static_cast<std::uint32_t>(frame.subfolders.size()));
    frame.subfolders.append(listing.Name(i));
    frame.subfolders.push_back('\0');
  }
  frame.ahead.resize(frame.starts.size());
  if (pool_) ListAhead(frame);
}

void FolderWalk::ListAhead(Frame& frame) {
  // The first subfolder is entered next, before a worker could get far with it; each
  // later one waits for the whole subtree of the one before. One task lists them all:
  // waking a worker costs about as much as listing a small folder.
  std::vector<std::shared_ptr<Ahead>> task;
  for (std::size_t i = 1; i < frame.starts.size() && aheadCount_ < aheadLimit_; ++i) {
    auto ahead = std::make_shared<Ahead>();
    ahead->parent = frame.visit;
    ahead->name = frame.subfolders.data() + frame.starts[i];
    frame.ahead[i] = ahead;
    task.push_back(std::move(ahead));
    ++aheadCount_;
  }
  if (task.empty()) return;
  pool_->Submit([task = std::move(task), sync = aheadSync_] {
    for (const std::shared_ptr<Ahead>& ahead : task) {
      if (ahead->claimed.exchange(true)) continue;
      ahead->OpenAndList();
      // Notified under the lock: once it is released the walk may end.
      std::lock_guard lock(sync->mutex);
      ahead->done = true;
      sync->done.notify_all();
    }
  });
}

void FolderWalk::TakeAhead(Ahead& ahead) {
  --aheadCount_;
  if (!ahead.claimed.exchange(true)) {
    ahead.OpenAndList();
    return;
  }
  std::unique_lock lock(aheadSync_->mutex);
  while (!aheadSync_->done.wait_for(lock, kWaitSlice, [&ahead] { return ahead.done; })) {
    lock.unlock();
    host_.ProcessPendingEvents();
    lock.lock();
  }
}

void FolderWalk::CallOffAhead(Frame& frame) {
  for (std::shared_ptr<Ahead>& ahead : frame.ahead) {
    if (!ahead) continue;
    // A worker that has not started it leaves it; one that has finishes on its own.
    ahead->claimed.store(true);
    ahead.reset();
    --aheadCount_;
  }
}

}  // namespace tarnwick
