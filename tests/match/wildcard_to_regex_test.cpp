#include "match/wildcard_to_regex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

TEST(WildcardToRegex, EscapesTheThirteenAndWidensStarAndQuestionMark) {
  const std::vector<std::tuple<std::string, TextForm, std::string>> cases = {
      {"", TextForm::Utf8, ""},
      {"*.htm|*.html", TextForm::Utf8, ".*\\.htm|.*\\.html"},
      {"a?c", TextForm::Utf8, "a.?c"},
      {"a+b{2}", TextForm::Utf8, "a\\+b\\{2\\}"},
      {"c:\\temp\\*", TextForm::Utf8, "c:\\\\temp\\\\.*"},
      {"^$[]=\"()", TextForm::Utf8, "\\^\\$\\[\\]\\=\\\"\\(\\)"},
      {"-#,/ ~!&", TextForm::Utf8, "-#,/ ~!&"},
      // GB18030: 昞 (95 5C) ends in «\», 乕 (81 5B) in «[», 亅 (81 7C) in «|».
      {"\x95\x5C*\x81\x5B", TextForm::Gb18030, "\x95\x5C.*\x81\x5B"},
      {"\x81\x7C\\", TextForm::Gb18030, "\x81\x7C\\\\"},
      {"\x94\x39\xFC\x36.", TextForm::Gb18030, "\x94\x39\xFC\x36\\."},
      {"\x81.", TextForm::Gb18030, "\x81\\."},  // a lone lead byte
  };
  for (const auto& [typed, form, expected] : cases) {
    EXPECT_EQ(WildcardToRegex(typed, form), expected) << "typed «" << typed << "»";
  }
}

}  // namespace
}  // namespace tarnwick
