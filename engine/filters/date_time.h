#pragma once
// Date-times as the time filter compares them: a calendar date from 100-01-01 to
// 9999-12-31 with the time of day to the second. 100-01-01 00:00:00 doubles as the mark
// of no valid time.

#include <compare>
#include <string>
#include <string_view>

namespace tarnwick {

struct DateTime {
  int year = 100;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;

  // Field by field from the year down: chronological order.
  auto operator<=>(const DateTime&) const = default;
};

enum class TimeCompareMode { DateOnly, TimeOfDayOnly, Both };

// Reads a typed bound or a file-time text (UTF-8; full-width digits and signs count as
// ASCII): year (up to 4 digits), month, day, hour, minute, second (up to 2 digits
// each), each followed by an optional separator ("-" "/" "." ":" or 年 月 日 时 分;
// a space may also follow the day). Hour, minute and second may be left off. Text
// after a final 秒 is ignored. Anything else, or a field out of range, gives the
// no-valid-time mark.
DateTime ParseDateTime(std::string_view text);

// The part of the value that the mode compares: the date at 00:00:00, the time of day
// on 2000-01-01, or the whole value.
DateTime ComparedPart(const DateTime& value, TimeCompareMode mode);

// True when start <= time <= end once all three are cut down to the compared part;
// a start after the end admits nothing.
bool InTimeRange(const DateTime& time, const DateTime& start, const DateTime& end,
                 TimeCompareMode mode);

// "2014-03-05", "08:05:09" or "2014-03-05 08:05:09" by mode; each field at least two
// digits, the year never padded beyond its own digits.
std::string TimeDisplayText(const DateTime& value, TimeCompareMode mode);

}  // namespace tarnwick
