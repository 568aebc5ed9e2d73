#pragma once
// The lister of a job started with a left click: one search of the folder per
// "|"-separated name pattern, so a file that two patterns match is listed twice.

#include "engine/job/job_host.h"
#include "engine/walk/entry_lister.h"

namespace tarnwick {

class FindFileEnumerator final : public EntryLister {
 public:
  explicit FindFileEnumerator(JobHost& host) : host_(host) {}

  // Appends "/" to `folder` when it does not end in one. Patterns: every part in
  // order, the files of each part in name order; "*.*" when `patterns` is empty.
  void PickFiles(std::string& folder, std::string_view patterns,
                 const platform::DirectoryListing& listing,
                 std::vector<std::uint32_t>& picked) override;

 private:
  JobHost& host_;
};

}  // namespace tarnwick
