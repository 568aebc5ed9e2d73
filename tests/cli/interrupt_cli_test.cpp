// Ctrl-C during a job acts as the stop button: the walk ends, the duplicate groups
// found so far are still listed, and the program ends with status 130.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

TEST(Interrupt, StopsDuringADigestListsTheGroupsSoFarAndEndsWith130) {
  CliTree tree;
  tree.File("a1.txt", "same");
  tree.File("a2.txt", "same");
  // Two sparse files of one size: digesting them takes seconds but no disk space.
  for (const char* name : {"big1.dat", "big2.dat"}) {
    tree.File(name);
    ASSERT_EQ(truncate(tree.Path(name).c_str(), 3LL << 30), 0);
  }
  CliProcess job({"--dup", "md5", "--dup-output", "all", tree.Root()});
  // Press Ctrl-C once the digests are under way, however slowly the program started.
  for (int waited = 0; job.BytesRead() < (200 << 20) && waited < 20000; waited += 10) {
    usleep(10 * 1000);
  }
  job.Signal(SIGINT);
  const CliResult result = job.Wait();
  EXPECT_EQ(result.status, 130) << result.err;
  EXPECT_EQ(result.out, tree.Path("a1.txt") + "\n" + tree.Path("a2.txt") + "\n");
  EXPECT_NE(result.err.find("共筛选出 2 个文件"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tarnwick::cli_test
