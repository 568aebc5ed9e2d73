#pragma once
// The lister of a job started with the right mouse button: one listing of the folder,
// names tested by one FileMask, so no file is listed twice. The caller's folder text
// is left as it is; the listed paths get a "/" between folder and name.

#include "engine/job/job_host.h"
#include "engine/walk/entry_lister.h"
#include "match/match_mode.h"

namespace tarnwick {

class FileSystemObjectEnumerator final : public EntryLister {
 public:
  explicit FileSystemObjectEnumerator(JobHost& host) : host_(host) {}

  // An empty `patterns` text accepts every file.
  void PickFiles(std::string& folder, std::string_view patterns,
                 const platform::DirectoryListing& listing,
                 std::vector<std::uint32_t>& picked) override;

 private:
  JobHost& host_;
  FileMask mask_;
};

}  // namespace tarnwick
