#include <gtest/gtest.h>

#include <utility>

#include "engine/rows/add_row.h"
#include "engine/filters/file_times.h"
#include "engine/filter_job.h"
#include "engine/job/filter_options.h"
#include "results/result_list.h"
#include "results/file_size.h"
#include "results/size_text.h"
#include "temp_tree.h"

namespace tarnwick {
namespace {

// A number and the text it must read as.
using NumberCase = std::pair<std::int64_t, const char*>;

TEST(SizeText, PicksTheUnitAndRoundsToHundredths) {
  constexpr std::int64_t kKiB = 1024;
  const NumberCase cases[] = {
      {0, "0 B"}, {1023, "1023 B"}, {1024, "1 KB"}, {1126, "1.1 KB"},
      {kKiB * kKiB - 1, "1024 KB"},  // 1023.999 KB rounds up but stays in KB
      {kKiB * kKiB, "1 MB"}, {1234567, "1.18 MB"}, {kKiB * kKiB * kKiB * kKiB, "1 TB"},
      {kKiB * kKiB * kKiB * kKiB * kKiB, "1 PB"},
      {kKiB * kKiB * kKiB * kKiB * kKiB * 2000, "2000 PB"},  // no unit above PB
  };
  for (const auto& [size, text] : cases) EXPECT_EQ(SizeText(size), text) << "size " << size;
}

TEST(HundredthsText, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(HundredthsText(1.005), "1.01");  // stored a hair below the half
  EXPECT_EQ(HundredthsText(-1.005), "-1.01");
  EXPECT_EQ(HundredthsText(-0.001), "0");
  EXPECT_EQ(HundredthsText(1234567890123.456), "1234567890123");  // 13 significant digits
  EXPECT_EQ(HundredthsText(1e20), "1e+20");
}

TEST(FormatElapsed, BringsMillisecondsToTheLargestUnitReached) {
  constexpr std::int64_t kDay = 86400000;
  const NumberCase cases[] = {
      {0, "0 毫秒"},      {999, "999 毫秒"},    {1000, "1 秒"},        {1234, "1.23 秒"},
      {59999, "60 秒"},   {61000, "1.02 分"},   {3599999, "60 分"},    {3600000, "1 时"},
      {90061000, "1.04 天"}, {kDay * 30, "1 月"}, {kDay * 45, "1.5 月"}, {kDay * 360, "1 年"},
  };
  for (const auto& [ms, text] : cases) EXPECT_EQ(FormatElapsed(ms), text) << "ms " << ms;
}

TEST(SummaryText, CountsRowsAndElapsedTime) {
  EXPECT_EQ(SummaryText(3, 1234), "筛选完毕！共筛选出 3 个文件，耗时 1.23 秒。请单击按钮操作列表！");
}

class AddRowTest : public ::testing::Test {
 protected:
  test::TempTree tree;
  FilterOptions options;
  ResultList list;
};

TEST_F(AddRowTest, FillsTheColumnsFromTheFile) {
  constexpr std::int64_t kModified = 1400000000;
  const std::string path = tree.Create("sub/报告.txt", std::string(1536, 'x'), kModified);
  AddRow(list, path, 0, 0, "", options);
  ASSERT_EQ(list.Count(), 1u);
  const ResultRow& row = list.Row(0);
  EXPECT_EQ(row.name, "报告.txt");
  EXPECT_EQ(row.folder, tree.Path("sub") + "/");
  EXPECT_EQ(row.sizeText, "1.5 KB");
  EXPECT_EQ(row.timeText, LocalTimeText(kModified));
  EXPECT_EQ(row.countText, "0");
  EXPECT_EQ(list.FullPath(0), path);
  // A size and a time text the filters already read are used as they are.
  AddRow(list, path, 5000, 0, "2001-02-03 04:05:06", options);
  EXPECT_EQ(list.Row(1).sizeText, "4.88 KB");
  EXPECT_EQ(list.Row(1).timeText, "2001-02-03 04:05:06");
}

TEST_F(AddRowTest, GroupsTheCountByFourDigits) {
  const std::string path = tree.Create("a.txt", "x");
  const NumberCase cases[] = {
      {0, "0"}, {1234, "1234"}, {12345, "1,2345"}, {123456789, "1,2345,6789"},
      {3000000000, "30,0000,0000"},
  };
  for (const auto& [count, text] : cases) {
    AddRow(list, path, 1, count, "", options);
    EXPECT_EQ(list.Row(list.Count() - 1).countText, text) << "count " << count;
  }
}

// A paths-only list must name the very files a full list names, and nothing more; a
// vanished file and a path without a folder keep their full paths in both.
TEST_F(AddRowTest, PathsOnlyRowsKeepThePathAndLeaveTheOtherTextsEmpty) {
  ResultList pathsOnly;
  pathsOnly.SetPathsOnly(true);
  const std::string paths[] = {tree.Create("sub/报告.txt", "xyz", 1400000000),
                               tree.Path("gone.txt"), "loose.txt"};
  for (const std::string& path : paths) {
    AddRow(list, path, 0, 12345, "", options);
    AddRow(pathsOnly, path, 0, 12345, "", options);
  }
  pathsOnly.Clear();  // a new job keeps the choice
  for (const std::string& path : paths) AddRow(pathsOnly, path, 0, 12345, "", options);
  EXPECT_EQ(list.Row(1).sizeText, "0 B");
  EXPECT_EQ(list.Row(1).timeText, "");
  EXPECT_EQ(list.Row(2).name, "loose.txt");
  ASSERT_EQ(pathsOnly.Count(), list.Count());
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const ResultRow& row = pathsOnly.Row(i);
    EXPECT_EQ(row.name, list.Row(i).name);
    EXPECT_EQ(row.folder, list.Row(i).folder);
    EXPECT_EQ(list.FullPath(i), paths[i]);
    EXPECT_EQ(pathsOnly.FullPath(i), paths[i]);
    EXPECT_EQ(row.sizeText + row.timeText + row.countText, "") << paths[i];
  }
}

TEST(FileSizeOf, MeasuresFilesAndGivesZeroForMissingOnes) {
  test::TempTree tree;
  EXPECT_EQ(FileSizeOf(tree.Create("five", "12345")), 5);
  EXPECT_EQ(FileSizeOf(tree.Path("missing")), 0);
  // A link measures its target; without read permission the size is still real.
  tree.MakeLink("five", "link");
  EXPECT_EQ(FileSizeOf(tree.Path("link")), 5);
  tree.SetMode("five", 0);
  EXPECT_EQ(FileSizeOf(tree.Path("five")), 5);
}

}  // namespace
}  // namespace tarnwick
