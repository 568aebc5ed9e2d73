#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "match/match_mode.h"

namespace tarnwick {
namespace {

TEST(WildcardToRegex, EscapesTheThirteenAndWidensStarAndQuestionMark) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", ""},
      {"*", ".*"},
      {"*.txt", ".*\\.txt"},
      {"a?c", "a.?c"},
      {"*.htm|*.html", ".*\\.htm|.*\\.html"},
      {"\xE6\x8A\xA5\xE5\x91\x8A(1).doc", "\xE6\x8A\xA5\xE5\x91\x8A\\(1\\)\\.doc"},
      {"a+b{2}", "a\\+b\\{2\\}"},
      {"c:\\temp\\*", "c:\\\\temp\\\\.*"},
      {"^$[]=\"", "\\^\\$\\[\\]\\=\\\""},
      {"-#,/ ~!&", "-#,/ ~!&"},
  };
  for (const auto& [typed, expected] : cases) {
    EXPECT_EQ(WildcardToRegex(typed), expected) << "typed «" << typed << "»";
  }
}

TEST(WildcardToRegex, LeavesTrailBytesOfDoubleByteCharactersAlone) {
  // 昞 (95 5C) ends in «\», 乕 (81 5B) in «[», 亅 (81 7C) in «|».
  EXPECT_EQ(WildcardToRegex("\x95\x5C*\x81\x5B", TextForm::Gb18030), "\x95\x5C.*\x81\x5B");
  EXPECT_EQ(WildcardToRegex("\x81\x7C\\", TextForm::Gb18030), "\x81\x7C\\\\");
  EXPECT_EQ(WildcardToRegex("\x94\x39\xFC\x36.", TextForm::Gb18030), "\x94\x39\xFC\x36\\.");
  EXPECT_EQ(WildcardToRegex("\x81.", TextForm::Gb18030), "\x81\\.");  // a lone lead byte
}

}  // namespace
}  // namespace tarnwick
