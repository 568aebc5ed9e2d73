#pragma once
// One listed file as a JSON object on one line (--format json): what a script needs of
// a row, in numbers and raw bytes rather than the list's display texts.
//
// Keys, in this order: "path", "path_base64" (only when the path is not UTF-8: its raw
// bytes; "path", "name" and "folder" are then read as GB18030 where that reads
// cleanly, else with U+FFFD for each byte that is not UTF-8), "name", "folder" (ends
// in "/"), "size" (bytes), "created", "modified", "accessed" (ISO 8601 local time with
// its offset) each followed by "<kind>_ns" (nanoseconds since the epoch), then
// "characters", "encoding" and "group" when the job set them. Size and times are left
// out when the file can no longer be looked at; a time beyond the range of 64-bit
// nanoseconds has no "<kind>_ns".

#include <optional>
#include <string>

#include "platform/file_details.h"
#include "results/result_list.h"

namespace tarnwick::cli {

// `details` is what the file system tells about the row's file (nullopt: nothing).
std::string JsonRow(const ResultRow& row, const std::optional<platform::FileDetails>& details);

}  // namespace tarnwick::cli
