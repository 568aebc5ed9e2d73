#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "temp_tree.h"
#include "walk_test_support.h"

namespace tarnwick {
namespace {

using Paths = std::vector<std::string>;

class WalkSpecialFilesTest : public ::testing::TestWithParam<Lister> {
 protected:
  Paths Run(const FilterOptions& options) { return run.Run(tree.Root(), options, GetParam()); }

  test::TempTree tree;
  test::JobRun run;
};

// Links to folders are never followed, so loops end; a link to a file is a file.
TEST_P(WalkSpecialFilesTest, LinksToFoldersAreSkippedLinksToFilesListed) {
  tree.Create("sub/file", "x");
  tree.MakeLink(".", "sub/self");
  tree.MakeLink("..", "sub/up");
  tree.MakeLink(tree.Root(), "back-to-root");
  tree.Create("real", "12345");
  tree.MakeLink("real", "alias");
  EXPECT_EQ(Run(test::TreeOptions()), (Paths{"alias", "real", "sub/file"}));
  EXPECT_EQ(run.list.Row(0).sizeText, "5 B");
}

TEST_P(WalkSpecialFilesTest, FifoIsListedAndNeverRead) {
  tree.MakeFifo("pipe");
  tree.Create("text", "needle");
  EXPECT_EQ(Run(test::TreeOptions()), (Paths{"pipe", "text"}));

  // Content and character count treat the FIFO as unreadable instead of waiting on it.
  FilterOptions options = test::Ticked(
      {Check::ScopeTree, Check::ContentFilter, Check::LacksContent, Check::InContent,
       Check::LengthFilter, Check::MeasureChars},
      {{Field::ContentPattern, "needle"}, {Field::LengthFrom, "0"}, {Field::LengthTo, "0"}});
  options.SetChecked(Check::InName, false);
  EXPECT_EQ(Run(options), (Paths{"pipe"}));
}

// A FIFO is refused before it is opened, also behind a link and whatever its name, on
// every thread count: a writer waiting for a reader never sees one.
TEST_P(WalkSpecialFilesTest, FifoIsNeverOpenedNorALinkToIt) {
  const std::string fifo = tree.MakeFifo("pipe.txt");
  tree.MakeLink("pipe.txt", "alias.txt");
  tree.Create("text.txt", "needle");
  std::atomic<bool> writerGotIn{false};
  std::thread writer([&] {
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);  // waits for a reader
    writerGotIn = true;
    if (fd >= 0) ::close(fd);
  });
  FilterOptions options = test::Ticked({Check::ScopeTree, Check::ContentFilter, Check::InContent},
                                       {{Field::ContentPattern, "needle"}});
  options.SetChecked(Check::InName, false);
  for (const unsigned threads : {1U, 2U}) {
    test::JobRun job;
    JobSettings settings;
    settings.threads = threads;
    RunFilterJob(tree.Root(), GetParam(), options, job.list, job.host, job.stop, settings);
    EXPECT_EQ(test::RelativePaths(job.list, tree.Root()), (Paths{"text.txt"})) << threads;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(writerGotIn);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  writer.join();
  ::close(reader);
}

TEST_P(WalkSpecialFilesTest, UnreadableFolderIsSkippedAndTheWalkGoesOn) {
  tree.Create("a.txt");
  tree.Create("locked/inside");
  tree.Create("z/after");
  tree.SetMode("locked", 0);
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  EXPECT_EQ(Run(test::TreeOptions()), (Paths{"a.txt", "z/after"}));
}

TEST_P(WalkSpecialFilesTest, NameThatIsNotUtf8KeepsItsBytes) {
  const std::string name = "bad\xff\xfe.txt";
  tree.Create("odd\xc3/" + name, "abc");
  EXPECT_EQ(Run(test::TreeOptions()), (Paths{"odd\xc3/" + name}));
  EXPECT_EQ(run.list.Row(0).name, name);
  // The status line gets valid UTF-8 even for such a folder.
  for (const std::string& status : run.host.statusTexts) {
    EXPECT_EQ(status.find('\xc3' + std::string("/")), std::string::npos) << status;
  }

  EXPECT_EQ(Run(test::Ticked({Check::ScopeTree, Check::ContentFilter},
                             {{Field::ContentPattern, "bad"}})), (Paths{"odd\xc3/" + name}));
}

TEST_P(WalkSpecialFilesTest, MissingOrEmptyRootListsNothing) {
  EXPECT_TRUE(run.Run(tree.Path("missing"), test::TreeOptions(), GetParam()).empty());
  // An empty folder text must not turn into the file system's root.
  FilterOptions options;
  options.SetChecked(Check::ScopeThis, true);
  EXPECT_TRUE(run.Run("", options, GetParam()).empty());
}

INSTANTIATE_TEST_SUITE_P(BothListers, WalkSpecialFilesTest,
                         ::testing::Values(Lister::FindFile, Lister::FileSystemObject));

}  // namespace
}  // namespace tarnwick
