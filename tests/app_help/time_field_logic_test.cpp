#include "app/time_field/time_field_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

constexpr int kThisYear = 2026;

TEST(TimeFieldParts, CaretPositionSelectsItsPart) {
  // The first and last caret position of each part of "2012-12-21 12:12:12", and beyond.
  const struct {
    int position;
    TimePart part;
  } cases[] = {{-1, TimePart::Year},   {4, TimePart::Year},    {5, TimePart::Month},
               {7, TimePart::Month},   {8, TimePart::Day},     {10, TimePart::Day},
               {11, TimePart::Hour},   {13, TimePart::Hour},   {14, TimePart::Minute},
               {16, TimePart::Minute}, {17, TimePart::Second}, {40, TimePart::Second}};
  for (const auto& c : cases) EXPECT_EQ(PartAt(c.position), c.part) << "caret at " << c.position;
}

TEST(TimeFieldForm, RecognisesOnlyTheFixedForm) {
  for (const char* text : {"2012-12-21 12:12:12", "9999-99-99 99:99:99"})
    EXPECT_TRUE(IsFixedTimeForm(text)) << text;
  for (const char* text :
       {"", "2012-12-21", "2012/12/21 12:12:12", "2012-12-21 12:12:1", "2012-12-21 12:12:123",
        "2012-1a-21 12:12:12", "２０１２-12-21 12:12:12"})
    EXPECT_FALSE(IsFixedTimeForm(text)) << text;
}

struct StepRow {
  const char* before;
  TimePart part;
  int delta;
  const char* after;
};

TEST(TimeFieldStep, StepsAndWrapsEachPart) {
  const StepRow rows[] = {
      {"2012-12-21 12:12:12", TimePart::Month, +1, "2012-01-21 12:12:12"},
      {"2012-01-21 12:12:12", TimePart::Month, -1, "2012-12-21 12:12:12"},
      {"2012-02-31 12:12:12", TimePart::Day, +1, "2012-02-01 12:12:12"},
      {"2012-02-01 12:12:12", TimePart::Day, -1, "2012-02-31 12:12:12"},
      {"2012-12-21 23:12:12", TimePart::Hour, +1, "2012-12-21 00:12:12"},
      {"2012-12-21 12:59:12", TimePart::Minute, +1, "2012-12-21 12:00:12"},
      {"2012-12-21 12:12:00", TimePart::Second, -1, "2012-12-21 12:12:59"},
      {"2012-12-21 12:12:12", TimePart::Year, +1, "2013-12-21 12:12:12"},
      {"2026-12-21 12:12:12", TimePart::Year, +1, "1946-12-21 12:12:12"},
      {"1946-12-21 12:12:12", TimePart::Year, -1, "2026-12-21 12:12:12"},
      // Out-of-range values restored from a settings file come back into range.
      {"2100-12-21 12:12:12", TimePart::Year, -1, "1946-12-21 12:12:12"},
      {"0100-12-21 12:12:12", TimePart::Year, +1, "2026-12-21 12:12:12"},
      {"2012-00-21 12:12:12", TimePart::Month, -1, "2012-12-21 12:12:12"},
  };
  for (const StepRow& row : rows)
    EXPECT_EQ(StepPart(row.before, row.part, row.delta, kThisYear), row.after)
        << row.before << " step " << row.delta << " in part " << static_cast<int>(row.part);
}

struct Keystroke {
  TimePart part;
  int digit;
  std::int64_t atMs;
  const char* textAfter;
};

struct TypingCase {
  const char* name;
  const char* start;
  std::vector<Keystroke> keys;
};

TEST(TimeFieldTypingRules, DigitsContinueOnlyInTheSamePartWithinTheTypingPause) {
  const TimePart month = TimePart::Month;
  const TypingCase cases[] = {
      {"1 then 2 gives 12",
       "2012-03-21 12:12:12",
       {{month, 1, 1000, "2012-01-21 12:12:12"}, {month, 2, 2000, "2012-12-21 12:12:12"}}},
      {"1 then 5 gives 05",
       "2012-03-21 12:12:12",
       {{month, 1, 1000, "2012-01-21 12:12:12"}, {month, 5, 2000, "2012-05-21 12:12:12"}}},
      {"2 six seconds after 1 starts again",
       "2012-03-21 12:12:12",
       {{month, 1, 1000, "2012-01-21 12:12:12"}, {month, 2, 7000, "2012-02-21 12:12:12"}}},
      {"4999 ms apart still continues",
       "2012-03-21 12:12:12",
       {{month, 1, 1000, "2012-01-21 12:12:12"}, {month, 2, 5999, "2012-12-21 12:12:12"}}},
      {"5000 ms apart starts again",
       "2012-03-21 12:12:12",
       {{month, 1, 1000, "2012-01-21 12:12:12"}, {month, 2, 6000, "2012-02-21 12:12:12"}}},
      {"the first digit ever typed never continues",
       "2012-01-21 12:12:12",
       {{month, 2, 0, "2012-02-21 12:12:12"}}},
      {"0 wraps the month to 12 and the day to 31",
       "2012-03-21 12:12:12",
       {{month, 0, 1000, "2012-12-21 12:12:12"}, {TimePart::Day, 0, 1100, "2012-12-31 12:12:12"}}},
      {"0 is a valid first digit of the hour, minute and second",
       "2012-03-21 12:12:12",
       {{TimePart::Hour, 0, 1000, "2012-03-21 00:12:12"},
        {TimePart::Minute, 0, 1100, "2012-03-21 00:00:12"},
        {TimePart::Second, 0, 1200, "2012-03-21 00:00:00"}}},
      {"a digit in another part breaks the number",
       "2012-03-21 12:12:12",
       {{month, 1, 1000, "2012-01-21 12:12:12"},
        {TimePart::Day, 2, 1100, "2012-01-02 12:12:12"},
        {month, 2, 1200, "2012-02-02 12:12:12"}}},
      {"a number past the range keeps the last digit alone, even 0",
       "2012-03-21 12:12:12",
       {{month, 1, 1000, "2012-01-21 12:12:12"},
        {month, 3, 1100, "2012-03-21 12:12:12"},
        {month, 0, 1200, "2012-00-21 12:12:12"}}},
      {"hours stop at 23",
       "2012-03-21 12:12:12",
       {{TimePart::Hour, 2, 1000, "2012-03-21 02:12:12"},
        {TimePart::Hour, 3, 1100, "2012-03-21 23:12:12"},
        {TimePart::Hour, 2, 9000, "2012-03-21 02:12:12"},
        {TimePart::Hour, 4, 9100, "2012-03-21 04:12:12"}}},
      {"the year starts at the current year, then adds the digits within its bounds",
       "2012-03-21 12:12:12",
       {{TimePart::Year, 7, 1000, "2026-03-21 12:12:12"},
        {TimePart::Year, 1, 1100, "1946-03-21 12:12:12"},
        {TimePart::Year, 5, 1200, "1951-03-21 12:12:12"},
        {TimePart::Year, 0, 1300, "1951-03-21 12:12:12"},
        {TimePart::Year, 3, 9000, "2026-03-21 12:12:12"}}},
  };
  for (const TypingCase& typingCase : cases) {
    TimeFieldTyping typing;
    std::string text = typingCase.start;
    for (const Keystroke& key : typingCase.keys) {
      text = typing.TypeDigit(text, key.part, key.digit, key.atMs, kThisYear);
      EXPECT_EQ(text, key.textAfter)
          << typingCase.name << ": digit " << key.digit << " at " << key.atMs << " ms";
    }
  }
}

}  // namespace
}  // namespace tarnwick
