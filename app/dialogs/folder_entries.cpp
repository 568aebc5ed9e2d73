#include "app/dialogs/folder_entries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>
#include <algorithm>

#include "app/list/path_display_text.h"

namespace tarnwick {
namespace {

bool IsFolder(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool Exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

// Every entry name of `folder` but "." and "..".
std::vector<std::string> EntryNames(const std::string& folder, bool* readable) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(folder.c_str());
  if (readable) *readable = listing != nullptr;
  if (!listing) return names;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(listing);
  return names;
}

}  // namespace

std::string ChildPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string ParentPath(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::vector<FolderEntry> ListSubfolders(const std::string& folder, bool* readable) {
  std::vector<FolderEntry> entries;
  for (std::string& name : EntryNames(folder, readable)) {
    if (name.starts_with('.') || !IsFolder(ChildPath(folder, name))) continue;
    const QString shown = PathDisplayText(name);
    entries.push_back({std::move(name), shown});
  }
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    const int order = QString::localeAwareCompare(a.shown, b.shown);
    return order != 0 ? order < 0 : a.name < b.name;
  });
  return entries;
}

std::optional<std::string> FolderOfTypedPath(const QString& typed, const std::string& base) {
  const QString text = typed.trimmed();
  if (text.isEmpty()) return std::nullopt;
  std::string path = text.startsWith(QLatin1Char('/')) ? "/" : base;
  for (const QString& part : text.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    if (part == QLatin1String(".")) continue;
    if (part == QLatin1String("..")) {
      path = ParentPath(path);
      continue;
    }
    const std::string asWritten = ChildPath(path, part.toStdString());
    if (Exists(asWritten)) {
      path = asWritten;
      continue;
    }
    std::vector<std::string> matches;
    for (const std::string& name : EntryNames(path, nullptr)) {
      if (PathDisplayText(name) == part ||
          QFile::decodeName(QByteArray::fromStdString(name)) == part)
        matches.push_back(name);
    }
    if (matches.size() != 1) return std::nullopt;
    path = ChildPath(path, matches.front());
  }
  if (!IsFolder(path)) return std::nullopt;
  return path;
}

}  // namespace tarnwick
