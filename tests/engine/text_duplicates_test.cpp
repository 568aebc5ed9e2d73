// The duplicate filter's 文本 (same text in any encoding) and 相似 (near-duplicate
// texts), run through the store as a job runs it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/duplicates/duplicate_filter.h"
#include "engine/duplicates/similarity_finder.h"
#include "engine/job/filter_options.h"
#include "tests/engine/duplicate_test_support.h"
#include "tests/engine/temp_tree.h"
#include "tests/engine/text_sample.h"

namespace tarnwick {
namespace {

using test::DuplicateOptions;
using test::Encoded;
using test::Paths;
using test::RunStore;

const std::string kReport =
    "第一行：季度报告与合同。\n第二行 the budget, 发票 and 合同。\n最后一行，没有换行";

FilterOptions TextOptions(Check kind, Check output = Check::DupAll) {
  FilterOptions options = DuplicateOptions(kind, output);
  options.SetText(Field::Similarity, "90");
  return options;
}

std::string WithCrLf(const std::string& text) {
  std::string crlf;
  for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

TEST(TextDuplicatesTest, OneTextInEveryEncodingAndLineEndIsOneGroup) {
  test::TempTree tree;
  const std::string gbk = Encoded(WithCrLf(kReport), "GBK");
  // As long as the GBK copy, byte for byte, but another text: its characters backwards.
  std::string other = gbk;
  std::reverse(other.begin(), other.end());
  for (std::size_t at = 0; at + 1 < other.size(); ++at) {
    if (static_cast<unsigned char>(other[at + 1]) >= 0x81) std::swap(other[at], other[at + 1]), ++at;
  }
  std::string crOnly = Encoded(kReport, "GB18030");
  for (char& c : crOnly) c = c == '\n' ? '\r' : c;
  const Paths group = {
      tree.Create("a-gbk-crlf.txt", gbk),
      tree.Create("b-utf8.txt", kReport),
      tree.Create("c-utf8-mark.txt", "\xEF\xBB\xBF" + kReport),
      tree.Create("d-utf8-crlf.txt", WithCrLf(kReport)),
      tree.Create("e-utf16le.txt", "\xFF\xFE" + Encoded(kReport, "UTF-16LE")),
      tree.Create("f-utf16be.txt", "\xFE\xFF" + Encoded(WithCrLf(kReport), "UTF-16BE")),
      tree.Create("g-cr.txt", crOnly),
  };
  Paths files = group;
  files.insert(files.begin() + 1, tree.Create("a-other.txt", other));
  ASSERT_EQ(other.size(), gbk.size());
  for (const unsigned threads : {1u, 0u}) {
    EXPECT_EQ(RunStore(files, TextOptions(Check::DupByText), {nullptr, threads}), group)
        << threads << " threads";
    EXPECT_EQ(RunStore(files, TextOptions(Check::DupBySimilarity), {nullptr, threads}), group)
        << threads << " threads";
  }
  // The bytes differ: MD5 sees none of it.
  EXPECT_TRUE(RunStore(files, TextOptions(Check::DupByMd5)).empty());
}

TEST(TextDuplicatesTest, FilesWithoutTextAreNeverGrouped) {
  test::TempTree tree;
  const std::string png = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
  const std::string utf16 = "\xFF\xFE" + Encoded(kReport, "UTF-16LE");
  const Paths files = {
      tree.Create("1.png", png + "first picture"), tree.Create("2.png", png + "other picture"),
      tree.Create("3.png", png + "other picture"), tree.Create("empty1.txt", ""),
      tree.Create("empty2.txt", ""),               tree.Create("mark-only.txt", "\xEF\xBB\xBF"),
      tree.Create("u1.txt", utf16),                tree.Create("u2.txt", utf16)};
  // Binary, empty and mark-only files have no text; UTF-16 is text despite its zero bytes.
  for (const Check kind : {Check::DupByText, Check::DupBySimilarity})
    EXPECT_EQ(RunStore(files, TextOptions(kind)), (Paths{files[6], files[7]})) << int(kind);
  // Under MD5 the copies of one picture are duplicates as always.
  EXPECT_EQ(RunStore(files, TextOptions(Check::DupByMd5)),
            (Paths{files[1], files[2], files[3], files[4], files[6], files[7]}));
}

TEST(TextDuplicatesTest, StripOptionsApplyWhenTicked) {
  test::TempTree tree;
  const Paths files = {tree.Create("a.htm", "<p class=\"x\">合同\n金额</p>"),
                       tree.Create("b.txt", "合同\n金额"), tree.Create("c.txt", "合同 金额\n"),
                       tree.Create("d.txt", "合同<金额")};
  FilterOptions options = TextOptions(Check::DupByText);
  EXPECT_TRUE(RunStore(files, options).empty());
  options.SetChecked(Check::StripTags, true);
  EXPECT_EQ(RunStore(files, options), (Paths{files[0], files[1]}));
  options.SetChecked(Check::StripSpace, true);
  // A «<» without a «>» after it is text, not a tag.
  EXPECT_EQ(RunStore(files, options), (Paths{files[0], files[1], files[2]}));
  options.SetChecked(Check::StripTags, false);
  EXPECT_EQ(RunStore(files, options), (Paths{files[1], files[2]}));
}

// Runs the store to the end of the walk, lets `change` act, then lists.
Paths ListAfter(const Paths& files, const FilterOptions& options, test::Digesting& job,
                const std::function<void()>& change) {
  DuplicateStore store(options, job.host, job.stop, nullptr, nullptr);
  for (const std::string& path : files) store.Add(platform::FileAtPath(path), 0);
  store.FinishWalk();
  change();
  ResultList list;
  store.List(list);
  Paths paths;
  for (std::size_t i = 0; i < list.Count(); ++i) paths.push_back(list.FullPath(i));
  return paths;
}

// A file written to after its text was read: same text, new modification time.
void Rewrite(test::TempTree& tree, const std::string& relative, const std::string& bytes) {
  tree.Create(relative, bytes, 1500000000);
}

TEST(TextDuplicatesTest, MemberChangedSinceItsTextWasReadLeavesItsGroup) {
  for (const Check kind : {Check::DupByText, Check::DupBySimilarity}) {
    test::TempTree tree;
    const Paths files = {tree.Create("a", kReport), tree.Create("b", kReport),
                         tree.Create("c", kReport), tree.Create("x", "其他"),
                         tree.Create("y", "其他")};
    test::Digesting job;
    EXPECT_EQ(ListAfter(files, TextOptions(kind), job,
                        [&] {
                          Rewrite(tree, "b", kReport);
                          // Another file under the name: a replacement is no member either.
                          tree.Create("y.new", "其他");
                          std::rename(tree.Path("y.new").c_str(), tree.Path("y").c_str());
                        }),
              (Paths{files[0], files[2]}))
        << int(kind);
    EXPECT_EQ(job.host.changed, (Paths{files[1], files[4]})) << int(kind);
  }
}

TEST(TextDuplicatesTest, FileWrittenToBetweenTheWalkAndItsReadIsNamedAndLeftOut) {
  for (const Check kind : {Check::DupByText, Check::DupBySimilarity}) {
    test::TempTree tree;
    const Paths files = {tree.Create("a", kReport), tree.Create("b", kReport),
                         tree.Create("c", kReport)};
    test::Digesting job;
    const FilterOptions options = TextOptions(kind);
    // One thread: the few files are read once the walk has ended.
    DuplicateStore store(options, job.host, job.stop, nullptr, nullptr);
    for (const std::string& path : files) store.Add(platform::FileAtPath(path), 0);
    Rewrite(tree, "c", kReport);
    store.FinishWalk();
    ResultList list;
    store.List(list);
    ASSERT_EQ(list.Count(), 2u) << int(kind);
    EXPECT_EQ(list.FullPath(1), files[1]);
    EXPECT_EQ(job.host.changed, (Paths{files[2]})) << int(kind);
  }
}

TEST(TextDuplicatesTest, SimilarGroupWhoseFirstFileChangedIsNotListed) {
  test::TempTree tree;
  const auto text = test::ChineseCharacters(1200, 3);
  const Paths files = {tree.Create("a", test::Joined(text)),
                       tree.Create("b", test::Joined(text, {600})),
                       tree.Create("c", test::Joined(text, {900}))};
  test::Digesting job;
  const FilterOptions options = TextOptions(Check::DupBySimilarity);
  EXPECT_EQ(ListAfter(files, options, job, [] {}), files);
  test::Digesting again;
  EXPECT_TRUE(ListAfter(files, options, again, [&] { Rewrite(tree, "a", test::Joined(text)); })
                  .empty());
  EXPECT_EQ(again.host.changed, (Paths{files[0]}));
}

TEST(TextDuplicatesTest, SimilarFilesJoinTheirLeaderNeverAChainThroughAMember) {
  // B differs from A in 8 places, C from B in 8 others: each resembles its neighbour at
  // the threshold, A and C do not.
  const auto text = test::ChineseCharacters(2000, 11);
  const std::string a = test::Joined(text);
  const std::string b = test::Joined(text, test::Spaced(100, 8, 100));
  const std::string c = test::Joined(text, test::Spaced(100, 16, 100));
  ASSERT_GE(test::ExactResemblance(a, b), 0.9);
  ASSERT_GE(test::ExactResemblance(b, c), 0.9);
  ASSERT_LT(test::ExactResemblance(a, c), 0.9);

  test::TempTree tree;
  const std::string pa = tree.Create("a", a), pb = tree.Create("b", b), pc = tree.Create("c", c);
  const FilterOptions options = TextOptions(Check::DupBySimilarity);
  // C resembles B, a member of A's group, but not A: it leads a group of its own.
  EXPECT_EQ(RunStore({pa, pb, pc}, options), (Paths{pa, pb}));
  // With B found first, both resemble their leader.
  EXPECT_EQ(RunStore({pb, pa, pc}, options), (Paths{pb, pa, pc}));
  // A lower threshold takes C into A's group.
  FilterOptions lower = options;
  lower.SetText(Field::Similarity, "80");
  EXPECT_EQ(RunStore({pa, pb, pc}, lower), (Paths{pa, pb, pc}));
}

TEST(TextDuplicatesTest, SimilarRowsCarryTheirResemblanceToTheLeader) {
  const auto text = test::ChineseCharacters(3000, 5);
  const std::string leader = test::Joined(text);
  const std::string member = test::Joined(text, test::Spaced(50, 6, 400));
  test::TempTree tree;
  const Paths files = {tree.Create("a", leader), tree.Create("b", member),
                       tree.Create("c", Encoded(member, "GBK"))};
  for (const unsigned threads : {1u, 0u}) {
    test::Digesting job;
    const std::unique_ptr<WorkerPool> pool = test::JobPool(threads);
    const FilterOptions options = TextOptions(Check::DupBySimilarity);
    DuplicateStore store(options, job.host, job.stop, pool.get(), nullptr);
    for (const std::string& path : files) store.Add(platform::FileAtPath(path), 0);
    store.FinishWalk();
    ResultList list;
    store.List(list);
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Row(0).similarity, 1000);
    const double exact = test::ExactResemblance(leader, member);
    for (const std::size_t row : {1u, 2u}) {
      EXPECT_EQ(list.Row(row).group, 1u);
      EXPECT_NEAR(list.Row(row).similarity / 1000.0, exact, 0.05) << row;
      EXPECT_GE(list.Row(row).similarity, 900) << row;
    }
  }
}

TEST(TextDuplicatesTest, SimilarityThresholdReadsPercentWithinFiftyToHundred) {
  const std::pair<const char*, double> cases[] = {
      {"90", 0.9},   {"75.5", 0.755}, {" 80", 0.8}, {"８５", 0.85}, {"30", 0.5},
      {"150", 1.0},  {"", 0.9},       {"abc", 0.9}, {"-5", 0.5},    {"100", 1.0}};
  for (const auto& [text, expected] : cases)
    EXPECT_DOUBLE_EQ(SimilarityThreshold(text), expected) << "'" << text << "'";
}

}  // namespace
}  // namespace tarnwick
