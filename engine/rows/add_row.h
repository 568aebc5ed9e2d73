#pragma once
// The rows of the result list and their five column texts.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/job/option_controls.h"
#include "platform/file_ref.h"
#include "platform/file_status.h"
#include "results/result_list.h"

namespace tarnwick {

// Fills `row` for the file `file` reaches, every text but 内容字数. `folder` (the path
// before the name, ending in "/", or empty) and `name` become 所在目录 and 文件名 as
// they are. `size` gives 文件大小 (0: measure the file now). The time column is
// TimeColumnText while the time filter is ticked, else `timeText`, else the file's
// modification time; one stat serves both the size and the modification time, and
// `known`, when given, is that stat, just taken. With `pathsOnly` the row gets 文件名 and
// 所在目录 alone and the file is not looked at.
void FillRow(ResultRow& row, const platform::FileRef& file, std::string_view folder,
             std::string_view name, std::int64_t size, const std::string& timeText,
             const OptionControls& options, bool pathsOnly,
             const platform::FileStatus* known = nullptr);

// 内容字数: the count with "," before every group of four digits from the right ("1,2345").
std::string CountText(std::int64_t count);

// Appends the file at `path` (the full path, raw bytes) with `charCount` as 内容字数 and
// the other texts as FillRow gives them; on a paths-only list with 文件名 and 所在目录 only.
// `group` is the row's duplicate group number (0: none); `similarity` its resemblance to
// its group's first file in tenths of a percent (-1: none); `known` a stat of the file
// just taken, as FillRow takes it.
void AddRow(ResultList& list, const std::string& path, std::int64_t size, std::int64_t charCount,
            const std::string& timeText, const OptionControls& options, std::uint32_t group = 0,
            int similarity = -1, const platform::FileStatus* known = nullptr);

}  // namespace tarnwick
