#pragma once
// The walk of one filter job: every folder's files first, then its subfolders,
// depth-first, as far as the scope options allow, each file through ProcessFile.

#include <string>
#include <string_view>
#include <vector>

#include "engine/duplicate_filter.h"
#include "engine/job_host.h"
#include "engine/option_controls.h"
#include "engine/process_file.h"
#include "engine/stop_flag.h"
#include "results/result_list.h"

namespace tarnwick {

// Lists the entries of one folder as full paths, in a reproducible order. A folder that
// cannot be read gives no entries.
class EntryLister {
 public:
  virtual ~EntryLister() = default;
  // Fills `entries` with the folder's files whose names the "|"-separated `patterns`
  // match (UTF-8; empty means every file). A lister may put a "/" at the end of
  // `folder`; the walk then uses that form from here on.
  virtual void ListFiles(std::string& folder, std::string_view patterns,
                         std::vector<std::string>& entries) = 0;
  // Fills `entries` with every subfolder of `folder`, in the form ListFiles left it.
  // The directory read by ListFiles for the same folder serves again.
  virtual void ListFolders(const std::string& folder, std::vector<std::string>& entries) = 0;
};

class FolderWalk {
 public:
  FolderWalk(EntryLister& lister, const OptionControls& options, ResultList& list,
             DuplicateStore& duplicates, JobHost& host, StopFlag& stop)
      : lister_(lister), options_(options), list_(list), duplicates_(duplicates),
        host_(host), stop_(stop) {}

  // Walks `root` and, as the scope options say, its subfolders. Returns early, after
  // the file in hand, once the stop flag is set.
  void Run(const std::string& root);

  // The level of a folder below the root: the root is 1, its subfolders 2. The root's
  // path is removed once, as a prefix; every "/" that remains adds one.
  static long long FolderLevel(const std::string& root, const std::string& folder);

 private:
  void WalkFolder(std::string& folder);
  bool WithinLevels(const std::string& folder);

  EntryLister& lister_;
  const OptionControls& options_;
  ResultList& list_;
  DuplicateStore& duplicates_;
  JobHost& host_;
  StopFlag& stop_;
  std::string root_;
  FolderWorkingSet workingSet_;
};

}  // namespace tarnwick
