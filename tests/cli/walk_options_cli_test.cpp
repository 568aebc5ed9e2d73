// What the walk enters: the folder text with trailing slashes, trash folders, the
// --exclude patterns and --one-file-system; and --threads, which must never change
// what is printed.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

using Paths = std::vector<std::string>;

TEST(FolderText, TrailingSlashesNameTheSameFolderUnderBothListers) {
  CliTree tree;
  for (const char* name : {"d/x.txt", "d/d/y.txt", "d/d/d/z.txt"}) tree.File(name);
  for (const char* lister : {"find", "mask"}) {
    for (const char* slashes : {"", "/", "//"}) {
      const CliResult result = RunCli({"-q", "--lister", lister, "--scope", "levels", "--levels",
                                       "2", tree.Path("d") + slashes});
      EXPECT_EQ(tree.Relative(SplitRecords(result.out)), (Paths{"d/x.txt", "d/d/y.txt"}))
          << lister << " «" << slashes << "»";
    }
  }
}

// From "/" the mask lister once counted the direct subfolders as level 1 and walked one
// level deeper than the default lister.
TEST(FolderText, LevelsFromTheRootFolderCountAlikeUnderBothListers) {
  for (const char* lister : {"find", "mask"}) {
    const CliResult result =
        RunCli({"-q", "--lister", lister, "--scope", "levels", "--levels", "2", "/"});
    std::size_t deepest = 0;
    for (const std::string& path : SplitRecords(result.out)) {
      deepest = std::max<std::size_t>(deepest, std::count(path.begin(), path.end(), '/'));
    }
    EXPECT_EQ(deepest, 2u) << lister;
  }
}

TEST(TrashFolders, TrashedCopiesAreNotWalkedUnlessTheChosenFolderIsInATrash) {
  CliTree tree;
  for (const char* name :
       {"photo.jpg", ".Trash-1000/files/photo.jpg", ".Trash/1000/files/photo.jpg",
        "home/Trash/files/photo.jpg", "sub/.Trash-0/files/photo.jpg"}) {
    tree.File(name, "the same picture");
  }
  tree.File("docs/Trash/note.txt");  // named like a trash, but not the user's own
  const CliEnvironment home{.variables = {"XDG_DATA_HOME=" + tree.Path("home")},
                            .asOrdinaryUser = false,
                            .stdoutPath = {}};
  const auto listed = [&](std::vector<std::string> flags, const std::string& folder) {
    flags.insert(flags.begin(), "-q");
    flags.push_back(folder);
    const CliResult result = RunCli(flags, home);
    EXPECT_EQ(result.status, 0) << result.err;
    return tree.Relative(SplitRecords(result.out));
  };

  EXPECT_EQ(listed({"--scope", "tree"}, tree.Root()), (Paths{"photo.jpg", "docs/Trash/note.txt"}));
  // The one real picture has no duplicate, so nothing is offered for deletion.
  EXPECT_EQ(listed({"--scope", "tree", "--dup", "md5", "--dup-output", "all"}, tree.Root()),
            Paths{});
  EXPECT_EQ(listed({"--scope", "tree", "--lister", "mask"}, tree.Root()),
            (Paths{"photo.jpg", "docs/Trash/note.txt"}));
  // Chosen inside a trash, the trash is what the user asked for.
  EXPECT_EQ(listed({"--scope", "tree"}, tree.Path(".Trash-1000")),
            (Paths{".Trash-1000/files/photo.jpg"}));
  EXPECT_EQ(listed({"--scope", "tree"}, tree.Path("home/Trash/files")),
            (Paths{"home/Trash/files/photo.jpg"}));
}

TEST(Exclude, NamesOfFilesAndFoldersAreLeftOutWithWhatTheFoldersHold) {
  CliTree tree;
  for (const char* name : {"a.txt", "b.log", "build/x.txt", "src/c.txt", "src/build/y.txt",
                           "src/.git/z.txt", "src/A.TXT"}) {
    tree.File(name);
  }
  ExpectListings(
      tree, {
                {{"--scope", "tree", "--exclude", "build"},
                 {"a.txt", "b.log", "src/A.TXT", "src/c.txt", "src/.git/z.txt"}},
                {{"--scope", "tree", "--exclude", "*.log", "--exclude", ".git"},
                 {"a.txt", "build/x.txt", "src/A.TXT", "src/c.txt", "src/build/y.txt"}},
                // Shell patterns, letter case significant.
                {{"--scope", "tree", "--exclude", "[ab].*", "--exclude", "*.txt"}, {"src/A.TXT"}},
                // The chosen folder itself is never left out.
                {{"--exclude", tree.Root().substr(tree.Root().rfind('/') + 1)}, {"a.txt", "b.log"}},
            });
}

TEST(OneFileSystem, FoldersOfOtherMountsAreNotEntered) {
  // /proc is a file system of its own wherever the tests run; its cpuinfo lies one
  // level below the root.
  struct stat root {};
  struct stat proc {};
  if (stat("/", &root) != 0 || stat("/proc/cpuinfo", &proc) != 0 || root.st_dev == proc.st_dev)
    GTEST_SKIP() << "no /proc mounted apart from /";
  const std::vector<std::string> job = {"-q", "--scope", "levels", "--levels",
                                        "2",  "--mask",  "cpuinfo"};
  std::vector<std::string> crossing = job;
  crossing.push_back("/");
  EXPECT_EQ(SplitRecords(RunCli(crossing).out), (Paths{"/proc/cpuinfo"}));
  std::vector<std::string> staying = job;
  staying.insert(staying.end(), {"--one-file-system", "/"});
  EXPECT_EQ(RunCli(staying).out, "");
}

TEST(Threads, RowsAreTheSameWhateverTheThreadCount) {
  CliTree tree;
  for (int folder = 0; folder < 8; ++folder) {
    for (int file = 0; file < 30; ++file) {
      const std::string name = "f" + std::to_string(folder) + "/sub" + std::to_string(file % 3) +
                               "/n" + std::to_string(file) + (file % 4 == 0 ? ".htm" : ".txt");
      std::string text(static_cast<std::size_t>(file * 37 % 300), 'x');
      if (file % 5 == 0) text += " needle <b>中文</b>\r\n";
      if (file % 7 == 0) text = "\xd6\xd0\xce\xc4 needle";  // GBK
      tree.File(name, text, kDefaultTime + folder * 86400 + file * 3600);
    }
  }
  const std::vector<std::vector<std::string>> jobs = {
      {"--format", "rows"},
      {"--content", "NEEDLE|中文", "--in", "content", "--format", "rows"},
      {"--content", "needle", "--in", "content", "--without"},
      {"--chars", "10:200", "--unit", "个", "--strip-tags", "--strip-space", "--format", "rows"},
      {"--size", "0:0.1", "--unit", "KB", "--time", "modified", "--compare", "time", "--from",
       "2000-01-01 02:00:00", "--to", "2000-01-01 20:00:00", "--format", "rows"},
      {"--dup", "md5", "--dup-output", "all", "--format", "rows"},
      {"--mask", "*.htm|n1*", "--lister", "find"},
  };
  for (const std::vector<std::string>& job : jobs) {
    const auto printed = [&](const char* threads) {
      std::vector<std::string> args = {"-q", "--scope", "tree", "--threads", threads};
      args.insert(args.end(), job.begin(), job.end());
      args.push_back(tree.Root());
      const CliResult result = RunCli(args);
      EXPECT_EQ(result.status, 0) << result.err;
      return result.out;
    };
    const std::string single = printed("1");
    EXPECT_FALSE(single.empty()) << ::testing::PrintToString(job);
    for (const char* threads : {"2", "3", "8"}) {
      EXPECT_EQ(printed(threads), single)
          << threads << " threads " << ::testing::PrintToString(job);
    }
  }
  for (const char* bad : {"-1", "x", "2000"}) {
    EXPECT_EQ(RunCli({"--threads", bad, tree.Root()}).status, 2) << bad;
  }
}

}  // namespace
}  // namespace tarnwick::cli_test
