#include "engine/process_file.h"

#include <string>

#include "engine/add_row.h"
#include "engine/content_filter.h"
#include "engine/time_filter.h"
#include "platform/read_only_file.h"

namespace tarnwick {

FileOutcome FileWorker::Process(const FolderVisit& folder, std::string_view name,
                                const FilterOptions& options, bool pathsOnly) {
  const bool contentFilter = options.IsChecked(Check::ContentFilter);
  const bool lengthFilter = options.IsChecked(Check::LengthFilter);
  if (contentFilter && folder.number != contentFolder_) {
    // The folder's matcher, from the pattern of the moment the walk entered it (an
    // unchanged pattern is not compiled again).
    contentFolder_ = folder.number;
    content_.Build(*folder.optionsAtEntry);
  }
  if (lengthFilter) length_.PrepareFolder();
  platform::TakeReadFailure();  // what earlier work on this thread left is not this file's

  FileOutcome outcome;
  // The filters that read content take the full path.
  std::string path;
  if (contentFilter || lengthFilter) path = folder.PathOf(name);
  const platform::FileRef file{folder.fd, name.data(), path};

  bool pass = !contentFilter || ContentFilterTest(path, content_, options);
  if (pass && lengthFilter) {
    const LengthFilter::Result length = length_.Test(path, options);
    outcome.counted = length.countedCharacters;
    if (length.countedCharacters) {
      outcome.characters = length.characters;
    } else {
      outcome.size = length.size;
    }
    pass = length.pass;
  }
  outcome.error = platform::TakeReadFailure();
  if (!pass) return outcome;
  // The time text belongs to this file alone: a row never shows another file's time.
  std::string timeText;
  std::int64_t rowSize = outcome.size;
  if (options.IsChecked(Check::TimeFilter)) {
    TimeTestResult time = TimeFilterTest(file, options);
    if (!time.pass) return outcome;
    timeText = std::move(time.timeText);
    if (rowSize == 0) rowSize = time.size;
  }
  outcome.pass = true;
  if (options.IsChecked(Check::DuplicateFilter)) {
    outcome.toDuplicates = true;
    return outcome;
  }
  FillRow(outcome.row, file, folder.base, name, rowSize, timeText, options, pathsOnly);
  return outcome;
}

}  // namespace tarnwick
