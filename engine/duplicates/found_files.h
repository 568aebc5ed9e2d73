#pragma once
// The files handed to the duplicate filter, numbered in the order the walk found them
// (0, 1, 2...). Each is kept as its folder, stored once for all its files, and its name:
// no path copy per file. Texts live in blocks that never move, so a worker thread may
// read a file's folder and name while the job's thread adds more files.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/duplicates/chunked_vector.h"

namespace tarnwick {

class FoundFiles {
 public:
  // Adds the file at `path` and returns its number. The folder is the part up to and
  // including the last "/" (empty when there is none); the name is the rest.
  std::uint32_t Add(std::string_view path);

  std::size_t Count() const { return names_.size(); }
  // Both views stay valid as long as the object lives.
  std::string_view Folder(std::uint32_t file) const { return folders_[folderOf_[file]]; }
  const char* Name(std::uint32_t file) const { return names_[file]; }
  // Folder followed by name, written over `path`.
  void PathOf(std::uint32_t file, std::string& path) const;

 private:
  // Appends `text` and a NUL to the newest block (or a fresh one) and returns where.
  const char* Keep(std::string_view text);

  static constexpr std::size_t kBlockSize = 256 * 1024;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockUsed_ = 0;
  std::size_t blockSize_ = 0;

  std::vector<std::string_view> folders_;
  // One entry a file: chunked, so a million files never hold a doubled copy.
  ChunkedVector<std::uint32_t> folderOf_;
  ChunkedVector<const char*> names_;
};

}  // namespace tarnwick
