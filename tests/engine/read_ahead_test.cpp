// Content read ahead of the workers: the rows are those of reading each file on the
// thread that works on it, whatever the depth of the read queue, whether the kernel's
// rings or the I/O threads carry the reads, and whatever the device does to a read
// (short reads, EAGAIN, rings refused). Reads on a spinning disk go in on-disk order.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/reads/folder_read_ahead.h"
#include "engine/reads/pending_reads.h"
#include "engine/reads/prefetched_content.h"
#include "engine/reads/read_queue.h"
#include "temp_tree.h"
#include "walk_test_support.h"

namespace tarnwick {
namespace {

using Rows = std::vector<std::string>;

// Every text of every row, and the job's reports of what it could not read.
Rows RowTexts(const test::JobRun& run) {
  Rows rows;
  for (std::size_t i = 0; i < run.list.Count(); ++i) {
    const ResultRow& row = run.list.Row(i);
    rows.push_back(row.folder + row.name + "|" + row.sizeText + "|" + row.countText + "|" +
                   std::to_string(row.characters) + "|" + std::to_string(row.encoding));
  }
  return rows;
}

// The descriptors the process has open.
int OpenDescriptors() {
  int count = 0;
  for (int fd = 0; fd < 1024; ++fd) count += ::fcntl(fd, F_GETFD) >= 0 ? 1 : 0;
  return count;
}

// Files of every reading the loader knows, small and over a piece, in several folders.
void FillTree(test::TempTree& tree) {
  const std::string word = "quillwort";
  for (int folder = 0; folder < 12; ++folder) {
    const std::string base = "d" + std::to_string(folder) + "/";
    for (int file = 0; file < 15; ++file) {
      std::string text(static_cast<std::size_t>(file * 37 + folder), 'a');
      if ((file + folder) % 4 == 0) text += " Quillwort ";
      tree.Create(base + "t" + std::to_string(file) + ".txt", text);
    }
    tree.Create(base + "utf8.txt", "中文 " + word + " 中文");
    tree.Create(base + "gbk.txt", std::string("\xD6\xD0\xCE\xC4 ") + word);
    tree.Create(base + "utf16.txt", std::string("\xFF\xFEq\0u\0i\0l\0l\0w\0o\0r\0t\0", 20));
    tree.Create(base + "empty.txt", "");
    // Over two pieces, the word only in the last: read on past the first piece.
    tree.Create(base + "big.txt", std::string(300 * 1024 + folder, 'b') + word);
    tree.Create(base + "html.htm",
                "<head><meta charset=big5></head>" + std::string(140 * 1024, 'c') + "\xA4\xA4");
  }
  tree.MakeFifo("d3/fifo.txt");
  tree.MakeLink("t1.txt", "d4/link.txt");
  tree.MakeLink("missing", "d5/dangling.txt");
}

Rows JobRows(const test::TempTree& tree, const FilterOptions& options, unsigned threads,
             const ReadSettings& reads) {
  JobSettings settings;
  settings.threads = threads;
  settings.reads = reads;
  test::JobRun run;
  RunFilterJob(tree.Root(), Lister::FindFile, options, run.list, run.host, run.stop, settings);
  return RowTexts(run);
}

// The content alone searched: every file is read, whatever its name.
FilterOptions InContentOnly(FilterOptions options) {
  options.SetChecked(Check::InName, false);
  return options;
}

std::vector<FilterOptions> ContentJobs() {
  return {
      InContentOnly(test::Ticked({Check::ScopeTree, Check::ContentFilter, Check::InContent},
                                 {{Field::ContentPattern, "quillwort"}})),
      InContentOnly(test::Ticked(
          {Check::ScopeTree, Check::ContentFilter, Check::InContent, Check::LacksContent},
          {{Field::ContentPattern, "quillwort|中"}})),
      test::Ticked({Check::ScopeTree, Check::LengthFilter, Check::MeasureChars, Check::UnitB},
                   {{Field::LengthFrom, "10"}, {Field::LengthTo, "400000"}}),
      InContentOnly(test::Ticked(
          {Check::ScopeTree, Check::ContentFilter, Check::InContent, Check::LengthFilter,
           Check::MeasureChars, Check::StripTags, Check::UnitB},
          {{Field::ContentPattern, "a"}, {Field::LengthFrom, "0"}, {Field::LengthTo, "200"}})),
  };
}

TEST(ReadAhead, RowsAreThoseOfOneThreadAtEveryDepthAndThroughEitherReader) {
  test::TempTree tree;
  FillTree(tree);
  for (const FilterOptions& options : ContentJobs()) {
    const Rows single = JobRows(tree, options, 1, {});
    ASSERT_FALSE(single.empty());
    for (const bool threadsOnly : {false, true}) {
      for (const unsigned depth : {1U, 4U, 64U}) {
        for (const unsigned threads : {2U, 3U}) {
          ReadSettings reads;
          reads.depth = depth;
          reads.threadsOnly = threadsOnly;
          EXPECT_EQ(JobRows(tree, options, threads, reads), single)
              << "depth " << depth << ", " << threads << " threads"
              << (threadsOnly ? ", I/O threads" : ", rings");
        }
      }
    }
  }
}

TEST(ReadAhead, ShortReadsAgainAndRefusedRingsChangeNoRow) {
  test::TempTree tree;
  FillTree(tree);
  platform::ReadFaults shortReads;
  shortReads.shortReadBytes = 7;
  platform::ReadFaults again;
  again.againFirst = true;
  platform::ReadFaults refused;
  refused.refuseRing = true;
  platform::ReadFaults everything = shortReads;
  everything.againFirst = true;
  for (const FilterOptions& options : ContentJobs()) {
    const Rows single = JobRows(tree, options, 1, {});
    for (const platform::ReadFaults* faults : {&shortReads, &again, &refused, &everything}) {
      for (const bool threadsOnly : {false, true}) {
        ReadSettings reads;
        reads.depth = 4;
        reads.threadsOnly = threadsOnly;
        reads.faults = faults;
        EXPECT_EQ(JobRows(tree, options, 2, reads), single)
            << "short " << faults->shortReadBytes << ", again " << faults->againFirst
            << ", refused " << faults->refuseRing << (threadsOnly ? ", I/O threads" : ", rings");
      }
    }
  }
}

TEST(ReadAhead, RotationalDiskReadsInOnDiskOrderWithTheSameRows) {
  test::TempTree tree;
  FillTree(tree);
  ReadSettings reads;
  reads.device = platform::DeviceKind::Rotational;
  for (const FilterOptions& options : ContentJobs())
    EXPECT_EQ(JobRows(tree, options, 2, reads), JobRows(tree, options, 1, {}));
}

// Files of a few shared sizes: copies, files that differ in one byte at the start, the
// middle or the end, and big files whose ends agree while their middles do not.
void FillDuplicates(test::TempTree& tree) {
  for (int folder = 0; folder < 6; ++folder) {
    const std::string base = "d" + std::to_string(folder) + "/";
    for (int file = 0; file < 10; ++file) {
      std::string bytes(static_cast<std::size_t>(100 + (file % 3) * 50), 'a');
      if (file % 4 == 1) bytes[static_cast<std::size_t>(file * 7 % 100)] = 'b';
      tree.Create(base + "s" + std::to_string(file), bytes);
    }
    std::string big(200 * 1024, 'x');
    if (folder % 2 == 1) big[100 * 1024] = 'y';
    tree.Create(base + "big", big);
    tree.Create(base + "empty", "");
  }
}

Rows DuplicateRows(const test::TempTree& tree, unsigned threads, const ReadSettings& reads) {
  const FilterOptions options =
      test::Ticked({Check::ScopeTree, Check::DuplicateFilter, Check::DupByMd5, Check::DupAll});
  JobSettings settings;
  settings.threads = threads;
  settings.reads = reads;
  test::JobRun run;
  RunFilterJob(tree.Root(), Lister::FindFile, options, run.list, run.host, run.stop, settings);
  Rows rows = RowTexts(run);
  for (std::size_t i = 0; i < run.list.Count(); ++i)
    rows[i] += "|" + std::to_string(run.list.Row(i).group);
  return rows;
}

TEST(ReadAhead, DuplicateStagesReadAheadGroupAsOneThreadDoes) {
  test::TempTree tree;
  FillDuplicates(tree);
  const Rows single = DuplicateRows(tree, 1, {});
  ASSERT_FALSE(single.empty());
  platform::ReadFaults faults;
  faults.shortReadBytes = 5;
  faults.againFirst = true;
  for (const bool threadsOnly : {false, true}) {
    for (const unsigned depth : {1U, 4U, 64U}) {
      ReadSettings reads;
      reads.depth = depth;
      reads.threadsOnly = threadsOnly;
      EXPECT_EQ(DuplicateRows(tree, 2, reads), single)
          << "depth " << depth << (threadsOnly ? ", I/O threads" : ", rings");
      reads.faults = &faults;
      EXPECT_EQ(DuplicateRows(tree, 3, reads), single)
          << "depth " << depth << " with faults" << (threadsOnly ? ", I/O threads" : ", rings");
    }
  }
}

TEST(PendingReads, ASpinningDiskTakesTheNearestOnDiskAndAWaitedFileFirst) {
  PendingReads disk(true);
  PendingReads flash(false);
  const std::uint64_t inodes[] = {900, 12, 500, 13, 7};
  for (std::uint32_t slot = 0; slot < 5; ++slot) {
    disk.Push(slot, inodes[slot]);
    flash.Push(slot, inodes[slot]);
  }
  disk.Promote(2);
  flash.Promote(3);
  std::vector<std::uint32_t> diskOrder, flashOrder;
  while (!disk.Empty()) diskOrder.push_back(disk.Pop());
  while (!flash.Empty()) flashOrder.push_back(flash.Pop());
  EXPECT_EQ(diskOrder, (std::vector<std::uint32_t>{2, 4, 1, 3, 0}));
  EXPECT_EQ(flashOrder, (std::vector<std::uint32_t>{3, 0, 1, 2, 4}));
}

// A name the listing saw as a regular file that has become a FIFO is refused, never
// waited on; tickets abandoned in every state leave no descriptor open.
TEST(ReadQueue, AFifoInAFilesPlaceAndAbandonedTicketsLeaveNothingOpen) {
  test::TempTree tree;
  tree.Create("a.txt", "content of a");
  tree.MakeFifo("pipe");
  for (int i = 0; i < 40; ++i) tree.Create("f" + std::to_string(i), std::string(i * 100, 'x'));
  const int folder = ::open(tree.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const auto openCount = [] {
    int count = 0;
    for (int fd = 0; fd < 1024; ++fd) count += ::fcntl(fd, F_GETFD) >= 0 ? 1 : 0;
    return count;
  };
  for (const bool threadsOnly : {false, true}) {
    const int before = openCount();
    {
      ReadSettings settings;
      settings.depth = 4;
      settings.threadsOnly = threadsOnly;
      ReadQueue queue(settings, platform::DeviceKind::Parallel, 64);
      const ReadQueue::Ticket pipe = queue.Ask(nullptr, folder, "pipe", 0);
      const ReadQueue::Result& piped = queue.Take(pipe);
      EXPECT_TRUE(piped.attempted);
      EXPECT_EQ(piped.fd, -1);
      EXPECT_EQ(piped.openError, 0);
      queue.Release(pipe);

      const platform::FileRef file{folder, "a.txt", {}, true};
      PrefetchedContent content(&queue, queue.Ask(nullptr, folder, "a.txt", 0), file);
      ASSERT_EQ(content.Open(), OpenResult::Opened);
      char bytes[64];
      EXPECT_EQ(content.Read(bytes, sizeof bytes), 12);
      ASSERT_TRUE(content.Rewind());
      EXPECT_EQ(content.Read(bytes, 4), 4);
      EXPECT_EQ(std::string(bytes, 4), "cont");

      // Some taken, the rest left in flight, waiting or done.
      std::vector<ReadQueue::Ticket> tickets;
      for (int i = 0; i < 40; ++i) {
        const ReadQueue::Ticket ticket = queue.Ask(nullptr, folder, "f" + std::to_string(i), 0);
        if (ticket != ReadQueue::kNoTicket) tickets.push_back(ticket);
      }
      ASSERT_FALSE(tickets.empty());
      const ReadQueue::Result& first = queue.Take(tickets[0]);
      EXPECT_EQ(first.first.size(), 0u);  // f0 is empty
      ::close(first.fd);
      queue.Release(tickets[0]);
      for (std::size_t i = 1; i < tickets.size(); ++i) queue.Abandon(tickets[i]);
    }
    EXPECT_EQ(openCount(), before) << (threadsOnly ? "I/O threads" : "rings");
  }
  ::close(folder);
}

// Folders listed ahead give what the walk would list itself, on a disk of either kind
// (a spinning one lists with fewer threads): a link in a folder's place is never
// followed, and folders asked for and not taken leave nothing open.
TEST(FolderReadAhead, ListingsAheadAreTheFoldersOwnOnEitherKindOfDisk) {
  test::TempTree tree;
  for (int folder = 0; folder < 20; ++folder) {
    for (int file = 0; file < 3; ++file)
      tree.Create("d" + std::to_string(folder) + "/f" + std::to_string(file), "x");
  }
  tree.MakeLink("d0", "linked");
  const int root = ::open(tree.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(root, 0);
  const auto openCount = [] {
    int count = 0;
    for (int fd = 0; fd < 1024; ++fd) count += ::fcntl(fd, F_GETFD) >= 0 ? 1 : 0;
    return count;
  };
  for (const platform::DeviceKind kind :
       {platform::DeviceKind::Parallel, platform::DeviceKind::Rotational}) {
    const int before = openCount();
    {
      FolderReadAhead ahead(8, 32, 4, kind);
      std::vector<FolderReadAhead::Ticket> tickets;
      for (int folder = 0; folder < 6; ++folder)
        tickets.push_back(ahead.Ask(nullptr, root, "d" + std::to_string(folder), 1));
      const FolderReadAhead::Ticket link = ahead.Ask(nullptr, root, "linked", 1);
      for (const FolderReadAhead::Ticket ticket : tickets)
        ASSERT_NE(ticket, FolderReadAhead::kNoTicket);
      for (std::size_t at = 0; at < 3; ++at) {
        platform::DirectoryListing listing;
        FolderReadAhead::Taken taken;
        ASSERT_TRUE(ahead.Take(tickets[at], "d" + std::to_string(at), listing, taken));
        const int fd = taken.fd;
        ASSERT_GE(fd, 0);
        std::vector<std::string> names;
        for (std::size_t i = 0; i < listing.Count(); ++i) names.emplace_back(listing.Name(i));
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"f0", "f1", "f2"}));
        ::close(fd);
      }
      platform::DirectoryListing listing;
      FolderReadAhead::Taken taken;
      ASSERT_TRUE(ahead.Take(link, "linked", listing, taken));
      EXPECT_EQ(taken.fd, -1);
      EXPECT_NE(taken.error, 0);
      ahead.Abandon(tickets[3]);
      // tickets 4 and 5 are left for the destructor.
    }
    EXPECT_EQ(openCount(), before) << static_cast<int>(kind);
  }
  ::close(root);
}

// A folder listed ahead brings its subfolders, listed ahead in their turn through its
// descriptor, which stays open until the last of them is opened; a ticket is taken only
// under its own name, and whatever is not taken is closed.
TEST(FolderReadAhead, SubfoldersOfAFolderListedAheadComeWithIt) {
  test::TempTree tree;
  for (const char* file : {"a/b/f", "a/c/d/f", "a/e/f", "a/skipped/f", "a/plain"})
    tree.Create(file, "x");
  const int root = ::open(tree.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(root, 0);
  const int before = OpenDescriptors();
  {
    FolderReadAhead ahead(16, 2, 1, platform::DeviceKind::Parallel, true);
    ahead.ListBelow(
        [](int, const platform::DirectoryListing& listing, std::vector<std::uint32_t>& picked) {
          for (std::uint32_t i = 0; i < listing.Count(); ++i) {
            if (listing.IsFolder(i) && listing.Name(i) != "skipped") picked.push_back(i);
          }
        });
    const FolderReadAhead::Ticket a = ahead.Ask(nullptr, root, "a", 1);
    ASSERT_NE(a, FolderReadAhead::kNoTicket);
    platform::DirectoryListing listing;
    FolderReadAhead::Taken taken;
    ASSERT_TRUE(ahead.Take(a, "a", listing, taken));
    ASSERT_GE(taken.fd, 0);
    ASSERT_TRUE(taken.fdOwner);         // the walk must not close it: the owner does
    ASSERT_EQ(taken.below.size(), 3U);  // b, c, e
    const std::vector<FolderReadAhead::Ticket> below = taken.below;
    const std::shared_ptr<const void> aOwner = std::move(taken.fdOwner);

    // The ticket for "c" asked for as "b": the caller lists "b" itself.
    EXPECT_FALSE(ahead.Take(below[1], "b", listing, taken));
    ASSERT_TRUE(ahead.Take(below[0], "b", listing, taken));
    ASSERT_EQ(listing.Count(), 1U);
    EXPECT_EQ(listing.Name(0), "f");
    EXPECT_TRUE(taken.below.empty());
    EXPECT_FALSE(taken.fdOwner);
    ::close(taken.fd);
    // "e" and, below the abandoned "c", "d" are left for the destructor.
  }
  EXPECT_EQ(OpenDescriptors(), before);
  ::close(root);
}

// A tree of folders at several depths and widths, with what the walk leaves out below
// them: excluded names, a trash folder, a link to a folder.
void FillFolders(test::TempTree& tree) {
  for (int a = 0; a < 6; ++a) {
    for (int b = 0; b < a; ++b) {
      for (int c = 0; c < 3; ++c) {
        const std::string base =
            "a" + std::to_string(a) + "/b" + std::to_string(b) + "/c" + std::to_string(c) + "/";
        tree.Create(base + "f.txt", base);
        if (c == 1) tree.Create(base + "deeper/deepest/g.txt", "g");
      }
    }
  }
  tree.Create("a1/b0/skipme/h.txt", "h");
  tree.Create("a2/b1/.Trash-1000/files/t.txt", "t");
  tree.Create("a3/keep.txt", "k");
  tree.MakeLink("a3", "a4/b1/linked");
}

// Folders listed ahead below those listed ahead give the rows of a walk that lists every
// folder itself, in every scope, with excluded folders, and when the walk is stopped
// half-way (the rows then begin the same); nothing is left open.
TEST(ReadAhead, FoldersListedAheadGiveTheRowsOfTheWalkAlone) {
  test::TempTree tree;
  FillFolders(tree);
  FilterOptions levels = test::Ticked({Check::ScopeLevels}, {{Field::Levels, "3"}});
  const FilterOptions scopes[] = {test::Ticked({Check::ScopeTree}), levels, FilterOptions{}};
  const int before = OpenDescriptors();
  for (const FilterOptions& options : scopes) {
    for (const bool excluding : {false, true}) {
      JobSettings alone;
      if (excluding) alone.excludes = {"skip*", "c2"};
      JobSettings ahead = alone;
      ahead.reads.foldersAheadAlways = true;
      const std::vector<std::string> rows =
          test::JobRun().Run(tree.Root(), options, Lister::FindFile, alone);
      for (const unsigned threads : {1U, 2U}) {
        ahead.threads = threads;
        EXPECT_EQ(test::JobRun().Run(tree.Root(), options, Lister::FindFile, ahead), rows)
            << threads << " threads, excluding " << excluding;
        for (const int stopAfter : {3, 20}) {
          test::JobRun stopped;
          int calls = 0;
          stopped.host.onPendingEvents = [&] {
            if (++calls == stopAfter) stopped.stop.Set();
          };
          const std::vector<std::string> part =
              stopped.Run(tree.Root(), options, Lister::FindFile, ahead);
          EXPECT_LE(part.size(), rows.size());
          EXPECT_TRUE(std::equal(part.begin(), part.end(), rows.begin()))
              << "stopped after " << stopAfter;
        }
      }
      EXPECT_EQ(OpenDescriptors(), before);
    }
  }
}

}  // namespace
}  // namespace tarnwick
