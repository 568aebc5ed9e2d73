#include "engine/duplicates/stage_reader.h"

#include <ctime>

namespace tarnwick {
namespace {

// A file changed this recently may change again within its time stamp's resolution
// without a new stamp: what was read of it is not cached.
constexpr std::int64_t kSettledNs = 2'000'000'000;

bool Settled(std::int64_t changedNs) {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
  return changedNs <= nowNs - kSettledNs;
}

}  // namespace

StageReadResult StageReader::Read(const StageReadItem& item, const StopRequest& stop) {
  StageReadResult result{item.file, item.stage, ReadEnd::Unreadable, 0, false, {}};
  const int folderFd = folder_.For(item.folder);
  if (folderFd == -1) {
    result.error = folder_.Error();
    return result;
  }
  platform::ReadOnlyFile file;
  if (!file.OpenRegularAt(folderFd, item.name)) {
    result.error = file.Error();
    return result;
  }
  // The key covers the size the walk grouped the file by; a file that has changed
  // size since is no longer what was grouped.
  if (file.Size() != item.size) {
    result.end = ReadEnd::Changed;
    return result;
  }
  result.end = RuleOf(item.stage).read(file, stop, result.digests);
  if (result.end == ReadEnd::Unreadable) result.error = file.Error();
  if (result.end != ReadEnd::Done) result.digests = {};
  if (!caching_ || result.end != ReadEnd::Done || !folder_.Keepable()) return result;
  const FileStamp opened{static_cast<std::uint64_t>(file.Device()),
                         static_cast<std::uint64_t>(file.Inode()), file.Size(), file.ModifiedNs(),
                         file.ChangedNs()};
  result.cacheable =
      StampPrint(opened) == item.print && file.UnchangedSinceOpen() && Settled(file.ChangedNs());
  return result;
}

}  // namespace tarnwick
