#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/filters/file_times.h"
#include "temp_tree.h"
#include "walk_test_support.h"

namespace tarnwick {
namespace {

using Paths = std::vector<std::string>;

class ProcessFileTest : public ::testing::Test {
 protected:
  // Runs `action` just before the n-th file of the root folder is processed.
  void BeforeFile(int n, std::function<void()> action) {
    run.host.onPendingEvents = [this, n, action = std::move(action)] {
      // Entries are listed before the folder's status text is set; in a tree of one
      // folder every later call comes before a file.
      if (run.host.statusTexts.empty()) return;
      if (++filesSeen_ == n) action();
    };
  }

  test::TempTree tree;
  test::JobRun run;
  FilterOptions options = test::TreeOptions();

 private:
  int filesSeen_ = 0;
};

TEST_F(ProcessFileTest, WithoutFiltersEveryFileIsListedWithItsOwnTexts) {
  tree.Create("a.txt", "hello", 1400000000);
  tree.Create("sub/b.bin", std::string(2048, '\0'), 1300000000);
  EXPECT_EQ(run.Run(tree.Root(), options), (Paths{"a.txt", "sub/b.bin"}));
  EXPECT_EQ(run.list.Row(0).sizeText, "5 B");
  EXPECT_EQ(run.list.Row(0).timeText, LocalTimeText(1400000000));
  EXPECT_EQ(run.list.Row(0).countText, "0");
  EXPECT_EQ(run.list.Row(1).sizeText, "2 KB");
  EXPECT_EQ(run.list.Row(1).timeText, LocalTimeText(1300000000));
}

TEST_F(ProcessFileTest, FiltersRunInOrderAndStopAtTheFirstFailure) {
  tree.Create("keep.txt", "needle 12345");
  tree.Create("short.txt", "needle");
  tree.Create("other.txt", "haystack 1234567");
  options = test::Ticked({Check::ScopeTree, Check::ContentFilter, Check::InContent,
                          Check::LengthFilter, Check::UnitB},
                         {{Field::ContentPattern, "needle"}, {Field::LengthFrom, "10"},
                          {Field::LengthTo, "20"}});
  options.SetChecked(Check::InName, false);
  EXPECT_EQ(run.Run(tree.Root(), options), (Paths{"keep.txt"}));
  EXPECT_EQ(run.list.Row(0).sizeText, "12 B");
}

TEST_F(ProcessFileTest, UncountedFileShowsTheFolderLastCount) {
  tree.Create("a.txt", "abc");
  tree.Create("b.txt", "hello");
  tree.Create("sub/c.txt", "xy");
  options = test::Ticked({Check::ScopeTree, Check::LengthFilter, Check::MeasureChars, Check::UnitB},
                         {{Field::LengthFrom, "0"}, {Field::LengthTo, "100"}});
  BeforeFile(2, [this] { options.SetChecked(Check::LengthFilter, false); });
  EXPECT_EQ(run.Run(tree.Root(), options), (Paths{"a.txt", "b.txt", "sub/c.txt"}));
  EXPECT_EQ(run.list.Row(0).countText, "3");
  EXPECT_EQ(run.list.Row(1).countText, "3");  // not counted: the folder's last count
  EXPECT_EQ(run.list.Row(2).countText, "0");  // a new folder starts from 0
  EXPECT_EQ(run.list.Row(1).sizeText, "5 B");
}

TEST_F(ProcessFileTest, RowNeverShowsTheTimeOfAnEarlierRejectedFile) {
  tree.Create("a.txt", "x", 946684800);   // 2000: outside the time range
  tree.Create("b.txt", "x", 1300000000);  // 2011
  options = test::Ticked({Check::ScopeTree, Check::TimeFilter, Check::TimeModified},
                         {{Field::TimeFrom, "2010-01-01 00:00:00"},
                          {Field::TimeTo, "2010-12-31 23:59:59"}});
  // The time filter rejects a.txt; then the user switches it off.
  BeforeFile(2, [this] { options.SetChecked(Check::TimeFilter, false); });
  EXPECT_EQ(run.Run(tree.Root(), options), (Paths{"b.txt"}));
  EXPECT_EQ(run.list.Row(0).timeText, LocalTimeText(1300000000));
}

TEST_F(ProcessFileTest, DuplicateFilterListsOnlyAfterTheWalk) {
  tree.Create("a/x", "same");
  tree.Create("b/x", "same");
  tree.Create("b/y", "other");
  options =
      test::Ticked({Check::ScopeTree, Check::DuplicateFilter, Check::DupByName, Check::DupAll});
  EXPECT_EQ(run.Run(tree.Root(), options), (Paths{"a/x", "b/x"}));
  // Entering b, the walk had passed a/x without listing it.
  ASSERT_GE(run.host.rowsAtStatus.size(), 3u);
  EXPECT_EQ(run.host.rowsAtStatus[2], 0u);
}

}  // namespace
}  // namespace tarnwick
