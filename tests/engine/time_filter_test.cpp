#include "engine/filters/time_filter.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "engine/filters/date_time.h"
#include "engine/filters/file_times.h"
#include "engine/job/filter_options.h"
#include "tests/engine/temp_tree.h"
#include "tests/engine/walk_test_support.h"

namespace tarnwick {
namespace {

std::string Show(const DateTime& value) { return TimeDisplayText(value, TimeCompareMode::Both); }

struct ParseCase {
  std::string_view text;
  DateTime expected;
};

TEST(ParseDateTimeTest, AcceptedForms) {
  const ParseCase cases[] = {
      {"2012-12-21 12:12:12", {2012, 12, 21, 12, 12, 12}},
      {"2012.1.5 8:5", {2012, 1, 5, 8, 5, 0}},
      {"2012:12:21-12-12-12", {2012, 12, 21, 12, 12, 12}},
      {"20121221121212", {2012, 12, 21, 12, 12, 12}},
      {"2012年12月21日12时12分12秒", {2012, 12, 21, 12, 12, 12}},
      {"2012年12月21日12时12分12秒以后的文字", {2012, 12, 21, 12, 12, 12}},
      {"2012-12-21 ", {2012, 12, 21, 0, 0, 0}},     {"2012-02-29", {2012, 2, 29, 0, 0, 0}},
      {"２０１２－１２－２１　１２：１２：１２", {2012, 12, 21, 12, 12, 12}},
      {"2000-02-29", {2000, 2, 29, 0, 0, 0}},       {"2012/12/21", {2012, 12, 21, 0, 0, 0}},
      {"9999-12-31 23:59:59", {9999, 12, 31, 23, 59, 59}},
  };
  for (const ParseCase& test : cases) {
    EXPECT_EQ(Show(ParseDateTime(test.text)), Show(test.expected)) << "«" << test.text << "»";
  }
}

TEST(ParseDateTimeTest, RejectedFormsGiveTheNoTimeMark) {
  const std::string_view cases[] = {
      "", "2012-12", " 2012-12-21", "2012-12-21  12:12:12", "99-12-31", "10000-01-01",
      "1900-02-29", "2013-02-29", "2012-02-30", "2012-13-01", "2012-00-10", "2012-12-32",
      "2012-12-21 24:00:00", "2012-12-21 12:60:00", "2012-12-21 12:12:60", "2012-12-21x",
      "2012-12-21T12:00:00", "22:00:00"};
  for (const std::string_view text : cases) {
    EXPECT_EQ(ParseDateTime(text), DateTime{})
        << "«" << text << "» reads as " << Show(ParseDateTime(text));
  }
}

struct RangeCase {
  const char* time;
  const char* start;
  const char* end;
  TimeCompareMode mode;
  bool pass;
};

TEST(TimeRangeTest, CompareModesAndBoundarySeconds) {
  using enum TimeCompareMode;
  const char* kStart = "2012-12-21 12:12:12";
  const char* kEnd = "2014-03-31 23:55:00";
  const RangeCase cases[] = {
      {"2012-12-21 12:12:11", kStart, kEnd, Both, false},
      {"2012-12-21 12:12:12", kStart, kEnd, Both, true},
      {"2014-03-31 23:55:00", kStart, kEnd, Both, true},
      {"2014-03-31 23:55:01", kStart, kEnd, Both, false},
      {"2012-12-21 08:00:00", kStart, kEnd, DateOnly, true},
      {"2012-12-20 23:59:59", kStart, kEnd, DateOnly, false},
      {"2001-05-05 23:55:01", kStart, kEnd, TimeOfDayOnly, false},
      // No wrap past midnight.
      {"2012-12-21 23:00:00", "2012-12-21 22:00:00", "2012-12-21 06:00:00", TimeOfDayOnly, false},
      // A bound with no date is invalid and stands for 00:00:00.
      {"2012-12-21 23:00:00", "22:00:00", "2012-12-21 23:30:00", TimeOfDayOnly, true},
      {"2013-01-01 00:00:00", kEnd, kStart, Both, false},
      {"2014-03-31 10:00:00", kStart, "2014-03-31", Both, false},
      {"2014-03-31 00:00:00", kStart, "2014-03-31", Both, true},
      {"2013-01-01 00:00:00", kStart, "2014-02-30", Both, false},
      {"", "", "2014-02-30", Both, true},
      {"", kStart, kEnd, Both, false},
  };
  for (const RangeCase& test : cases) {
    EXPECT_EQ(InTimeRange(ParseDateTime(test.time), ParseDateTime(test.start),
                          ParseDateTime(test.end), test.mode),
              test.pass)
        << "«" << test.time << "» in «" << test.start << "» .. «" << test.end << "» mode "
        << static_cast<int>(test.mode);
  }
}

TEST(TimeDisplayTextTest, FieldsPaddedToTwoDigits) {
  const DateTime value{2014, 3, 5, 8, 5, 9};
  EXPECT_EQ(TimeDisplayText(value, TimeCompareMode::DateOnly), "2014-03-05");
  EXPECT_EQ(TimeDisplayText(value, TimeCompareMode::TimeOfDayOnly), "08:05:09");
  EXPECT_EQ(TimeDisplayText(value, TimeCompareMode::Both), "2014-03-05 08:05:09");
  EXPECT_EQ(TimeDisplayText(DateTime{}, TimeCompareMode::Both), "100-01-01 00:00:00");
}

// Seconds since the epoch of a local calendar time, with the zone's offset at that time.
std::int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  parts.tm_isdst = -1;
  return std::mktime(&parts);
}

FilterOptions TimeOptions(Check kind, Check mode, std::string from, std::string to) {
  return test::Ticked({Check::TimeFilter, kind, mode},
                      {{Field::TimeFrom, from}, {Field::TimeTo, to}});
}

TEST(TimeFilterTest, TestsTheChosenTimeOfTheFile) {
  test::TempTree tree;
  const std::string path = tree.Create("file.txt", "x");
  const platform::FileRef file = platform::FileAtPath(path);
  // Winter and summer dates: each is shown with its own zone offset.
  tree.SetTimes("file.txt", LocalSeconds(2013, 7, 1, 9, 30, 0),
                LocalSeconds(2012, 12, 21, 12, 12, 12));

  const FilterOptions modified = TimeOptions(Check::TimeModified, Check::CompareBoth,
                                             "2012-12-21 12:12:12", "2014-03-31 23:55:00");
  EXPECT_EQ(TimeFilterTest(file, modified).timeText, "2012-12-21 12:12:12");
  EXPECT_TRUE(TimeFilterTest(file, modified).pass);
  const FilterOptions tooLate = TimeOptions(Check::TimeModified, Check::CompareBoth,
                                            "2012-12-21 12:12:13", "2014-03-31 23:55:00");
  EXPECT_FALSE(TimeFilterTest(file, tooLate).pass);

  const FilterOptions accessed = TimeOptions(Check::TimeAccessed, Check::CompareTime,
                                             "2000-01-01 09:30:00", "2000-01-01 09:30:00");
  const TimeTestResult result = TimeFilterTest(file, accessed);
  EXPECT_TRUE(result.pass);
  EXPECT_EQ(result.timeText, "2013-07-01 09:30:00");
  EXPECT_EQ(TimeColumnText(file, result.timeText, accessed), "09:30:00");
  EXPECT_EQ(TimeColumnText(file, "", accessed), "09:30:00");
  EXPECT_EQ(TimeColumnText(file, "", TimeOptions(Check::TimeModified, Check::CompareDate, "", "")),
            "2012-12-21");
  EXPECT_EQ(ModifiedTimeText(path), "2012-12-21 12:12:12");
  EXPECT_NE(ParseDateTime(ReadFileTimes(file).created), DateTime{});
}

TEST(TimeFilterTest, UnreadableTimesCountAsTheNoTimeMark) {
  test::TempTree tree;
  const std::string missing = tree.Path("missing");
  const platform::FileRef file = platform::FileAtPath(missing);
  EXPECT_EQ(ModifiedTimeText(missing), "");
  const TimeTestResult result = TimeFilterTest(
      file, TimeOptions(Check::TimeModified, Check::CompareBoth, "2000-01-01", "2014-01-01"));
  EXPECT_FALSE(result.pass);
  EXPECT_EQ(result.timeText, "");
  EXPECT_TRUE(
      TimeFilterTest(file, TimeOptions(Check::TimeCreated, Check::CompareBoth, "", "2014-01-01"))
          .pass);
}

}  // namespace
}  // namespace tarnwick
