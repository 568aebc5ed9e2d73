#pragma once
// What a walk leaves out beyond the name patterns: trash folders (a trashed copy must
// never be offered as the file to keep, nor make the real file look like a duplicate),
// the names the user excluded, and with --one-file-system the folders of other mounts.

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/job/job_settings.h"

namespace tarnwick {

class WalkRules {
 public:
  // `root` is the chosen folder as the walk names it; `rootFd` holds it open.
  WalkRules(const JobSettings& settings, const std::string& root, int rootFd);

  // A file whose name one of the --exclude patterns matches.
  bool ExcludesName(const char* name) const;
  // A subfolder `name` of the open folder `parentFd` that the walk must not enter: a
  // trash folder (unless the chosen folder itself lies in a trash) or an excluded name.
  bool SkipsFolder(int parentFd, const char* name) const;
  // With --one-file-system: the open folder `folderFd` is on another file system than
  // the chosen folder.
  bool OnOtherFileSystem(int folderFd) const;

  // ".Trash", or ".Trash-" followed by a user number: the trash folders a file system
  // keeps at its top (and that copies of a tree may carry anywhere).
  static bool IsTrashName(std::string_view name);

 private:
  const std::vector<std::string>& excludes_;
  bool oneFileSystem_;
  dev_t rootDevice_ = 0;
  // The user's own trash, $XDG_DATA_HOME/Trash, by device and inode; none when absent.
  std::optional<std::pair<dev_t, ino_t>> homeTrash_;
  // The chosen folder lies in a trash: the user asked for its content, so trash folders
  // are walked like any other.
  bool walkTrash_ = false;
};

}  // namespace tarnwick
