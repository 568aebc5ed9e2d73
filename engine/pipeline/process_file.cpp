#include "engine/pipeline/process_file.h"

#include <string>

#include "engine/filters/content_filter.h"
#include "engine/filters/time_filter.h"
#include "engine/rows/add_row.h"

namespace tarnwick {

FileOutcome FileWorker::Process(const FolderVisit& folder, std::string_view name,
                                bool listedRegular, const FilterOptions& options, bool pathsOnly,
                                const std::function<bool()>& stopRequested,
                                FileContent* content) {
  const bool contentFilter = options.IsChecked(Check::ContentFilter);
  const bool lengthFilter = options.IsChecked(Check::LengthFilter);
  if (contentFilter) {
    // The folder's pattern, taken when the walk entered it (an unchanged pattern is not
    // compiled again).
    content_.Build(folder.optionsAtEntry->Text(Field::ContentPattern));
  }

  FileOutcome outcome;
  // The filters that read content show the full path in their name test.
  std::string path;
  if (contentFilter || lengthFilter) path = folder.PathOf(name);
  const platform::FileRef file{folder.fd, name.data(), path, listedRegular};

  bool pass = true;
  if (contentFilter) {
    const ContentTestResult found = ContentFilterTest(file, content_, options, stopRequested, content);
    if (found.stopped) return outcome;
    pass = found.pass;
    outcome.encoding = found.encoding;
    outcome.error = found.error;
    outcome.undecided = found.undecided;
  }
  if (pass && lengthFilter) {
    const LengthFilter::Result length = length_.Test(file, options, stopRequested, content);
    if (length.stopped) return outcome;
    outcome.counted = length.countedCharacters;
    if (length.countedCharacters) {
      outcome.characters = length.characters;
    } else {
      outcome.size = length.size;
    }
    // The content filter does not read the content of a file its empty pattern passes.
    if (outcome.encoding == 0) outcome.encoding = length.encoding;
    if (outcome.error == 0) outcome.error = length.error;
    pass = length.pass;
  }
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
    outcome.status = platform::StatusOf(file);
    return outcome;
  }
  FillRow(outcome.row, file, folder.base, name, rowSize, timeText, options, pathsOnly);
  return outcome;
}

}  // namespace tarnwick
