#include "engine/file_system_object_enumerator.h"

namespace tarnwick {
namespace {

// An empty folder text stays empty (and lists nothing) rather than becoming "/".
std::string WithSlash(const std::string& folder) {
  if (folder.empty() || folder.back() == '/') return folder;
  return folder + '/';
}

}  // namespace

const platform::DirectoryListing& FileSystemObjectEnumerator::ListingOf(
    const std::string& folder) {
  if (!listed_ || listedFolder_ != folder) {
    listing_.Read(folder);
    listedFolder_ = folder;
  }
  listed_ = true;
  return listing_;
}

void FileSystemObjectEnumerator::List(const std::string& folder, bool folders,
                                      std::vector<std::string>& entries) {
  entries.clear();
  const std::string base = WithSlash(folder);
  const platform::DirectoryListing& listing = ListingOf(base);
  for (std::size_t i = 0; i < listing.Count(); ++i) {
    if (listing.IsFolder(i) != folders) continue;
    const std::string_view name = listing.Name(i);
    if (folders || mask_.Accepts(name)) entries.push_back(base + std::string(name));
    host_.ProcessPendingEvents();
  }
}

void FileSystemObjectEnumerator::ListFiles(std::string& folder, std::string_view patterns,
                                           std::vector<std::string>& entries) {
  mask_.Build(patterns);
  listed_ = false;  // a file listing always reads the folder afresh
  List(folder, false, entries);
}

void FileSystemObjectEnumerator::ListFolders(const std::string& folder,
                                             std::vector<std::string>& entries) {
  List(folder, true, entries);
  listed_ = false;
}

}  // namespace tarnwick
