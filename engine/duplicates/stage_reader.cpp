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

std::uint64_t PrintOf(const platform::ReadOnlyFile& file) {
  return StampPrint({static_cast<std::uint64_t>(file.Device()),
                     static_cast<std::uint64_t>(file.Inode()), file.Size(), file.ModifiedNs(),
                     file.ChangedNs()});
}

StageReadResult StageReader::Read(const StageReadItem& item, const StopRequest& stop,
                                  const ReadQueue::Result* ahead) {
  StageReadResult result{item.file, item.stage, ReadEnd::Unreadable, 0, false, {}};
  platform::ReadOnlyFile file;
  if (ahead && ahead->attempted) {
    if (ahead->fd < 0) {
      result.error = ahead->openError;
      return result;
    }
    file.Adopt(ahead->fd, ahead->status);
    if (ahead->firstRead && ahead->readError == 0) file.Preload(ahead->first);
  } else {
    const int folderFd = folder_.For(item.folder);
    if (folderFd == -1) {
      result.error = folder_.Error();
      return result;
    }
    if (!file.OpenRegularAt(folderFd, item.name)) {
      result.error = file.Error();
      return result;
    }
  }
  // The bytes count only if they are the walk's file's, as it was: a name that now
  // reaches another file (a folder replaced by a link), or a file written to since, is
  // not what was grouped. A write during the read moves the change time: the check of
  // every member against this same print before its group is listed finds it, so the
  // file is not looked at again here.
  if (PrintOf(file) != item.print) {
    result.end = ReadEnd::Changed;
    return result;
  }
  result.end = RuleOf(item.stage).read(file, stop, result.digests);
  if (result.end == ReadEnd::Unreadable) result.error = file.Error();
  if (result.end != ReadEnd::Done) {
    result.digests = {};
    return result;
  }
  result.cacheable = Settled(file.ChangedNs());
  return result;
}

}  // namespace tarnwick
