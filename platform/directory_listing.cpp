#include "platform/directory_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace tarnwick::platform {
namespace {

// Enough for a few hundred entries per system call; kept from folder to folder.
constexpr std::size_t kReadBufferSize = 32 * 1024;

using Kind = DirectoryListing::EntryKind;

// A link is followed once: to a folder it is left out (nullopt), to anything else (or
// nowhere) it is a file, looked at again when it is opened.
std::optional<Kind> KindOfLink(int folderFd, const char* name) {
  struct stat target {};
  if (::fstatat(folderFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode)) return std::nullopt;
  return Kind::Other;
}

std::optional<Kind> KindOf(int folderFd, unsigned char type, const char* name) {
  switch (type) {
    case DT_DIR:
      return Kind::Folder;
    case DT_REG:
      return Kind::Regular;
    case DT_LNK:
      return KindOfLink(folderFd, name);
    case DT_UNKNOWN:
      break;
    default:
      return Kind::Other;
  }
  // The file system does not tell the type: this look tells it.
  struct stat status {};
  if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return Kind::Other;
  if (S_ISLNK(status.st_mode)) return KindOfLink(folderFd, name);
  if (S_ISDIR(status.st_mode)) return Kind::Folder;
  return S_ISREG(status.st_mode) ? Kind::Regular : Kind::Other;
}

std::uint64_t HeadOf(std::string_view name) {
  std::uint64_t head = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    head = (head << 8) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0U);
  }
  return head;
}

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Bytes of the character at `at`: a whole UTF-8 sequence when one starts there, else 1.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (at + length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

bool DirectoryListing::Read(int folderFd) {
  names_.clear();
  entries_.clear();
  error_ = 0;
  readBuffer_.resize(kReadBufferSize);
  for (;;) {
    const ssize_t got = ::getdents64(folderFd, readBuffer_.data(), readBuffer_.size());
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      error_ = errno;
      names_.clear();
      entries_.clear();
      return false;
    }
    for (ssize_t at = 0; at < got;) {
      const auto* entry = reinterpret_cast<const dirent64*>(readBuffer_.data() + at);
      at += entry->d_reclen;
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::optional<Kind> kind = KindOf(folderFd, entry->d_type, entry->d_name);
      if (!kind) continue;
      entries_.push_back({HeadOf(name), entry->d_ino, static_cast<std::uint32_t>(names_.size()),
                          static_cast<std::uint32_t>(name.size()), *kind});
      names_.append(name);
      names_.push_back('\0');
    }
  }
  std::sort(entries_.begin(), entries_.end(), [this](const Entry& a, const Entry& b) {
    if (a.head != b.head) return a.head < b.head;
    const std::string_view names(names_);
    return names.substr(a.offset, a.length) < names.substr(b.offset, b.length);
  });
  return true;
}

bool WildcardMatches(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*" || pattern == "*") return true;
  constexpr std::size_t kNoStar = std::string_view::npos;
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t afterStar = kNoStar;  // pattern position after the last "*" seen
  std::size_t starEnd = 0;          // name position that "*" currently stretches to
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      afterStar = ++p;
      starEnd = n;
      continue;
    }
    if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharacterLength(name, n);
      continue;
    }
    if (p < pattern.size() && FoldAscii(static_cast<unsigned char>(pattern[p])) ==
                                  FoldAscii(static_cast<unsigned char>(name[n]))) {
      ++p;
      ++n;
      continue;
    }
    if (afterStar == kNoStar) return false;
    // Let the last "*" take one more character and retry from there.
    starEnd += CharacterLength(name, starEnd);
    n = starEnd;
    p = afterStar;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace tarnwick::platform
