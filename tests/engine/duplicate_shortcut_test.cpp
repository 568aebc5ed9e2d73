// The duplicate filter reads as little as it can: a quick hash of a file's ends, then of
// its whole content, and the MD5 key last. Trees built to defeat each shortcut must give
// exactly the rows of digesting every file whole, on any number of worker threads; a
// digest never reads past the size the file reported, and a file that changes between
// the walk and its digest is left out.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/duplicates/content_digest.h"
#include "engine/duplicates/file_digests.h"
#include "engine/duplicates/quick_hash.h"
#include "tests/engine/duplicate_test_support.h"
#include "tests/engine/temp_tree.h"

namespace tarnwick {
namespace {

using test::DuplicateOptions;
using test::ListByDigestingEveryFile;
using test::Paths;
using test::RunStore;

constexpr std::size_t kPiece = static_cast<std::size_t>(kEndPieceSize);

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

std::string Changed(std::string bytes, std::size_t at) {
  bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
  return bytes;
}

// Files that agree with another as far as each shortcut looks, and differ after; real
// copies among them; and sizes either side of "the ends are the whole file".
Paths ShortcutTree(test::TempTree& tree) {
  const std::string big = RandomBytes(3 * kPiece, 1);
  const std::string covered = RandomBytes(2 * kPiece, 2);
  const std::string uncovered = RandomBytes(2 * kPiece + 1, 3);
  const std::pair<const char*, std::string> files[] = {
      {"big/original", big},
      {"big/tail-differs", Changed(big, big.size() - 1)},
      {"big/head-differs", Changed(big, 0)},
      {"big/middle-differs", Changed(big, big.size() / 2)},
      {"big/after-head-differs", Changed(big, kPiece)},
      {"big/before-tail-differs", Changed(big, big.size() - kPiece - 1)},
      {"big/copy", big},
      {"big/middle-copy", Changed(big, big.size() / 2)},
      {"covered/original", covered},
      {"covered/middle-differs", Changed(covered, kPiece)},
      {"covered/copy", covered},
      {"uncovered/original", uncovered},
      {"uncovered/middle-differs", Changed(uncovered, kPiece)},
      {"uncovered/copy", uncovered},
      {"small/a", "one small file"},
      {"small/b", "one small fill"},
      {"small/c", "one small file"},
      {"empty/a", ""},
      {"empty/b", ""},
  };
  Paths paths;
  for (const auto& [name, bytes] : files) paths.push_back(tree.Create(name, bytes));
  return paths;
}

TEST(DuplicateShortcutTest, TreesThatDefeatEachShortcutListWhatDigestingEveryFileLists) {
  test::TempTree tree;
  const Paths files = ShortcutTree(tree);
  const auto path = [&tree](const char* name) { return tree.Path(name); };
  const Paths expectedAll = {path("big/original"),
                             path("big/copy"),
                             path("big/middle-differs"),
                             path("big/middle-copy"),
                             path("covered/original"),
                             path("covered/copy"),
                             path("uncovered/original"),
                             path("uncovered/copy"),
                             path("small/a"),
                             path("small/c"),
                             path("empty/a"),
                             path("empty/b")};
  ASSERT_EQ(ListByDigestingEveryFile(files, Check::DupAll), expectedAll);
  for (const unsigned threads : {1u, 2u, 5u}) {
    for (const Check output : {Check::DupOne, Check::DupAll, Check::DupAllButOne}) {
      EXPECT_EQ(RunStore(files, DuplicateOptions(Check::DupByMd5, output), {nullptr, threads}),
                ListByDigestingEveryFile(files, output))
          << threads << " threads, output " << static_cast<int>(output);
    }
  }
}

// Many files of few sizes and random content, found in a scrambled order: one worker
// and several give the same rows, those of digesting every file.
TEST(DuplicateShortcutTest, OneThreadAndSeveralListTheSameRows) {
  test::TempTree tree;
  std::mt19937 random(7);
  const std::string bases[] = {RandomBytes(3 * kPiece, 11), RandomBytes(5000, 12)};
  Paths files;
  for (int index = 0; index < 120; ++index) {
    std::string bytes = bases[index % 2];
    // A third are copies; the rest differ at a random place.
    if (random() % 3 != 0) bytes = Changed(bytes, random() % bytes.size());
    files.push_back(
        tree.Create("f" + std::to_string(random() % 10) + "/" + std::to_string(index), bytes));
  }
  const Paths expected = ListByDigestingEveryFile(files, Check::DupAll);
  ASSERT_GT(expected.size(), 30u);
  for (const unsigned threads : {1u, 2u, 8u}) {
    EXPECT_EQ(RunStore(files, DuplicateOptions(Check::DupByMd5, Check::DupAll), {nullptr, threads}),
              expected)
        << threads << " threads";
  }
}

// Reads may come back short: the quick hash of data fed in any slices is that of the whole.
TEST(DuplicateShortcutTest, QuickHashOfSlicesIsTheHashOfTheWhole) {
  const std::string bytes = RandomBytes(1000, 31);
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (const std::size_t length : {0u, 1u, 31u, 32u, 33u, 95u, 1000u}) {
    QuickHash whole;
    whole.Update(data, length);
    for (const std::size_t slice : {1u, 7u, 32u, 33u}) {
      QuickHash sliced;
      for (std::size_t at = 0; at < length; at += slice)
        sliced.Update(data + at, std::min(slice, length - at));
      EXPECT_EQ(sliced.Value(), whole.Value()) << length << " in slices of " << slice;
    }
  }
  // Data that differs in one byte, or only in length, hashes apart.
  QuickHash shorter, changed;
  shorter.Update(data, 999);
  const std::string other = Changed(bytes, 500);
  changed.Update(reinterpret_cast<const unsigned char*>(other.data()), other.size());
  QuickHash full;
  full.Update(data, 1000);
  EXPECT_NE(shorter.Value(), full.Value());
  EXPECT_NE(changed.Value(), full.Value());
}

// A file that grows after it was opened reports a smaller size than it now holds, as a
// pseudo file does: every digest covers the reported size, never what lies beyond.
TEST(DuplicateShortcutTest, DigestsNeverReadPastTheSizeTheOpenFileReported) {
  test::TempTree tree;
  const std::string bytes = RandomBytes(3 * kPiece + 5, 21);
  const std::string reference = tree.Create("reference", bytes);
  const std::string growing = tree.Create("growing", bytes);
  platform::ReadOnlyFile file;
  ASSERT_TRUE(file.Open(growing));
  {
    std::ofstream more(growing, std::ios::app | std::ios::binary);
    more << RandomBytes(2 * kPiece, 22);
  }
  StopFlag running;
  running.Clear();
  platform::Sha256Value key{};
  ASSERT_EQ(ContentDigestOf(file, test::AskFlag(running), key), ReadEnd::Done);
  EXPECT_EQ(platform::HexText(key), test::KeyOfFile(reference, running));
  std::uint64_t whole = 0;
  ASSERT_EQ(QuickWholeHash(file, test::AskFlag(running), whole), ReadEnd::Done);
  QuickHash expected;
  expected.Update(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  EXPECT_EQ(whole, expected.Value());
}

// /proc reports its files as empty and some give endless data (pagemap): a file is empty
// only when a read at its start ends at once, so these are no one's duplicates (their
// contents all differ), only the truly empty files are, and the job ends.
TEST(DuplicateShortcutTest, PseudoFilesThatReportNoSizeButHaveContentAreNeverGrouped) {
  test::TempTree tree;
  const Paths files = {tree.Create("empty"), "/proc/self/pagemap", "/proc/self/status",
                       "/proc/self/cmdline", tree.Create("empty too")};
  for (const std::string& file : files) ASSERT_EQ(std::filesystem::file_size(file), 0u) << file;
  // Reading pagemap to its end would take hours: a guard stops the job if it lasts.
  test::Digesting job;
  const auto start = std::chrono::steady_clock::now();
  job.host.onPendingEvents = [&] {
    if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) job.stop.Set();
  };
  for (const unsigned threads : {1u, 2u}) {
    EXPECT_EQ(
        RunStore(files, DuplicateOptions(Check::DupByMd5, Check::DupAll), job, {nullptr, threads}),
        (Paths{files[0], files[4]}))
        << threads << " threads";
  }
  EXPECT_FALSE(job.stop.IsSet());
}

// A file written to between the walk and its digest is no longer what was grouped by
// size: it is left out, and its former twin has no duplicate.
TEST(DuplicateShortcutTest, FileThatChangesSizeAfterTheWalkIsLeftOut) {
  test::TempTree tree;
  const Paths files = {tree.Create("a", "same"), tree.Create("b", "same")};
  test::Digesting job;
  const FilterOptions options = DuplicateOptions(Check::DupByMd5, Check::DupAll);
  DuplicateStore store(options, job.host, job.stop, nullptr, nullptr);
  store.Add(platform::FileAtPath(files[0]), 0);
  std::ofstream(files[1], std::ios::app) << "more";
  store.Add(platform::FileAtPath(files[1]), 4);
  store.FinishWalk();
  ResultList list;
  store.List(list);
  EXPECT_EQ(list.Count(), 0u);
}

// A folder whose path is longer than the system takes in one call is reached again one
// name at a time.
TEST(DuplicateShortcutTest, FilesBelowPathsLongerThanPathMaxAreRead) {
  test::TempTree tree;
  const std::string component(200, 'd');
  std::string folder = tree.Root();
  // Each level is made and later removed through its parent's descriptor: the whole
  // path is too long for the calls that take one.
  std::vector<int> levels = {::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)};
  for (int level = 0; level < 25; ++level) {
    ASSERT_EQ(::mkdirat(levels.back(), component.c_str(), 0755), 0);
    levels.push_back(::openat(levels.back(), component.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    folder += "/" + component;
  }
  ASSERT_GT(folder.size(), static_cast<std::size_t>(PATH_MAX));

  test::Digesting job;
  const FilterOptions options = DuplicateOptions(Check::DupByMd5, Check::DupAll);
  DuplicateStore store(options, job.host, job.stop, nullptr, nullptr);
  for (const char* name : {"one", "two"}) {
    const int fd = ::openat(levels.back(), name, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    EXPECT_EQ(::write(fd, "twin", 4), 4);
    ::close(fd);
    store.Add(platform::FileRef{levels.back(), name, folder + "/" + name}, 0);
  }
  store.FinishWalk();
  ResultList list;
  store.List(list);
  EXPECT_EQ(list.Count(), 2u);

  for (const char* name : {"one", "two"}) ::unlinkat(levels.back(), name, 0);
  for (std::size_t level = levels.size() - 1; level > 0; --level) {
    ::close(levels[level]);
    ::unlinkat(levels[level - 1], component.c_str(), AT_REMOVEDIR);
  }
  ::close(levels[0]);
}

}  // namespace
}  // namespace tarnwick
