// Moving and copying files into a folder on one file system: replacing what was there,
// never destroying a file by moving or copying it onto itself or onto another file of
// the run, and never letting a later file of one move replace a file that the same move
// has just put into the folder.

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
    TransferRun run(kind, {source});
    EXPECT_EQ(run.Transfer(source, target), TransferOutcome::Done);
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
      TransferRun run(kind, {source});
      EXPECT_EQ(run.Transfer(source, tree.Path(std::string(destination) + "/报告.txt")),
                TransferOutcome::Failed);
      EXPECT_EQ(ReadAll(source), "only copy");
      EXPECT_EQ(Names(tree.Path("docs")), std::vector<std::string>{"报告.txt"});
    }
  }
}

// Two picked files of one name: a move keeps the first (the later one would destroy the
// only copy of it), a copy ends with the later one (both sources remain).
TEST(TransferTest, ALaterFileOfTheSameNameReplacesAnEarlierCopyButNeverAnEarlierMove) {
  for (const Kind kind : {Kind::Move, Kind::Copy}) {
    SCOPED_TRACE(KindName(kind));
    TempTree tree;
    const std::string first = tree.Create("one/same.txt", "first");
    const std::string second = tree.Create("two/same.txt", "second");
    const std::string target = tree.MakeFolder("dest") + "/same.txt";
    TransferRun run(kind, {first, second});
    EXPECT_EQ(run.Transfer(first, target), TransferOutcome::Done);
    if (kind == Kind::Move) {
      EXPECT_EQ(run.Transfer(second, target), TransferOutcome::NameTaken);
      EXPECT_EQ(ReadAll(target), "first");
      EXPECT_EQ(ReadAll(second), "second");
      // A new run may replace it, as a single move would.
      EXPECT_EQ(TransferRun(kind, {second}).Transfer(second, target), TransferOutcome::Done);
    } else {
      EXPECT_EQ(run.Transfer(second, target), TransferOutcome::Done);
      EXPECT_EQ(ReadAll(first), "first");
      EXPECT_EQ(ReadAll(second), "second");
    }
    EXPECT_EQ(ReadAll(target), "second");
  }
}

// A picked file that already lies in the destination is never replaced by another
// picked file of its name, whichever comes first; reached through a link it counts too.
TEST(TransferTest, APickedFileInTheDestinationIsNotReplacedByAnotherOfItsName) {
  for (const Kind kind : {Kind::Move, Kind::Copy}) {
    SCOPED_TRACE(KindName(kind));
    TempTree tree;
    const std::string outside = tree.Create("a/x.txt", "outside");
    const std::string inside = tree.Create("dest/x.txt", "inside");
    tree.MakeLink(inside, "b/x.txt");
    TransferRun run(kind, {outside, tree.Path("b/x.txt")});
    EXPECT_EQ(run.Transfer(outside, inside), TransferOutcome::NameTaken);
    EXPECT_EQ(ReadAll(inside), "inside");
    EXPECT_EQ(ReadAll(outside), "outside");
  }
}

TEST(TransferTest, NamesThatAreNotUtf8AreMovedCopiedAndDeletedAsThemselves) {
  TempTree tree;
  const std::string gbkName = "\xb1\xa8\xb8\xe6.txt";  // 报告 in GBK
  const std::string source = tree.Create("a/" + gbkName, "gbk");
  const std::string copied = tree.MakeFolder("c") + "/" + gbkName;
  const std::string moved = tree.MakeFolder("b") + "/" + gbkName;
  EXPECT_EQ(TransferRun(Kind::Copy, {source}).Transfer(source, copied), TransferOutcome::Done);
  EXPECT_EQ(TransferRun(Kind::Move, {source}).Transfer(source, moved), TransferOutcome::Done);
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
