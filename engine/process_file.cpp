#include "engine/process_file.h"

#include "engine/add_row.h"
#include "engine/content_filter.h"
#include "engine/time_filter.h"

namespace tarnwick {

void ProcessFile(const std::string& path, FolderWorkingSet& folder, const OptionControls& options,
                 FileSinks& sinks) {
  if (options.IsChecked(Check::ContentFilter) &&
      !ContentFilterTest(path, folder.content, options)) {
    return;
  }
  std::int64_t size = 0;  // 0: not measured yet
  if (options.IsChecked(Check::LengthFilter)) {
    const LengthFilter::Result length = folder.length.Test(path, options);
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
    const std::size_t slash = path.rfind('/');
    const bool inFolder = folder.openFolder.IsOpen() && slash != std::string::npos;
    sinks.duplicates.Add(
        inFolder ? platform::FileRef{folder.openFolder.Descriptor(), path.c_str() + slash + 1, path}
                 : platform::FileAtPath(path),
        size);
    return;
  }
  AddRowInFolder(folder.openFolder, sinks.list, path, size, folder.characters, timeText, options);
}

}  // namespace tarnwick
