#include "engine/add_row.h"

#include "engine/file_times.h"
#include "engine/time_filter.h"
#include "platform/file_status.h"
#include "results/size_text.h"

namespace tarnwick {
namespace {

// 12345 → "1,2345": a "," before every group of four digits from the right.
std::string GroupedByFour(std::int64_t count) {
  const std::string digits = std::to_string(count < 0 ? -count : count);
  std::string text = count < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 4 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

}  // namespace

void AddRowInFolder(const platform::OpenFolder& folder, ResultList& list, const std::string& path,
                    std::int64_t size, std::int64_t charCount, const std::string& timeText,
                    const OptionControls& options, std::uint32_t group) {
  const std::size_t slash = path.rfind('/');
  ResultRow row;
  row.group = group;
  if (slash == std::string::npos) {
    row.name = path;  // no folder part: the row's full path stays the path itself
  } else {
    row.name = path.substr(slash + 1);
    row.folder = path.substr(0, slash + 1);
  }
  if (list.PathsOnly()) {
    list.Append(std::move(row));
    return;
  }

  const bool timeFilter = options.IsChecked(Check::TimeFilter);
  const bool needsModifiedTime = !timeFilter && timeText.empty();
  // One stat gives both the size and the modification time when both are missing.
  std::optional<platform::FileStatus> status;
  if (size == 0 || needsModifiedTime) {
    status = folder.IsOpen() && slash != std::string::npos
                 ? folder.StatusOf(path.c_str() + slash + 1)
                 : platform::StatusOf(path);
  }
  if (size == 0 && status) size = status->size;

  row.sizeText = SizeText(size);
  if (timeFilter) {
    row.timeText = TimeColumnText(path, timeText, options);
  } else if (!timeText.empty()) {
    row.timeText = timeText;
  } else if (status) {
    row.timeText = LocalTimeText(status->modified.tv_sec);
  }
  row.countText = GroupedByFour(charCount);
  list.Append(std::move(row));
}

void AddRow(ResultList& list, const std::string& path, std::int64_t size, std::int64_t charCount,
            const std::string& timeText, const OptionControls& options, std::uint32_t group) {
  AddRowInFolder(platform::OpenFolder(), list, path, size, charCount, timeText, options, group);
}

}  // namespace tarnwick
