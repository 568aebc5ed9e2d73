#include "text/file_bytes.h"

#include "platform/read_only_file.h"

namespace tarnwick {
namespace {

// Room added each time a file turns out longer than its reported size.
constexpr std::size_t kGrowStep = 64 * 1024;

}  // namespace

bool ReadFileBytes(const std::string& path, std::int64_t sizeLimit, ByteBuffer& bytes) {
  platform::ReadOnlyFile file;
  if (!file.Open(path) || file.Size() > sizeLimit) return false;

  const auto limit = static_cast<std::size_t>(sizeLimit);
  // The last file's bytes are dropped first, so growing the buffer copies none of them.
  // One byte more than reported, so a file of the expected size ends with a read of 0.
  bytes.resize(0);
  bytes.resize(static_cast<std::size_t>(file.Size()) + 1);
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      if (filled > limit) return false;
      bytes.resize(filled + kGrowStep);
    }
    const std::int64_t got = file.Read(bytes.data() + filled, bytes.size() - filled);
    if (got < 0) return false;
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  if (filled > limit) return false;
  bytes.resize(filled);
  return true;
}

}  // namespace tarnwick
