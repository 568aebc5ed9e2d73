#include "engine/duplicates/md5_stage.h"

#include "engine/duplicates/file_digests.h"
#include "engine/duplicates/md5_key.h"

namespace tarnwick {
namespace {

ReadEnd ReadMd5(platform::ReadOnlyFile& file, const StopRequest& stop, KnownDigests& digests) {
  platform::Md5Value key{};
  const ReadEnd end = Md5KeyOf(file, stop, key);
  digests.md5 = key;
  return end;
}

bool Md5Known(const KnownDigests& digests) { return digests.md5.has_value(); }

Stage AfterMd5(std::int64_t /*size*/) { return Stage::Md5; }

bool BigFileWhole(std::int64_t size) { return !EndsCoverWholeFile(size); }

}  // namespace

const StageRule kMd5Stage = {ReadMd5, Md5Known, AfterMd5, BigFileWhole};

}  // namespace tarnwick
