// A job under tight process limits does what it does without them: threads the system
// will not start leave the pool smaller, and the rows are those of one thread.

#include <gtest/gtest.h>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

void DuplicateTree(const CliTree& tree) {
  for (int index = 0; index < 40; ++index) {
    const std::string text = "content " + std::to_string(index % 13);
    tree.File("d" + std::to_string(index % 4) + "/f" + std::to_string(index) + ".txt", text);
  }
}

TEST(ResourceLimits, ThreadsThatCannotStartLeaveThePoolSmallerAndTheRowsUnchanged) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves far more address space than the limits";
#endif
  CliTree tree;
  DuplicateTree(tree);
  const std::vector<std::string> job = {"--scope", "tree", "--dup", "md5", "--dup-output", "all"};
  std::vector<std::string> oneThread = job;
  oneThread.insert(oneThread.end(), {"--threads", "1", tree.Root()});
  const CliResult expected = RunCli(oneThread);
  ASSERT_EQ(expected.status, 0) << expected.err;
  ASSERT_FALSE(expected.out.empty());

  struct Case {
    const char* threads;
    rlim_t addressSpace;
  };
  for (const Case& limited : {Case{"100", 400000ULL << 10}, Case{"8", 60000ULL << 10}}) {
    std::vector<std::string> args = job;
    args.insert(args.end(), {"--threads", limited.threads, tree.Root()});
    const CliResult result =
        RunCli(args, {}, {{RLIMIT_AS, limited.addressSpace, limited.addressSpace}});
    EXPECT_EQ(result.status, 0) << limited.threads << " threads: " << result.err;
    EXPECT_EQ(result.out, expected.out) << limited.threads << " threads";
  }
}

// Each file held open while its two pieces are read, and its folder while its batch is
// out: with few descriptors the rows were once those of the files that found one.
TEST(ResourceLimits, FewDescriptorsGiveEveryThreadCountTheSameRows) {
  CliTree tree;
  const std::string content(256 * 1024, 'a');
  for (int index = 0; index < 150; ++index)
    tree.File("d" + std::to_string(index) + "/f.txt", content);
  const rlim_t few = 24;
  rlimit now{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &now), 0);
  // The soft limit alone (the program may raise it), and both limits (it may not).
  for (const CliLimit& limit :
       {CliLimit{RLIMIT_NOFILE, few, now.rlim_max}, CliLimit{RLIMIT_NOFILE, few, few}}) {
    for (const char* threads : {"1", "8"}) {
      const CliResult result = RunCli({"--threads", threads, "--scope", "tree", "--content", "zzzz",
                                       "--without", "--in", "content", tree.Root()},
                                      {}, {limit});
      EXPECT_EQ(result.status, 0) << threads << " threads, hard limit " << limit.hard << ": "
                                  << result.err;
      EXPECT_EQ(SplitRecords(result.out).size(), 150u)
          << threads << " threads, hard limit " << limit.hard;
      EXPECT_EQ(result.err.find("Too many open files"), std::string::npos) << result.err;
    }
  }
}

}  // namespace
}  // namespace tarnwick::cli_test
