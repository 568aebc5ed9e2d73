#include "engine/walk/find_file_enumerator.h"

#include "match/match_mode.h"
#include "match/utf8_repair.h"

namespace tarnwick {

void FindFileEnumerator::PickFiles(std::string& folder, std::string_view patterns,
                                   const platform::DirectoryListing& listing,
                                   std::vector<std::uint32_t>& picked) {
  // An empty folder text stays empty (and lists nothing) rather than becoming "/".
  if (!folder.empty() && folder.back() != '/') folder += '/';
  picked.clear();
  // Names (and masks given as bytes) are matched as the window shows them.
  std::string shownPatterns;
  patterns = NameForMatching(patterns, shownPatterns);
  std::string shownName;
  for (std::string_view pattern : SplitAlternatives(patterns.empty() ? "*.*" : patterns)) {
    for (std::uint32_t i = 0; i < listing.Count(); ++i) {
      if (!platform::WildcardMatches(pattern, NameForMatching(listing.Name(i), shownName)))
        continue;
      if (!listing.IsFolder(i)) picked.push_back(i);
      host_.ProcessPendingEvents();
    }
  }
}

}  // namespace tarnwick
