#include "engine/find_file_enumerator.h"

#include "match/match_mode.h"

namespace tarnwick {

const platform::DirectoryListing& FindFileEnumerator::ListingOf(const std::string& folder) {
  if (!listed_ || listedFolder_ != folder) {
    listing_.Read(folder);
    listedFolder_ = folder;
  }
  listed_ = true;
  return listing_;
}

void FindFileEnumerator::ListFiles(std::string& folder, std::string_view patterns,
                                   std::vector<std::string>& entries) {
  // An empty folder text stays empty (and lists nothing) rather than becoming "/".
  if (!folder.empty() && folder.back() != '/') folder += '/';
  entries.clear();
  listed_ = false;  // a file listing always reads the folder afresh
  const platform::DirectoryListing& listing = ListingOf(folder);
  for (std::string_view pattern : SplitAlternatives(patterns.empty() ? "*.*" : patterns)) {
    for (std::size_t i = 0; i < listing.Count(); ++i) {
      const std::string_view name = listing.Name(i);
      if (!platform::WildcardMatches(pattern, name)) continue;
      if (!listing.IsFolder(i)) entries.push_back(folder + std::string(name));
      host_.ProcessPendingEvents();
    }
  }
}

void FindFileEnumerator::ListFolders(const std::string& folder,
                                     std::vector<std::string>& entries) {
  entries.clear();
  const platform::DirectoryListing& listing = ListingOf(folder);
  for (std::size_t i = 0; i < listing.Count(); ++i) {
    if (listing.IsFolder(i)) entries.push_back(folder + std::string(listing.Name(i)));
    host_.ProcessPendingEvents();
  }
  listed_ = false;
}

}  // namespace tarnwick
