#include "cache/cache_entry.h"

namespace tarnwick {
namespace {

std::int64_t Signed(std::uint64_t value) { return static_cast<std::int64_t>(value); }

std::uint64_t Mix(std::uint64_t state, std::uint64_t value) {
  state = (state ^ value) * 0x9E3779B97F4A7C15ULL;
  return state ^ (state >> 29);
}

constexpr int kInodeBits = 40;
constexpr std::uint64_t kInodeMask = (std::uint64_t{1} << kInodeBits) - 1;

}  // namespace

namespace cache_entry {

std::int64_t EntryNumber(const FileStamp& stamp, std::uint64_t place) {
  const std::uint64_t folder = Mix(Mix(0, stamp.device), place) >> (kInodeBits + 1);
  return Signed((folder << kInodeBits) | (stamp.inode & kInodeMask));
}

bool SameFolder(std::int64_t a, std::int64_t b) { return (a >> kInodeBits) == (b >> kInodeBits); }

std::int64_t Checksum(const FileStamp& stamp, const KnownDigests& digests) {
  std::uint64_t sum = kSchemaVersion;
  for (const std::uint64_t value :
       {stamp.device, stamp.inode, static_cast<std::uint64_t>(stamp.size),
        static_cast<std::uint64_t>(stamp.modifiedNs), static_cast<std::uint64_t>(stamp.changedNs),
        digests.ends.value_or(0), digests.whole.value_or(0)}) {
    sum = Mix(sum, value);
  }
  sum = Mix(sum, (digests.ends ? 1 : 0) | (digests.whole ? 2 : 0) | (digests.sha256 ? 4 : 0));
  if (digests.sha256) {
    for (const std::uint8_t byte : *digests.sha256) sum = Mix(sum, byte);
  }
  return Signed(sum);
}

}  // namespace cache_entry

std::uint64_t StampPrint(const FileStamp& stamp) {
  std::uint64_t print = 0x2545F4914F6CDD1DULL;
  for (const std::uint64_t value :
       {stamp.device, stamp.inode, static_cast<std::uint64_t>(stamp.size),
        static_cast<std::uint64_t>(stamp.modifiedNs),
        static_cast<std::uint64_t>(stamp.changedNs)}) {
    print = Mix(print, value);
  }
  return Mix(print, print >> 32);
}

}  // namespace tarnwick
