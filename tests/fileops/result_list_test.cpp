// Removing rows from the result list: any set of rows in one pass, whichever side of
// them is shorter, and one word to the observer listing the runs that left.

#include "results/result_list.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace tarnwick {

// How GoogleTest prints a run in a failure message.
void PrintTo(const RowRun& run, std::ostream* out) {
  *out << "{" << run.first << ", " << run.count << "}";
}

namespace {

struct Recorder final : ResultList::Observer {
  std::vector<std::vector<RowRun>> removals;
  void RowsAppended(std::size_t, std::size_t) override {}
  void RowsRemoved(std::span<const RowRun> runs) override {
    removals.emplace_back(runs.begin(), runs.end());
  }
  void RowChanged(std::size_t) override {}
  void Cleared() override {}
};

std::vector<std::string> Names(const ResultList& list) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < list.Count(); ++i) names.push_back(list.Row(i).name);
  return names;
}

TEST(ResultListTest, RemoveRowsKeepsTheOtherRowsInOrderAndReportsTheRuns) {
  const struct {
    std::vector<std::size_t> removed;
    std::vector<std::string> kept;
    std::vector<RowRun> runs;
  } cases[] = {
      {{3}, {"0", "1", "2", "4", "5", "6", "7", "8", "9"}, {{3, 1}}},
      {{1, 0, 2}, {"3", "4", "5", "6", "7", "8", "9"}, {{0, 3}}},          // near the front
      {{9, 8, 6}, {"0", "1", "2", "3", "4", "5", "7"}, {{6, 1}, {8, 2}}},  // near the end
      {{8, 2, 3, 5, 7, 3}, {"0", "1", "4", "6", "9"}, {{2, 2}, {5, 1}, {7, 2}}},
      {{1, 2, 4}, {"0", "3", "5", "6", "7", "8", "9"}, {{1, 2}, {4, 1}}},
      {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {}, {{0, 10}}},
      {{12, 4, 10}, {"0", "1", "2", "3", "5", "6", "7", "8", "9"}, {{4, 1}}},  // past the end
  };
  for (const auto& c : cases) {
    ResultList list;
    for (int i = 0; i < 10; ++i) list.Append({std::to_string(i), "", "", "", "/d/"});
    Recorder recorder;
    list.SetObserver(&recorder);
    list.RemoveRows(c.removed);
    EXPECT_EQ(Names(list), c.kept) << ::testing::PrintToString(c.removed);
    ASSERT_EQ(recorder.removals.size(), 1u) << ::testing::PrintToString(c.removed);
    EXPECT_EQ(recorder.removals[0], c.runs) << ::testing::PrintToString(c.removed);
  }

  ResultList list;
  Recorder recorder;
  list.SetObserver(&recorder);
  list.RemoveRows({0, 3});  // nothing to remove: no word to the observer
  EXPECT_TRUE(recorder.removals.empty());
}

}  // namespace
}  // namespace tarnwick
