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

// A move or copy once replaced a file it found in the destination that the user had
// neither picked nor asked about. Asked first, the run leaves it (Occupied) until told
// to replace it; a folder there is never in question. On another file system the move
// copies, and keeps the file there all the same.
TEST(TransferTest, AFileTheRunDidNotPickOrPlaceStaysUntilTheCallerSaysReplace) {
  for (const Kind kind : {Kind::Move, Kind::Copy}) {
    SCOPED_TRACE(KindName(kind));
    TempTree tree;
    const std::string source = tree.Create("a/report.txt", "new");
    const std::string target = tree.Create("b/report.txt", "theirs");
    tree.MakeLink("nowhere", "b/dangling.txt");
    tree.MakeFolder("b/folder.txt");
    TransferRun run(kind, {source});
    EXPECT_EQ(run.Transfer(source, target, AtTarget::Keep), TransferOutcome::Occupied);
    EXPECT_EQ(run.Transfer(source, tree.Path("b/dangling.txt"), AtTarget::Keep),
              TransferOutcome::Occupied);
    EXPECT_EQ(run.Transfer(source, tree.Path("b/folder.txt"), AtTarget::Keep),
              TransferOutcome::Failed);
    EXPECT_EQ(ReadAll(target), "theirs");
    EXPECT_EQ(ReadAll(source), "new");
    EXPECT_EQ(Names(tree.Path("b")),
              (std::vector<std::string>{"dangling.txt", "folder.txt", "report.txt"}));
    EXPECT_EQ(run.Transfer(source, target, AtTarget::Replace), TransferOutcome::Done);
    EXPECT_EQ(ReadAll(target), "new");

    const std::unique_ptr<TempTree> other = test::TreeOnOtherFileSystem(tree.Root());
    if (!other) continue;
    const std::string far = other->Create("c/report.txt", "far away");
    const std::string again = tree.Create("a/report.txt", "newer");
    TransferRun across(kind, {again});
    EXPECT_EQ(across.Transfer(again, far, AtTarget::Keep), TransferOutcome::Occupied);
    EXPECT_EQ(ReadAll(far), "far away");
    EXPECT_EQ(ReadAll(again), "newer");
    EXPECT_EQ(Names(other->Path("c")), std::vector<std::string>{"report.txt"});
  }
}

// Files of one name copied into one folder leave only the last there: the run counts
// the copies that replaced an earlier one of its own (once reported as copied like any
// other), and asks about none of them.
TEST(TransferTest, CopiesThatReplaceAnEarlierCopyOfTheRunAreCounted) {
  TempTree tree;
  std::vector<std::string> sources;
  for (const char* folder : {"one", "two", "three"})
    sources.push_back(tree.Create(std::string(folder) + "/readme.txt", folder));
  const std::string target = tree.MakeFolder("dest") + "/readme.txt";
  TransferRun copy(Kind::Copy, sources);
  for (const std::string& source : sources)
    EXPECT_EQ(copy.Transfer(source, target, AtTarget::Keep), TransferOutcome::Done);
  EXPECT_EQ(copy.ReplacedOwnCopies(), 2u);
  EXPECT_EQ(ReadAll(target), "three");

  TransferRun move(Kind::Move, sources);
  EXPECT_EQ(move.Transfer(sources[0], tree.Path("dest/moved.txt"), AtTarget::Keep),
            TransferOutcome::Done);
  EXPECT_EQ(move.Transfer(sources[1], tree.Path("dest/moved.txt"), AtTarget::Keep),
            TransferOutcome::NameTaken);
  EXPECT_EQ(move.ReplacedOwnCopies(), 0u);
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
