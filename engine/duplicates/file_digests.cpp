#include "engine/duplicates/file_digests.h"

#include "engine/duplicates/quick_hash.h"

namespace tarnwick {

ReadEnd QuickEndsHash(platform::ReadOnlyFile& file, const StopRequest& stop, std::uint64_t& value) {
  const std::int64_t size = file.Size();
  if (EndsCoverWholeFile(size)) return QuickWholeHash(file, stop, value);
  QuickHash hash;
  const auto feed = [&hash](const unsigned char* data, std::size_t count) {
    hash.Update(data, count);
  };
  ReadEnd end = ReadSpan(file, 0, kEndPieceSize, stop, feed);
  if (end == ReadEnd::Done) end = ReadSpan(file, size - kEndPieceSize, kEndPieceSize, stop, feed);
  value = hash.Value();
  return end;
}

ReadEnd QuickWholeHash(platform::ReadOnlyFile& file, const StopRequest& stop,
                       std::uint64_t& value) {
  QuickHash hash;
  if (file.Size() > 2 * kEndPieceSize) file.AdviseSequential();
  const ReadEnd end =
      ReadSpan(file, 0, file.Size(), stop,
               [&hash](const unsigned char* data, std::size_t count) { hash.Update(data, count); });
  value = hash.Value();
  return end;
}

}  // namespace tarnwick
