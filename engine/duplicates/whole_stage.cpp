#include "engine/duplicates/whole_stage.h"

#include "engine/duplicates/file_digests.h"

namespace tarnwick {
namespace {

ReadEnd ReadWhole(platform::ReadOnlyFile& file, const StopRequest& stop, KnownDigests& digests) {
  std::uint64_t value = 0;
  const ReadEnd end = QuickWholeHash(file, stop, value);
  digests.whole = value;
  return end;
}

bool WholeKnown(const KnownDigests& digests) { return digests.whole.has_value(); }

Stage AfterWhole(std::int64_t /*size*/) { return Stage::Digest; }

bool AlwaysWholeBigFile(std::int64_t /*size*/) { return true; }

}  // namespace

const StageRule kWholeStage = {ReadWhole, WholeKnown, AfterWhole, AlwaysWholeBigFile};

}  // namespace tarnwick
