#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "match/match_mode.h"

namespace tarnwick {
namespace {

struct MaskCase {
  std::string mask;
  std::vector<std::string> accepted;
  std::vector<std::string> refused;
};

TEST(FileMask, AcceptsNamesByKind) {
  const std::vector<MaskCase> cases = {
      {"", {"a", ".hidden", "no extension", "\xFF"}, {}},
      {"*", {"a", "a.b"}, {}},
      {"*.*", {"a", "a.b", ""}, {}},
      // Extension: the last bytes, ASCII case ignored
      {"*.TXT", {"Read.Me.txt", "a.Txt", ".txt"}, {"a.txt.bak", "txt", "atxt", "a.tx"}},
      {"*.", {"a.", "b.c."}, {"a", "a.b"}},
      {"*.t?t", {"a.t?t", "A.T?T"}, {"a.txt"}},
      {"*.txt|a", {"b.txt|a"}, {"b.txt", "a"}},
      {"*.\xE6\x96\x87", {"\xE6\x8A\xA5.\xE6\x96\x87"}, {"a.txt"}},
      // Wildcard: found anywhere, not anchored
      {"*.t*t", {"a.txt", "b.tmt", "c.text.old"}, {"a.doc"}},
      {"*.txt|*.doc", {"a.doc", "b.TXT", "a.txt.bak"}, {"a.pdf"}},
      {"a*", {"a", "banana", "XA"}, {"bcd"}},
      {"a?c", {"ac", "abc", "xxabcxx"}, {"abbc"}},
      {"(1)", {"report(1).doc"}, {"report1.doc"}},
      {"\xE6\x8A\xA5*", {"\xE6\x8A\xA5\xE5\x91\x8A.doc"}, {"\xE5\x91\x8A.doc"}},
      {"a*z",
       {"a\xFF\xFEz"},
       {"z\xFF"
        "a"}},
  };
  for (const MaskCase& c : cases) {
    FileMask mask;
    mask.Build(c.mask);
    for (const std::string& name : c.accepted) {
      EXPECT_TRUE(mask.Accepts(name)) << "mask «" << c.mask << "» name «" << name << "»";
    }
    for (const std::string& name : c.refused) {
      EXPECT_FALSE(mask.Accepts(name)) << "mask «" << c.mask << "» name «" << name << "»";
    }
  }
}

TEST(FileMask, BuildingAgainReplacesTheMask) {
  FileMask mask;
  EXPECT_TRUE(mask.Accepts("anything"));
  mask.Build("*.doc|*.xls");
  EXPECT_FALSE(mask.Accepts("a.txt"));
  mask.Build("*.txt");
  EXPECT_TRUE(mask.Accepts("a.txt"));
  EXPECT_FALSE(mask.Accepts("a.doc"));
  mask.Build("*");
  EXPECT_TRUE(mask.Accepts("a.doc"));
}

}  // namespace
}  // namespace tarnwick
