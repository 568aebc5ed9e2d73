#include "engine/duplicate_filter.h"

#include <algorithm>
#include <cstddef>
#include <optional>
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

// A grouped file and its place in the order the walk found the files.
struct Member {
  std::uint64_t order = 0;
  std::string path;
};

}  // namespace

struct DuplicateStore::State {
  std::vector<std::vector<Member>> groups;
  std::unordered_map<std::string, std::size_t> groupOfKey;
  std::unordered_set<FileIdentity, FileIdentityHash> filesSeen;
  // By MD5: for each size met, the first file of that size while it waits for a second
  // one (a file of a size no other file has cannot have a duplicate, so it is never
  // read); empty once that file has been digested.
  std::unordered_map<std::int64_t, std::optional<Member>> firstOfSize;
  std::uint64_t nextOrder = 0;

  void Group(std::string key, Member member) {
    const auto [entry, created] = groupOfKey.try_emplace(std::move(key), groups.size());
    if (created) groups.emplace_back();
    groups[entry->second].push_back(std::move(member));
  }

  void AddByDigest(Member member, std::int64_t size, JobHost& host, const StopFlag& stop) {
    const auto [entry, firstOne] = firstOfSize.try_emplace(size);
    if (firstOne) {
      entry->second = std::move(member);
      return;
    }
    if (entry->second) {
      Member waiting = std::move(*entry->second);
      entry->second.reset();
      std::string key = DigestKey(waiting.path, size, host, stop);
      if (!key.empty()) Group(std::move(key), std::move(waiting));
      if (stop.IsSet()) return;
    }
    std::string key = DigestKey(member.path, size, host, stop);
    // A stop during the digest ends the walk with this file left out.
    if (stop.IsSet() || key.empty()) return;
    Group(std::move(key), std::move(member));
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
  const std::optional<platform::FileStatus> status = platform::StatusOf(path);
  // Overlapping name patterns, hard links and links to files can bring the same file
  // twice; it must not become its own duplicate (and be offered for deletion).
  if (status && !state_->filesSeen.insert({status->device, status->inode}).second) return;
  if (size == 0 && status) size = status->size;
  Member member{state_->nextOrder++, path};
  switch (SelectedKind(options)) {
    case DuplicateKind::ByMd5:
      state_->AddByDigest(std::move(member), size, host, stop);
      return;
    case DuplicateKind::ByLength:
      state_->Group(std::to_string(size), std::move(member));
      return;
    case DuplicateKind::ByName:
      state_->Group(NameOf(path), std::move(member));
      return;
  }
}

void DuplicateStore::List(const OptionControls& options, ResultList& list, JobHost& host,
                          const StopFlag& stop) {
  // Files digested late (when a second file of their size came) may join a group after
  // later-found files: restore the order of discovery within and between groups.
  std::vector<std::vector<Member>*> listed;
  for (std::vector<Member>& members : state_->groups) {
    if (members.size() < 2) continue;
    std::sort(members.begin(), members.end(),
              [](const Member& a, const Member& b) { return a.order < b.order; });
    listed.push_back(&members);
  }
  std::sort(listed.begin(), listed.end(),
            [](const auto* a, const auto* b) { return a->front().order < b->front().order; });

  const DuplicateOutput output = SelectedOutput(options);
  for (const std::vector<Member>* members : listed) {
    host.ProcessPendingEvents();
    std::size_t count = members->size();
    if (output == DuplicateOutput::One) count = 1;
    if (output == DuplicateOutput::AllButOne) count -= 1;
    for (std::size_t index = 0; index < count; ++index)
      AddRow(list, (*members)[index].path, 0, 0, "", options);
    if (stop.IsSet()) return;
  }
}

}  // namespace tarnwick
