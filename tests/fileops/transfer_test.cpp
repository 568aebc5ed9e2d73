// Moving and copying files into a folder on one file system: replacing what was there,
// never destroying a file by moving or copying it onto itself, and never letting a later
// file of one run replace a file that the same run has just put into the folder.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "fileops_support.h"
#include "results/file_copy.h"
#include "results/file_operations.h"

namespace tarnwick {
namespace {

using test::Names;
using test::ReadAll;
using test::TempTree;
using Kind = TransferRun::Kind;

const char* KindName(Kind kind) { return kind == Kind::Move ? "move" : "copy"; }

TEST(TransferTest, AFileAlreadyInTheDestinationIsReplacedWithNoTemporaryLeft) {
  for (const Kind kind : {Kind::Move, Kind::Copy}) {
    SCOPED_TRACE(KindName(kind));
    TempTree tree;
    const std::string source = tree.Create("a/report.txt", "new", 1'400'000'000);
    const std::string target = tree.Create("b/report.txt", "old and longer");
    TransferRun run(kind);
    EXPECT_TRUE(run.Transfer(source, target));
    EXPECT_EQ(ReadAll(target), "new");
    EXPECT_EQ(ReadAll(source), kind == Kind::Move ? "<missing>" : "new");
    struct stat placed {};
    ASSERT_EQ(::stat(target.c_str(), &placed), 0);
    EXPECT_EQ(placed.st_mtim.tv_sec, 1'400'000'000);
    EXPECT_EQ(Names(tree.Path("b")), std::vector<std::string>{"report.txt"});
  }
}

// The destination is the file's own folder, reached directly or through a link: an
// overwrite or a copy-then-delete would destroy the file.
TEST(TransferTest, OntoItselfFailsAndLeavesTheFileWhole) {
  for (const Kind kind : {Kind::Move, Kind::Copy}) {
    for (const char* destination : {"docs", "link-to-docs"}) {
      SCOPED_TRACE(std::string(KindName(kind)) + " into " + destination);
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

TEST(TransferTest, ALaterFileOfTheSameNameDoesNotReplaceOneThisRunPutThere) {
  for (const Kind kind : {Kind::Move, Kind::Copy}) {
    SCOPED_TRACE(KindName(kind));
    TempTree tree;
    const std::string first = tree.Create("one/same.txt", "first");
    const std::string second = tree.Create("two/same.txt", "second");
    const std::string target = tree.MakeFolder("dest") + "/same.txt";
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
  const std::string copied = tree.MakeFolder("c") + "/" + gbkName;
  const std::string moved = tree.MakeFolder("b") + "/" + gbkName;
  EXPECT_TRUE(TransferRun(Kind::Copy).Transfer(source, copied));
  EXPECT_TRUE(TransferRun(Kind::Move).Transfer(source, moved));
  EXPECT_EQ(ReadAll(moved), "gbk");
  EXPECT_TRUE(DeletePermanently(copied));
  EXPECT_TRUE(Names(tree.Path("a")).empty());
  EXPECT_TRUE(Names(tree.Path("c")).empty());
}

TEST(TransferTest, ACopyOfAFifoOrAFolderFailsWithoutBlocking) {
  TempTree tree;
  const std::string fifo = tree.MakeFifo("a/pipe");
  tree.MakeFolder("b");
  EXPECT_FALSE(CopyFileReplacing(fifo, tree.Path("b/pipe"), CopySync::WhenReplacing));
  EXPECT_FALSE(CopyFileReplacing(tree.Path("a"), tree.Path("b/a"), CopySync::WhenReplacing));
  EXPECT_FALSE(DeletePermanently(tree.Path("b")));
  EXPECT_TRUE(Names(tree.Path("b")).empty());
}

}  // namespace
}  // namespace tarnwick
