#pragma once
// The lister of a job started with a left click: one search of the folder per
// "|"-separated name pattern, so a file that two patterns match is listed twice.

#include <string>
#include <string_view>
#include <vector>

#include "engine/folder_walk.h"
#include "engine/job_host.h"
#include "platform/directory_listing.h"

namespace tarnwick {

class FindFileEnumerator final : public EntryLister {
 public:
  explicit FindFileEnumerator(JobHost& host) : host_(host) {}

  // Appends "/" to `folder` when it does not end in one. Patterns: every part in
  // order, the files of each part in name order; "*.*" when `patterns` is empty.
  void ListFiles(std::string& folder, std::string_view patterns,
                 std::vector<std::string>& entries) override;
  void ListFolders(const std::string& folder, std::vector<std::string>& entries) override;

 private:
  JobHost& host_;
  // Read once per folder by ListFiles, searched for every pattern and reused by
  // ListFolders for the same folder: one pass over each directory.
  platform::DirectoryListing listing_;
};

}  // namespace tarnwick
