#include "engine/duplicates/file_key_table.h"

#include <cstring>

namespace tarnwick {

void FileKeyTable::Add(bool withPrint) {
  flags_.push_back(0);
  sizeBucket_.push_back(kNone);
  ends_.push_back(0);
  keyOf_.push_back(kNone);
  if (withPrint) prints_.push_back(0);
}

bool FileKeyTable::Knows(std::uint32_t file, Stage stage) const {
  switch (stage) {
    case Stage::Ends:
      return flags_[file] & kEndsKnown;
    case Stage::Whole:
      return flags_[file] & kWholeKnown;
    case Stage::Md5:
      break;
  }
  return flags_[file] & kMd5Known;
}

KnownDigests FileKeyTable::Known(std::uint32_t file) const {
  KnownDigests digests;
  if (flags_[file] & kEndsKnown) digests.ends = ends_[file];
  if (flags_[file] & kWholeKnown) digests.whole = wholes_.at(file);
  if (flags_[file] & kMd5Known) digests.md5 = keys_[keyOf_[file]];
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
  if (digests.md5) SetKey(file, *digests.md5);
}

void FileKeyTable::SetKey(std::uint32_t file, const platform::Md5Value& key) {
  // Files that reach their MD5 key mostly share it: each distinct key is kept once.
  std::uint64_t hash;
  std::memcpy(&hash, key.data(), sizeof hash);
  const auto [number, created] = keyIndex_.FindOrInsert(
      hash, [&](std::uint32_t known) { return keys_[known] == key; },
      static_cast<std::uint32_t>(keys_.size()));
  if (created) keys_.push_back(key);
  keyOf_[file] = number;
  flags_[file] |= kMd5Known;
}

const platform::Md5Value* FileKeyTable::KeyOf(std::uint32_t file) const {
  return Has(file, kHasKey) ? &keys_[keyOf_[file]] : nullptr;
}

}  // namespace tarnwick
