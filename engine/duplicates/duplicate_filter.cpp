#include "engine/duplicates/duplicate_filter.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/duplicates/content_key_finder.h"
#include "engine/duplicates/file_identity_set.h"
#include "engine/duplicates/found_files.h"
#include "engine/duplicates/hash_index.h"
#include "engine/duplicates/member_check.h"
#include "engine/duplicates/similarity_finder.h"
#include "engine/duplicates/text_key_finder.h"
#include "engine/rows/add_row.h"
#include "platform/file_system_kind.h"

namespace tarnwick {
namespace {

enum class DuplicateKind { ByMd5, ByLength, ByName, ByText, BySimilarity };
enum class DuplicateOutput { One, All, AllButOne };

// The first selected key button wins.
DuplicateKind SelectedKind(const OptionControls& options) {
  if (options.IsChecked(Check::DupByMd5)) return DuplicateKind::ByMd5;
  if (options.IsChecked(Check::DupByLength)) return DuplicateKind::ByLength;
  if (options.IsChecked(Check::DupByName)) return DuplicateKind::ByName;
  if (options.IsChecked(Check::DupByText)) return DuplicateKind::ByText;
  if (options.IsChecked(Check::DupBySimilarity)) return DuplicateKind::BySimilarity;
  return DuplicateKind::ByName;
}

DuplicateOutput SelectedOutput(const OptionControls& options) {
  if (options.IsChecked(Check::DupOne)) return DuplicateOutput::One;
  if (options.IsChecked(Check::DupAll)) return DuplicateOutput::All;
  return DuplicateOutput::AllButOne;
}

constexpr std::uint32_t kNoGroup = 0xFFFFFFFF;
// Members looked at again at once before they are listed.
constexpr std::size_t kMembersLookedAtOnce = 1 << 14;

// What a row shows of what the look before listing found.
struct RowStamp {
  std::int64_t size;
  std::int64_t modifiedSeconds;
};

}  // namespace

// Flat on purpose: files are numbered in walk order and every table holds numbers, so
// a job over a million files makes no heap block per file or per group, and groups
// come out in the order of their first file without sorting.
struct DuplicateStore::State {
  State(const OptionControls& options, JobHost& host, const StopFlag& stop, WorkerPool* pool,
        DigestCache* cache, const ReadSettings& reads)
      : options(options), host(host), stop(stop), pool(pool), kind(SelectedKind(options)) {
    const bool stripTags = options.IsChecked(Check::StripTags);
    const bool stripSpace = options.IsChecked(Check::StripSpace);
    switch (kind) {
      case DuplicateKind::ByMd5:
        content = std::make_unique<ContentKeyFinder>(files, pool, cache, host, stop, reads);
        caching = cache && cache->InUse();
        if (caching) this->cache = cache;
        break;
      case DuplicateKind::ByText:
        text = std::make_unique<TextKeyFinder>(files, pool, host, stop, stripTags, stripSpace);
        break;
      case DuplicateKind::BySimilarity:
        similar = std::make_unique<SimilarityFinder>(
            files, pool, host, stop, stripTags, stripSpace,
            SimilarityThreshold(options.Text(Field::Similarity)));
        break;
      case DuplicateKind::ByLength:
      case DuplicateKind::ByName:
        break;
    }
  }

  struct Group {
    std::uint32_t first;  // its first file
    std::uint32_t count;
  };

  // The group of the file numbered `file` among those whose key hashes to `hash`;
  // `sameKey(group)` tells whether a group's key is the file's. A new group goes last.
  template <typename SameKey>
  std::uint32_t GroupOf(std::uint32_t file, std::uint64_t hash, SameKey&& sameKey) {
    const auto [group, created] =
        groupIndex.FindOrInsert(hash, sameKey, static_cast<std::uint32_t>(groups.size()));
    if (created) {
      groups.push_back({file, 1});
    } else {
      ++groups[group].count;
    }
    return group;
  }

  std::uint32_t GroupBySize(std::uint32_t file, std::int64_t size) {
    const std::uint32_t group =
        GroupOf(file, static_cast<std::uint64_t>(size),
                [&](std::uint32_t known) { return groupSizes[known] == size; });
    if (group == groupSizes.size()) groupSizes.push_back(size);
    return group;
  }

  std::uint32_t GroupByName(std::uint32_t file) {
    const char* name = files.Name(file);
    return GroupOf(file, std::hash<std::string_view>{}(name), [&](std::uint32_t known) {
      return std::strcmp(files.Name(groups[known].first), name) == 0;
    });
  }

  // Once every key is known: groups in walk order of their first file. Content classes
  // are numbered densely, and many hold one file (the digest cache settles a file's
  // class before any like of it is known): only classes of two or more make groups.
  void GroupByContent() {
    // First each file's class and each class's size, then the groups.
    std::vector<std::uint32_t> groupOfClass(content->ClassCount(), 0);
    groupOf.assign(files.Count(), kNoGroup);
    for (std::uint32_t file = 0; file < files.Count(); ++file) {
      if (const std::optional<std::uint32_t> contentClass = content->ClassOf(file)) {
        groupOf[file] = *contentClass;
        ++groupOfClass[*contentClass];
      }
    }
    for (std::uint32_t& count : groupOfClass) count = count >= 2 ? kNoGroup - 1 : kNoGroup;
    for (std::uint32_t file = 0; file < files.Count(); ++file) {
      if (groupOf[file] == kNoGroup) continue;
      std::uint32_t& group = groupOfClass[groupOf[file]];
      if (group == kNoGroup - 1) {
        group = static_cast<std::uint32_t>(groups.size());
        groups.push_back({file, 0});
      }
      if (group != kNoGroup) ++groups[group].count;
      groupOf[file] = group;
    }
  }

  // Once every text is placed: a finder's groups come in walk order of their first file
  // already.
  template <typename GroupOfFile>
  void TakeGroups(std::size_t groupCount, GroupOfFile&& groupOfFile) {
    groups.assign(groupCount, Group{kNoGroup, 0});
    groupOf.assign(files.Count(), kNoGroup);
    for (std::uint32_t file = 0; file < files.Count(); ++file) {
      const std::uint32_t group = groupOfFile(file);
      if (group == kNoGroup) continue;
      groupOf[file] = group;
      if (groups[group].count++ == 0) groups[group].first = file;
    }
  }

  // Names the files a finder could not read, and those it found changed, in walk order.
  template <typename Finder>
  void Report(const Finder& finder) {
    std::string path;
    for (const auto& error : finder.Errors()) {
      files.PathOf(error.file, path);
      host.ReportUnreadable(path, error.error);
    }
    for (const std::uint32_t file : finder.Changed()) {
      files.PathOf(file, path);
      host.ReportChanged(path);
    }
  }

  // The print of the stamp a member's content was compared under.
  std::uint64_t PrintOf(std::uint32_t file) const {
    if (text) return text->PrintOf(file);
    if (similar) return similar->PrintOf(file);
    return content->PrintOf(file);
  }

  // Whether the digest cache may trust the stamps of the file's file system; its kind is
  // looked at once a device. Kinds passed by are noted for the cache.
  bool TrustsStampsOf(const platform::FileRef& file, dev_t device) {
    const auto known = trustByDevice.find(device);
    if (known != trustByDevice.end()) return known->second;
    const int fd = file.folderFd >= 0 ? file.folderFd : -1;
    const std::string path(file.path);
    const platform::FileSystemKind kind = platform::FileSystemKindOf(fd, path.c_str());
    const bool trusted = platform::KeepsTrustworthyStamps(kind);
    if (!trusted && std::find(passedBy.begin(), passedBy.end(), kind.name) == passedBy.end())
      passedBy.push_back(kind.name);
    trustByDevice.emplace(device, trusted);
    return trusted;
  }

  const OptionControls& options;
  JobHost& host;
  const StopFlag& stop;
  WorkerPool* const pool;
  const DuplicateKind kind;
  FoundFiles files;
  FileIdentitySet identities;
  std::vector<std::uint32_t> groupOf;  // for each file; kNoGroup: in none
  std::vector<Group> groups;
  std::vector<std::int64_t> groupSizes;  // by length: each group's size
  HashIndex groupIndex;
  std::unique_ptr<ContentKeyFinder> content;
  std::unique_ptr<TextKeyFinder> text;
  std::unique_ptr<SimilarityFinder> similar;
  bool caching = false;
  std::unordered_map<dev_t, bool> trustByDevice;
  std::vector<std::string> passedBy;
  DigestCache* cache = nullptr;
};

DuplicateStore::DuplicateStore(const OptionControls& options, JobHost& host, const StopFlag& stop,
                               WorkerPool* pool, DigestCache* cache, const ReadSettings& reads)
    : state_(std::make_unique<State>(options, host, stop, pool, cache, reads)) {}

DuplicateStore::~DuplicateStore() = default;

void DuplicateStore::Add(const platform::FileRef& file, std::int64_t size,
                         const platform::FileStatus* status) {
  State& state = *state_;
  std::optional<platform::FileStatus> own;
  if (!status) {
    own = platform::StatusOf(file);
    if (own) status = &*own;
  }
  // Overlapping name patterns, hard links and links to files can bring the same file
  // twice; it must not become its own duplicate (and be offered for deletion).
  if (status && !state.identities.Insert(status->device, status->inode)) return;
  if (size == 0 && status) size = status->size;
  const std::uint32_t number = state.files.Add(file.path);
  switch (state.kind) {
    case DuplicateKind::ByMd5: {
      FileStamp stamp{0, 0, size, 0, 0};
      if (status) stamp = StampOf(*status);
      const bool regular = status && status->regular;
      const bool cacheable = regular && state.caching && state.TrustsStampsOf(file, status->device);
      state.content->Add(number, stamp, regular, cacheable);
      return;
    }
    case DuplicateKind::ByLength:
      state.groupOf.push_back(state.GroupBySize(number, size));
      return;
    case DuplicateKind::ByName:
      state.groupOf.push_back(state.GroupByName(number));
      return;
    case DuplicateKind::ByText:
    case DuplicateKind::BySimilarity: {
      FileStamp stamp{0, 0, size, 0, 0};
      if (status) stamp = StampOf(*status);
      const bool regular = status && status->regular;
      if (state.text) state.text->Add(number, stamp, regular);
      if (state.similar) state.similar->Add(number, stamp, regular);
      return;
    }
  }
}

void DuplicateStore::Expect(std::int64_t size, const platform::FileStatus& status) const {
  const State& state = *state_;
  state.identities.Prefetch(status.device, status.inode);
  if (size == 0) size = status.size;
  if (state.kind == DuplicateKind::ByMd5) state.content->Expect(size);
  if (state.kind == DuplicateKind::ByLength)
    state.groupIndex.Prefetch(static_cast<std::uint64_t>(size));
}

void DuplicateStore::FinishWalk() {
  State& state = *state_;
  // No file comes after the walk: what told files met twice apart is no longer needed.
  state.identities.Clear();
  if (state.text) {
    state.text->Finish();
    state.TakeGroups(state.text->KeyCount(),
                     [&](std::uint32_t file) { return state.text->KeyNumberOf(file); });
    state.Report(*state.text);
    return;
  }
  if (state.similar) {
    state.similar->Finish();
    state.TakeGroups(state.similar->GroupCount(),
                     [&](std::uint32_t file) { return state.similar->GroupOf(file); });
    state.Report(*state.similar);
    return;
  }
  if (!state.content) return;
  state.content->Finish();
  if (state.cache && !state.passedBy.empty()) state.cache->NotePassedBy(state.passedBy);
  state.GroupByContent();
  std::string path;
  for (const FileReadError& error : state.content->Errors()) {
    state.files.PathOf(error.file, path);
    state.host.ReportUnreadable(path, error.error);
  }
  for (const std::uint32_t file : state.content->Changed()) {
    state.files.PathOf(file, path);
    state.host.ReportChanged(path);
  }
}

void DuplicateStore::List(ResultList& list) {
  const State& state = *state_;
  // Where each listed group's files go in `members`, in group order; then the files,
  // taken in walk order, land in their group's place.
  std::vector<std::uint32_t> next(state.groups.size());
  std::uint32_t listedFiles = 0;
  for (std::size_t group = 0; group < state.groups.size(); ++group) {
    next[group] = listedFiles;
    if (state.groups[group].count >= 2) listedFiles += state.groups[group].count;
  }
  std::vector<std::uint32_t> members(listedFiles);
  for (std::uint32_t file = 0; file < state.groupOf.size(); ++file) {
    const std::uint32_t group = state.groupOf[file];
    if (group != kNoGroup && state.groups[group].count >= 2) members[next[group]++] = file;
  }

  // A member must still be the file whose content was compared: the members are looked
  // at again on the workers, a window of them at a time (memory stays small with a million
  // members), and one written to since leaves its group.
  const bool checked = state.content || state.text || state.similar;
  const auto showListed = [&](std::size_t listed) {
    state.host.ShowDuplicateProgress(DuplicateStage::ListGroups, listed, listedFiles,
                                     ProgressUnit::Files);
  };
  std::vector<MemberLook> looks;
  std::size_t looksFrom = 0;  // the member the first look is of
  std::size_t looksTo = 0;
  // Looks at the members from `first` on, a window of them; at least `atLeast` of them
  // even after a stop, so that the group being listed is finished.
  const auto lookFrom = [&](std::size_t first, std::size_t atLeast) {
    looksFrom = first;
    const std::size_t end = std::min<std::size_t>(listedFiles, first + kMembersLookedAtOnce);
    looks = LookAtMembers(
        state.files, std::span<const std::uint32_t>(members).subspan(first, end - first),
        [&](std::uint32_t file) { return state.PrintOf(file); }, state.pool, state.host, state.stop,
        [&](std::size_t looked) { showListed(looksFrom + looked); },
        std::min(atLeast, end - first));
    looksTo = looksFrom + looks.size();
  };

  const DuplicateOutput output = SelectedOutput(state.options);
  std::string path;
  std::uint32_t number = 0;
  std::uint32_t examined = 0;
  for (std::size_t group = 0; group < state.groups.size(); ++group) {
    const std::uint32_t size = state.groups[group].count;
    if (size < 2) continue;
    state.host.ProcessPendingEvents();
    examined += size;
    if (!checked) showListed(examined);
    std::uint32_t count = size;
    if (output == DuplicateOutput::One) count = 1;
    if (output == DuplicateOutput::AllButOne) count = size - 1;
    const std::uint32_t first = next[group] - size;
    std::vector<std::uint32_t> listed(members.begin() + first, members.begin() + first + size);
    // What the check saw of each member still listed: its row's size and time.
    std::vector<RowStamp> seen;
    if (checked) {
      // A group left with one member is no group. The members of a 相似 group resemble
      // its first file: without it they are no group either.
      const std::uint32_t leader = listed.front();
      std::vector<std::uint32_t> kept;
      for (std::uint32_t index = 0; index < size; ++index) {
        // Windows end where they end, within a group too.
        const std::size_t member = first + index;
        if (member >= looksTo) lookFrom(member, size - index);
        const MemberLook& look = looks[member - looksFrom];
        if (look.same) {
          kept.push_back(listed[index]);
          seen.push_back({look.seen.size, look.seen.modified.tv_sec});
          continue;
        }
        state.files.PathOf(listed[index], path);
        state.host.ReportChanged(path);
      }
      listed.swap(kept);
      if (state.similar && (listed.empty() || listed.front() != leader)) continue;
      if (listed.size() < 2) continue;
      count = output == DuplicateOutput::All   ? static_cast<std::uint32_t>(listed.size())
              : output == DuplicateOutput::One ? 1
                                               : static_cast<std::uint32_t>(listed.size() - 1);
    }
    ++number;
    for (std::uint32_t index = 0; index < count; ++index) {
      state.files.PathOf(listed[index], path);
      const int similarity = state.similar ? state.similar->ResemblanceOf(listed[index]) : -1;
      platform::FileStatus status;
      if (!seen.empty()) {
        status.size = seen[index].size;
        status.modified.tv_sec = seen[index].modifiedSeconds;
      }
      AddRow(list, path, 0, 0, "", state.options, number, similarity,
             seen.empty() ? nullptr : &status);
    }
    if (state.stop.IsSet()) return;
  }
}

}  // namespace tarnwick
