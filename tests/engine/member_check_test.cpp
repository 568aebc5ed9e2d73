// The look at each member before listing: the looks come back in the order the members
// were given (group order), whatever order they were looked at in, and a stop still
// gives the looks of the first members asked for.

#include "engine/duplicates/member_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/duplicates/duplicate_filter.h"
#include "engine/job/stop_flag.h"
#include "engine/schedule/worker_pool.h"
#include "platform/file_status.h"
#include "tests/engine/temp_tree.h"
#include "tests/engine/walk_test_support.h"

namespace tarnwick {
namespace {

struct Members {
  FoundFiles files;
  std::vector<std::uint64_t> prints;  // by file number
  std::vector<std::uint32_t> order;   // the members, in group order
};

// Files in a few folders, their prints taken now, and given in an order far from the
// walk's: each group's members come from folders apart.
Members MakeMembers(test::TempTree& tree, int count) {
  Members members;
  for (int file = 0; file < count; ++file) {
    const std::string path =
        tree.Create("f" + std::to_string(file % 7) + "/" + std::to_string(file), "x");
    members.files.Add(path);
    const std::optional<platform::FileStatus> status = platform::StatusOf(path);
    members.prints.push_back(StampPrint(StampOf(*status)));
  }
  for (int step = 0; step < 5; ++step) {
    for (int file = count - 1 - step; file >= 0; file -= 5)
      members.order.push_back(static_cast<std::uint32_t>(file));
  }
  return members;
}

std::vector<MemberLook> Look(const Members& members, WorkerPool* pool, test::RecordingHost& host,
                             const StopFlag& stop, std::size_t atLeast) {
  return LookAtMembers(
      members.files, members.order, [&](std::uint32_t file) { return members.prints[file]; }, pool,
      host, stop, [](std::size_t) {}, atLeast);
}

TEST(MemberCheckTest, LooksComeBackInTheMembersOrderAndFindTheFileWrittenTo) {
  test::TempTree tree;
  const Members members = MakeMembers(tree, 600);
  const std::string changed = tree.Path("f3/10");
  std::ofstream(changed, std::ios::app) << "more";
  for (const unsigned workers : {0u, 2u}) {
    const std::unique_ptr<WorkerPool> pool =
        workers ? std::make_unique<WorkerPool>(workers) : nullptr;
    test::RecordingHost host;
    StopFlag stop;
    stop.Clear();
    const std::vector<MemberLook> looks = Look(members, pool.get(), host, stop, 0);
    ASSERT_EQ(looks.size(), members.order.size());
    for (std::size_t at = 0; at < looks.size(); ++at) {
      const std::uint32_t file = members.order[at];
      EXPECT_EQ(looks[at].same, file != 10) << "member " << at << ", " << workers << " workers";
      EXPECT_EQ(looks[at].seen.size, file == 10 ? 5 : 1);
    }
  }
}

// A stop pressed before or while the members are looked at: the first members asked
// for are looked at all the same, and every look returned is one of a member in order.
TEST(MemberCheckTest, StopStillLooksAtTheFirstMembersAskedFor) {
  test::TempTree tree;
  const Members members = MakeMembers(tree, 2000);
  const std::unique_ptr<WorkerPool> pool = std::make_unique<WorkerPool>(2);
  for (const bool stopFirst : {true, false}) {
    test::RecordingHost host;
    StopFlag stop;
    stop.Clear();
    if (stopFirst) stop.Set();
    host.onPendingEvents = [&] { stop.Set(); };
    const std::size_t atLeast = 1500;
    const std::vector<MemberLook> looks = Look(members, pool.get(), host, stop, atLeast);
    ASSERT_GE(looks.size(), atLeast) << (stopFirst ? "stopped first" : "stopped while");
    ASSERT_LE(looks.size(), members.order.size());
    for (std::size_t at = 0; at < looks.size(); ++at) {
      EXPECT_TRUE(looks[at].same) << "member " << at;
      EXPECT_EQ(looks[at].seen.size, 1);
    }
  }
}

}  // namespace
}  // namespace tarnwick
