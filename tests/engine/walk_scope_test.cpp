#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/walk/folder_walk.h"
#include "temp_tree.h"
#include "walk_test_support.h"

namespace tarnwick {
namespace {

using Paths = std::vector<std::string>;
using test::JobRun;
using test::TreeOptions;

const Paths kEveryFile = {".hidden",  "a.txt",       "b.txt", "l2/f2",
                          "l2/l3/f3", "l2/l3/l4/f4", "m2/g2"};

class WalkScopeTest : public ::testing::TestWithParam<Lister> {
 protected:
  void SetUp() override {
    for (const char* path : {"b.txt", "a.txt", ".hidden", "l2/f2", "l2/l3/f3", "l2/l3/l4/f4",
                             "m2/g2"}) {
      tree.Create(path);
    }
  }
  Paths Run(const FilterOptions& options) { return JobRun().Run(tree.Root(), options, GetParam()); }

  test::TempTree tree;
};

TEST_P(WalkScopeTest, WholeTreeListsFilesBeforeSubfoldersDepthFirst) {
  EXPECT_EQ(Run(TreeOptions()), kEveryFile);
}

TEST_P(WalkScopeTest, LevelsTextLimitsTheDepth) {
  const Paths level1 = {".hidden", "a.txt", "b.txt"};
  const Paths level2 = {".hidden", "a.txt", "b.txt", "l2/f2", "m2/g2"};
  const Paths level3 = {".hidden", "a.txt", "b.txt", "l2/f2", "l2/l3/f3", "m2/g2"};
  const std::pair<const char*, const Paths*> cases[] = {
      {"", &level1},   {"x", &level1},   {"0", &level1},  {"-3", &level1}, {"1", &level1},
      {"2", &level2},  {"3", &level3},   {"4", &kEveryFile}, {"99", &kEveryFile}, {"２", &level2},
      {" 3级", &level3},
  };
  for (const auto& [levels, expected] : cases) {
    FilterOptions options;
    options.SetChecked(Check::ScopeLevels, true);
    options.SetText(Field::Levels, levels);
    EXPECT_EQ(Run(options), *expected) << "levels «" << levels << "»";
  }
}

// The default scope is this folder only.
TEST_P(WalkScopeTest, EmptyStarAndStarDotStarMasksListEveryFile) {
  for (const char* mask : {"", "*", "*.*"}) {
    FilterOptions options;
    options.SetText(Field::NameMask, mask);
    EXPECT_EQ(Run(options), (Paths{".hidden", "a.txt", "b.txt"})) << "mask «" << mask << "»";
  }
}

TEST_P(WalkScopeTest, MaskAppliesInEveryFolder) {
  FilterOptions options = TreeOptions();
  options.SetText(Field::NameMask, "f*");
  EXPECT_EQ(Run(options), (Paths{"l2/f2", "l2/l3/f3", "l2/l3/l4/f4"}));
}

INSTANTIATE_TEST_SUITE_P(BothListers, WalkScopeTest,
                         ::testing::Values(Lister::FindFile, Lister::FileSystemObject));

TEST(WalkPatterns, OverlappingPatternsListTwiceWithFindOnceWithMask) {
  test::TempTree tree;
  for (const char* name : {"a.txt", "b.htm", "c.txt", "ab.htm"}) tree.Create(name);
  FilterOptions options;
  options.SetText(Field::NameMask, "*.txt|a*");
  EXPECT_EQ(JobRun().Run(tree.Root(), options, Lister::FindFile),
            (Paths{"a.txt", "c.txt", "a.txt", "ab.htm"}));
  EXPECT_EQ(JobRun().Run(tree.Root(), options, Lister::FileSystemObject),
            (Paths{"a.txt", "ab.htm", "c.txt"}));

  options.SetText(Field::NameMask, "*.txt|*.htm|");  // a trailing "|" adds nothing
  EXPECT_EQ(JobRun().Run(tree.Root(), options, Lister::FindFile),
            (Paths{"a.txt", "c.txt", "ab.htm", "b.htm"}));

  for (const char* name : {"中文.txt", "报告.doc"}) tree.Create(name);
  options.SetText(Field::NameMask, "中*|报告*");  // Chinese patterns split at every bar
  EXPECT_EQ(JobRun().Run(tree.Root(), options), (Paths{"中文.txt", "报告.doc"}));
}

TEST(WalkStatus, ShowsEachFolderAsTheListerLeftIt) {
  test::TempTree tree;
  tree.Create("sub/f");
  JobRun find;
  find.Run(tree.Root(), TreeOptions(), Lister::FindFile);
  EXPECT_EQ(find.host.statusTexts,
            (Paths{"正在筛选：" + tree.Root() + "/", "正在筛选：" + tree.Root() + "/sub/"}));
  JobRun mask;
  mask.Run(tree.Root(), TreeOptions(), Lister::FileSystemObject);
  EXPECT_EQ(mask.host.statusTexts,
            (Paths{"正在筛选：" + tree.Root(), "正在筛选：" + tree.Root() + "/sub"}));
  EXPECT_GE(find.host.refreshes, 2);
}

TEST(FolderLevel, RemovesTheRootOnceAsAPrefix) {
  struct Case {
    const char* root;
    const char* folder;
    long long level;
  };
  const Case cases[] = {
      {"/data/", "/data/", 1},       {"/data/", "/data/a/", 2},
      {"/data/", "/data/a/b/", 3},   {"/data", "/data/a", 2},
      {"/a/", "/a/b/a/", 3},         // the root's text recurs below it
      {"/", "/x/", 2},               {"/", "/x", 1},  // a root without its "/" form
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderWalk::FolderLevel(c.root, c.folder), c.level) << c.root << " " << c.folder;
  }
}

}  // namespace
}  // namespace tarnwick
