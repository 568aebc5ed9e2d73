// The walk as the command line drives it: scopes and levels, overlapping name
// patterns under both listers, and the entries a walk must survive (FIFOs, link
// loops, names that are not UTF-8).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

using Paths = std::vector<std::string>;

TEST(Scope, ScopeAndLevelsChooseTheFoldersWalked) {
  CliTree tree;
  for (const char* name : {"a.txt", "sub/b.txt", "sub/deep/c.txt", "sub2/d.txt"}) tree.File(name);
  const Paths all{"a.txt", "sub/b.txt", "sub/deep/c.txt", "sub2/d.txt"};
  const Paths twoLevels{"a.txt", "sub/b.txt", "sub2/d.txt"};
  ExpectListings(tree, {
                           {{}, {"a.txt"}},  // the window starts with 仅该目录
                           {{"--scope", "this"}, {"a.txt"}},
                           {{"--scope", "tree"}, all},
                           {{"--scope", "levels", "--levels", "2"}, twoLevels},
                           {{"--scope", "levels", "--levels", "３"}, all},  // full-width digit
                           {{"--scope", "levels", "--levels", " 2x"}, twoLevels},
                           {{"--scope", "levels", "--levels", "1"}, {"a.txt"}},
                           {{"--scope", "levels", "--levels", "0"}, {"a.txt"}},
                           {{"--scope", "levels", "--levels", "x"}, {"a.txt"}},
                           {{"--scope", "levels", "--levels", "-1"}, {"a.txt"}},
                       });
  const CliResult slashed = RunCli({"-q", "--scope", "tree", tree.Root() + "/"});
  EXPECT_EQ(tree.Relative(SplitRecords(slashed.out)), all);
}

TEST(NamePatterns, FindListerListsPerPatternMaskListerOnce) {
  CliTree tree;
  for (const char* name : {"a.txt", "a.htm", "b.htm", "c.TXT", "noext", "sub/y.txt", "sub/y.htm"})
    tree.File(name);
  const Paths everything{"a.htm", "a.txt", "b.htm", "c.TXT", "noext"};
  ExpectListings(
      tree,
      {
          {{"--lister", "find", "--mask", "*.txt|*.htm"}, {"a.txt", "c.TXT", "a.htm", "b.htm"}},
          {{"--lister", "find", "--mask", "*.txt|a*"}, {"a.txt", "c.TXT", "a.htm", "a.txt"}},
          {{"--lister", "find", "--mask", ""}, everything},
          {{"--lister", "find", "--mask", "*.*"}, everything},
          {{"--lister", "find", "--mask", "?.htm"}, {"a.htm", "b.htm"}},
          {{"--lister", "mask", "--mask", "*.txt|a*"}, {"a.htm", "a.txt", "c.TXT"}},
          {{"--lister", "mask", "--mask", "*.*"}, everything},
          // The mask lister applies to every folder of the walk.
          {{"--lister", "mask", "--mask", "*.TXT", "--scope", "tree"},
           {"a.txt", "c.TXT", "sub/y.txt"}},
      });
}

TEST(OddEntries, FifoIsListedButNeverReadAndFolderLinksAreNotFollowed) {
  CliTree tree;
  tree.File("plain.txt", "word");
  ASSERT_EQ(mkfifo(tree.Path("pipe").c_str(), 0644), 0);
  tree.File("sub/real.txt");
  ASSERT_EQ(symlink(".", tree.Path("sub/loop").c_str()), 0);
  ASSERT_EQ(symlink("..", tree.Path("sub/up").c_str()), 0);
  ASSERT_EQ(symlink("real.txt", tree.Path("sub/link.txt").c_str()), 0);
  // Reading the FIFO would block for ever; RunCli's timeout turns that into a failure.
  ExpectListings(tree,
                 {
                     {{}, {"pipe", "plain.txt"}},
                     {{"--content", "word", "--in", "content"}, {"plain.txt"}},
                     {{"--dup", "md5", "--dup-output", "all"}, {}},
                     {{"--scope", "tree"}, {"pipe", "plain.txt", "sub/link.txt", "sub/real.txt"}},
                 });
}

// Rows are the texts the list shows: a name that is not UTF-8 decoded as the window
// decodes it (once printed as raw bytes); paths keep the bytes.
TEST(OddEntries, NameThatIsNotUtf8IsPrintedAsTheListShowsIt) {
  CliTree tree;
  const std::string name = "bad\xff\xfe\xb0\xa1.txt";  // 0xB0A1 is 啊 in GBK
  const std::string gbk = "\xb7\xa2\xc6\xb1.txt";      // 发票.txt in GBK
  tree.File("dir\x80/" + name, "content");
  tree.File("dir\x80/" + gbk, "content");
  const CliResult result = RunCli({"-q", "--scope", "tree", "--format", "rows", tree.Root()});
  ASSERT_EQ(result.status, 0) << result.err;
  const Paths rows = SplitRecords(result.out);
  ASSERT_EQ(rows.size(), 2u);
  const std::string replacement = "\xef\xbf\xbd";  // U+FFFD
  const std::string shownFolder = tree.Path("dir" + replacement + "/");
  EXPECT_EQ(rows[0].substr(0, rows[0].find('\t')),
            "bad" + replacement + replacement + replacement + replacement + ".txt");
  EXPECT_EQ(rows[0].substr(rows[0].rfind('\t') + 1), shownFolder);
  EXPECT_EQ(rows[1].substr(0, rows[1].find('\t')), "发票.txt");
  EXPECT_EQ(rows[1].substr(rows[1].rfind('\t') + 1), shownFolder);
  EXPECT_EQ(ListedBy(tree, {"--scope", "tree", "--mask", "bad*"}), (Paths{"dir\x80/" + name}));
}

// A GBK name was found by no name test: the masks and the name test held the typed UTF-8
// against its bytes. It is matched as the list shows it, under both listers and in
// every match mode.
TEST(OddEntries, GbkNameIsFoundByTheNameItShows) {
  CliTree tree;
  const std::string gbk = "\xb7\xa2\xc6\xb1.txt";  // 发票.txt in GBK
  tree.File(gbk);
  tree.File("发票单.txt");
  tree.File("other.txt");
  for (const char* lister : {"find", "mask"}) {
    EXPECT_EQ(ListedBy(tree, {"--lister", lister, "--mask", "*发票*"}), (Paths{gbk, "发票单.txt"}))
        << lister;
    EXPECT_EQ(ListedBy(tree, {"--lister", lister, "--mask", "发票.txt"}), (Paths{gbk})) << lister;
  }
  const std::vector<std::vector<std::string>> nameTests = {
      {"--content", "发票", "--in", "name"},
      {"--content", "发?*.TXT", "--in", "name", "--mode", "wildcard"},
      {"--content", "^发.单?\\.txt$", "--in", "name", "--mode", "regex"},
  };
  for (const auto& flags : nameTests) {
    EXPECT_EQ(ListedBy(tree, flags), (Paths{gbk, "发票单.txt"})) << ::testing::PrintToString(flags);
  }
}

// Path output skips the size and time texts; it must still name exactly the files the
// rows name, in the same order, whatever the job.
TEST(OutputFormats, PathsAreThePathsOfTheRows) {
  CliTree tree;
  tree.File("a.txt", "same", 1400000000);
  tree.File("sub/b.txt", "same");
  tree.File("sub/c.log", "other");
  std::filesystem::create_directories(tree.Path("sub/empty"));
  ASSERT_EQ(symlink("a.txt", tree.Path("sub/to-file").c_str()), 0);
  ASSERT_EQ(symlink("empty", tree.Path("sub/to-folder").c_str()), 0);
  const std::vector<std::string> jobs[] = {
      {"--scope", "tree"},
      {"--scope", "tree", "--mask", "*.txt|to*"},
      {"--scope", "tree", "--time", "modified", "--from", "2000-01-01", "--to", "2030-01-01"},
      {"--scope", "tree", "--dup", "md5", "--dup-output", "all"},
  };
  for (const std::vector<std::string>& job : jobs) {
    std::vector<std::string> rowsArgs{"-q", "--format", "rows"};
    rowsArgs.insert(rowsArgs.end(), job.begin(), job.end());
    rowsArgs.push_back(tree.Root());
    const CliResult rows = RunCli(rowsArgs);
    ASSERT_EQ(rows.status, 0) << rows.err;
    Paths fromRows;
    for (const std::string& row : SplitRecords(rows.out)) {
      fromRows.push_back(row.substr(row.rfind('\t') + 1) + row.substr(0, row.find('\t')));
    }
    const Paths listed = ListedBy(tree, job);
    EXPECT_FALSE(listed.empty()) << ::testing::PrintToString(job);
    EXPECT_EQ(listed, tree.Relative(fromRows)) << ::testing::PrintToString(job);
  }
  EXPECT_EQ(ListedBy(tree, {"--scope", "tree"}),
            (Paths{"a.txt", "sub/b.txt", "sub/c.log", "sub/to-file"}));
}

}  // namespace
}  // namespace tarnwick::cli_test
