#pragma once
// The editing rules of a time field: the text "yyyy-MM-dd HH:mm:ss" is edited one part
// at a time, by stepping a part up or down or by typing digits into it. Qt-free: the
// caller passes in the current year and a millisecond tick count.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

enum class TimePart { Year = 1, Month, Day, Hour, Minute, Second };

// The earliest year a time field holds; the latest is the current year.
inline constexpr int kEarliestFieldYear = 1946;
// Digits typed at most this many milliseconds apart go into the same number.
inline constexpr std::int64_t kTypingPauseMs = 4999;

struct PartSpan {
  int start = 0;
  int length = 0;
};

// The characters of `part` in the fixed form: the year 0-3, the month 5-6 ... the second 17-18.
PartSpan SpanOf(TimePart part);

// The part that the caret at `selectionStart` belongs to; a separator belongs to the part
// before it and any position past the end to the second.
TimePart PartAt(int selectionStart);

// Left and Right: the previous and the next part, wrapping between the year and the second.
TimePart PreviousPart(TimePart part);
TimePart NextPart(TimePart part);

// True when `text` is exactly "dddd-dd-dd dd:dd:dd" (digits; the values are not checked).
bool IsFixedTimeForm(std::string_view text);

// `text` (in the fixed form) with `part` moved by `delta` (+1 or -1). The month wraps
// within 1-12, the day within 1-31, the hour within 0-23, the minute and second within
// 0-59; a year above `currentYear` becomes 1946 and one below 1946 becomes `currentYear`.
std::string StepPart(std::string_view text, TimePart part, int delta, int currentYear);

// Typing digits into a field. Remembers the part and the tick of the last digit, so a
// digit that follows within 4999 ms in the same part continues the number being typed.
class TimeFieldTyping {
 public:
  // `text` (in the fixed form) after typing `digit` (0-9) into `part` at tick `nowMs`.
  std::string TypeDigit(std::string_view text, TimePart part, int digit, std::int64_t nowMs,
                        int currentYear);

 private:
  std::optional<TimePart> lastPart_;
  std::int64_t lastTickMs_ = 0;
};

}  // namespace tarnwick
