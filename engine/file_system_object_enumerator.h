#pragma once
// The lister of a job started with the right mouse button: one listing of the folder,
// names tested by one FileMask, so no file is listed twice. The caller's folder text
// is left as it is; the listed paths get a "/" between folder and name.

#include <string>
#include <string_view>
#include <vector>

#include "engine/folder_walk.h"
#include "engine/job_host.h"
#include "match/match_mode.h"
#include "platform/directory_listing.h"

namespace tarnwick {

class FileSystemObjectEnumerator final : public EntryLister {
 public:
  explicit FileSystemObjectEnumerator(JobHost& host) : host_(host) {}

  // An empty `patterns` text accepts every file.
  void ListFiles(std::string& folder, std::string_view patterns,
                 std::vector<std::string>& entries) override;
  void ListFolders(const std::string& folder, std::vector<std::string>& entries) override;

 private:
  void List(const std::string& folder, bool folders, std::vector<std::string>& entries);

  JobHost& host_;
  FileMask mask_;
  // Read once per folder by ListFiles and reused by ListFolders for the same folder.
  platform::DirectoryListing listing_;
};

}  // namespace tarnwick
