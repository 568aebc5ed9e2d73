#pragma once
// Appends one file to the result list with its five column texts.

#include <cstdint>
#include <string>

#include "engine/option_controls.h"
#include "platform/file_status.h"
#include "results/result_list.h"

namespace tarnwick {

// `path` is the full path (raw bytes). `size` gives 文件大小 (0: measure the file now);
// `charCount` gives 内容字数 grouped by four ("1,2345"). The time column is
// TimeColumnText while the time filter is ticked, else `timeText`, else the file's
// modification time. One stat serves both the size and the modification time. On a
// paths-only list the row gets 文件名 and 所在目录 alone and the file is not looked at.
// `group` is the row's duplicate group number (0: none).
void AddRow(ResultList& list, const std::string& path, std::int64_t size, std::int64_t charCount,
            const std::string& timeText, const OptionControls& options, std::uint32_t group = 0);

// The same for a file of the walk's current folder, which `folder` holds open: the
// file is looked up there by its name (by its path when `folder` holds nothing).
void AddRowInFolder(const platform::OpenFolder& folder, ResultList& list, const std::string& path,
                    std::int64_t size, std::int64_t charCount, const std::string& timeText,
                    const OptionControls& options, std::uint32_t group = 0);

}  // namespace tarnwick
