#include "platform/directory_listing.h"

#include <gtest/gtest.h>
#include <unistd.h>

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
  const DirectoryListing listing(tree.Root());
  const std::vector<std::string> files = {".dot", "B",    "a",  "a0",       "b",
                                          "dangling", "file-link", "pipe", "中", "\xff" "raw"};
  EXPECT_EQ(Listed(listing, false), files);
  EXPECT_EQ(Listed(listing, true), std::vector<std::string>{"sub"});
}

TEST(DirectoryListing, MissingOrUnreadableFolderListsNothing) {
  test::TempTree tree;
  EXPECT_EQ(DirectoryListing(tree.Path("missing")).Count(), 0u);
  tree.Create("locked/inside");
  tree.SetMode("locked", 0);
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  EXPECT_EQ(DirectoryListing(tree.Path("locked")).Count(), 0u);
}

}  // namespace
}  // namespace tarnwick::platform
