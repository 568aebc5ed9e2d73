#include "engine/walk/file_system_object_enumerator.h"

namespace tarnwick {

void FileSystemObjectEnumerator::PickFiles(std::string&, std::string_view patterns,
                                           const platform::DirectoryListing& listing,
                                           std::vector<std::uint32_t>& picked) {
  mask_.Build(patterns);
  picked.clear();
  for (std::uint32_t i = 0; i < listing.Count(); ++i) {
    if (listing.IsFolder(i)) continue;
    if (mask_.Accepts(listing.Name(i))) picked.push_back(i);
    host_.ProcessPendingEvents();
  }
}

}  // namespace tarnwick
