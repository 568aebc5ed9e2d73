// Folders and files that cannot be read are named on standard error, as find names
// them, and end the job with status 1; what the filters treat as empty by design
// (special files, dangling links) is no error.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

using Paths = std::vector<std::string>;

// The program runs as an ordinary user: as root it would read every file.
const CliEnvironment kUser{.variables = {}, .asOrdinaryUser = true, .stdoutPath = {}};

class Unreadable : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(chmod(tree.Root().c_str(), 0755), 0);
    tree.File("a.txt", "word");
    tree.File("locked/inside.txt", "word");
    tree.File("secret.txt", "word");
    tree.File("z/after.txt", "word");
    ASSERT_EQ(chmod(tree.Path("locked").c_str(), 0), 0);
    ASSERT_EQ(chmod(tree.Path("secret.txt").c_str(), 0), 0);
  }
  void TearDown() override { chmod(tree.Path("locked").c_str(), 0755); }

  std::string Named(const std::string& relative) const {
    return "tarnwick-cli: " + tree.Path(relative) + ": Permission denied\n";
  }

  CliTree tree;
};

TEST_F(Unreadable, FolderIsNamedAndTheRestOfTheTreeIsWalked) {
  const CliResult result = RunCli({"--scope", "tree", tree.Root()}, kUser);
  EXPECT_EQ(result.status, 1) << result.err;
  // Listing reads no file, so the file without permission is listed like any other.
  EXPECT_EQ(tree.Relative(SplitRecords(result.out)), (Paths{"a.txt", "secret.txt", "z/after.txt"}));
  EXPECT_EQ(result.err.find(Named("locked")), 0u) << result.err;
  EXPECT_NE(result.err.find("共筛选出 3 个文件"), std::string::npos) << result.err;
}

TEST_F(Unreadable, FileWhoseContentIsTestedIsNamedInWalkOrder) {
  for (const char* threads : {"1", "3"}) {
    const CliResult result = RunCli({"--scope", "tree", "--content", "word", "--in", "content",
                                     "--threads", threads, tree.Root()},
                                    kUser);
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(tree.Relative(SplitRecords(result.out)), (Paths{"a.txt", "z/after.txt"}));
    EXPECT_EQ(result.err.find(Named("secret.txt") + Named("locked")), 0u) << result.err;
  }
}

TEST_F(Unreadable, QuietLeavesTheNamesOutButNotTheStatus) {
  const CliResult result = RunCli({"-q", "--scope", "tree", tree.Root()}, kUser);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "");
}

TEST_F(Unreadable, ChosenFolderThatCannotBeReadIsNamed) {
  const CliResult result = RunCli({"-q", tree.Path("locked")}, kUser);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  const CliResult loud = RunCli({tree.Path("locked")}, kUser);
  EXPECT_EQ(loud.err.find(Named("locked")), 0u) << loud.err;
}

TEST(UnreadableByDesign, SpecialFilesAndDanglingLinksAreNoErrors) {
  CliTree tree;
  tree.File("text.txt", "word");
  ASSERT_EQ(mkfifo(tree.Path("pipe").c_str(), 0644), 0);
  ASSERT_EQ(symlink("nowhere", tree.Path("dangling").c_str()), 0);
  ASSERT_EQ(symlink("loop", tree.Path("loop").c_str()), 0);
  for (const std::vector<std::string>& job :
       {std::vector<std::string>{"--content", "word", "--in", "content", "--without"},
        std::vector<std::string>{"--chars", "0:0", "--format", "rows"},
        std::vector<std::string>{"--dup", "md5", "--dup-output", "all"}}) {
    std::vector<std::string> args = job;
    args.push_back("-q");
    args.push_back(tree.Root());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 0) << ::testing::PrintToString(job) << result.err;
    EXPECT_EQ(result.err, "");
  }
}

}  // namespace
}  // namespace tarnwick::cli_test
