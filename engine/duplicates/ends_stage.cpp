#include "engine/duplicates/ends_stage.h"

#include "engine/duplicates/file_digests.h"

namespace tarnwick {
namespace {

ReadEnd ReadEnds(platform::ReadOnlyFile& file, const StopRequest& stop, KnownDigests& digests) {
  // An empty file has nothing to read: its key is every empty file's.
  std::uint64_t value = 0;
  const ReadEnd end = file.Size() == 0 ? ReadEnd::Done : QuickEndsHash(file, stop, value);
  digests.ends = value;
  return end;
}

bool EndsKnown(const KnownDigests& digests) { return digests.ends.has_value(); }

// A file its ends cover has been read whole: only its MD5 key is left to tell.
Stage AfterEnds(std::int64_t size) { return EndsCoverWholeFile(size) ? Stage::Md5 : Stage::Whole; }

bool NeverWholeBigFile(std::int64_t /*size*/) { return false; }

}  // namespace

const StageRule kEndsStage = {ReadEnds, EndsKnown, AfterEnds, NeverWholeBigFile};

}  // namespace tarnwick
