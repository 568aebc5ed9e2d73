#include "engine/rows/add_row.h"

#include <optional>

#include "engine/filters/file_times.h"
#include "engine/filters/time_filter.h"
#include "platform/file_status.h"
#include "results/size_text.h"

namespace tarnwick {

std::string CountText(std::int64_t count) {
  const std::string digits = std::to_string(count < 0 ? -count : count);
  std::string text = count < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 4 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

void FillRow(ResultRow& row, const platform::FileRef& file, std::string_view folder,
             std::string_view name, std::int64_t size, const std::string& timeText,
             const OptionControls& options, bool pathsOnly,
             const platform::FileStatus* known) {
  row.name = name;
  row.folder = folder;
  if (pathsOnly) return;

  const bool timeFilter = options.IsChecked(Check::TimeFilter);
  const bool needsModifiedTime = !timeFilter && timeText.empty();
  std::optional<platform::FileStatus> status;
  if (size == 0 || needsModifiedTime) status = known ? *known : platform::StatusOf(file);
  if (size == 0 && status) size = status->size;

  row.sizeText = SizeText(size);
  if (timeFilter) {
    row.timeText = TimeColumnText(file, timeText, options);
  } else if (!timeText.empty()) {
    row.timeText = timeText;
  } else if (status) {
    row.timeText = LocalTimeText(status->modified.tv_sec);
  }
}

void AddRow(ResultList& list, const std::string& path, std::int64_t size, std::int64_t charCount,
            const std::string& timeText, const OptionControls& options, std::uint32_t group,
            int similarity, const platform::FileStatus* known) {
  const std::size_t slash = path.rfind('/');
  // A path without a folder part keeps the whole path as its name.
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string_view whole(path);
  ResultRow row;
  row.group = group;
  row.similarity = similarity;
  FillRow(row, platform::FileAtPath(path), whole.substr(0, nameStart), whole.substr(nameStart),
          size, timeText, options, list.PathsOnly(), known);
  if (!list.PathsOnly()) row.countText = CountText(charCount);
  list.Append(std::move(row));
}

}  // namespace tarnwick
