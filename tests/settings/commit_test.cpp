// Saving never leaves a broken settings file: failures at every step, kills during a
// save, and files the store must not overwrite.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "settings/settings_store.h"
#include "settings/whole_file.h"
#include "temp_folder.h"

namespace tarnwick {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

ssize_t FailWrite(int, const void*, size_t) {
  errno = ENOSPC;
  return -1;
}
ssize_t WriteOneByte(int fd, const void* data, size_t) { return ::write(fd, data, 1); }
int FailFsync(int) {
  errno = EIO;
  return -1;
}
int FailClose(int fd) {
  ::close(fd);
  errno = EIO;
  return -1;
}
int FailRename(const char*, const char*) {
  errno = EXDEV;
  return -1;
}

TEST(ReplaceFileTest, FailureAtAnyStepKeepsTheOldFileAndNoTemporary) {
  const FileCalls system = SystemFileCalls();
  const struct {
    const char* step;
    FileCalls calls;
  } cases[] = {
      {"write", {FailWrite, system.fsync, system.close, system.rename}},
      {"fsync", {system.write, FailFsync, system.close, system.rename}},
      {"close", {system.write, system.fsync, FailClose, system.rename}},
      {"rename", {system.write, system.fsync, system.close, FailRename}},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path = folder.Path("Tarnwick.ini");
    WriteBytes(path, "old");
    const ReplaceResult result = ReplaceFile(path, "new content", c.calls);
    EXPECT_FALSE(result.replaced) << c.step;
    EXPECT_NE(result.error.find(c.step), std::string::npos) << result.error;
    EXPECT_EQ(ReadBytes(path), "old") << c.step;
    EXPECT_EQ(FolderEntries(folder.Root()), std::vector<std::string>{"Tarnwick.ini"}) << c.step;
  }
}

TEST(ReplaceFileTest, ShortWritesStillWriteEverything) {
  TempFolder folder;
  const std::string path = folder.Path("Tarnwick.ini");
  const FileCalls system = SystemFileCalls();
  const FileCalls calls{WriteOneByte, system.fsync, system.close, system.rename};
  EXPECT_TRUE(ReplaceFile(path, "[主界面]\r\nk=v", calls).replaced);
  EXPECT_EQ(ReadBytes(path), "[主界面]\r\nk=v");
}

TEST(ReplaceFileTest, KeepsPermissionsAndSymbolicLinks) {
  TempFolder folder;
  const std::string target = folder.Path("real.ini");
  const std::string link = folder.Path("Tarnwick.ini");
  WriteBytes(target, "old");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.ini", link.c_str()), 0);

  ASSERT_TRUE(ReplaceFile(link, "new").replaced);
  struct stat info {};
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadBytes(target), "new");
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(CommitTest, FailedCommitKeepsCopyAndFileInStep) {
  TempFolder folder;
  const std::string path = folder.Path("Tarnwick.ini");
  WriteBytes(path, "[主界面]\r\nk=old");
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  store.SetSection("主界面");
  store.WriteText("k", "new");
  // After loading, a folder takes the file's place, so the rename over it fails.
  ASSERT_EQ(rename(path.c_str(), folder.Path("moved").c_str()), 0);
  ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
  EXPECT_FALSE(store.Commit());
  EXPECT_NE(store.LastError().find(path), std::string::npos);
  EXPECT_EQ(store.ReadText("k", ""), "old");
}

TEST(CommitTest, ReadOnlyFolderReportsFailureAndLosesNothing) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root from writing";
  TempFolder folder;
  const std::string sub = folder.Path("locked");
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  const std::string path = sub + "/Tarnwick.ini";
  WriteBytes(path, "[主界面]\r\nk=old\r\n[其他]\r\nx=1");
  ASSERT_EQ(chmod(sub.c_str(), 0500), 0);
  SettingsStore store;
  ASSERT_TRUE(store.Open(path));
  store.SetSection("主界面");
  store.WriteText("k", "new");
  EXPECT_FALSE(store.Commit());
  EXPECT_EQ(ReadBytes(path), "[主界面]\r\nk=old\r\n[其他]\r\nx=1");
  chmod(sub.c_str(), 0700);
}

TEST(CommitTest, FileThatCannotBeReadIsNeverOverwritten) {
  TempFolder folder;
  const std::string fifo = folder.Path("fifo.ini");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string directory = folder.Path("directory.ini");
  ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
  for (const std::string& path : {fifo, directory}) {
    SettingsStore store;
    EXPECT_FALSE(store.Open(path)) << path;  // and does not block on the FIFO
    store.SetSection("主界面");
    store.WriteText("k", "v");
    EXPECT_FALSE(store.Commit()) << path;
    struct stat info {};
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_FALSE(S_ISREG(info.st_mode)) << path;
  }
}

// A child saves two versions in turn and is killed at random moments; the file must
// always hold one of the two versions whole.
TEST(CommitTest, KillDuringSaveLeavesOldOrNewFile) {
  TempFolder folder;
  const std::string path = folder.Path("Tarnwick.ini");
  const std::string valueA(300000, 'a');
  const std::string valueB(200000, 'b');
  const std::string fileA = "; kept\r\n[主界面]\r\nk=" + valueA;
  const std::string fileB = "; kept\r\n[主界面]\r\nk=" + valueB;
  WriteBytes(path, fileA);

  int killedMidSave = 0;
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delayMicroseconds(0, 30000);
  for (int round = 0; round < 40; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SettingsStore store;
      store.Open(path);
      store.SetSection("主界面");
      for (int i = 0;; ++i) {
        store.WriteText("k", i % 2 == 0 ? valueB : valueA);
        store.Commit();
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string now = ReadBytes(path);
    ASSERT_TRUE(now == fileA || now == fileB)
        << "round " << round << ", " << now.size() << " bytes";
    // A kill between naming the temporary file and the rename leaves it behind; the
    // next save replaces it, so kills never add up to more than one.
    const std::size_t entries = FolderEntries(folder.Root()).size();
    ASSERT_LE(entries, 2u) << "round " << round;
    killedMidSave += entries == 2 ? 1 : 0;
  }
  RecordProperty("killed_during_save", killedMidSave);
  ASSERT_TRUE(ReplaceFile(path, fileA).replaced);
  EXPECT_EQ(FolderEntries(folder.Root()), std::vector<std::string>{"Tarnwick.ini"});
}

// Kills at each step of a save, several times over: at most one temporary file is ever
// left beside the settings file, and the next save leaves none.
TEST(CommitTest, KillsDuringSavesLeaveAtMostOneTemporaryFile) {
  const FileCalls system = SystemFileCalls();
  const auto killWrite = +[](int, const void*, size_t) -> ssize_t { return raise(SIGKILL); };
  const auto killFsync = +[](int) { return raise(SIGKILL); };
  const auto killRename = +[](const char*, const char*) { return raise(SIGKILL); };
  const FileCalls killedAt[] = {
      {killWrite, system.fsync, system.close, system.rename},
      {system.write, killFsync, system.close, system.rename},
      {system.write, system.fsync, system.close, killRename},
  };
  TempFolder folder;
  const std::string path = folder.Path("Tarnwick.ini");
  WriteBytes(path, "old");
  for (int round = 0; round < 3; ++round) {
    for (const FileCalls& calls : killedAt) {
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        ReplaceFile(path, "new", calls);
        _exit(0);
      }
      int status = 0;
      waitpid(child, &status, 0);
      ASSERT_TRUE(WIFSIGNALED(status));
      EXPECT_EQ(ReadBytes(path), "old");
      EXPECT_LE(FolderEntries(folder.Root()).size(), 2u) << "round " << round;
    }
  }
  ASSERT_TRUE(ReplaceFile(path, "new").replaced);
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_EQ(FolderEntries(folder.Root()), std::vector<std::string>{"Tarnwick.ini"});
}

}  // namespace
}  // namespace tarnwick
