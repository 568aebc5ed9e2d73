#include "platform/directory_listing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "temp_tree.h"

namespace tarnwick::platform {
namespace {

TEST(WildcardMatches, MatchingAndNonMatchingNames) {
  const std::pair<const char*, const char*> matching[] = {
      {"*.*", "README"},      {"*.*", ".hidden"},     {"*", "a.b.c"},
      {"*.txt", "a.txt"},     {"*.txt", "A.TXT"},     {"*.TXT", "a.txt"},
      {"*.txt", ".txt"},      {"a*", "a"},            {"a*", "abc.txt"},
      {"?.txt", "x.txt"},     {"?.txt", "中.txt"},    {"a?c", "abc"},
      {"*b*", "abc"},         {"**", "x"},            {"*.t?t", "n.tXt"},
      {"报告*", "报告2014.doc"}, {"*a*a*", "banana"},  {"x*y", "xabcy"},
      {"?\xff", "a\xff"},  // a byte that is no UTF-8 still counts as a character
  };
  const std::pair<const char*, const char*> failing[] = {
      {"*.txt", "a.txt.bak"}, {"*.txt", "atxt"},   {"?.txt", "ab.txt"},
      {"?.txt", ".txt"},      {"a*", "ba"},        {"a?c", "ac"},
      {"", "a"},              {"x*y", "xabcyz"},   {"报告*", "报表.doc"},
      {"*.htm", "a.html"},    {"?", "中文"},       {"É*", "é"},  // only ASCII letters fold
  };
  for (const auto& [pattern, name] : matching)
    EXPECT_TRUE(WildcardMatches(pattern, name)) << pattern << " vs " << name;
  for (const auto& [pattern, name] : failing)
    EXPECT_FALSE(WildcardMatches(pattern, name)) << pattern << " vs " << name;
}

// Lists the folder at `path` through a descriptor, as the walk does.
DirectoryListing ListingOf(const std::string& path) {
  DirectoryListing listing;
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  EXPECT_GE(fd, 0) << path;
  EXPECT_TRUE(listing.Read(fd)) << path;
  ::close(fd);
  return listing;
}

std::vector<std::string> Regular(const DirectoryListing& listing) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < listing.Count(); ++i) {
    if (listing.IsRegular(i)) names.emplace_back(listing.Name(i));
  }
  return names;
}

std::vector<std::string> Listed(const DirectoryListing& listing, bool folders) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < listing.Count(); ++i) {
    if (listing.IsFolder(i) == folders) names.emplace_back(listing.Name(i));
  }
  return names;
}

// Sorted byte-wise with dot files kept; links to files, dangling links and FIFOs are
// files, links to folders are left out.
TEST(DirectoryListing, SortsAndSortsOutLinksAndSpecialFiles) {
  test::TempTree tree;
  for (const char* name : {"b", "a", "B", ".dot", "\xff" "raw", "中", "a0"}) tree.Create(name);
  tree.MakeFolder("sub");
  tree.MakeLink("a", "file-link");
  tree.MakeLink("sub", "folder-link");
  tree.MakeLink("..", "parent-link");
  tree.MakeLink("nowhere", "dangling");
  tree.MakeFifo("pipe");
  const DirectoryListing listing = ListingOf(tree.Root());
  const std::vector<std::string> files = {".dot", "B",    "a",  "a0",       "b",
                                          "dangling", "file-link", "pipe", "中", "\xff" "raw"};
  EXPECT_EQ(Listed(listing, false), files);
  EXPECT_EQ(Listed(listing, true), std::vector<std::string>{"sub"});
  // Only plain regular files may be opened without a look first: never a link (its
  // target may be anything by the time it is opened) nor a FIFO.
  const std::vector<std::string> regular = {".dot", "B", "a", "a0", "b", "中", "\xff" "raw"};
  EXPECT_EQ(Regular(listing), regular);
}

// A descriptor that cannot be read as a folder lists nothing and tells why; the
// buffers of an earlier folder do not show through.
TEST(DirectoryListing, FolderThatCannotBeReadListsNothingAndTellsWhy) {
  test::TempTree tree;
  tree.Create("folder/file");
  DirectoryListing listing = ListingOf(tree.Path("folder"));
  ASSERT_EQ(listing.Count(), 1u);
  const int file = ::open(tree.Path("folder/file").c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_FALSE(listing.Read(file));
  EXPECT_EQ(listing.Error(), ENOTDIR);
  EXPECT_EQ(listing.Count(), 0u);
  ::close(file);
  EXPECT_FALSE(listing.Read(-1));
  EXPECT_EQ(listing.Error(), EBADF);
}

}  // namespace
}  // namespace tarnwick::platform
