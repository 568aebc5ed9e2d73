#pragma once
// The time filter: tests a file's creation, modification or access time against the
// inclusive range of 编辑框时间起始 .. 编辑框时间终止, comparing the date, the time of
// day or both.

#include <string>

#include "engine/job/option_controls.h"
#include "platform/file_ref.h"

namespace tarnwick {

struct TimeTestResult {
  bool pass = false;
  // The tested time as the 文件时间 column shows it; "" when the time is unreadable.
  std::string timeText;
  std::int64_t size = 0;  // the file's size, read with its times (0 when unreadable)
};

// Reads the selected time of the file and compares it with the bounds, read now. A
// file whose time cannot be read is compared as 100-01-01 00:00:00, so it fails unless
// the range starts there.
TimeTestResult TimeFilterTest(const platform::FileRef& file, const OptionControls& options);

// The 文件时间 column while the time filter is ticked: the time in the form the filter
// compares (date, time of day, or both). `timeText` is the time the filter read for the
// file; when it is empty the file's time of the selected kind is read now. A time that
// cannot be read shows as the no-valid-time mark, 100-01-01 00:00:00.
std::string TimeColumnText(const platform::FileRef& file, const std::string& timeText,
                           const OptionControls& options);

// The file's modification time as "yyyy-MM-dd HH:mm:ss" in local time; "" when the
// file's times cannot be read.
std::string ModifiedTimeText(const std::string& path);

}  // namespace tarnwick
