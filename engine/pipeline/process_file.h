#pragma once
// The per-file pipeline: content, length and time filters in that order, each only
// while its switch is ticked and the file has passed the ones before it. It runs on any
// thread, with options copied for it, and tells what it found; the merge step
// (file_pipeline.h) then lists the file, or hands it to the duplicate filter, in walk
// order.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "engine/filters/length_filter.h"
#include "engine/job/filter_options.h"
#include "engine/pipeline/folder_visit.h"
#include "match/match_mode.h"
#include "platform/file_status.h"
#include "results/result_list.h"
#include "text/byte_source.h"

namespace tarnwick {

struct FileOutcome {
  bool pass = false;            // passed every ticked filter before the duplicate filter
  bool toDuplicates = false;    // the duplicate filter is on: grouped, not listed now
  bool counted = false;         // the length filter counted the file's characters
  std::int64_t characters = 0;  // that count
  std::int64_t size = 0;        // the size the length filter measured; 0: not measured
  int encoding = 0;             // the TextEncoding the content was read as; 0: not read
  int error = 0;                // errno of an open or read that failed, as the system said
  bool undecided = false;       // the content filter could not decide within the memory bound
  // For a file bound for the duplicate filter: a stat of it, taken by the worker so that
  // the job's thread does not look at every file one after another. Empty when the file
  // could not be looked at.
  std::optional<platform::FileStatus> status;
  ResultRow row;  // a listed file's row, every text but 内容字数
};

// The filters' objects of one thread. Each thread that runs file work owns one.
class FileWorker {
 public:
  // Runs the file `name` (followed by a NUL in memory) of `folder` through the filters
  // ticked in `options`; `listedRegular` when the folder's listing saw a regular file
  // there. With `pathsOnly` a listed file's row holds only its name and folder. A
  // content read stops between two pieces once `stopRequested` says so; the file then
  // does not pass. `content`, when given, is where the filters take the content from (read
  // ahead for the file).
  FileOutcome Process(const FolderVisit& folder, std::string_view name, bool listedRegular,
                      const FilterOptions& options, bool pathsOnly,
                      const std::function<bool()>& stopRequested,
                      FileContent* content = nullptr);

 private:
  LengthFilter length_;
  ContentMatcher content_;
};

}  // namespace tarnwick
