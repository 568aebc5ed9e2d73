#include "engine/filters/file_times.h"

#include <optional>

#include "platform/file_times.h"

namespace tarnwick {
namespace {

// Writes `value` as exactly `width` digits (the caller has checked its range).
void PutDigits(char* out, int value, int width) {
  for (int index = width - 1; index >= 0; --index) {
    out[index] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

const std::string& FileTimes::Of(TimeKind kind) const {
  switch (kind) {
    case TimeKind::Created:
      return created;
    case TimeKind::Accessed:
      return accessed;
    case TimeKind::Modified:
      break;
  }
  return modified;
}

FileTimes ReadFileTimes(const platform::FileRef& file) {
  const std::optional<platform::FileStamps> stamps = platform::ReadFileStamps(file);
  if (!stamps) return {};
  return FileTimes{LocalTimeText(stamps->created), LocalTimeText(stamps->modified),
                   LocalTimeText(stamps->accessed), stamps->size};
}

std::string LocalTimeText(std::int64_t seconds) {
  const std::optional<platform::LocalTime> local = platform::ToLocalTime(seconds);
  // Years outside 0..9999 have no four-digit form; no date-time reads them anyway.
  if (!local || local->year < 0 || local->year > 9999) return {};
  std::string text = "0000-00-00 00:00:00";
  PutDigits(&text[0], local->year, 4);
  PutDigits(&text[5], local->month, 2);
  PutDigits(&text[8], local->day, 2);
  PutDigits(&text[11], local->hour, 2);
  PutDigits(&text[14], local->minute, 2);
  PutDigits(&text[17], local->second, 2);
  return text;
}

}  // namespace tarnwick
