#pragma once
// What the window says about a filter job, in the window's language: the activity and
// elapsed time on the status line while it runs, and its summary. The engine words its
// status in Chinese; the Chinese window shows it byte for byte as the engine gives it.

#include <QString>
#include <cstddef>
#include <cstdint>

#include "cache/digest_cache.h"

namespace tarnwick {

// FormatElapsed(ms): «1.23 秒», or «1.23 s» in English.
QString ElapsedText(std::int64_t ms);

// SummaryText(rows, ms): "筛选完毕！共筛选出 " + rows + " 个文件，耗时 " + elapsed + "。…".
QString SummaryLine(std::size_t rows, std::int64_t ms);

// What the status line adds after the summary of a job whose digest cache met `notice`.
QString CacheNoticeText(const CacheNotice& notice);

// What the status line adds after the summary of a job whose duplicate filter left out
// `count` files that changed during the job, the first of them at `firstPath` (raw bytes).
QString ChangedFilesText(std::size_t count, const std::string& firstPath);

// The engine's status `status` (already readable: path bytes decoded) in the window's
// language: "正在筛选：" + folder, "大小 " + size + "，正在读MD5：" + path. Any other
// text is returned as it is.
QString ActivityText(const QString& status);

}  // namespace tarnwick
