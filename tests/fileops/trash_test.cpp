// The trash: a trashed file and its .trashinfo appear in the trash of the file's own
// file system, and a file that no trash can take stays where it is.

#include "results/trash.h"

#include <gtest/gtest.h>

#include "fileops_support.h"

namespace tarnwick {
namespace {

using test::Exists;
using test::Names;
using test::ReadAll;
using test::SmallTmpfs;
using test::TempTree;

constexpr std::time_t kDeletedAt = 1'700'000'000;

std::string ExpectedInfo(const std::string& encodedPath) {
  struct tm local {};
  ::localtime_r(&kDeletedAt, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  return "[Trash Info]\nPath=" + encodedPath + "\nDeletionDate=" + date + "\n";
}

TrashPlace HomeTrashIn(const TempTree& tree) {
  return TrashPlace{tree.Path("data/Trash"), ::getuid()};
}

TEST(TrashTest, AFileGoesIntoTheHomeTrashWithItsInfo) {
  TempTree tree;
  const std::string file = tree.Create("docs/a b%.txt", "content");
  ASSERT_TRUE(MoveToTrash(file, HomeTrashIn(tree), kDeletedAt));
  EXPECT_FALSE(Exists(file));
  EXPECT_EQ(ReadAll(tree.Path("data/Trash/files/a b%.txt")), "content");
  EXPECT_EQ(ReadAll(tree.Path("data/Trash/info/a b%.txt.trashinfo")),
            ExpectedInfo(tree.Path("docs/a%20b%25.txt")));
}

TEST(TrashTest, ATakenNameGetsANumberAndNothingInTheTrashIsReplaced) {
  TempTree tree;
  const TrashPlace place = HomeTrashIn(tree);
  for (const char* content : {"first", "second", "third"}) {
    const std::string file = tree.Create("same.txt", content);
    ASSERT_TRUE(MoveToTrash(file, place, kDeletedAt));
  }
  EXPECT_EQ(Names(tree.Path("data/Trash/files")),
            (std::vector<std::string>{"same.txt", "same.txt.2", "same.txt.3"}));
  EXPECT_EQ(ReadAll(tree.Path("data/Trash/files/same.txt")), "first");
  EXPECT_EQ(ReadAll(tree.Path("data/Trash/files/same.txt.3")), "third");
  EXPECT_EQ(ReadAll(tree.Path("data/Trash/info/same.txt.2.trashinfo")),
            ExpectedInfo(tree.Path("same.txt")));
}

TEST(TrashTest, ANameThatIsNotUtf8IsKeptAndItsPathEncodedByteForByte) {
  TempTree tree;
  const std::string name = "\xb1\xa8\xb8\xe6.txt";
  const std::string file = tree.Create(name, "gbk");
  ASSERT_TRUE(MoveToTrash(file, HomeTrashIn(tree), kDeletedAt));
  EXPECT_EQ(Names(tree.Path("data/Trash/files")), std::vector<std::string>{name});
  EXPECT_EQ(ReadAll(tree.Path("data/Trash/info/" + name + ".trashinfo")),
            ExpectedInfo(tree.Root() + "/%B1%A8%B8%E6.txt"));
}

TEST(TrashTest, FoldersAndMissingFilesAreNotTrashed) {
  TempTree tree;
  const std::string folder = tree.MakeFolder("folder");
  EXPECT_FALSE(MoveToTrash(folder, HomeTrashIn(tree), kDeletedAt));
  EXPECT_FALSE(MoveToTrash(tree.Path("missing"), HomeTrashIn(tree), kDeletedAt));
  EXPECT_TRUE(Exists(folder));
}

// On another file system the file goes to that file system's own trash, never into the
// home trash by a copy and never away for good.
TEST(TrashTest, AFileOnAnotherFileSystemGoesToItsOwnTrash) {
  TempTree home;
  SmallTmpfs other(256);
  if (!other.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  const std::string file = other.Folder() + "/in/x.txt";
  ::mkdir((other.Folder() + "/in").c_str(), 0755);
  std::ofstream(file) << "elsewhere";
  ASSERT_TRUE(MoveToTrash(file, HomeTrashIn(home), kDeletedAt));
  const std::string trash = other.Folder() + "/.Trash-" + std::to_string(::getuid());
  EXPECT_EQ(ReadAll(trash + "/files/x.txt"), "elsewhere");
  EXPECT_EQ(ReadAll(trash + "/info/x.txt.trashinfo"), ExpectedInfo(file));
  EXPECT_FALSE(Exists(home.Path("data/Trash")));
}

TEST(TrashTest, AFileWhoseFileSystemHasNoUsableTrashStaysInPlace) {
  TempTree home;
  SmallTmpfs other(256);
  if (!other.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  const std::string file = other.Folder() + "/x.txt";
  std::ofstream(file) << "stays";
  // A file where the user's trash folder would be, and a shared .Trash that is not sticky.
  std::ofstream(other.Folder() + "/.Trash-" + std::to_string(::getuid())) << "not a folder";
  ::mkdir((other.Folder() + "/.Trash").c_str(), 0777);
  EXPECT_FALSE(MoveToTrash(file, HomeTrashIn(home), kDeletedAt));
  EXPECT_EQ(ReadAll(file), "stays");
}

TEST(TrashTest, ASharedStickyTrashGetsAFolderPerUser) {
  TempTree home;
  SmallTmpfs other(256);
  if (!other.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  const std::string shared = other.Folder() + "/.Trash";
  ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  const std::string file = other.Folder() + "/x.txt";
  std::ofstream(file) << "shared";
  ASSERT_TRUE(MoveToTrash(file, HomeTrashIn(home), kDeletedAt));
  EXPECT_EQ(ReadAll(shared + "/" + std::to_string(::getuid()) + "/files/x.txt"), "shared");
}

TEST(TrashTest, TheHomeTrashFollowsXdgDataHome) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string restore = saved ? saved : "";
  ::setenv("XDG_DATA_HOME", "/somewhere/data", 1);
  EXPECT_EQ(CurrentTrashPlace().homeTrash, "/somewhere/data/Trash");
  ::setenv("XDG_DATA_HOME", "relative/data", 1);
  ::setenv("HOME", ::getenv("HOME") ? ::getenv("HOME") : "/root", 1);
  EXPECT_EQ(CurrentTrashPlace().homeTrash, std::string(::getenv("HOME")) + "/.local/share/Trash");
  if (saved) {
    ::setenv("XDG_DATA_HOME", restore.c_str(), 1);
  } else {
    ::unsetenv("XDG_DATA_HOME");
  }
}

}  // namespace
}  // namespace tarnwick
