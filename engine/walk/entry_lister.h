#pragma once
// Picks a folder's files for the walk out of its directory listing, in the order one of
// the two listers gives them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/directory_listing.h"

namespace tarnwick {

class EntryLister {
 public:
  virtual ~EntryLister() = default;
  // Fills `picked` with the indices in `listing` (the entries of `folder`) of the files
  // whose names the "|"-separated `patterns` match (UTF-8; empty means every file), in
  // the lister's order; a file may come more than once. A lister may put a "/" at the
  // end of `folder`; the walk then uses that form from here on. Pending events are
  // processed after each entry the search returns.
  virtual void PickFiles(std::string& folder, std::string_view patterns,
                         const platform::DirectoryListing& listing,
                         std::vector<std::uint32_t>& picked) = 0;
};

}  // namespace tarnwick
