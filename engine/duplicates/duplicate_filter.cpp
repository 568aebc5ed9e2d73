#include "engine/duplicates/duplicate_filter.h"

#include <cstring>
#include <functional>
#include <optional>
#include <string_view>

#include "engine/duplicates/file_identity_set.h"
#include "engine/duplicates/found_files.h"
#include "engine/duplicates/hash_index.h"
#include "engine/duplicates/md5_key_finder.h"
#include "engine/duplicates/member_check.h"
#include "engine/duplicates/similarity_finder.h"
#include "engine/duplicates/text_key_finder.h"
#include "engine/rows/add_row.h"

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

std::int64_t Nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

// Flat on purpose: files are numbered in walk order and every table holds numbers, so
// a job over a million files makes no heap block per file or per group, and groups
// come out in the order of their first file without sorting.
struct DuplicateStore::State {
  State(const OptionControls& options, JobHost& host, const StopFlag& stop, WorkerPool* pool,
        DigestCache* cache)
      : options(options), host(host), stop(stop), kind(SelectedKind(options)) {
    const bool stripTags = options.IsChecked(Check::StripTags);
    const bool stripSpace = options.IsChecked(Check::StripSpace);
    switch (kind) {
      case DuplicateKind::ByMd5:
        md5 = std::make_unique<Md5KeyFinder>(files, pool, cache, host, stop);
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

  template <typename Finder>
  void ReportErrors(const Finder& finder) {
    std::string path;
    for (const auto& error : finder.Errors()) {
      files.PathOf(error.file, path);
      host.ReportUnreadable(path, error.error);
    }
  }

  // The members of a group that are still the files whose text was compared, the
  // others named; `members` keeps them, in order. A 相似 group whose first file changed
  // has nothing left its members resemble: none is kept.
  void KeepUnchanged(std::vector<std::uint32_t>& members) const {
    std::string path;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < members.size(); ++i) {
      files.PathOf(members[i], path);
      const ReadStamp& read = text ? text->StampOf(members[i]) : similar->StampOf(members[i]);
      if (IsStillFileRead(path, read)) {
        members[kept++] = members[i];
        continue;
      }
      host.ReportChangedSinceRead(path);
      if (similar && i == 0) {
        members.clear();
        return;
      }
    }
    members.resize(kept);
  }

  // Once every key is known: groups in walk order of their first file.
  void GroupByKey() {
    groupOf.assign(files.Count(), kNoGroup);
    for (std::uint32_t file = 0; file < files.Count(); ++file) {
      const platform::Md5Value* key = md5->KeyOf(file);
      if (!key) continue;
      std::uint64_t hash;
      std::memcpy(&hash, key->data(), sizeof hash);
      groupOf[file] = GroupOf(file, hash, [&](std::uint32_t known) {
        return *md5->KeyOf(groups[known].first) == *key;
      });
    }
  }

  const OptionControls& options;
  JobHost& host;
  const StopFlag& stop;
  const DuplicateKind kind;
  FoundFiles files;
  FileIdentitySet identities;
  std::vector<std::uint32_t> groupOf;  // for each file; kNoGroup: in none
  std::vector<Group> groups;
  std::vector<std::int64_t> groupSizes;  // by length: each group's size
  HashIndex groupIndex;
  std::unique_ptr<Md5KeyFinder> md5;
  std::unique_ptr<TextKeyFinder> text;
  std::unique_ptr<SimilarityFinder> similar;
};

DuplicateStore::DuplicateStore(const OptionControls& options, JobHost& host, const StopFlag& stop,
                               WorkerPool* pool, DigestCache* cache)
    : state_(std::make_unique<State>(options, host, stop, pool, cache)) {}

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
      if (status) {
        stamp = {status->device, status->inode, size, Nanoseconds(status->modified),
                 Nanoseconds(status->changed)};
      }
      state.md5->Add(number, stamp, status && status->regular);
      return;
    }
    case DuplicateKind::ByLength:
      state.groupOf.push_back(state.GroupBySize(number, size));
      return;
    case DuplicateKind::ByName:
      state.groupOf.push_back(state.GroupByName(number));
      return;
    case DuplicateKind::ByText:
      state.text->Add(number, status && status->regular);
      return;
    case DuplicateKind::BySimilarity:
      state.similar->Add(number, status && status->regular);
      return;
  }
}

void DuplicateStore::FinishWalk() {
  State& state = *state_;
  // No file comes after the walk: what told files met twice apart is no longer needed.
  state.identities.Clear();
  if (state.text) {
    state.text->Finish();
    state.TakeGroups(state.text->KeyCount(),
                     [&](std::uint32_t file) { return state.text->KeyNumberOf(file); });
    state.ReportErrors(*state.text);
    return;
  }
  if (state.similar) {
    state.similar->Finish();
    state.TakeGroups(state.similar->GroupCount(),
                     [&](std::uint32_t file) { return state.similar->GroupOf(file); });
    state.ReportErrors(*state.similar);
    return;
  }
  if (!state.md5) return;
  state.md5->Finish();
  state.GroupByKey();
  std::string path;
  for (const FileReadError& error : state.md5->Errors()) {
    state.files.PathOf(error.file, path);
    state.host.ReportUnreadable(path, error.error);
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

  const DuplicateOutput output = SelectedOutput(state.options);
  // Groups of text are checked before they are listed: a member must still be the file
  // whose text was compared.
  const bool checkMembers = state.text || state.similar;
  std::vector<std::uint32_t> group;
  std::string path;
  std::uint32_t number = 0;
  for (std::size_t index = 0; index < state.groups.size(); ++index) {
    const std::uint32_t size = state.groups[index].count;
    if (size < 2) continue;
    state.host.ProcessPendingEvents();
    const std::uint32_t first = next[index] - size;
    group.assign(members.begin() + first, members.begin() + first + size);
    if (checkMembers) state.KeepUnchanged(group);
    if (group.size() < 2) continue;
    ++number;
    std::size_t count = group.size();
    if (output == DuplicateOutput::One) count = 1;
    if (output == DuplicateOutput::AllButOne) count = group.size() - 1;
    for (std::size_t i = 0; i < count; ++i) {
      state.files.PathOf(group[i], path);
      const int similarity = state.similar ? state.similar->ResemblanceOf(group[i]) : -1;
      AddRow(list, path, 0, 0, "", state.options, number, similarity);
    }
    if (state.stop.IsSet()) return;
  }
}

}  // namespace tarnwick
