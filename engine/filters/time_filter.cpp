#include "engine/filters/time_filter.h"

#include <optional>

#include "engine/filters/date_time.h"
#include "engine/filters/file_times.h"
#include "platform/file_times.h"

namespace tarnwick {
namespace {

// The first selected kind button wins; the window always has one selected.
TimeKind SelectedKind(const OptionControls& options) {
  if (options.IsChecked(Check::TimeCreated)) return TimeKind::Created;
  if (options.IsChecked(Check::TimeModified)) return TimeKind::Modified;
  if (options.IsChecked(Check::TimeAccessed)) return TimeKind::Accessed;
  return TimeKind::Modified;
}

TimeCompareMode SelectedCompareMode(const OptionControls& options) {
  if (options.IsChecked(Check::CompareDate)) return TimeCompareMode::DateOnly;
  if (options.IsChecked(Check::CompareTime)) return TimeCompareMode::TimeOfDayOnly;
  return TimeCompareMode::Both;
}

}  // namespace

TimeTestResult TimeFilterTest(const platform::FileRef& file, const OptionControls& options) {
  const FileTimes times = ReadFileTimes(file);
  std::string timeText = times.Of(SelectedKind(options));
  const bool pass =
      InTimeRange(ParseDateTime(timeText), ParseDateTime(options.Text(Field::TimeFrom)),
                  ParseDateTime(options.Text(Field::TimeTo)), SelectedCompareMode(options));
  return TimeTestResult{pass, std::move(timeText), times.size};
}

std::string TimeColumnText(const platform::FileRef& file, const std::string& timeText,
                           const OptionControls& options) {
  const TimeCompareMode mode = SelectedCompareMode(options);
  if (!timeText.empty()) return TimeDisplayText(ParseDateTime(timeText), mode);
  return TimeDisplayText(ParseDateTime(ReadFileTimes(file).Of(SelectedKind(options))), mode);
}

std::string ModifiedTimeText(const std::string& path) {
  const std::optional<platform::FileStamps> stamps =
      platform::ReadFileStamps(platform::FileAtPath(path));
  return stamps ? LocalTimeText(stamps->modified) : std::string();
}

}  // namespace tarnwick
