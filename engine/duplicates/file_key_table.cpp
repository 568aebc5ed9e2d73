#include "engine/duplicates/file_key_table.h"

#include <cstring>

namespace tarnwick {

void FileKeyTable::Add(std::uint64_t print) {
  flags_.push_back(0);
  sizeBucket_.push_back(kNone);
  ends_.push_back(0);
  classOf_.push_back(kNone);
  prints_.push_back(print);
}

bool FileKeyTable::Knows(std::uint32_t file, Stage stage) const {
  switch (stage) {
    case Stage::Ends:
      return flags_[file] & kEndsKnown;
    case Stage::Whole:
      return flags_[file] & kWholeKnown;
    case Stage::Digest:
      break;
  }
  return flags_[file] & kDigestKnown;
}

KnownDigests FileKeyTable::Known(std::uint32_t file) const {
  KnownDigests digests;
  if (flags_[file] & kEndsKnown) digests.ends = ends_[file];
  if (flags_[file] & kWholeKnown) digests.whole = wholes_.at(file);
  if (flags_[file] & kDigestKnown) digests.sha256 = digests_[classOf_[file]];
  return digests;
}

void FileKeyTable::Learn(std::uint32_t file, const KnownDigests& digests) {
  if (digests.ends) {
    ends_[file] = *digests.ends;
    flags_[file] |= kEndsKnown;
  }
  if (digests.whole) {
    wholes_[file] = *digests.whole;
    flags_[file] |= kWholeKnown;
  }
  if (digests.sha256) {
    classOf_[file] = ClassOfDigest(*digests.sha256);
    flags_[file] |= kDigestKnown;
  }
}

std::uint32_t FileKeyTable::ClassOfDigest(const platform::Sha256Value& digest) {
  // Files that reach their digest mostly share it: each distinct digest is kept once.
  std::uint64_t hash;
  std::memcpy(&hash, digest.data(), sizeof hash);
  const auto [number, created] = digestIndex_.FindOrInsert(
      hash, [&](std::uint32_t known) { return digests_[known] == digest; },
      static_cast<std::uint32_t>(digests_.size()));
  if (created) digests_.push_back(digest);
  return number;
}

std::uint32_t FileKeyTable::NewClass() {
  digests_.push_back({});
  return static_cast<std::uint32_t>(digests_.size() - 1);
}

void FileKeyTable::SetClass(std::uint32_t file, std::uint32_t contentClass) {
  classOf_[file] = contentClass;
  flags_[file] |= kHasKey;
}

std::uint32_t FileKeyTable::EmptyClass() {
  if (emptyClass_ == kNone) emptyClass_ = NewClass();
  return emptyClass_;
}

std::optional<std::uint32_t> FileKeyTable::ClassOf(std::uint32_t file) const {
  if (!Has(file, kHasKey)) return std::nullopt;
  return classOf_[file];
}

}  // namespace tarnwick
