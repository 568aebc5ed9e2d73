// Each filter driven through its flags, at the edges of its range, and the three
// outputs of the duplicate filter.

#include <gtest/gtest.h>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

using Paths = std::vector<std::string>;

TEST(LengthFilter, SizeBoundsAreInclusiveInTheChosenUnit) {
  CliTree tree;
  for (const int size : {1023, 1024, 1025})
    tree.File("s" + std::to_string(size), std::string(size, 'x'));
  ExpectListings(tree,
                 {
                     {{"--size", "1:1", "--unit", "KB"}, {"s1024"}},
                     {{"--size", "1024:1025", "--unit", "B"}, {"s1024", "s1025"}},
                     {{"--size", "１０２４:1024", "--unit", "B"}, {"s1024"}},  // full-width digits
                     {{"--size", ":1023", "--unit", "B"}, {"s1023"}},  // an empty bound reads 0
                     {{"--size", "1:0.5", "--unit", "KB"}, {}},
                     {{"--size", "1:1"}, {"s1024"}},  // the window starts with KB
                 });
}

TEST(LengthFilter, CharacterCountAfterDecodingAndStripping) {
  CliTree tree;
  tree.File("four.txt", "abcd");
  tree.File("five.txt", "ab\r\ncd");                         // a line break counts one
  tree.File("chinese.txt", "你好世界啊");                    // UTF-8: five characters
  tree.File("gbk.txt", "\xc4\xe3\xba\xc3\xca\xc0\xbd\xe7");  // GBK 你好世界: four
  tree.File("tagged.htm", "<b>abcde</b>");
  tree.File("spaced.txt", "a b c d e f");
  ExpectListings(tree, {
                           {{"--chars", "5:5", "--unit", "个"}, {"chinese.txt", "five.txt"}},
                           {{"--chars", "4:4", "--unit", "B"}, {"four.txt", "gbk.txt"}},
                           {{"--chars", "5:5", "--unit", "个", "--strip-tags"},
                            {"chinese.txt", "five.txt", "tagged.htm"}},
                           {{"--chars", "6:6", "--unit", "个", "--strip-space"}, {"spaced.txt"}},
                           {{"--chars", "4:4", "--unit", "个", "--strip-space"},
                            {"five.txt", "four.txt", "gbk.txt"}},
                       });
  // The rows show the count that was measured.
  const CliResult rows = RunCli({"-q", "--format", "rows", "--chars", "5:5", "--unit", "个",
                                 "--mask", "chinese.txt", tree.Root()});
  EXPECT_EQ(rows.out, "chinese.txt\t15 B\t2013-01-01 00:00:00\t5\t" + tree.Root() + "/\n");
}

TEST(TimeFilter, RangeEdgesInEachCompareMode) {
  CliTree tree;
  const std::int64_t t = kDefaultTime;  // 2013-01-01 00:00:00 UTC
  tree.File("before", "", t - 1);
  tree.File("start", "", t);
  tree.File("end", "", t + 3600);
  tree.File("after", "", t + 3601);
  tree.File("morning", "", t + 86400 + 8 * 3600);  // 2013-01-02 08:00:00
  const std::vector<std::string> range{
      "--time", "modified", "--from", "2013-01-01 00:00:00", "--to", "2013-01-01 01:00:00"};
  const auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), range.begin(), range.end());
    return more;
  };
  ExpectListings(tree,
                 {
                     {with({}), {"end", "start"}},
                     {with({"--compare", "both"}), {"end", "start"}},
                     {with({"--compare", "date"}), {"after", "end", "start"}},
                     {with({"--compare", "time"}), {"end", "start"}},
                     {{"--time", "modified", "--compare", "time", "--from", "2000-01-01 07:59:59",
                       "--to", "2000-01-01 08:00:00"},
                      {"morning"}},
                     // An unreadable bound is the earliest time.
                     {{"--time", "modified", "--from", "garbage", "--to", "2013-01-01 00:00:00"},
                      {"before", "start"}},
                 });

  const CliResult rows =
      RunCli({"-q", "--format", "rows", "--time", "modified", "--compare", "date", "--from",
              "2013-01-02 23:00:00", "--to", "2013-01-02 00:00:00", tree.Root()});
  EXPECT_EQ(rows.out, "morning\t0 B\t2013-01-02\t0\t" + tree.Root() + "/\n");
}

TEST(ContentFilter, ModesPlacesAndEncodings) {
  CliTree tree;
  tree.File("ascii.txt", "Alpha beta gamma");
  tree.File("utf8.txt", "报告：发票 2013");
  tree.File("gbk.txt", "\xb7\xa2\xc6\xb1");                            // 发票 in GBK
  tree.File("utf16.txt", std::string("\xff\xfe\xd1\x53\x68\x79", 6));  // 发票, UTF-16LE
  tree.File("alphabet.log", "nothing here");
  tree.File("alphanotes.txt", "alpha inside");
  ExpectListings(
      tree,
      {
          {{"--content", "ALPHA", "--in", "content"}, {"alphanotes.txt", "ascii.txt"}},
          {{"--content", "alpha", "--in", "name"}, {"alphabet.log", "alphanotes.txt"}},
          {{"--content", "alpha"},
           {"alphabet.log", "alphanotes.txt"}},  // the window starts with 文件名
          {{"--content", "alpha", "--in", "both"}, {"alphanotes.txt"}},  // name and content
          {{"--content", "发票", "--in", "content"}, {"gbk.txt", "utf16.txt", "utf8.txt"}},
          {{"--content", "zeta|GAMMA", "--in", "content"}, {"ascii.txt"}},
          {{"--content", "alpha", "--in", "content", "--without"},
           {"alphabet.log", "gbk.txt", "utf16.txt", "utf8.txt"}},
          {{"--content", "alpha", "--in", "both", "--without"},
           {"gbk.txt", "utf16.txt", "utf8.txt"}},
          {{"--content", "al?ha*gam", "--in", "content", "--mode", "wildcard"}, {"ascii.txt"}},
          {{"--content", "^alpha\\s+BETA", "--in", "content", "--mode", "regex"}, {"ascii.txt"}},
          {{"--content", "\\d{4}$", "--in", "content", "--mode", "regex"}, {"utf8.txt"}},
      });
}

// Refused before the job starts: a search that cannot run would find nothing, or with
// --without list every file.
TEST(ContentFilter, PatternThatDoesNotCompileIsRefused) {
  CliTree tree;
  tree.File("a.txt", "a(");
  for (const bool without : {false, true}) {
    std::vector<std::string> args = {"--content", "a(", "--mode", "regex", "--in", "content"};
    if (without) args.push_back("--without");
    args.push_back(tree.Root());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 2) << without;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "tarnwick-cli: the content pattern does not compile: missing closing "
              "parenthesis at character 3\n");
  }
  ExpectListings(tree, {{{"--content", "a(", "--in", "content"}, {"a.txt"}},
                        {{"--content", "a(", "--in", "content", "--mode", "wildcard"}, {"a.txt"}}});
}

// Two million steps of backtracking before «ab!» matches: a short file is never too much.
TEST(ContentFilter, RegexThatBacktracksMuchFindsItsMatchInAShortFile) {
  CliTree tree;
  tree.File("words.txt", "word word word word word word ?\nab!");
  ExpectListings(
      tree, {{{"--content", "(\\w+\\s?)+!", "--in", "content", "--mode", "regex"}, {"words.txt"}}});
}

// A possible match longer than the 8 MiB a search holds once made the search drop every
// partial match it held: later matches were missed, and with --without a file holding
// the pattern was offered as lacking it. A file whose answer the bound leaves open is
// named and listed neither way.
TEST(ContentFilter, RegexSearchPastTheMemoryBoundKeepsLaterMatchesAndNamesWhatItCannotTell) {
  constexpr std::size_t kSixteen = std::size_t{16} << 20;
  CliTree tree;
  std::string holds = "x" + std::string(kSixteen + 100, 'a');
  holds[kSixteen - 10] = 'x';
  holds[kSixteen + 10] = 'y';
  tree.File("holds.txt", holds);
  tree.File("open.txt", "x" + std::string(kSixteen, 'a') + "y");
  tree.File("lacks.txt", "plain");
  const std::vector<std::string> search = {"--content", "x[^y]*y", "--mode",
                                           "regex",     "--in",    "content"};
  for (const bool without : {false, true}) {
    std::vector<std::string> args = search;
    if (without) args.push_back("--without");
    args.push_back(tree.Root());
    const CliResult result = RunCli(args);
    EXPECT_EQ(result.status, 1) << without;
    EXPECT_EQ(tree.Relative(SplitRecords(result.out)),
              without ? Paths{"lacks.txt"} : Paths{"holds.txt"});
    EXPECT_NE(result.err.find(tree.Path("open.txt") + ": whether it holds the pattern is unknown"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("holds.txt"), std::string::npos) << result.err;
  }
}

class DuplicateTree : public ::testing::Test {
 protected:
  void SetUp() override {
    // Walk order: a/1, a/2, b/1, b/3, c/2 (files first, folders in name order).
    tree.File("one.txt", "same");
    tree.File("two.txt", "other!");
    tree.File("sub/one.txt", "same");
    tree.File("sub/three.txt", "unique text");
    tree.File("sub/zz/two.txt", "other!");
    tree.File("sub/zz/copy.txt", "same");
  }
  Paths Listed(const char* key, const char* output, std::vector<std::string> more = {}) {
    more.insert(more.end(), {"--scope", "tree", "--dup", key, "--dup-output", output});
    return ListedBy(tree, more);
  }
  CliTree tree;
};

TEST_F(DuplicateTree, ThreeOutputsKeepGroupAndDiscoveryOrder) {
  EXPECT_EQ(Listed("md5", "one"), (Paths{"one.txt", "two.txt"}));
  EXPECT_EQ(Listed("md5", "all"),
            (Paths{"one.txt", "sub/one.txt", "sub/zz/copy.txt", "two.txt", "sub/zz/two.txt"}));
  EXPECT_EQ(Listed("md5", "all-but-one"), (Paths{"one.txt", "sub/one.txt", "two.txt"}));
  EXPECT_EQ(Listed("name", "all"), (Paths{"one.txt", "sub/one.txt", "two.txt", "sub/zz/two.txt"}));
  EXPECT_EQ(Listed("length", "one"), (Paths{"one.txt", "two.txt"}));
  // Only files that pass the other filters are grouped.
  EXPECT_EQ(Listed("md5", "all", {"--mask", "one*"}), (Paths{"one.txt", "sub/one.txt"}));
}

TEST_F(DuplicateTree, SameFileReachedTwiceIsNotItsOwnDuplicate) {
  // "*.txt|one*" lists one.txt twice; deleting "all but one" must never take the only copy.
  EXPECT_EQ(ListedBy(tree, {"--mask", "*.txt|one*", "--dup", "md5", "--dup-output", "all"}),
            Paths{});
}

}  // namespace
}  // namespace tarnwick::cli_test
