// A duplicate group is offered for deletion: it must never hold files whose bytes differ
// when it is listed. A file written to after its bytes were compared, even with its
// times put back, leaves its group; a name that reaches another file than the walk's
// never makes one file its own duplicate; a pseudo file that reports no bytes is no
// one's duplicate; and files an MD5 cannot tell apart are told apart.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cache/digest_cache.h"
#include "engine/duplicates/bucket_comparer.h"
#include "engine/duplicates/content_digest.h"
#include "engine/duplicates/duplicate_filter.h"
#include "engine/duplicates/stage_reader.h"
#include "platform/file_system_kind.h"
#include "tests/engine/duplicate_test_support.h"
#include "tests/engine/temp_tree.h"

namespace tarnwick {
namespace {

using test::Digesting;
using test::DuplicateOptions;
using test::Paths;

std::string BytesOfHex(std::string_view hex) {
  std::string bytes;
  for (std::size_t at = 0; at + 1 < hex.size(); at += 2)
    bytes += static_cast<char>(std::stoi(std::string(hex.substr(at, 2)), nullptr, 16));
  return bytes;
}

std::string Md5Of(const std::string& bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr);
  return std::string(reinterpret_cast<const char*>(digest), length);
}

// Rewrites the file's bytes in place and puts its access and modification times back,
// as `touch -r` after an edit does: only the change time tells.
void RewriteKeepingTimes(const std::string& path, const std::string& bytes) {
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  {
    std::ofstream out(path, std::ios::binary | std::ios::in);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// The store fed `files` as a walk would; `between` runs after every key is known and
// before the groups are listed.
Paths ListWithAMomentBetween(const Paths& files, Check output, Digesting& job,
                             const test::DigestRun& run, const std::function<void()>& between) {
  const std::unique_ptr<WorkerPool> pool = test::JobPool(run.threads);
  const FilterOptions options = DuplicateOptions(Check::DupByMd5, output);
  DuplicateStore store(options, job.host, job.stop, pool.get(), run.cache);
  for (const std::string& path : files) store.Add(platform::FileAtPath(path), 0);
  store.FinishWalk();
  between();
  ResultList list;
  store.List(list);
  Paths listed;
  for (std::size_t index = 0; index < list.Count(); ++index) listed.push_back(list.FullPath(index));
  return listed;
}

class DuplicateSafetyTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(DuplicateSafetyTest, FileRewrittenWithItsTimesPutBackAfterItWasReadLeavesItsGroup) {
  const std::string same(4096, 's');
  std::string edited = same;
  edited[100] = 'x';
  for (const bool cached : {false, true}) {
    test::TempTree tree;
    DigestCache cache(tree.Path("cache/digests.sqlite"));
    const Paths files = {tree.Create("r/a.bin", same), tree.Create("r/b.bin", same),
                         tree.Create("r/c.bin", same), tree.Create("s/d.bin", "pair!"),
                         tree.Create("s/e.bin", "pair!")};
    Digesting job;
    const test::DigestRun run{cached ? &cache : nullptr, GetParam()};
    // One member of a group of three, and one of a pair.
    const Paths listed = ListWithAMomentBetween(files, Check::DupAll, job, run, [&] {
      RewriteKeepingTimes(files[1], edited);
      RewriteKeepingTimes(files[4], "pear!");
    });
    EXPECT_EQ(listed, (Paths{files[0], files[2]})) << (cached ? "cached" : "uncached");
    EXPECT_EQ(job.host.changed, (Paths{files[1], files[4]}));
  }
}

TEST_P(DuplicateSafetyTest, FileThatGrewAfterItWasReadLeavesItsGroup) {
  test::TempTree tree;
  const Paths files = {tree.Create("a.bin", "twin"), tree.Create("b.bin", "twin")};
  Digesting job;
  const Paths listed =
      ListWithAMomentBetween(files, Check::DupAllButOne, job, {nullptr, GetParam()},
                             [&] { std::ofstream(files[0], std::ios::app) << "s"; });
  EXPECT_TRUE(listed.empty());
  EXPECT_EQ(job.host.changed, (Paths{files[0]}));
}

// d2/x and d1/x differ. Once the walk has passed, d2 is replaced by a link to d1: read
// through the name d2/x, d1/x would look like its own duplicate, and deleting "d2/x"
// would delete the only copy.
TEST_P(DuplicateSafetyTest, FolderReplacedByALinkNeverMakesAFileItsOwnDuplicate) {
  test::TempTree tree;
  const Paths files = {tree.Create("d1/x", "aaaa"), tree.Create("d2/x", "bbbb")};
  Digesting job;
  const std::unique_ptr<WorkerPool> pool = test::JobPool(GetParam());
  const FilterOptions options = DuplicateOptions(Check::DupByMd5, Check::DupAll);
  DuplicateStore store(options, job.host, job.stop, pool.get(), nullptr);
  for (const std::string& path : files) store.Add(platform::FileAtPath(path), 0);
  std::filesystem::rename(tree.Path("d2"), tree.Path("d2.old"));
  std::filesystem::create_directory_symlink(tree.Path("d1"), tree.Path("d2"));
  store.FinishWalk();
  ResultList list;
  store.List(list);
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(job.host.changed, (Paths{files[1]}));
}

// The classic pair of 128-byte blocks with one MD5, each followed by the same tail (a
// common suffix keeps the MD5s equal): different bytes, never one group.
TEST_P(DuplicateSafetyTest, FilesWithOneMd5ButDifferentBytesAreNeverGrouped) {
  const std::string first = BytesOfHex(
      "d131dd02c5e6eec4693d9a0698aff95c2fcab58712467eab4004583eb8fb7f8955ad340609f4b30283e48883"
      "2571415a085125e8f7cdc99fd91dbdf280373c5bd8823e3156348f5bae6dacd436c919c6dd53e2b487da03"
      "fd02396306d248cda0e99f33420f577ee8ce54b67080a80d1ec69821bcb6a8839396f9652b6ff72a70");
  const std::string second = BytesOfHex(
      "d131dd02c5e6eec4693d9a0698aff95c2fcab50712467eab4004583eb8fb7f8955ad340609f4b30283e48883"
      "25f1415a085125e8f7cdc99fd91dbd7280373c5bd8823e3156348f5bae6dacd436c919c6dd53e23487da03"
      "fd02396306d248cda0e99f33420f577ee8ce54b67080280d1ec69821bcb6a8839396f965ab6ff72a70");
  const std::string tail(300 * 1024, 't');
  test::TempTree tree;
  const Paths files = {tree.Create("one.bin", first + tail), tree.Create("two.bin", second + tail)};
  ASSERT_EQ(Md5Of(first + tail), Md5Of(second + tail));
  ASSERT_NE(first, second);
  for (const bool cached : {false, true}) {
    DigestCache cache(tree.Path(cached ? "cache/digests.sqlite" : "unused/digests.sqlite"));
    EXPECT_TRUE(test::RunStore(files, DuplicateOptions(Check::DupByMd5, Check::DupAll),
                               {cached ? &cache : nullptr, GetParam()})
                    .empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Threads, DuplicateSafetyTest, ::testing::Values(1u, 2u));

// The last word on equality, apart from the stages that only rule files out: files that
// differ only in one byte in the middle have different digests, and a byte comparison
// puts them in different classes while it puts equal ones together.
TEST(FinalProofTest, DigestAndByteComparisonTellFilesApartThatDifferOnlyInTheMiddle) {
  test::TempTree tree;
  std::string bytes(3 * 1024 * 1024 + 11, 'm');
  const std::string a = tree.Create("a", bytes);
  const std::string b = tree.Create("b", bytes);
  bytes[bytes.size() / 2] = 'M';
  const std::string c = tree.Create("c", bytes);
  StopFlag running;
  running.Clear();
  const auto digest = [&](const std::string& path) { return test::KeyOfFile(path, running); };
  EXPECT_EQ(digest(a), digest(b));
  EXPECT_NE(digest(a), digest(c));

  std::vector<CompareItem> items;
  for (const std::string* path : {&a, &c, &b}) {
    platform::ReadOnlyFile file;
    ASSERT_TRUE(file.Open(*path));
    items.push_back({0, PrintOf(file), {}, path->c_str()});
  }
  const CompareOutcome outcome =
      CompareBytes(items, static_cast<std::int64_t>(bytes.size()), test::AskFlag(running));
  EXPECT_EQ(outcome.sameAs, (std::vector<std::uint32_t>{0, CompareOutcome::kAlone, 0}));
  EXPECT_TRUE(outcome.changed.empty());
}

// The digest cache trusts a stamp only where any change to a file's content moves its
// change time: the kernel's disk file systems and tmpfs, not vfat, exFAT or FUSE.
TEST(FileSystemTrustTest, OnlyFileSystemsThatKeepStampsAreTrusted) {
  struct Case {
    unsigned long magic;
    bool trusted;
  };
  for (const Case& kind : {Case{0xEF53, true}, Case{0x58465342, true}, Case{0x9123683E, true},
                           Case{0xF2F52010, true}, Case{0x01021994, true}, Case{0x4d44, false},
                           Case{0x2011BAB0, false}, Case{0x65735546, false}, Case{0x6969, false},
                           Case{0x9fa0, false}, Case{0x12345678, false}}) {
    EXPECT_EQ(platform::KeepsTrustworthyStamps({kind.magic, ""}), kind.trusted)
        << std::hex << kind.magic;
  }
  const int proc = ::open("/proc/self", O_PATH | O_DIRECTORY | O_CLOEXEC);
  EXPECT_EQ(platform::FileSystemKindOf(proc).name, "proc");
  ::close(proc);
}

// Files on a file system whose stamps are not trusted are read on every run: nothing of
// them goes into the cache, which names the file system as passed by.
TEST(FileSystemTrustTest, JobOnAnUntrustedFileSystemLeavesTheCacheAlone) {
  test::TempTree tree;
  DigestCache cache(tree.Path("cache/digests.sqlite"));
  const Paths files = {"/proc/self/cmdline", "/proc/self/status"};
  EXPECT_TRUE(
      test::RunStore(files, DuplicateOptions(Check::DupByMd5, Check::DupAll), {&cache, 1}).empty());
  const DigestCache::Info info = cache.Describe();
  EXPECT_EQ(info.entries, 0);
  EXPECT_EQ(info.passedBy, (std::vector<std::string>{"proc"}));
}

}  // namespace
}  // namespace tarnwick
