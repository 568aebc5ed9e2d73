// One row as JSON, from fixed file details: the keys a job sets, local times with the
// offset in force at each time, and what is left out when it cannot be told.

#include "cli/json_row.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

namespace tarnwick::cli {
namespace {

using nlohmann::json;

class JsonRowTest : public ::testing::Test {
 protected:
  // New York time, with daylight saving: the offset differs between January and July.
  // Set before the first local time is read in this process.
  static void SetUpTestSuite() { setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1); }

  static json Parse(const ResultRow& row, const std::optional<platform::FileDetails>& details) {
    const std::string line = JsonRow(row, details);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    return json::parse(line);
  }
};

TEST_F(JsonRowTest, EveryKeyWithTheOffsetOfItsOwnDate) {
  ResultRow row;
  row.folder = "/data/";
  row.name = "a\x1f\"b\".txt";
  row.characters = 12345;
  row.encoding = 4;
  row.group = 7;
  platform::FileDetails details;
  details.size = 5'000'000'000;
  details.created = {1356998400, 5};     // 2013-01-01 00:00:00 UTC
  details.modified = {1372636800, 0};    // 2013-07-01 00:00:00 UTC
  details.accessed = {-1, 999'999'999};  // just before the epoch
  const json parsed = Parse(row, details);
  EXPECT_EQ(parsed["path"], "/data/a\x1f\"b\".txt");
  EXPECT_EQ(parsed["name"], "a\x1f\"b\".txt");
  EXPECT_EQ(parsed["folder"], "/data/");
  EXPECT_EQ(parsed["size"], 5'000'000'000LL);
  EXPECT_EQ(parsed["created"], "2012-12-31T19:00:00-05:00");
  EXPECT_EQ(parsed["created_ns"], 1356998400'000'000'005LL);
  EXPECT_EQ(parsed["modified"], "2013-06-30T20:00:00-04:00");
  EXPECT_EQ(parsed["accessed"], "1969-12-31T18:59:59-05:00");
  EXPECT_EQ(parsed["accessed_ns"], -1);
  EXPECT_EQ(parsed["characters"], 12345);
  EXPECT_EQ(parsed["encoding"], "Unicode BE");
  EXPECT_EQ(parsed["group"], 7);
  EXPECT_FALSE(parsed.contains("path_base64"));
}

TEST_F(JsonRowTest, WhatIsNotKnownIsLeftOut) {
  ResultRow row;
  row.folder = "/gone/";
  row.name = "file";
  // Not counted, not read, no group; the file no longer exists.
  EXPECT_EQ(JsonRow(row, std::nullopt), R"({"path":"/gone/file","name":"file","folder":"/gone/"})");
  // Nanoseconds beyond 64 bits (year 3000) have no _ns key, but the date stands.
  platform::FileDetails details;
  details.modified = {32503680000, 0};
  const json parsed = Parse(row, details);
  EXPECT_EQ(parsed["modified"], "2999-12-31T19:00:00-05:00");
  EXPECT_FALSE(parsed.contains("modified_ns"));
  EXPECT_TRUE(parsed.contains("accessed_ns"));
}

TEST_F(JsonRowTest, NamesThatAreNotUtf8KeepTheirBytesInBase64) {
  ResultRow row;
  row.folder = "/文档/\xd6\xd0/";  // a UTF-8 folder inside a GBK one
  row.name = "\xff.txt";
  const json parsed = Parse(row, std::nullopt);
  EXPECT_EQ(parsed["path_base64"], "L+aWh+ahoy/W0C//LnR4dA==");
  // Each part read on its own: the UTF-8 folder stays, the GBK one reads as GB18030.
  EXPECT_EQ(parsed["folder"], "/文档/中/");
  EXPECT_EQ(parsed["path"], "/文档/中/\uFFFD.txt");
}

}  // namespace
}  // namespace tarnwick::cli
