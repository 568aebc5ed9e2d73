#include "cache/cache_entry.h"

#include <cstring>

namespace tarnwick {
namespace {

std::int64_t Signed(std::uint64_t value) { return static_cast<std::int64_t>(value); }

std::uint64_t Mix(std::uint64_t state, std::uint64_t value) {
  state = (state ^ value) * 0x9E3779B97F4A7C15ULL;
  return state ^ (state >> 29);
}

constexpr std::uint64_t kHasEnds = 1;
constexpr std::uint64_t kHasWhole = 2;
constexpr std::uint64_t kHasSha256 = 4;
constexpr int kDayShift = 8;

// Byte offsets of an entry's fields.
constexpr std::size_t kDeviceAt = 0;
constexpr std::size_t kInodeAt = 8;
constexpr std::size_t kSizeAt = 16;
constexpr std::size_t kModifiedAt = 24;
constexpr std::size_t kChangedAt = 32;
constexpr std::size_t kEndsAt = 40;
constexpr std::size_t kWholeAt = 48;
constexpr std::size_t kFlagsAt = 56;
constexpr std::size_t kSha256At = 64;
constexpr std::size_t kChecksumAt = 96;

std::uint64_t Word(const unsigned char* bytes, std::size_t at) {
  std::uint64_t word;
  std::memcpy(&word, bytes + at, sizeof word);
  return word;
}

void PutWord(unsigned char* bytes, std::size_t at, std::uint64_t word) {
  std::memcpy(bytes + at, &word, sizeof word);
}

// Ties an entry's digests and day to its stamp.
std::uint64_t Checksum(const cache_entry::Entry& entry) {
  const FileStamp& stamp = entry.stamp;
  const KnownDigests& digests = entry.digests;
  std::uint64_t sum = cache_entry::kSchemaVersion;
  for (const std::uint64_t value :
       {stamp.device, stamp.inode, static_cast<std::uint64_t>(stamp.size),
        static_cast<std::uint64_t>(stamp.modifiedNs), static_cast<std::uint64_t>(stamp.changedNs),
        digests.ends.value_or(0), digests.whole.value_or(0),
        static_cast<std::uint64_t>(entry.storedDay)}) {
    sum = Mix(sum, value);
  }
  sum = Mix(sum, (digests.ends ? 1 : 0) | (digests.whole ? 2 : 0) | (digests.sha256 ? 4 : 0));
  if (digests.sha256) {
    for (std::size_t at = 0; at < digests.sha256->size(); at += 8)
      sum = Mix(sum, Word(digests.sha256->data(), at));
  }
  return sum;
}

}  // namespace

namespace cache_entry {

void AppendEntry(const Entry& entry, std::string& row) {
  unsigned char bytes[kEntryBytes] = {};
  const FileStamp& stamp = entry.stamp;
  const KnownDigests& digests = entry.digests;
  PutWord(bytes, kDeviceAt, stamp.device);
  PutWord(bytes, kInodeAt, stamp.inode);
  PutWord(bytes, kSizeAt, static_cast<std::uint64_t>(stamp.size));
  PutWord(bytes, kModifiedAt, static_cast<std::uint64_t>(stamp.modifiedNs));
  PutWord(bytes, kChangedAt, static_cast<std::uint64_t>(stamp.changedNs));
  PutWord(bytes, kEndsAt, digests.ends.value_or(0));
  PutWord(bytes, kWholeAt, digests.whole.value_or(0));
  const std::uint64_t flags = (digests.ends ? kHasEnds : 0) | (digests.whole ? kHasWhole : 0) |
                              (digests.sha256 ? kHasSha256 : 0) |
                              (static_cast<std::uint64_t>(entry.storedDay) << kDayShift);
  PutWord(bytes, kFlagsAt, flags);
  if (digests.sha256) std::memcpy(bytes + kSha256At, digests.sha256->data(), 32);
  PutWord(bytes, kChecksumAt, Checksum(entry));
  row.append(reinterpret_cast<const char*>(bytes), kEntryBytes);
}

std::optional<Entry> ReadEntry(const unsigned char* bytes) {
  Entry entry;
  entry.stamp = {Word(bytes, kDeviceAt), Word(bytes, kInodeAt), Signed(Word(bytes, kSizeAt)),
                 Signed(Word(bytes, kModifiedAt)), Signed(Word(bytes, kChangedAt))};
  const std::uint64_t flags = Word(bytes, kFlagsAt);
  if (flags & kHasEnds) entry.digests.ends = Word(bytes, kEndsAt);
  if (flags & kHasWhole) entry.digests.whole = Word(bytes, kWholeAt);
  if (flags & kHasSha256) {
    Sha256Bytes sha256;
    std::memcpy(sha256.data(), bytes + kSha256At, sha256.size());
    entry.digests.sha256 = sha256;
  }
  entry.storedDay = Signed(flags >> kDayShift);
  if (Word(bytes, kChecksumAt) != Checksum(entry)) return std::nullopt;
  return entry;
}

std::uint64_t DeviceAt(const unsigned char* bytes) { return Word(bytes, kDeviceAt); }
std::uint64_t InodeAt(const unsigned char* bytes) { return Word(bytes, kInodeAt); }

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
