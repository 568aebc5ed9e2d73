#pragma once
// The folders the folder chooser lists and the paths typed into it, as bytes on disk.
// A folder name need not be UTF-8 (GBK names from old archives): it is shown as the
// window shows names and kept as its bytes.

#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

struct FolderEntry {
  std::string name;  // the bytes on disk
  QString shown;     // as the window shows names
};

// The subfolders of `folder`, links to folders included and hidden ones (a name that
// starts with ".") left out, in the order of their shown names. Empty, with `readable`
// false, when the folder cannot be read.
std::vector<FolderEntry> ListSubfolders(const std::string& folder, bool* readable = nullptr);

// `name` in `folder` ("/" is not doubled).
std::string ChildPath(const std::string& folder, const std::string& name);
// The folder holding `folder`; "/" for "/" itself.
std::string ParentPath(const std::string& folder);

// The folder a typed path names, relative paths taken from `base`: each part as written
// when an entry of that name exists, else the one entry of the folder above it shown
// as that part (decoded as the window shows names, or as Qt decodes them). Nullopt when
// a part names no entry, or more than one, or the path is no folder.
std::optional<std::string> FolderOfTypedPath(const QString& typed, const std::string& base);

}  // namespace tarnwick
