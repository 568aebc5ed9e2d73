// The job on several threads: rows, their texts and their order equal the one-thread
// job's, also when an option changes during the job; a stop keeps a prefix of the rows;
// a tree far deeper than paths may be long is listed whole with few descriptors.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "temp_tree.h"
#include "walk_test_support.h"

namespace tarnwick {
namespace {

using Paths = std::vector<std::string>;

JobSettings Threads(unsigned threads) {
  JobSettings settings;
  settings.threads = threads;
  return settings;
}

// Every text a row holds, in one string per row.
Paths RowTexts(const ResultList& list) {
  Paths rows;
  for (std::size_t i = 0; i < list.Count(); ++i) {
    const ResultRow& row = list.Row(i);
    rows.push_back(row.folder + row.name + "|" + row.sizeText + "|" + row.timeText + "|" +
                   row.countText + "|" + std::to_string(row.characters) + "|" +
                   std::to_string(row.encoding));
  }
  return rows;
}

// Options that the job must copy for every file it hands out (their revision changes at
// each look), with the length filter switched off from the `switchAt`-th copy on: the
// change lands on the same file whatever the number of threads.
class SwitchingOptions final : public OptionControls {
 public:
  SwitchingOptions(FilterOptions options, int switchAt)
      : options_(std::move(options)), switchAt_(switchAt) {}

  bool IsChecked(Check check) const override {
    if (check == Check::LengthFilter) return ++copies_ < switchAt_;
    return options_.IsChecked(check);
  }
  void SetChecked(Check check, bool on) override { options_.SetChecked(check, on); }
  std::string Caption(Check check) const override { return options_.Caption(check); }
  std::string Text(Field field) const override { return options_.Text(field); }
  void SetText(Field field, const std::string& text) override { options_.SetText(field, text); }
  int MatchModeIndex() const override { return options_.MatchModeIndex(); }
  void SetMatchModeIndex(int index) override { options_.SetMatchModeIndex(index); }
  std::uint64_t Revision() const override { return ++revision_; }

 private:
  FilterOptions options_;
  int switchAt_;
  mutable int copies_ = 0;
  mutable std::uint64_t revision_ = 0;
};

TEST(WalkThreads, RowsAndTheCarriedCountAreThoseOfOneThread) {
  test::TempTree tree;
  for (int i = 1; i <= 6; ++i)
    tree.Create("a/" + std::to_string(i) + ".txt", std::string(i * 7, 'x'));
  for (const char* name : {"b/1.txt", "b/2.htm", "b/3.txt"}) tree.Create(name, "<p>中文</p>");
  const FilterOptions chars =
      test::Ticked({Check::ScopeTree, Check::LengthFilter, Check::MeasureChars, Check::UnitB},
                   {{Field::LengthFrom, "0"}, {Field::LengthTo, "1000"}});
  // Copies: root on entry, a on entry, a/1.txt, then a/2.txt with the filter off.
  const auto rows = [&](unsigned threads) {
    const SwitchingOptions options(chars, 4);
    test::JobRun run;
    RunFilterJob(tree.Root(), Lister::FindFile, options, run.list, run.host, run.stop,
                 Threads(threads));
    return RowTexts(run.list);
  };
  const Paths single = rows(1);
  ASSERT_EQ(single.size(), 9u);
  // a/1.txt was counted (its content read as ANSI); the rest of a shows its count, b
  // starts again at 0.
  EXPECT_TRUE(single[0].ends_with("|7|7|1")) << single[0];
  EXPECT_TRUE(single[1].ends_with("|7|-1|0")) << single[1];
  EXPECT_TRUE(single[5].ends_with("|7|-1|0")) << single[5];
  EXPECT_TRUE(single[6].ends_with("|0|-1|0")) << single[6];
  for (unsigned threads : {2U, 3U, 8U}) EXPECT_EQ(rows(threads), single) << threads << " threads";
}

// Batches of work take files of many small folders at once: each folder's count still
// starts from 0, and the folders they hold open stay within what the process may open.
TEST(WalkThreads, ManySmallFoldersUnderFewDescriptors) {
  test::TempTree tree;
  for (int folder = 0; folder < 300; ++folder) {
    for (int file = 0; file < 3; ++file) {
      tree.Create("d" + std::to_string(folder) + "/" + std::to_string(file),
                  std::string(static_cast<std::size_t>(folder % 7 + file), 'x'));
    }
  }
  const FilterOptions chars =
      test::Ticked({Check::ScopeTree, Check::LengthFilter, Check::MeasureChars, Check::UnitB},
                   {{Field::LengthFrom, "0"}, {Field::LengthTo, "1000"}});
  rlimit saved{};
  ::getrlimit(RLIMIT_NOFILE, &saved);
  rlimit few = saved;
  few.rlim_cur = 64;
  ::setrlimit(RLIMIT_NOFILE, &few);
  std::vector<Paths> rows;
  for (const unsigned threads : {1U, 2U, 5U}) {
    test::JobRun run;
    RunFilterJob(tree.Root(), Lister::FindFile, chars, run.list, run.host, run.stop,
                 Threads(threads));
    rows.push_back(RowTexts(run.list));
  }
  ::setrlimit(RLIMIT_NOFILE, &saved);
  ASSERT_EQ(rows[0].size(), 900u);
  EXPECT_EQ(rows[1], rows[0]);
  EXPECT_EQ(rows[2], rows[0]);
}

// The host hears of every file once, whether it is listed, left out or kept for the
// duplicate filter, and never of more than have been merged: the count a window shows
// grows with the rows and ends at the number of files walked.
TEST(WalkThreads, EveryFileExaminedIsCountedOnce) {
  test::TempTree tree;
  for (int folder = 0; folder < 12; ++folder) {
    for (int file = 0; file < 25; ++file)
      tree.Create("d" + std::to_string(folder) + "/f" + std::to_string(file),
                  std::string(static_cast<std::size_t>(file), 'x'));
  }
  const FilterOptions longOnes =
      test::Ticked({Check::ScopeTree, Check::LengthFilter, Check::UnitB},
                   {{Field::LengthFrom, "20"}, {Field::LengthTo, "1000"}});
  const FilterOptions duplicates =
      test::Ticked({Check::ScopeTree, Check::DuplicateFilter, Check::DupByLength});
  for (const FilterOptions& options : {longOnes, duplicates}) {
    for (const unsigned threads : {1U, 3U}) {
      test::JobRun run;
      bool countBehindRows = false;
      run.host.onPendingEvents = [&] {
        countBehindRows |= static_cast<std::size_t>(run.host.examined) < run.list.Count();
      };
      RunFilterJob(tree.Root(), Lister::FindFile, options, run.list, run.host, run.stop,
                   Threads(threads));
      EXPECT_EQ(run.host.examined, 300) << threads << " threads";
      EXPECT_FALSE(countBehindRows);
      EXPECT_GT(run.list.Count(), 0u);
    }
  }
}

TEST(WalkThreads, StopKeepsTheFirstRowsInOrder) {
  test::TempTree tree;
  for (int folder = 0; folder < 20; ++folder) {
    for (int file = 0; file < 50; ++file)
      tree.Create("d" + std::to_string(folder) + "/f" + std::to_string(file), "x");
  }
  const Paths every = test::JobRun().Run(tree.Root(), test::TreeOptions());
  ASSERT_EQ(every.size(), 1000u);

  test::JobRun run;
  using Clock = std::chrono::steady_clock;
  Clock::time_point stoppedAt{};
  run.host.onPendingEvents = [&] {
    if (run.list.Count() < 300 || run.stop.IsSet()) return;
    run.stop.Set();
    stoppedAt = Clock::now();
  };
  run.host.list = &run.list;
  RunFilterJob(tree.Root(), Lister::FindFile, test::TreeOptions(), run.list, run.host, run.stop,
               Threads(4));
  const auto took = Clock::now() - stoppedAt;
  const Paths kept = test::RelativePaths(run.list, tree.Root());
  ASSERT_GE(kept.size(), 300u);
  ASSERT_LT(kept.size(), every.size());
  EXPECT_EQ(kept, Paths(every.begin(), every.begin() + static_cast<long>(kept.size())));
  EXPECT_LT(took, std::chrono::seconds(1));
}

// Duplicate jobs take each file's identity and length on the workers: a hard link and a
// link to a file still count once, lengths group as on one thread, rows come in the same
// order and with the same group numbers.
TEST(WalkThreads, DuplicateJobsListWhatOneThreadLists) {
  test::TempTree tree;
  for (int folder = 0; folder < 40; ++folder) {
    for (int file = 0; file < 5; ++file) {
      tree.Create("d" + std::to_string(folder) + "/f" + std::to_string(file),
                  std::string(static_cast<std::size_t>((folder * 5 + file) % 9), 'x'));
    }
  }
  tree.Create("one/only.txt", std::string(100, 'y'));
  ASSERT_EQ(::link((tree.Root() + "/one/only.txt").c_str(), (tree.Root() + "/one/hard").c_str()),
            0);
  ASSERT_EQ(::symlink("only.txt", (tree.Root() + "/one/soft").c_str()), 0);
  for (const Check key : {Check::DupByLength, Check::DupByMd5}) {
    const FilterOptions options =
        test::Ticked({Check::ScopeTree, Check::DuplicateFilter, key, Check::DupAll});
    const auto rows = [&](unsigned threads) {
      test::JobRun run;
      RunFilterJob(tree.Root(), Lister::FindFile, options, run.list, run.host, run.stop,
                   Threads(threads));
      Paths texts = RowTexts(run.list);
      for (std::size_t i = 0; i < run.list.Count(); ++i)
        texts[i] += "|" + std::to_string(run.list.Row(i).group);
      return texts;
    };
    const Paths single = rows(1);
    // Nine lengths, each shared by several files; the file of length 100 has no duplicate
    // but itself.
    ASSERT_EQ(single.size(), 200u);
    for (const std::string& row : single) EXPECT_EQ(row.find("/one/"), std::string::npos) << row;
    for (unsigned threads : {2U, 8U}) EXPECT_EQ(rows(threads), single) << threads << " threads";
  }
}

// Builds a chain of `depth` folders "d", each holding the one-byte file "f", with "e" beside the
// "d" at `branchAt` holding `branchFiles` files; only relative calls, since the paths grow
// far past what a path may hold.
void BuildDeepTree(int rootFd, int depth, int branchAt, int branchFiles) {
  int fd = ::dup(rootFd);
  for (int level = 0; level < depth; ++level) {
    const int file = ::openat(fd, "f", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_EQ(::write(file, "x", 1), 1);
    ::close(file);
    if (level == branchAt) {
      ASSERT_EQ(::mkdirat(fd, "e", 0755), 0);
      const int branch = ::openat(fd, "e", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      for (int i = 0; i < branchFiles; ++i)
        ::close(::openat(branch, ("g" + std::to_string(i)).c_str(), O_WRONLY | O_CREAT, 0644));
      ::close(branch);
    }
    if (level + 1 == depth) break;
    ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
    const int next = ::openat(fd, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(fd);
    fd = next;
  }
  ::close(fd);
}

// Removes everything below `fd`, depth first, by relative calls.
void RemoveBelow(int fd) {
  for (const char* folder : {"d", "e"}) {
    const int below = ::openat(fd, folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (below < 0) continue;
    RemoveBelow(below);
    ::close(below);
    ::unlinkat(fd, folder, AT_REMOVEDIR);
  }
  for (const char* file : {"f", "g0", "g1", "g2"}) ::unlinkat(fd, file, 0);
}

TEST(WalkDeepTree, ThreeThousandLevelsAreListedWholeWithFewDescriptors) {
  constexpr int kDepth = 3000;
  constexpr int kBranchAt = 10;
  test::TempTree tree;
  const int rootFd = ::open(tree.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  BuildDeepTree(rootFd, kDepth, kBranchAt, 3);

  Paths expected;
  std::string folder;
  for (int level = 0; level < kDepth; ++level, folder += "d/") expected.push_back(folder + "f");
  std::string branch;
  for (int level = 0; level < kBranchAt; ++level) branch += "d/";
  for (const char* name : {"e/g0", "e/g1", "e/g2"}) expected.push_back(branch + name);

  // So few descriptors that the walk must let the upper folders go and reopen them.
  rlimit saved{};
  ::getrlimit(RLIMIT_NOFILE, &saved);
  rlimit few = saved;
  few.rlim_cur = 64;
  ::setrlimit(RLIMIT_NOFILE, &few);
  for (unsigned threads : {1U, 2U}) {
    test::JobRun run;
    RunFilterJob(tree.Root(), Lister::FindFile, test::TreeOptions(), run.list, run.host, run.stop,
                 Threads(threads));
    EXPECT_EQ(test::RelativePaths(run.list, tree.Root()), expected) << threads << " threads";
    // The deepest file is looked at through its folder: its row has its size.
    ASSERT_EQ(run.list.Count(), expected.size());
    EXPECT_EQ(run.list.Row(kDepth - 1).sizeText, "1 B");
    EXPECT_EQ(run.list.Row(kDepth - 1).timeText.size(), 19u);
  }
  ::setrlimit(RLIMIT_NOFILE, &saved);
  RemoveBelow(rootFd);
  ::close(rootFd);
}

}  // namespace
}  // namespace tarnwick
