// The duplicate filter tells its host how far each stage has come, so that the window can
// show it: every report within its total, and each stage's last report complete once
// the groups are listed.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/engine/duplicate_test_support.h"
#include "tests/engine/temp_tree.h"

namespace tarnwick {
namespace {

using test::Digesting;
using test::DuplicateOptions;
using test::Paths;

class DuplicateProgressTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(DuplicateProgressTest, EveryStageReportsWithinItsTotalAndEndsComplete) {
  test::TempTree tree;
  // Three big files alike (their ends, then their bytes compared), a pair of small ones
  // (whole in the ends stage) and a file of a size no other has, which is never read.
  const std::string big(200 * 1024, 'b');
  const Paths files = {tree.Create("a/1.bin", big),       tree.Create("a/2.bin", big),
                       tree.Create("b/3.bin", big),       tree.Create("b/small1.txt", "pair"),
                       tree.Create("c/small2.txt", "pair"), tree.Create("c/alone.txt", "alone!")};
  Digesting job;
  const Paths listed = test::RunStore(files, DuplicateOptions(Check::DupByMd5, Check::DupAll),
                                      job, {nullptr, GetParam()});
  ASSERT_EQ(listed.size(), 5u);

  std::map<DuplicateStage, test::RecordingHost::Progress> last;
  for (const auto& note : job.host.progress) {
    EXPECT_GT(note.total, 0u);
    EXPECT_LE(note.done, note.total);
    last[note.stage] = note;
  }
  const auto ended = [&](DuplicateStage stage, std::uint64_t total, ProgressUnit unit) {
    ASSERT_TRUE(last.count(stage)) << static_cast<int>(stage);
    EXPECT_EQ(last[stage].done, total) << static_cast<int>(stage);
    EXPECT_EQ(last[stage].total, total) << static_cast<int>(stage);
    EXPECT_EQ(last[stage].unit, unit) << static_cast<int>(stage);
  };
  ended(DuplicateStage::CompareEnds, 5, ProgressUnit::Files);
  ended(DuplicateStage::CompareWhole, 3 * big.size(), ProgressUnit::Bytes);
  ended(DuplicateStage::ListGroups, 5, ProgressUnit::Files);
  // Without the cache nothing is looked up.
  EXPECT_EQ(last.count(DuplicateStage::LookUp), 0u);
}

INSTANTIATE_TEST_SUITE_P(Threads, DuplicateProgressTest, ::testing::Values(1u, 2u));

}  // namespace
}  // namespace tarnwick
