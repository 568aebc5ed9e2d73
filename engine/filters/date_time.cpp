#include "engine/filters/date_time.h"

#include <initializer_list>

#include "engine/filters/number_text.h"

namespace tarnwick {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValid(const DateTime& value) {
  if (value.year < 100 || value.year > 9999) return false;
  if (value.month < 1 || value.month > 12) return false;
  if (value.day < 1 || value.day > DaysInMonth(value.year, value.month)) return false;
  return value.hour <= 23 && value.minute <= 59 && value.second <= 59;
}

// Reads the fields of a date-time text from left to right.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : rest_(text) {}

  // Up to `maxDigits` decimal digits; 0 when there are none.
  int Number(int maxDigits) {
    int value = 0;
    for (int count = 0; count < maxDigits && !rest_.empty(); ++count) {
      const char digit = rest_.front();
      if (digit < '0' || digit > '9') break;
      value = value * 10 + (digit - '0');
      rest_.remove_prefix(1);
    }
    return value;
  }

  // Skips one of the separators when the text goes on with it.
  void Separator(std::initializer_list<std::string_view> separators) {
    for (const std::string_view separator : separators) {
      if (rest_.starts_with(separator)) {
        rest_.remove_prefix(separator.size());
        return;
      }
    }
  }

  bool AtEndOrSecondMark() const { return rest_.empty() || rest_.starts_with("秒"); }

 private:
  std::string_view rest_;
};

void AppendTwoDigitsAtLeast(std::string& text, int value) {
  if (value < 10) text += '0';
  text += std::to_string(value);
}

}  // namespace

DateTime ParseDateTime(std::string_view text) {
  const std::string ascii = FullWidthToAscii(text);
  FieldReader reader(ascii);
  DateTime value;
  value.year = reader.Number(4);
  reader.Separator({"-", "/", ".", ":", "年"});
  value.month = reader.Number(2);
  reader.Separator({"-", "/", ".", ":", "月"});
  value.day = reader.Number(2);
  reader.Separator({" ", "-", "/", ".", ":", "日"});
  value.hour = reader.Number(2);
  reader.Separator({"-", "/", ".", ":", "时"});
  value.minute = reader.Number(2);
  reader.Separator({"-", "/", ".", ":", "分"});
  value.second = reader.Number(2);
  if (!reader.AtEndOrSecondMark() || !IsValid(value)) return DateTime{};
  return value;
}

DateTime ComparedPart(const DateTime& value, TimeCompareMode mode) {
  switch (mode) {
    case TimeCompareMode::DateOnly:
      return DateTime{value.year, value.month, value.day, 0, 0, 0};
    case TimeCompareMode::TimeOfDayOnly:
      return DateTime{2000, 1, 1, value.hour, value.minute, value.second};
    case TimeCompareMode::Both:
      break;
  }
  return value;
}

bool InTimeRange(const DateTime& time, const DateTime& start, const DateTime& end,
                 TimeCompareMode mode) {
  const DateTime compared = ComparedPart(time, mode);
  return ComparedPart(start, mode) <= compared && compared <= ComparedPart(end, mode);
}

std::string TimeDisplayText(const DateTime& value, TimeCompareMode mode) {
  std::string text;
  if (mode != TimeCompareMode::TimeOfDayOnly) {
    AppendTwoDigitsAtLeast(text, value.year);
    text += '-';
    AppendTwoDigitsAtLeast(text, value.month);
    text += '-';
    AppendTwoDigitsAtLeast(text, value.day);
  }
  if (mode == TimeCompareMode::Both) text += ' ';
  if (mode != TimeCompareMode::DateOnly) {
    AppendTwoDigitsAtLeast(text, value.hour);
    text += ':';
    AppendTwoDigitsAtLeast(text, value.minute);
    text += ':';
    AppendTwoDigitsAtLeast(text, value.second);
  }
  return text;
}

}  // namespace tarnwick
