// --dup text and --dup similar on the command line: the same text in two encodings,
// near-duplicates with their resemblance in JSON, and the threshold's bounds.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

using nlohmann::json;

// 报告：合同已签。 in UTF-8 and in GBK.
const std::string kUtf8 = "\xE6\x8A\xA5\xE5\x91\x8A\xEF\xBC\x9A\xE5\x90\x88\xE5\x90\x8C\xE5\xB7\xB2"
                          "\xE7\xAD\xBE\xE3\x80\x82\n";
const std::string kGbk = "\xB1\xA8\xB8\xE6\xA3\xBA\xBA\xCF\xCD\xAC\xD2\xD1\xC7\xA9\xA1\xA3\r\n";

// Forty lines, a word changed in `changes` of them: six changes leave it 86 % of the
// unchanged text (8-character grams).
std::string Report(int changes) {
  std::string text;
  for (int line = 0; line < 40; ++line) {
    const bool changed = line % 3 == 0 && line / 3 < changes;
    text += "item " + std::to_string(line) + " of the " + (changed ? "changed" : "quarterly") +
            std::to_string(line) + " report\n";
  }
  return text;
}

TEST(TextDuplicatesCli, SameTextInTwoEncodingsIsOneGroup) {
  CliTree tree;
  tree.File("a-utf8.txt", kUtf8);
  tree.File("b-gbk.txt", kGbk);
  tree.File("c-other.txt", "another text entirely\n");
  tree.File("d.bin", std::string("\0\1\2\3", 4));
  tree.File("e.bin", std::string("\0\1\2\3", 4));
  ExpectListings(tree, {{{"--dup", "text", "--dup-output", "all"}, {"a-utf8.txt", "b-gbk.txt"}},
                        {{"--dup", "text", "--dup-output", "one"}, {"a-utf8.txt"}},
                        {{"--dup", "text"}, {"a-utf8.txt"}},
                        {{"--dup", "md5", "--dup-output", "all"}, {"d.bin", "e.bin"}}});
}

TEST(TextDuplicatesCli, SimilarRowsCarryTheirResemblanceInJson) {
  CliTree tree;
  tree.File("a.txt", Report(0));
  tree.File("b.txt", Report(6));
  tree.File("c.txt", "nothing alike\n");
  const CliResult result = RunCli({"-q", "--dup", "similar", "--similarity", "80", "--dup-output",
                                   "all", "--format", "json", tree.Root()});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::vector<std::string> lines = SplitRecords(result.out);
  ASSERT_EQ(lines.size(), 2u) << result.out;
  const json leader = json::parse(lines[0]);
  const json member = json::parse(lines[1]);
  EXPECT_EQ(leader["path"], tree.Path("a.txt"));
  EXPECT_EQ(leader["similarity"], 100.0);
  EXPECT_EQ(member["path"], tree.Path("b.txt"));
  EXPECT_EQ(member["group"], 1);
  // The estimate of the signatures, within a point or two of the exact 86.4 %.
  EXPECT_NEAR(member["similarity"].get<double>(), 86.4, 2.0);
  // Too far apart for the default of 90 %.
  EXPECT_TRUE(ListedBy(tree, {"--dup", "similar"}).empty());
}

TEST(TextDuplicatesCli, SimilarityOutsideFiftyToHundredIsAUsageError) {
  CliTree tree;
  for (const char* value : {"49", "101", "ninety"}) {
    const CliResult result = RunCli({"--dup", "similar", "--similarity", value, tree.Root()});
    EXPECT_EQ(result.status, 2) << value;
    EXPECT_NE(result.err.find("--similarity"), std::string::npos) << result.err;
  }
  EXPECT_EQ(RunCli({"-q", "--dup", "similar", "--similarity", "50", tree.Root()}).status, 0);
}

}  // namespace
}  // namespace tarnwick::cli_test
