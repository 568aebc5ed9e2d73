#include "engine/duplicate_filter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/add_row.h"
#include "engine/md5_key.h"
#include "platform/file_status.h"
#include "results/size_text.h"

namespace tarnwick {
namespace {

enum class DuplicateKind { ByMd5, ByLength, ByName };
enum class DuplicateOutput { One, All, AllButOne };

// The first selected key button wins.
DuplicateKind SelectedKind(const OptionControls& options) {
  if (options.IsChecked(Check::DupByMd5)) return DuplicateKind::ByMd5;
  if (options.IsChecked(Check::DupByLength)) return DuplicateKind::ByLength;
  return DuplicateKind::ByName;
}

DuplicateOutput SelectedOutput(const OptionControls& options) {
  if (options.IsChecked(Check::DupOne)) return DuplicateOutput::One;
  if (options.IsChecked(Check::DupAll)) return DuplicateOutput::All;
  return DuplicateOutput::AllButOne;
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct FileIdentity {
  dev_t device;
  ino_t inode;
  bool operator==(const FileIdentity&) const = default;
};

struct FileIdentityHash {
  std::size_t operator()(const FileIdentity& identity) const {
    const std::size_t device = std::hash<dev_t>{}(identity.device);
    return std::hash<ino_t>{}(identity.inode) ^ (device + 0x9e3779b97f4a7c15ULL + (device << 6));
  }
};

// A file added to the store: where the walk found it among the others, and where its
// path lies in the store's path buffer.
struct FileEntry {
  std::uint64_t order = 0;
  std::size_t pathOffset = 0;
  std::size_t pathLength = 0;
};

struct Member {
  FileEntry file;
  std::uint32_t group = 0;
};

struct GroupInfo {
  std::uint64_t firstOrder = 0;  // the order of its earliest-found member
  std::size_t size = 0;
};

}  // namespace

// Flat on purpose: one buffer for every path and one vector of members keep a job over
// hundreds of thousands of files from making a heap block per file and per group.
struct DuplicateStore::State {
  std::string paths;
  std::vector<Member> members;  // in the order they were grouped
  std::vector<GroupInfo> groups;
  std::unordered_map<std::string, std::uint32_t> groupOfKey;
  std::unordered_set<FileIdentity, FileIdentityHash> filesSeen;
  // By MD5: for each size met, the first file of that size while it waits for a second
  // one (a file of a size no other file has cannot have a duplicate, so it is never
  // read); empty once that file has been digested.
  std::unordered_map<std::int64_t, std::optional<FileEntry>> firstOfSize;
  std::uint64_t nextOrder = 0;

  FileEntry Store(const std::string& path) {
    const FileEntry file{nextOrder++, paths.size(), path.size()};
    paths += path;
    return file;
  }

  std::string PathOf(const FileEntry& file) const {
    return paths.substr(file.pathOffset, file.pathLength);
  }

  void Group(std::string key, const FileEntry& file) {
    const auto [entry, created] =
        groupOfKey.try_emplace(std::move(key), static_cast<std::uint32_t>(groups.size()));
    if (created) groups.push_back({file.order, 0});
    GroupInfo& group = groups[entry->second];
    group.firstOrder = std::min(group.firstOrder, file.order);
    ++group.size;
    members.push_back({file, entry->second});
  }

  void AddByDigest(const FileEntry& file, std::int64_t size, JobHost& host, const StopFlag& stop) {
    const auto [entry, firstOne] = firstOfSize.try_emplace(size);
    if (firstOne) {
      entry->second = file;
      return;
    }
    if (entry->second) {
      const FileEntry waiting = *entry->second;
      entry->second.reset();
      std::string key = DigestKey(PathOf(waiting), size, host, stop);
      if (!key.empty()) Group(std::move(key), waiting);
      if (stop.IsSet()) return;
    }
    std::string key = DigestKey(PathOf(file), size, host, stop);
    // A stop during the digest ends the walk with this file left out.
    if (stop.IsSet() || key.empty()) return;
    Group(std::move(key), file);
  }

  static std::string DigestKey(const std::string& path, std::int64_t size, JobHost& host,
                               const StopFlag& stop) {
    host.SetStatusText("大小 " + SizeText(size) + "，正在读MD5：" + path);
    host.RefreshStatus();
    return Md5Key(path, size, host, stop);
  }
};

DuplicateStore::DuplicateStore() : state_(std::make_unique<State>()) {}
DuplicateStore::~DuplicateStore() = default;

void DuplicateStore::Clear() { state_ = std::make_unique<State>(); }

void DuplicateStore::Add(const std::string& path, std::int64_t size, const OptionControls& options,
                         JobHost& host, const StopFlag& stop) {
  Add(platform::FileAtPath(path), size, options, host, stop);
}

void DuplicateStore::Add(const platform::FileRef& found, std::int64_t size,
                         const OptionControls& options, JobHost& host, const StopFlag& stop) {
  const std::string path(found.path);
  const std::optional<platform::FileStatus> status = platform::StatusOf(found);
  // Overlapping name patterns, hard links and links to files can bring the same file
  // twice; it must not become its own duplicate (and be offered for deletion).
  if (status && !state_->filesSeen.insert({status->device, status->inode}).second) return;
  if (size == 0 && status) size = status->size;
  const FileEntry file = state_->Store(path);
  switch (SelectedKind(options)) {
    case DuplicateKind::ByMd5:
      state_->AddByDigest(file, size, host, stop);
      return;
    case DuplicateKind::ByLength:
      state_->Group(std::to_string(size), file);
      return;
    case DuplicateKind::ByName:
      state_->Group(NameOf(path), file);
      return;
  }
}

void DuplicateStore::List(const OptionControls& options, ResultList& list, JobHost& host,
                          const StopFlag& stop) {
  const State& state = *state_;
  // Files digested late (when a second file of their size came) may join a group after
  // later-found files: order by each group's earliest file, then by discovery.
  std::vector<const Member*> listed;
  for (const Member& member : state.members) {
    if (state.groups[member.group].size >= 2) listed.push_back(&member);
  }
  std::sort(listed.begin(), listed.end(), [&state](const Member* a, const Member* b) {
    const std::uint64_t groupA = state.groups[a->group].firstOrder;
    const std::uint64_t groupB = state.groups[b->group].firstOrder;
    return groupA != groupB ? groupA < groupB : a->file.order < b->file.order;
  });

  const DuplicateOutput output = SelectedOutput(options);
  for (std::size_t first = 0; first < listed.size();) {
    const std::size_t size = state.groups[listed[first]->group].size;
    host.ProcessPendingEvents();
    std::size_t count = size;
    if (output == DuplicateOutput::One) count = 1;
    if (output == DuplicateOutput::AllButOne) count = size - 1;
    for (std::size_t index = first; index < first + count; ++index)
      AddRow(list, state.PathOf(listed[index]->file), 0, 0, "", options);
    first += size;
    if (stop.IsSet()) return;
  }
}

}  // namespace tarnwick
