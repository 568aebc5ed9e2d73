#include "platform/desktop/folder_chooser.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <vector>

namespace tarnwick {
namespace {

bool Exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string Child(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// The entries of `folder` whose names Qt shows as `shown`.
std::vector<std::string> EntriesShownAs(const std::string& folder, const QString& shown) {
  std::vector<std::string> names;
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!listing) return names;
  while (const dirent* entry = ::readdir(listing)) {
    if (QFile::decodeName(entry->d_name) == shown) names.emplace_back(entry->d_name);
  }
  ::closedir(listing);
  return names;
}

std::string Encoded(const QString& text) { return QFile::encodeName(text).toStdString(); }

}  // namespace

QString ChooseFolderDialog(const QString& initialFolder, const QString& prompt) {
  return QFileDialog::getExistingDirectory(nullptr, prompt, initialFolder,
                                           QFileDialog::ShowDirsOnly);
}

std::optional<std::string> FolderOnDisk(const QString& chosen) {
  const std::string written = Encoded(chosen);
  if (chosen.isEmpty() || IsFolder(written)) return written;
  std::string path = chosen.startsWith(QLatin1Char('/')) ? "/" : "";
  for (const QString& part : chosen.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    const std::string asWritten = Child(path, Encoded(part));
    if (Exists(asWritten)) {
      path = asWritten;
      continue;
    }
    const std::vector<std::string> matches = EntriesShownAs(path, part);
    if (matches.size() != 1) return std::nullopt;
    path = Child(path, matches.front());
  }
  if (!IsFolder(path)) return std::nullopt;
  return path;
}

QString DialogStartFolder(const std::string& folder) {
  for (std::string path = folder;;) {
    const QString shown = QFile::decodeName(QByteArray::fromStdString(path));
    if (Encoded(shown) == path) return shown;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    path = slash == 0 ? "/" : path.substr(0, slash);
  }
}

}  // namespace tarnwick
