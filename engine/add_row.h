#pragma once
// Appends one file to the result list with its five column texts.

#include <cstdint>
#include <string>

#include "engine/option_controls.h"
#include "results/result_list.h"

namespace tarnwick {

// `path` is the full path (raw bytes). `size` gives 文件大小; `charCount` gives
// 内容字数 grouped by four ("1,2345"). The time column is TimeColumnText while the
// time filter is ticked, else `timeText`, else the file's modification time.
void AddRow(ResultList& list, const std::string& path, std::int64_t size,
            std::int64_t charCount, const std::string& timeText, const OptionControls& options);

}  // namespace tarnwick
