#include "app/time_field/time_field_logic.h"

#include <array>

namespace tarnwick {
namespace {

struct PartRange {
  int low = 0;
  int high = 0;
};

// The values a part wraps within when stepped; the year is handled on its own.
PartRange RangeOf(TimePart part) {
  switch (part) {
    case TimePart::Month:
      return {1, 12};
    case TimePart::Day:
      return {1, 31};
    case TimePart::Hour:
      return {0, 23};
    case TimePart::Year:
    case TimePart::Minute:
    case TimePart::Second:
      break;
  }
  return {0, 59};
}

int Wrap(int value, PartRange range) {
  if (value < range.low) return range.high;
  if (value > range.high) return range.low;
  return value;
}

int BoundYear(int year, int currentYear) {
  if (year > currentYear) return kEarliestFieldYear;
  if (year < kEarliestFieldYear) return currentYear;
  return year;
}

int PartValue(std::string_view text, TimePart part) {
  const PartSpan span = SpanOf(part);
  int value = 0;
  for (int i = 0; i < span.length; ++i) value = value * 10 + (text[span.start + i] - '0');
  return value;
}

// `text` with `part` replaced by `value`: the year as its own digits, the other parts
// with two digits.
std::string WithPart(std::string_view text, TimePart part, int value) {
  std::string digits = std::to_string(value);
  if (part != TimePart::Year && digits.size() < 2) digits.insert(0, 1, '0');
  const PartSpan span = SpanOf(part);
  std::string result(text);
  result.replace(span.start, span.length, digits);
  return result;
}

}  // namespace

PartSpan SpanOf(TimePart part) {
  if (part == TimePart::Year) return {0, 4};
  return {2 + 3 * static_cast<int>(part) - 3, 2};
}

TimePart PartAt(int selectionStart) {
  if (selectionStart <= 4) return TimePart::Year;
  if (selectionStart >= 17) return TimePart::Second;
  return static_cast<TimePart>(2 + (selectionStart - 5) / 3);
}

TimePart PreviousPart(TimePart part) {
  if (part == TimePart::Year) return TimePart::Second;
  return static_cast<TimePart>(static_cast<int>(part) - 1);
}

TimePart NextPart(TimePart part) {
  if (part == TimePart::Second) return TimePart::Year;
  return static_cast<TimePart>(static_cast<int>(part) + 1);
}

bool IsFixedTimeForm(std::string_view text) {
  static constexpr std::string_view kForm = "0000-00-00 00:00:00";
  if (text.size() != kForm.size()) return false;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    const bool digitWanted = kForm[i] == '0';
    const bool isDigit = text[i] >= '0' && text[i] <= '9';
    if (digitWanted ? !isDigit : text[i] != kForm[i]) return false;
  }
  return true;
}

std::string StepPart(std::string_view text, TimePart part, int delta, int currentYear) {
  const int moved = PartValue(text, part) + delta;
  if (part == TimePart::Year) return WithPart(text, part, BoundYear(moved, currentYear));
  return WithPart(text, part, Wrap(moved, RangeOf(part)));
}

std::string TimeFieldTyping::TypeDigit(std::string_view text, TimePart part, int digit,
                                       std::int64_t nowMs, int currentYear) {
  const bool continuing = lastPart_ == part && nowMs - lastTickMs_ <= kTypingPauseMs;
  lastPart_ = part;
  lastTickMs_ = nowMs;

  if (part == TimePart::Year) {
    if (!continuing) return WithPart(text, part, currentYear);
    return WithPart(text, part, BoundYear(PartValue(text, part) + digit, currentYear));
  }
  const PartRange range = RangeOf(part);
  if (continuing) {
    const int appended = PartValue(text, part) * 10 + digit;
    const bool inRange = appended >= range.low && appended <= range.high;
    return WithPart(text, part, inRange ? appended : digit);
  }
  return WithPart(text, part, Wrap(digit, range));
}

}  // namespace tarnwick
