#pragma once
// The per-file pipeline: content, length and time filters in that order, each only
// while its switch is ticked and the file has passed the ones before it; a passing
// file is listed at once, or handed to the duplicate filter when that is on.

#include <cstdint>
#include <string>

#include "engine/duplicate_filter.h"
#include "engine/job_host.h"
#include "engine/length_filter.h"
#include "engine/option_controls.h"
#include "engine/stop_flag.h"
#include "match/match_mode.h"
#include "platform/file_status.h"
#include "results/result_list.h"

namespace tarnwick {

// The filters' per-folder objects and what the pipeline carries between the files of
// one folder. A folder's files are all processed before its first subfolder is
// entered, so one set serves the whole walk when Prepare runs on entry to each folder.
struct FolderWorkingSet {
  LengthFilter length;
  ContentMatcher content;
  // The last character count of this folder: a file listed without being counted
  // shows it (0 until a file of the folder has been counted).
  std::int64_t characters = 0;
  // The folder itself, where rows look their files up.
  platform::OpenFolder openFolder;

  // Prepares the objects from the option texts of this moment (an unchanged pattern
  // is not compiled again) and starts the folder's count at 0.
  void Prepare(const std::string& folderPath, const OptionControls& options) {
    content.Build(options.Text(Field::ContentPattern));
    characters = 0;
    openFolder.Open(folderPath);
  }
};

// Where passing files go.
struct FileSinks {
  ResultList& list;
  DuplicateStore& duplicates;
  JobHost& host;
  const StopFlag& stop;
};

// Runs one file through the ticked filters; options are read as each step is reached.
void ProcessFile(const std::string& path, FolderWorkingSet& folder,
                 const OptionControls& options, FileSinks& sinks);

}  // namespace tarnwick
