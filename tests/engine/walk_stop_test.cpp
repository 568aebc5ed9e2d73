#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_tree.h"
#include "walk_test_support.h"

namespace tarnwick {
namespace {

using Paths = std::vector<std::string>;

class WalkStopTest : public ::testing::TestWithParam<Lister> {
 protected:
  test::TempTree tree;
  test::JobRun run;
};

TEST_P(WalkStopTest, FileInHandFinishesThenNothingElse) {
  for (const char* path : {"f1", "f2", "f3", "f4", "sub/g1"}) tree.Create(path);
  run.host.onPendingEvents = [this] {
    if (run.list.Count() >= 2) run.stop.Set();
  };
  EXPECT_EQ(run.Run(tree.Root(), test::TreeOptions(), GetParam()), (Paths{"f1", "f2", "f3"}));
  EXPECT_TRUE(run.stop.IsSet());
}

TEST_P(WalkStopTest, StopInASubfolderEndsEveryLevel) {
  for (const char* path : {"a/x1", "a/x2", "a/deeper/y", "b/z"}) tree.Create(path);
  run.host.onPendingEvents = [this] {
    if (run.list.Count() >= 1) run.stop.Set();
  };
  EXPECT_EQ(run.Run(tree.Root(), test::TreeOptions(), GetParam()), (Paths{"a/x1", "a/x2"}));
}

TEST_P(WalkStopTest, DuplicatesFoundBeforeTheStopAreStillListed) {
  for (const char* path : {"a/same.txt", "b/same.txt", "c/same.txt"}) tree.Create(path, "x");
  const FilterOptions options =
      test::Ticked({Check::ScopeTree, Check::DuplicateFilter, Check::DupByName, Check::DupAll});
  // Stop once the walk has entered its third folder (root, a, b).
  run.host.onPendingEvents = [this] {
    if (run.host.statusTexts.size() >= 3) run.stop.Set();
  };
  EXPECT_EQ(run.Run(tree.Root(), options, GetParam()), (Paths{"a/same.txt", "b/same.txt"}));
}

INSTANTIATE_TEST_SUITE_P(BothListers, WalkStopTest,
                         ::testing::Values(Lister::FindFile, Lister::FileSystemObject));

TEST(FilterJob, StartsWithAnEmptyListAndAClearFlag) {
  test::TempTree tree;
  tree.Create("only");
  test::JobRun run;
  run.list.Append({"old", "", "", "", "/nowhere/"});
  ASSERT_TRUE(run.stop.IsSet());  // as when no job runs
  EXPECT_EQ(run.Run(tree.Root(), test::TreeOptions()), (Paths{"only"}));
  EXPECT_FALSE(run.stop.IsSet());
}

}  // namespace
}  // namespace tarnwick
