#include "engine/process_file.h"

#include "engine/add_row.h"
#include "engine/content_filter.h"
#include "engine/time_filter.h"

namespace tarnwick {

void ProcessFile(const std::string& path, FolderWorkingSet& folder,
                 const OptionControls& options, FileSinks& sinks) {
  const auto stopRequested = [&sinks] { return sinks.stop.IsSet(); };
  if (options.IsChecked(Check::ContentFilter) &&
      !ContentFilterTest(platform::FileAtPath(path), folder.content, options, stopRequested)
           .pass) {
    return;
  }
  std::int64_t size = 0;  // 0: not measured yet
  if (options.IsChecked(Check::LengthFilter)) {
    const LengthFilter::Result length =
        folder.length.Test(platform::FileAtPath(path), options, stopRequested);
    if (length.countedCharacters) {
      folder.characters = length.characters;
    } else {
      size = length.size;
    }
    if (!length.pass) return;
  }
  // The time text belongs to this file alone: a row never shows another file's time.
  std::string timeText;
  if (options.IsChecked(Check::TimeFilter)) {
    TimeTestResult time = TimeFilterTest(path, options);
    if (!time.pass) return;
    timeText = std::move(time.timeText);
  }
  if (options.IsChecked(Check::DuplicateFilter)) {
    sinks.duplicates.AddInFolder(folder.openFolder, path, size, options, sinks.host, sinks.stop);
    return;
  }
  AddRowInFolder(folder.openFolder, sinks.list, path, size, folder.characters, timeText, options);
}

}  // namespace tarnwick
