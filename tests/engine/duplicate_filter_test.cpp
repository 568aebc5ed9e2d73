#include "engine/duplicates/duplicate_filter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/duplicates/content_digest.h"
#include "engine/job/filter_options.h"
#include "platform/sha256_digest.h"
#include "tests/engine/duplicate_test_support.h"
#include "tests/engine/temp_tree.h"

namespace tarnwick {
namespace {

using platform::Sha256Hex;
using test::Digesting;
using test::DuplicateOptions;
using test::KeyOfFile;
using test::ListByDigestingEveryFile;
using test::Paths;
using test::RunStore;

TEST(DuplicateStoreTest, OutputsListOneAllOrAllButTheLastFound) {
  test::TempTree tree;
  const Paths files = {tree.Create("a", "same"), tree.Create("other", "different"),
                       tree.Create("b", "same"), tree.Create("c", "same")};
  const std::string a = files[0], b = files[2], c = files[3];
  struct Case {
    Check output;
    Paths expected;
  };
  const Case cases[] = {
      {Check::DupOne, {a}}, {Check::DupAll, {a, b, c}}, {Check::DupAllButOne, {a, b}}};
  for (const Check kind : {Check::DupByMd5, Check::DupByLength}) {
    for (const Case& test : cases) {
      EXPECT_EQ(RunStore(files, DuplicateOptions(kind, test.output)), test.expected)
          << "kind " << static_cast<int>(kind) << " output " << static_cast<int>(test.output);
    }
  }
}

TEST(DuplicateStoreTest, NamesCompareByteForByteAcrossFolders) {
  test::TempTree tree;
  const Paths files = {tree.Create("x/a.txt", "1"), tree.Create("y/A.txt", "22"),
                       tree.Create("z/a.txt", "333")};
  EXPECT_EQ(RunStore(files, DuplicateOptions(Check::DupByName, Check::DupAll)),
            (Paths{files[0], files[2]}));
}

TEST(DuplicateStoreTest, GroupsFollowTheirFirstMemberEvenWhenDigestedLater) {
  test::TempTree tree;
  // a1 waits for a second file of its size until a2 comes, after the b pair was
  // digested: the a group is still listed first.
  const Paths files = {tree.Create("a1", "aaaaa"), tree.Create("b1", "bbbbbb"),
                       tree.Create("b2", "bbbbbb"), tree.Create("a2", "aaaaa")};
  const Paths expected = {files[0], files[3], files[1], files[2]};
  for (const Check kind : {Check::DupByMd5, Check::DupByLength})
    EXPECT_EQ(RunStore(files, DuplicateOptions(kind, Check::DupAll)), expected);
}

// Empty files are digest duplicates; FIFOs and unreadable files have no digest, though
// their lengths still group.
TEST(DuplicateStoreTest, FilesWithoutADigestAreOnlyLengthDuplicates) {
  test::TempTree tree;
  const Paths files = {tree.Create("empty1"), tree.MakeFifo("fifo1"), tree.Create("empty2"),
                       tree.MakeFifo("fifo2")};
  EXPECT_EQ(RunStore(files, DuplicateOptions(Check::DupByMd5, Check::DupAll)),
            (Paths{files[0], files[2]}));
  EXPECT_EQ(RunStore(files, DuplicateOptions(Check::DupByLength, Check::DupAll)), files);

  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  const Paths locked = {tree.Create("readable", "data"), tree.Create("locked", "data")};
  tree.SetMode("locked", 0);
  EXPECT_TRUE(RunStore(locked, DuplicateOptions(Check::DupByMd5, Check::DupAll)).empty());
  EXPECT_EQ(RunStore(locked, DuplicateOptions(Check::DupByLength, Check::DupAll)), locked);
}

// Regression: a file reached twice must not be offered for deletion as a copy of itself.
TEST(DuplicateStoreTest, SameFileReachedTwiceIsOneMember) {
  test::TempTree tree;
  const std::string file = tree.Create("data.txt", "content");
  const std::string copy = tree.Create("copy/data.txt", "content");
  const std::string hardLink = tree.Path("hard/data.txt");
  tree.MakeFolder("hard");
  ASSERT_EQ(::link(file.c_str(), hardLink.c_str()), 0);
  const std::string softLink = tree.MakeLink(file, "soft/data.txt");

  for (const Check kind : {Check::DupByMd5, Check::DupByLength, Check::DupByName}) {
    const FilterOptions options = DuplicateOptions(kind, Check::DupAllButOne);
    EXPECT_TRUE(RunStore({file, file, hardLink, softLink}, options).empty());
    EXPECT_EQ(RunStore({file, hardLink, copy, file}, options), Paths{file});
  }
}

// A file that cannot have a duplicate is never read: sparse files of a size no other file
// has, or whose first piece already differs from the other of its size, would take
// minutes to read; a guard presses stop if the job lasts, and the job must not need it.
TEST(DuplicateStoreTest, FilesThatCannotMatchAreNeverRead) {
  test::TempTree tree;
  const Paths files = {tree.Create("a", "12345"), tree.Create("unique"), tree.Create("b", "12345"),
                       tree.Create("head1", "1"), tree.Create("head2", "2")};
  for (const char* sparse : {"unique", "head1", "head2"})
    std::filesystem::resize_file(tree.Path(sparse),
                                 (std::string_view(sparse) == "unique" ? 65LL : 64LL) << 30);
  Digesting job;
  const auto start = std::chrono::steady_clock::now();
  bool guardPressed = false;
  job.host.onPendingEvents = [&] {
    if (std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) return;
    guardPressed = true;
    job.stop.Set();
  };
  EXPECT_EQ(RunStore(files, DuplicateOptions(Check::DupByMd5, Check::DupAll), job),
            (Paths{files[0], files[2]}));
  EXPECT_FALSE(guardPressed);
  for (const std::string& status : job.host.statusTexts)
    EXPECT_EQ(status.find("unique"), std::string::npos) << status;
}

// A stop in the middle of a big file ends its read within a read or two: the file is
// left out and the groups already keyed are listed. With one thread the read runs on
// the job's thread, which must still see the stop press between its reads.
TEST(DuplicateStoreTest, StopDuringADigestLeavesThatFileOut) {
  test::TempTree tree;
  const Paths files = {tree.Create("a", "xy"), tree.Create("big1"), tree.Create("b", "xy"),
                       tree.Create("big2")};
  for (const char* big : {"big1", "big2"}) std::filesystem::resize_file(tree.Path(big), 64LL << 30);
  const FilterOptions options = DuplicateOptions(Check::DupByMd5, Check::DupAll);
  for (const unsigned threads : {1u, 2u}) {
    Digesting job;
    // The small files take milliseconds; a second later the big ones are being read.
    const auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point pressed;
    job.host.onPendingEvents = [&] {
      if (job.stop.IsSet() || std::chrono::steady_clock::now() - start < std::chrono::seconds(1))
        return;
      pressed = std::chrono::steady_clock::now();
      job.stop.Set();
    };
    const std::unique_ptr<WorkerPool> pool = test::JobPool(threads);
    DuplicateStore store(options, job.host, job.stop, pool.get(), nullptr);
    for (const std::string& path : files) store.Add(platform::FileAtPath(path), 0);
    store.FinishWalk();
    const auto waited = std::chrono::steady_clock::now() - pressed;
    ASSERT_TRUE(job.stop.IsSet()) << threads << " threads";
    EXPECT_LT(waited, std::chrono::milliseconds(500)) << threads << " threads";
    job.stop.Clear();
    ResultList list;
    store.List(list);
    ASSERT_EQ(list.Count(), 2u) << threads << " threads";
    EXPECT_EQ(list.FullPath(0), files[0]);
    EXPECT_EQ(list.FullPath(1), files[2]);
  }
}

TEST(DuplicateStoreTest, DeferredDigestsListWhatDigestingEveryFileLists) {
  test::TempTree tree;
  std::mt19937 random(20261208);
  std::vector<std::string> contents;
  Paths files;
  for (int index = 0; index < 300; ++index) {
    const std::string name = "f/" + std::to_string(index % 7) + "/" + std::to_string(index);
    if (index % 37 == 0) {
      files.push_back(tree.MakeFifo(name));
      continue;
    }
    // Small lengths and a small alphabet: many equal sizes with different data, many
    // copies, some sizes met once.
    const std::size_t length = random() % 12 + (index % 50 == 0 ? 1000 + index : 0);
    std::string bytes;
    for (std::size_t byte = 0; byte < length; ++byte)
      bytes += static_cast<char>('a' + random() % 2);
    files.push_back(tree.Create(name, bytes));
  }
  for (const Check output : {Check::DupOne, Check::DupAll, Check::DupAllButOne}) {
    const Paths expected = ListByDigestingEveryFile(files, output);
    ASSERT_GT(expected.size(), 20u);
    EXPECT_EQ(RunStore(files, DuplicateOptions(Check::DupByMd5, output)), expected);
  }
}

// The digest is the SHA-256 of the whole content, however many reads it takes.
TEST(ContentDigestTest, DigestIsTheSha256OfTheWholeContent) {
  test::TempTree tree;
  std::string data;
  const std::size_t longest = 2 * kDigestReadSize + 7;
  for (std::size_t index = 0; index < longest; ++index) data += static_cast<char>(index * 7 % 251);
  for (const std::size_t length : {std::size_t{0}, std::size_t{999}, kDigestReadSize - 1,
                                   kDigestReadSize, kDigestReadSize + 1, longest}) {
    const std::string path =
        tree.Create("piece" + std::to_string(length), std::string_view(data).substr(0, length));
    Digesting job;
    EXPECT_EQ(KeyOfFile(path, job.stop), Sha256Hex(std::string_view(data).substr(0, length)))
        << length;
  }
  // Pinned: the SHA-256 of nothing.
  EXPECT_EQ(platform::HexText(EmptyContentDigest()),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(ContentDigestTest, StopGivesNoKey) {
  test::TempTree tree;
  const std::string path = tree.Create("three", std::string(3000, 'x'));
  Digesting stopped;
  stopped.stop.Set();
  EXPECT_EQ(KeyOfFile(path, stopped.stop), "");
  Digesting running;
  EXPECT_EQ(KeyOfFile(path, running.stop).size(), 64u);
}

}  // namespace
}  // namespace tarnwick
