#pragma once
// What the digest cache knows of a file: the stamp that identifies its content, and
// the digests the duplicate filter read of it.

#include <array>
#include <cstdint>
#include <optional>

namespace tarnwick {

// What identifies a file's content: the same file, the same size, not written to since.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

using Sha256Bytes = std::array<std::uint8_t, 32>;

// The digests of one file; each is known or not.
struct KnownDigests {
  std::optional<std::uint64_t> ends;   // quick hash of the first and last pieces
  std::optional<std::uint64_t> whole;  // quick hash of the whole content
  std::optional<Sha256Bytes> sha256;   // the SHA-256 of the whole content
  bool Empty() const { return !ends && !whole && !sha256; }
};

// A 64-bit print of the whole stamp: two stamps that differ in anything have different
// prints but for a chance of one in 2^64.
std::uint64_t StampPrint(const FileStamp& stamp);

}  // namespace tarnwick
