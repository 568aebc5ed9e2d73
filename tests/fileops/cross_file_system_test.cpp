// Moves between two file systems: the copy is complete before the source goes, and a
// copy that cannot finish (a full disk, a file-size limit) keeps the source, the old
// target, and leaves no partial file in the destination.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>

#include "fileops_support.h"
#include "results/file_operations.h"
#include "results/file_relocate.h"

namespace tarnwick {
namespace {

using test::Names;
using test::ReadAll;
using test::TempTree;

std::string Bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
  return bytes;
}

TEST(CrossFileSystemTest, MoveCopiesThenRemovesTheSource) {
  TempTree disk;
  auto other = test::TreeOnOtherFileSystem(disk.Root());
  if (!other) GTEST_SKIP() << "no second file system at hand";
  const std::string content = Bytes(3 << 20);  // more than one copy buffer
  const std::string source = other->Create("in/big.bin", content, 1'300'000'000);
  const std::string target = disk.Create("out/big.bin", "old");
  EXPECT_EQ(TransferRun(TransferRun::Kind::Move, {source}).Transfer(source, target),
            TransferOutcome::Done);
  EXPECT_EQ(ReadAll(source), "<missing>");
  EXPECT_EQ(ReadAll(target), content);
  struct stat moved {};
  ASSERT_EQ(::stat(target.c_str(), &moved), 0);
  EXPECT_EQ(moved.st_mtim.tv_sec, 1'300'000'000) << "a move keeps the file's time";
  EXPECT_EQ(Names(disk.Path("out")), std::vector<std::string>{"big.bin"});
}

TEST(CrossFileSystemTest, AFullDestinationKeepsTheSourceAndTheOldTarget) {
  TempTree disk;
  test::SmallTmpfs full(64);
  if (!full.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  const std::string content = Bytes(256 << 10);
  const std::string source = disk.Create("big.bin", content);
  std::ofstream(full.Path("big.bin")) << "old target";
  TransferRun run(TransferRun::Kind::Move, {source});
  EXPECT_EQ(run.Transfer(source, full.Path("big.bin")), TransferOutcome::Failed);
  EXPECT_EQ(run.Transfer(source, full.Path("fresh.bin")), TransferOutcome::Failed);
  EXPECT_EQ(ReadAll(source), content);
  EXPECT_EQ(ReadAll(full.Path("big.bin")), "old target");
  EXPECT_EQ(Names(full.Path("")), std::vector<std::string>{"big.bin"}) << "no partial file";
}

// The file-size limit makes every write past it fail as a full disk would, without
// needing a mount: run in a child so the limit stays there.
TEST(CrossFileSystemTest, AWriteThatFailsHalfwayKeepsTheSource) {
  TempTree disk;
  auto other = test::TreeOnOtherFileSystem(disk.Root());
  if (!other) GTEST_SKIP() << "no second file system at hand";
  const std::string content = Bytes(512 << 10);
  const std::string source = other->Create("big.bin", content);
  const std::string target = disk.Create("out/big.bin", "old target");

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 << 10, 64 << 10};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    _exit(RelocateFile(source, target) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the move must report failure";
  EXPECT_EQ(ReadAll(source), content);
  EXPECT_EQ(ReadAll(target), "old target");
  EXPECT_EQ(Names(disk.Path("out")), std::vector<std::string>{"big.bin"}) << "no partial file";
}

}  // namespace
}  // namespace tarnwick
