#include "engine/file_system_object_enumerator.h"

namespace tarnwick {
namespace {

// An empty folder text stays empty (and lists nothing) rather than becoming "/".
std::string WithSlash(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + '/';
}

}  // namespace

void FileSystemObjectEnumerator::List(const std::string& folder, bool folders,
                                      std::vector<std::string>& entries) {
  entries.clear();
  const std::string base = WithSlash(folder);
  if (!folders || listing_.Folder() != base) listing_.Read(base);
  for (std::size_t i = 0; i < listing_.Count(); ++i) {
    if (listing_.IsFolder(i) != folders) continue;
    const std::string_view name = listing_.Name(i);
    if (folders || mask_.Accepts(name)) entries.push_back(base + std::string(name));
    host_.ProcessPendingEvents();
  }
}

void FileSystemObjectEnumerator::ListFiles(std::string& folder, std::string_view patterns,
                                           std::vector<std::string>& entries) {
  mask_.Build(patterns);
  List(folder, false, entries);
}

void FileSystemObjectEnumerator::ListFolders(const std::string& folder,
                                             std::vector<std::string>& entries) {
  List(folder, true, entries);
}

}  // namespace tarnwick
