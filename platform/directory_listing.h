#pragma once
// One pass over a folder's entries, sorted by name in byte order so that every run
// lists a folder the same way. "." and ".." are left out; dot files are kept. A link
// to a folder is left out (it is never listed nor walked into: no loops, no walking
// out of the tree); a link to anything else, a dangling link and a special file (FIFO,
// socket, device) count as files. A folder that cannot be read lists nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::platform {

class DirectoryListing {
 public:
  DirectoryListing() = default;
  explicit DirectoryListing(const std::string& folder) { Read(folder); }

  // Replaces the listing with the entries of `folder`.
  void Read(const std::string& folder);
  // The folder last read, as it was given.
  const std::string& Folder() const { return folder_; }

  std::size_t Count() const { return entries_.size(); }
  std::string_view Name(std::size_t index) const {
    const Entry& entry = entries_[index];
    return std::string_view(names_).substr(entry.offset, entry.length);
  }
  bool IsFolder(std::size_t index) const { return entries_[index].folder; }

 private:
  // Names live in one buffer so that a listing costs no allocation per entry.
  struct Entry {
    std::uint32_t offset;
    std::uint32_t length;
    bool folder;
  };
  std::string folder_;
  std::string names_;
  std::vector<Entry> entries_;
};

// The file-search wildcard test: "*" any run of characters, "?" exactly one
// character (a whole UTF-8 sequence where the name holds one), ASCII letter case
// ignored, and "*.*" matches every name, with or without a dot.
bool WildcardMatches(std::string_view pattern, std::string_view name);

}  // namespace tarnwick::platform
