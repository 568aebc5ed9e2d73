#include "match/file_mask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

using std::string_literals::operator""s;

TEST(FileMask, AcceptsNamesByKind) {
  const std::vector<std::tuple<std::string, std::vector<std::string>, std::vector<std::string>>>
      cases = {
          // mask, accepted names, refused names
          {"", {"a", ".hidden", "\xFF"}, {}},
          {"*.*", {"a", "a.b"}, {}},
          {"*.TXT", {"Read.Me.txt", ".txt"}, {"a.txt.bak", "txt", "a.tx"}},
          {"*.", {"a."}, {"a", "a.b"}},
          {"*.t?t", {"A.T?T"}, {"a.txt"}},
          {"*.txt|a", {"b.txt|a"}, {"b.txt"}},
          {"*.t*t", {"a.txt", "b.tmt", "c.text.old"}, {"a.doc"}},
          {"*.txt|*.doc", {"a.doc", "a.TXT.bak"}, {"a.pdf"}},
          {"a?c", {"ac", "xxabcxx"}, {"abbc"}},
          {"(1)", {"report(1).doc"}, {"report1.doc"}},
          {"\xE6\x8A\xA5*", {"\xE6\x8A\xA5\xE5\x91\x8A.doc"}, {"\xE5\x91\x8A.doc"}},
          {"a*z", {"a\xFF\xFEz"}, {"z\xFF"s + "a"}},
      };
  for (const auto& [text, accepted, refused] : cases) {
    FileMask mask;
    mask.Build(text);
    for (const std::string& name : accepted) EXPECT_TRUE(mask.Accepts(name)) << text << " " << name;
    for (const std::string& name : refused) EXPECT_FALSE(mask.Accepts(name)) << text << " " << name;
  }
}

}  // namespace
}  // namespace tarnwick
