#include "engine/duplicates/found_files.h"

#include <algorithm>
#include <cstring>

namespace tarnwick {

const char* FoundFiles::Keep(std::string_view text) {
  if (blockUsed_ + text.size() + 1 > blockSize_) {
    blockSize_ = std::max(kBlockSize, text.size() + 1);
    blocks_.push_back(std::make_unique<char[]>(blockSize_));
    blockUsed_ = 0;
  }
  char* kept = blocks_.back().get() + blockUsed_;
  std::memcpy(kept, text.data(), text.size());
  kept[text.size()] = '\0';
  blockUsed_ += text.size() + 1;
  return kept;
}

std::uint32_t FoundFiles::Add(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? "" : path.substr(0, slash + 1);
  // A folder's files come one after another in a walk: comparing with the last folder
  // is enough to store each folder once.
  if (folders_.empty() || folders_.back() != folder)
    folders_.emplace_back(Keep(folder), folder.size());
  folderOf_.push_back(static_cast<std::uint32_t>(folders_.size() - 1));
  names_.push_back(Keep(path.substr(folder.size())));
  return static_cast<std::uint32_t>(names_.size() - 1);
}

void FoundFiles::PathOf(std::uint32_t file, std::string& path) const {
  path.assign(Folder(file));
  path += Name(file);
}

}  // namespace tarnwick
