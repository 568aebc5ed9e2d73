#include "engine/find_file_enumerator.h"

#include "match/match_mode.h"

namespace tarnwick {

void FindFileEnumerator::ListFiles(std::string& folder, std::string_view patterns,
                                   std::vector<std::string>& entries) {
  // An empty folder text stays empty (and lists nothing) rather than becoming "/".
  if (!folder.empty() && folder.back() != '/') folder += '/';
  entries.clear();
  listing_.Read(folder);
  for (std::string_view pattern : SplitAlternatives(patterns.empty() ? "*.*" : patterns)) {
    for (std::size_t i = 0; i < listing_.Count(); ++i) {
      const std::string_view name = listing_.Name(i);
      if (!platform::WildcardMatches(pattern, name)) continue;
      if (!listing_.IsFolder(i)) entries.push_back(folder + std::string(name));
      host_.ProcessPendingEvents();
    }
  }
}

void FindFileEnumerator::ListFolders(const std::string& folder,
                                     std::vector<std::string>& entries) {
  entries.clear();
  if (listing_.Folder() != folder) listing_.Read(folder);
  for (std::size_t i = 0; i < listing_.Count(); ++i) {
    if (listing_.IsFolder(i)) entries.push_back(folder + std::string(listing_.Name(i)));
    host_.ProcessPendingEvents();
  }
}

}  // namespace tarnwick
