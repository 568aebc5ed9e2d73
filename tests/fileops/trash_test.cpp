// The trash: a trashed file and a valid .trashinfo appear in the trash of the file's own
// file system, nothing in the trash is replaced, and a file that no trash can take stays
// where it is.

#include "results/trash.h"

#include <gtest/gtest.h>

#include "fileops_support.h"

namespace tarnwick {
namespace {

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

TrashPlace HomeTrashIn(const TempTree& tree) { return {tree.Path("data/Trash"), ::getuid()}; }

TEST(TrashTest, FilesGoIntoTheHomeTrashUnderFreeNamesWithTheirInfo) {
  TempTree tree;
  const std::string gbkName = "\xb1\xa8 %.txt";
  for (const char* content : {"first", "second"}) {
    ASSERT_TRUE(MoveToTrash(tree.Create(gbkName, content), HomeTrashIn(tree), kDeletedAt));
  }
  EXPECT_TRUE(Names(tree.Root()) == std::vector<std::string>{"data"});
  EXPECT_EQ(Names(tree.Path("data/Trash/files")),
            (std::vector<std::string>{gbkName, gbkName + ".2"}));
  EXPECT_EQ(ReadAll(tree.Path("data/Trash/files/" + gbkName)), "first");
  EXPECT_EQ(ReadAll(tree.Path("data/Trash/files/" + gbkName + ".2")), "second");
  EXPECT_EQ(ReadAll(tree.Path("data/Trash/info/" + gbkName + ".2.trashinfo")),
            ExpectedInfo(tree.Root() + "/%B1%A8%20%25.txt"));
}

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// "<name>.trashinfo" must itself be a valid file name: names of up to 255 bytes are
// shortened inside the trash, keeping their extension and whole UTF-8 characters, and
// the info file keeps the original path.
TEST(TrashTest, NamesTooLongForTheirInfoFileAreShortenedInTheTrash) {
  TempTree tree;
  const struct {
    std::string name, encoded;
    std::string stored[2];  // the names in the trash of the first and the second file
  } cases[] = {
      {std::string(251, 'a') + ".txt",
       std::string(251, 'a') + ".txt",
       {std::string(241, 'a') + ".txt", std::string(239, 'a') + ".txt.2"}},
      {Repeated("文", 83) + ".txt",
       Repeated("%E6%96%87", 83) + ".txt",
       {Repeated("文", 80) + ".txt", Repeated("文", 79) + ".txt.2"}},
      {std::string(255, 'b'),
       std::string(255, 'b'),
       {std::string(245, 'b'), std::string(243, 'b') + ".2"}},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 2; ++i) {
      const std::string folder = i == 0 ? "one" : "two";
      SCOPED_TRACE(folder + "/" + c.name.substr(0, 9));
      ASSERT_TRUE(
          MoveToTrash(tree.Create(folder + "/" + c.name, folder), HomeTrashIn(tree), kDeletedAt));
      EXPECT_EQ(ReadAll(tree.Path("data/Trash/files/" + c.stored[i])), folder);
      EXPECT_EQ(ReadAll(tree.Path("data/Trash/info/" + c.stored[i] + ".trashinfo")),
                ExpectedInfo(tree.Root() + "/" + folder + "/" + c.encoded));
    }
  }
  EXPECT_TRUE(Names(tree.Path("one")).empty());
  EXPECT_TRUE(Names(tree.Path("two")).empty());
}

// On another file system the file goes to that file system's own trash: never into the
// home trash by a copy, and never away for good.
TEST(TrashTest, AFileOnAnotherFileSystemGoesToItsOwnTrash) {
  TempTree home;
  SmallTmpfs other(256);
  if (!other.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  std::ofstream(other.Path("x.txt")) << "elsewhere";
  ASSERT_TRUE(MoveToTrash(other.Path("x.txt"), HomeTrashIn(home), kDeletedAt));
  const std::string trash = other.Path(".Trash-" + std::to_string(::getuid()));
  EXPECT_EQ(ReadAll(trash + "/files/x.txt"), "elsewhere");
  EXPECT_EQ(ReadAll(trash + "/info/x.txt.trashinfo"), ExpectedInfo(other.Path("x.txt")));
  EXPECT_TRUE(Names(home.Root()).empty());
}

TEST(TrashTest, AFileWhoseFileSystemHasNoUsableTrashStaysInPlace) {
  TempTree home;
  SmallTmpfs other(256);
  if (!other.Mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  std::ofstream(other.Path("x.txt")) << "stays";
  // A file where the user's trash folder would be, and a shared .Trash that is not sticky.
  std::ofstream(other.Path(".Trash-" + std::to_string(::getuid()))) << "not a folder";
  ::mkdir(other.Path(".Trash").c_str(), 0777);
  EXPECT_FALSE(MoveToTrash(other.Path("x.txt"), HomeTrashIn(home), kDeletedAt));
  EXPECT_EQ(ReadAll(other.Path("x.txt")), "stays");
}

}  // namespace
}  // namespace tarnwick
