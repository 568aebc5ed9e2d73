#pragma once
// One folder as the walk visits it. Its files' work reaches them through the folder's
// descriptor, which stays open as long as anything refers to the visit: the walk while
// it lists the folder and enters its subfolders, each batch of file work until merged.

#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/job/filter_options.h"

namespace tarnwick {

struct FolderVisit {
  // `fdOwner`, when given, closes the descriptor once all who use it let go; else the
  // visit closes it.
  FolderVisit(int folderFd, std::string folderBase, std::uint64_t visitNumber,
              std::shared_ptr<const void> fdOwner = nullptr)
      : fd(folderFd),
        base(std::move(folderBase)),
        number(visitNumber),
        fdOwner_(std::move(fdOwner)) {}
  ~FolderVisit() {
    if (!fdOwner_) ::close(fd);
  }
  FolderVisit(const FolderVisit&) = delete;
  FolderVisit& operator=(const FolderVisit&) = delete;

  const int fd;
  // The folder's path followed by "/": what a row shows in 所在目录 and the start of
  // every path of the folder.
  const std::string base;
  // Counts visits in walk order; what carries from file to file restarts with each.
  const std::uint64_t number;
  // The full path of the entry `name`.
  std::string PathOf(std::string_view name) const {
    std::string path;
    path.reserve(base.size() + name.size());
    return path.append(base).append(name);
  }

  // The options when the walk entered the folder: the patterns of the wildcard and
  // regex modes are taken from them (every other option is read per file).
  std::shared_ptr<const FilterOptions> optionsAtEntry;

 private:
  std::shared_ptr<const void> fdOwner_;
};

}  // namespace tarnwick
