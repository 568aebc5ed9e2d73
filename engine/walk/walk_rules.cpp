#include "engine/walk/walk_rules.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "results/trash.h"

namespace tarnwick {
namespace {

// The path with every link resolved; the path as given when that fails.
std::string Resolved(const std::string& path) {
  const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                         &std::free);
  return real ? std::string(real.get()) : path;
}

bool HasTrashComponent(std::string_view path) {
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    if (WalkRules::IsTrashName(path.substr(0, slash))) return true;
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return false;
}

bool IsWithin(std::string_view path, std::string_view folder) {
  if (!path.starts_with(folder)) return false;
  return path.size() == folder.size() || path[folder.size()] == '/';
}

}  // namespace

bool WalkRules::IsTrashName(std::string_view name) {
  if (name == ".Trash") return true;
  constexpr std::string_view kPrefix = ".Trash-";
  if (!name.starts_with(kPrefix) || name.size() == kPrefix.size()) return false;
  return std::all_of(name.begin() + kPrefix.size(), name.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

WalkRules::WalkRules(const JobSettings& settings, const std::string& root, int rootFd)
    : excludes_(settings.excludes), oneFileSystem_(settings.oneFileSystem) {
  struct stat status {};
  if (::fstat(rootFd, &status) == 0) rootDevice_ = status.st_dev;

  const std::string homeTrash = CurrentTrashPlace().homeTrash;
  if (!homeTrash.empty() && ::stat(homeTrash.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
    homeTrash_.emplace(status.st_dev, status.st_ino);

  const std::string realRoot = Resolved(root);
  walkTrash_ =
      HasTrashComponent(realRoot) || (homeTrash_ && IsWithin(realRoot, Resolved(homeTrash)));
}

bool WalkRules::ExcludesName(const char* name) const {
  return std::any_of(excludes_.begin(), excludes_.end(), [name](const std::string& pattern) {
    return ::fnmatch(pattern.c_str(), name, 0) == 0;
  });
}

bool WalkRules::SkipsFolder(int parentFd, const char* name) const {
  if (ExcludesName(name)) return true;
  if (walkTrash_) return false;
  if (IsTrashName(name)) return true;
  // Only a folder called "Trash" can be the home trash: the others cost no lookup.
  if (!homeTrash_ || std::string_view(name) != "Trash") return false;
  struct stat status {};
  return ::fstatat(parentFd, name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
         std::pair(status.st_dev, status.st_ino) == *homeTrash_;
}

bool WalkRules::OnOtherFileSystem(int folderFd) const {
  if (!oneFileSystem_) return false;
  struct stat status {};
  return ::fstat(folderFd, &status) == 0 && status.st_dev != rootDevice_;
}

}  // namespace tarnwick
