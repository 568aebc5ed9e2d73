// Moving and copying files into a folder on one file system: replacing what was there,
// never destroying a file by moving or copying it onto itself, and never letting a later
// file of one run replace a file that the same run has just put into the folder.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "fileops_support.h"
#include "results/file_copy.h"
#include "results/file_operations.h"
#include "results/file_relocate.h"

namespace tarnwick {
namespace {

using test::Exists;
using test::Names;
using test::ReadAll;
using test::TempTree;

TEST(TransferTest, MoveReplacesAFileThatWasAlreadyInTheDestination) {
  TempTree tree;
  const std::string source = tree.Create("a/report.txt", "new");
  const std::string target = tree.Create("b/report.txt", "old");
  TransferRun run(TransferRun::Kind::Move);
  EXPECT_TRUE(run.Transfer(source, target));
  EXPECT_FALSE(Exists(source));
  EXPECT_EQ(ReadAll(target), "new");
}

TEST(TransferTest, CopyReplacesAFileThatWasAlreadyInTheDestinationAndKeepsTheSource) {
  TempTree tree;
  const std::string source = tree.Create("a/report.txt", "new", 1'400'000'000);
  tree.SetMode("a/report.txt", 0640);
  const std::string target = tree.Create("b/report.txt", "old and longer");
  TransferRun run(TransferRun::Kind::Copy);
  EXPECT_TRUE(run.Transfer(source, target));
  EXPECT_EQ(ReadAll(source), "new");
  EXPECT_EQ(ReadAll(target), "new");
  struct stat copied {};
  ASSERT_EQ(::stat(target.c_str(), &copied), 0);
  EXPECT_EQ(copied.st_mtim.tv_sec, 1'400'000'000);
  EXPECT_EQ(copied.st_mode & 0777, 0640u);
  EXPECT_EQ(Names(tree.Path("b")), std::vector<std::string>{"report.txt"}) << "no temporary left";
}

// The destination is the file's own folder, reached directly or through a link: an
// overwrite or a copy-then-delete would destroy the file.
TEST(TransferTest, OntoItselfFailsAndLeavesTheFileWhole) {
  for (const auto kind : {TransferRun::Kind::Move, TransferRun::Kind::Copy}) {
    for (const char* destination : {"docs", "link-to-docs"}) {
      SCOPED_TRACE(std::string(kind == TransferRun::Kind::Move ? "move into " : "copy into ") +
                   destination);
      TempTree tree;
      const std::string source = tree.Create("docs/报告.txt", "only copy");
      tree.MakeLink("docs", "link-to-docs");
      TransferRun run(kind);
      EXPECT_FALSE(run.Transfer(source, tree.Path(std::string(destination) + "/报告.txt")));
      EXPECT_EQ(ReadAll(source), "only copy");
      EXPECT_EQ(Names(tree.Path("docs")), std::vector<std::string>{"报告.txt"});
    }
  }
}

TEST(TransferTest, AHardLinkOrALinkToTheSourceInTheDestinationIsTheSameFile) {
  TempTree tree;
  const std::string source = tree.Create("a/x.txt", "data");
  tree.MakeFolder("b");
  ASSERT_EQ(::link(source.c_str(), tree.Path("b/x.txt").c_str()), 0);
  tree.MakeLink(source, "c/x.txt");
  EXPECT_FALSE(CopyFileReplacing(source, tree.Path("b/x.txt"), CopySync::WhenReplacing));
  EXPECT_FALSE(RelocateFile(source, tree.Path("c/x.txt")));
  EXPECT_EQ(ReadAll(source), "data");
  EXPECT_EQ(ReadAll(tree.Path("c/x.txt")), "data");
}

TEST(TransferTest, ALaterFileOfTheSameNameDoesNotReplaceOneThisRunPutThere) {
  for (const auto kind : {TransferRun::Kind::Move, TransferRun::Kind::Copy}) {
    SCOPED_TRACE(kind == TransferRun::Kind::Move ? "move" : "copy");
    TempTree tree;
    const std::string first = tree.Create("one/same.txt", "first");
    const std::string second = tree.Create("two/same.txt", "second");
    const std::string target = tree.Path("dest/same.txt");
    tree.MakeFolder("dest");
    TransferRun run(kind);
    EXPECT_TRUE(run.Transfer(first, target));
    EXPECT_FALSE(run.Transfer(second, target));
    EXPECT_EQ(ReadAll(target), "first");
    EXPECT_EQ(ReadAll(second), "second");
    // A new run may replace it, as a single move or copy would.
    TransferRun next(kind);
    EXPECT_TRUE(next.Transfer(second, target));
    EXPECT_EQ(ReadAll(target), "second");
  }
}

TEST(TransferTest, NamesThatAreNotUtf8AreMovedCopiedAndDeletedAsThemselves) {
  TempTree tree;
  const std::string gbkName = "\xb1\xa8\xb8\xe6.txt";  // 报告 in GBK
  const std::string source = tree.Create("a/" + gbkName, "gbk");
  tree.MakeFolder("b");
  tree.MakeFolder("c");
  TransferRun copy(TransferRun::Kind::Copy);
  EXPECT_TRUE(copy.Transfer(source, tree.Path("c/" + gbkName)));
  TransferRun move(TransferRun::Kind::Move);
  EXPECT_TRUE(move.Transfer(source, tree.Path("b/" + gbkName)));
  EXPECT_EQ(Names(tree.Path("b")), std::vector<std::string>{gbkName});
  EXPECT_EQ(ReadAll(tree.Path("c/" + gbkName)), "gbk");
  EXPECT_TRUE(DeletePermanently(tree.Path("c/" + gbkName)));
  EXPECT_TRUE(Names(tree.Path("c")).empty());
}

TEST(TransferTest, ACopyOfSomethingOtherThanARegularFileFailsWithoutBlocking) {
  TempTree tree;
  const std::string fifo = tree.MakeFifo("a/pipe");
  tree.MakeFolder("b");
  EXPECT_FALSE(CopyFileReplacing(fifo, tree.Path("b/pipe"), CopySync::WhenReplacing));
  EXPECT_FALSE(CopyFileReplacing(tree.Path("a"), tree.Path("b/a"), CopySync::WhenReplacing));
  EXPECT_FALSE(
      CopyFileReplacing(tree.Path("a/missing"), tree.Path("b/missing"), CopySync::WhenReplacing));
  EXPECT_TRUE(Names(tree.Path("b")).empty());
}

TEST(TransferTest, AFailedCopyLeavesAnExistingTargetUntouched) {
  TempTree tree;
  const std::string source = tree.Create("a/x.txt", "new");
  const std::string target = tree.Create("b/x.txt/keep", "folder in the way");
  TransferRun run(TransferRun::Kind::Copy);
  EXPECT_FALSE(run.Transfer(source, tree.Path("b/x.txt")));
  EXPECT_EQ(ReadAll(target), "folder in the way");
  EXPECT_EQ(Names(tree.Path("b")), std::vector<std::string>{"x.txt"});
}

TEST(DeleteTest, RemovesFilesAndLinksButNotFolders) {
  TempTree tree;
  const std::string file = tree.Create("a.txt", "x");
  const std::string link = tree.MakeLink("a.txt", "link");
  const std::string folder = tree.MakeFolder("folder");
  EXPECT_TRUE(DeletePermanently(link));
  EXPECT_TRUE(Exists(file)) << "the link goes, not the file it leads to";
  EXPECT_TRUE(DeletePermanently(file));
  EXPECT_FALSE(DeletePermanently(file)) << "already gone";
  EXPECT_FALSE(DeletePermanently(folder));
  EXPECT_TRUE(Exists(folder));
}

}  // namespace
}  // namespace tarnwick
