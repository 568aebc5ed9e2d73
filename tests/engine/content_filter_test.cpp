#include "engine/content_filter.h"

#include <gtest/gtest.h>

#include "engine/filter_options.h"
#include "temp_tree.h"

namespace tarnwick {
namespace {

struct Targets {
  bool name;
  bool content;
};

class ContentFilterTestCase : public ::testing::Test {
 protected:
  bool Passes(const std::string& path, const char* pattern, bool contains, Targets targets,
              MatchMode mode = MatchMode::Default) {
    FilterOptions options;
    options.SetChecked(Check::ContentFilter, true);
    options.SetChecked(contains ? Check::ContainsContent : Check::LacksContent, true);
    options.SetChecked(Check::InName, targets.name);
    options.SetChecked(Check::InContent, targets.content);
    options.SetMatchModeIndex(static_cast<int>(mode));
    options.SetText(Field::ContentPattern, pattern);
    ContentMatcher matcher;
    matcher.Build(options);
    return ContentFilterTest(path, matcher, options);
  }

  test::TempTree tree;
};

TEST_F(ContentFilterTestCase, EveryTickedTargetMustAgree) {
  const std::string inContent = tree.Create("a.txt", "the NEEDLE is here");
  const std::string inName = tree.Create("needle.txt", "nothing");
  const std::string inBoth = tree.Create("needle2.txt", "needle");
  const std::string inNeither = tree.Create("b.txt", "nothing");
  const Targets both{true, true};

  EXPECT_FALSE(Passes(inContent, "needle", true, both));
  EXPECT_FALSE(Passes(inName, "needle", true, both));
  EXPECT_TRUE(Passes(inBoth, "needle", true, both));

  EXPECT_FALSE(Passes(inContent, "needle", false, both));
  EXPECT_FALSE(Passes(inName, "needle", false, both));
  EXPECT_TRUE(Passes(inNeither, "needle", false, both));

  EXPECT_TRUE(Passes(inContent, "needle", true, {false, true}));
  EXPECT_TRUE(Passes(inName, "needle", true, {true, false}));
}

TEST_F(ContentFilterTestCase, NoTargetTickedLetsEveryFilePass) {
  const std::string file = tree.Create("a.txt", "x");
  EXPECT_TRUE(Passes(file, "needle", true, {false, false}));
  EXPECT_TRUE(Passes(file, "x", false, {false, false}));
}

TEST_F(ContentFilterTestCase, NameTestSeesOnlyTheFileName) {
  const std::string file = tree.Create("needle/plain.txt", "x");
  EXPECT_FALSE(Passes(file, "needle", true, {true, false}));
  EXPECT_TRUE(Passes(file, "plain.TXT", true, {true, false}));
}

TEST_F(ContentFilterTestCase, EmptyDefaultPatternIsFoundEverywhere) {
  const std::string file = tree.Create("a.txt", "x");
  EXPECT_TRUE(Passes(file, "", true, {true, true}));
  EXPECT_FALSE(Passes(file, "", false, {true, true}));
}

TEST_F(ContentFilterTestCase, ChineseNamesAndContentAreMatchedAsCharacters) {
  const std::string file = tree.Create("年度报告.txt", "\xEF\xBB\xBF第三季度");  // UTF-8 with mark
  EXPECT_TRUE(Passes(file, "报告", true, {true, false}));
  EXPECT_TRUE(Passes(file, "三季", true, {false, true}));
  EXPECT_FALSE(Passes(file, "总结", true, {true, true}));
  EXPECT_TRUE(Passes(file, "年*.txt", true, {true, false}, MatchMode::Wildcard));
  EXPECT_TRUE(Passes(file, "^第.季度$", true, {false, true}, MatchMode::Regex));
}

TEST_F(ContentFilterTestCase, UnreadableContentIsEmptyText) {
  const std::string file = tree.Create("secret.txt", "needle");
  tree.SetMode("secret.txt", 0);
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  EXPECT_FALSE(Passes(file, "needle", true, {false, true}));
  EXPECT_TRUE(Passes(file, "needle", false, {false, true}));
}

}  // namespace
}  // namespace tarnwick
