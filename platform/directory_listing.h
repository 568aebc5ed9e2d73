#pragma once
// One pass over a folder's entries, sorted by name in byte order so that every run
// lists a folder the same way. "." and ".." are left out; dot files are kept. A link
// to a folder is left out (it is never listed nor walked into: no loops, no walking
// out of the tree); a link to anything else, a dangling link and a special file (FIFO,
// socket, device) count as files. The folder is read through a descriptor the caller
// holds open, so its path may be of any length.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::platform {

class DirectoryListing {
 public:
  // A folder; a regular file, as the listing saw it; anything else listed as a file (a
  // link to a file, a special file), which must be looked at before it is opened.
  enum class EntryKind : std::uint8_t { Folder, Regular, Other };

  // Replaces the listing with the entries of the folder open as `folderFd` (read from
  // the descriptor's current position, the start for a fresh one; the descriptor stays
  // open). False, with nothing listed and the system's errno in Error(), when the
  // folder cannot be read. Buffers are kept from folder to folder.
  bool Read(int folderFd);
  // Why the last Read failed; 0 after a Read that succeeded.
  int Error() const { return error_; }

  std::size_t Count() const { return entries_.size(); }
  std::string_view Name(std::size_t index) const {
    const Entry& entry = entries_[index];
    return std::string_view(names_).substr(entry.offset, entry.length);
  }
  // The same name, ending in a NUL byte, for the *at() calls.
  const char* NameData(std::size_t index) const { return names_.data() + entries_[index].offset; }
  bool IsFolder(std::size_t index) const { return entries_[index].kind == EntryKind::Folder; }
  // A regular file, not reached through a link: opening it needs no look first to keep
  // away from devices and FIFOs.
  bool IsRegular(std::size_t index) const { return entries_[index].kind == EntryKind::Regular; }
  // The entry's inode number as the folder gives it: where the file lies on disk, near
  // enough to read files in that order.
  std::uint64_t Inode(std::size_t index) const { return entries_[index].inode; }

 private:
  // Names live in one buffer, each followed by a NUL, so that a listing costs no
  // allocation per entry.
  struct Entry {
    // The name's first eight bytes as one big-endian number (zeros after a shorter
    // name): most comparisons of the sort end there.
    std::uint64_t head;
    std::uint64_t inode;
    std::uint32_t offset;
    std::uint32_t length;
    EntryKind kind;
  };
  std::string names_;
  std::vector<Entry> entries_;
  std::vector<char> readBuffer_;
  int error_ = 0;
};

// The file-search wildcard test: "*" any run of characters, "?" exactly one
// character (a whole UTF-8 sequence where the name holds one), ASCII letter case
// ignored, and "*.*" matches every name, with or without a dot.
bool WildcardMatches(std::string_view pattern, std::string_view name);

}  // namespace tarnwick::platform
