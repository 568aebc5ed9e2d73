// Paths as the program shows them: UTF-8 parts as they are, GBK and other GB18030 parts
// decoded, the rest replaced, one "/"-separated part at a time.

#include "text/path_display.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(PathDisplayTest, EachPartShowsAsUtf8OrGb18030OrWithReplacements) {
  const struct {
    std::string bytes;
    std::string shown;
  } rows[] = {
      {"/home/a b/x.txt", "/home/a b/x.txt"},
      {"/数据/报告.txt", "/数据/报告.txt"},
      {"\xb1\xa8\xb8\xe6.txt", "报告.txt"},                        // GBK
      {"/数据/\xb1\xa8\xb8\xe6/中文.txt", "/数据/报告/中文.txt"},  // GBK folder among UTF-8
      {"/d/\x81\x30\x81\x30", "/d/\xc2\x80"},                      // a four-byte GB18030 character
      {"/d/\xff\xfe.txt", "/d/\xef\xbf\xbd\xef\xbf\xbd.txt"},      // neither
      {"/d/\xb1\xa8\xb8", "/d/\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},  // GBK cut short
      {"/d/\xed\xa0\x80", "/d/\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},  // a surrogate
      {"", ""},
      {"/", "/"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(PathDisplayUtf8(row.bytes), row.shown) << ::testing::PrintToString(row.bytes);
  }
}

}  // namespace
}  // namespace tarnwick
