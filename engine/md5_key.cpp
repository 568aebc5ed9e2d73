#include "engine/md5_key.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "platform/md5_digest.h"
#include "platform/read_only_file.h"

namespace tarnwick {
namespace {

constexpr std::size_t kReadBufferSize = 256 * 1024;

// Feeds up to `limit` bytes of the file into the digest. False on a read error.
bool DigestBytes(platform::ReadOnlyFile& file, std::int64_t limit, platform::Md5Digest& digest) {
  thread_local std::vector<unsigned char> buffer(kReadBufferSize);
  while (limit > 0) {
    const std::size_t wanted = static_cast<std::size_t>(
        std::min<std::int64_t>(limit, static_cast<std::int64_t>(buffer.size())));
    const std::int64_t count = file.Read(buffer.data(), wanted);
    if (count < 0) return false;
    if (count == 0) return true;
    if (!digest.Update(buffer.data(), static_cast<std::size_t>(count))) return false;
    limit -= count;
  }
  return true;
}

}  // namespace

std::string Md5Key(const std::string& path, std::int64_t size, JobHost& host, const StopFlag& stop,
                   std::int64_t pieceSize) {
  platform::ReadOnlyFile file;
  if (!file.Open(path)) return {};
  if (size == 0) size = file.Size();
  const std::int64_t pieces = std::max<std::int64_t>(1, size / pieceSize);
  std::string pieceDigests;
  pieceDigests.reserve(static_cast<std::size_t>(32 * std::min<std::int64_t>(pieces, 1024)));
  platform::Md5Digest digest;
  for (std::int64_t piece = 1; piece <= pieces; ++piece) {
    const bool last = piece == pieces;
    const std::int64_t limit = last ? std::numeric_limits<std::int64_t>::max() : pieceSize;
    if (!digest.Begin() || !DigestBytes(file, limit, digest)) return {};
    const std::optional<platform::Md5Value> value = digest.Finish();
    if (!value) return {};
    pieceDigests += platform::HexText(*value);
    host.ProcessPendingEvents();
    // A key of some pieces only would not match the file's data: no key at all.
    if (!last && stop.IsSet()) return {};
  }
  return platform::Md5Hex(pieceDigests);
}

}  // namespace tarnwick
