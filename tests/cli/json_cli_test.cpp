// --format json read back by a JSON reader: odd file names, every key a job sets
// today, and the rows of the three duplicate outputs.

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <map>
#include <nlohmann/json.hpp>

#include "cli_tree.h"

namespace tarnwick::cli_test {
namespace {

using nlohmann::json;

// Every line of a quiet job's standard output, parsed; a line that is not one JSON
// object fails the test.
std::vector<json> JsonRows(std::vector<std::string> flags, const std::string& folder) {
  flags.insert(flags.end(), {"-q", "--format", "json", folder});
  const CliResult result = RunCli(flags);
  EXPECT_EQ(result.status, 0) << result.err;
  std::vector<json> rows;
  for (const std::string& line : SplitRecords(result.out)) {
    rows.push_back(json::parse(line, nullptr, false));
    EXPECT_TRUE(rows.back().is_object()) << line;
  }
  return rows;
}

std::string FromBase64(const std::string& text) {
  std::string bytes(text.size() / 4 * 3, '\0');
  const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                     reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
  const std::size_t padding = text.size() - text.find_last_not_of('=') - 1;
  bytes.resize(static_cast<std::size_t>(length) - padding);
  return bytes;
}

TEST(JsonOutput, OddNamesRoundTripThroughAJsonReader) {
  CliTree tree;
  const std::string gbk = "\xd6\xd0\xce\xc4.txt";  // 中文.txt in GBK
  const std::string broken = "bad\xff\xfe.txt";
  const std::vector<std::string> names{
      "line\nbreak.txt", "quote\"back\\slash\ttab.txt", "中文.txt", "\x01control", gbk, broken};
  for (const std::string& name : names) tree.File(name, "x");

  std::map<std::string, json> byName;
  for (const json& row : JsonRows({}, tree.Root())) {
    const std::string path = row.contains("path_base64")
                                 ? FromBase64(row["path_base64"].get<std::string>())
                                 : row["path"].get<std::string>();
    ASSERT_EQ(path.rfind(tree.Root() + "/", 0), 0u) << path;
    byName[path.substr(tree.Root().size() + 1)] = row;
  }
  ASSERT_EQ(byName.size(), names.size());
  for (const std::string& name : names) {
    ASSERT_TRUE(byName.count(name)) << name;
    const json& row = byName[name];
    EXPECT_EQ(row["folder"], tree.Root() + "/");
    const bool utf8 = name != gbk && name != broken;
    EXPECT_EQ(row.contains("path_base64"), !utf8) << name;
    if (utf8) {
      EXPECT_EQ(row["name"], name);
    }
  }
  // A name that reads as GB18030 is shown that way; one that does not, with U+FFFD.
  EXPECT_EQ(byName[gbk]["name"], "中文.txt");
  EXPECT_EQ(byName[broken]["name"], "bad\uFFFD\uFFFD.txt");
}

TEST(JsonOutput, SizeAndTimesAsNumbersAndIsoTexts) {
  CliTree tree;
  tree.File("five.txt", "12345", kDefaultTime + 61);
  const std::vector<json> rows = JsonRows({}, tree.Root());
  ASSERT_EQ(rows.size(), 1u);
  const json& row = rows[0];
  EXPECT_EQ(row["path"], tree.Path("five.txt"));
  EXPECT_EQ(row["name"], "five.txt");
  EXPECT_EQ(row["size"], 5);
  // The program runs with TZ=UTC.
  EXPECT_EQ(row["modified"], "2013-01-01T00:01:01+00:00");
  EXPECT_EQ(row["modified_ns"], (kDefaultTime + 61) * 1'000'000'000LL);
  EXPECT_EQ(row["accessed_ns"], (kDefaultTime + 61) * 1'000'000'000LL);
  // Birth time where the file system keeps one (now), else the modification time.
  ASSERT_TRUE(row["created_ns"].is_number_integer());
  EXPECT_GE(row["created_ns"].get<long long>(), row["modified_ns"].get<long long>());
  EXPECT_EQ(row["created"].get<std::string>().size(), 25u);
  // A job that counts the characters reports the file's own count and encoding.
  const json counted = JsonRows({"--chars", "5:5", "--unit", "个"}, tree.Root()).at(0);
  EXPECT_EQ(counted.value("characters", 5), 5);
  EXPECT_EQ(counted.value("encoding", "ANSI"), "ANSI");
}

TEST(JsonOutput, EachDuplicateOutputListsTheSameFilesAsPaths) {
  CliTree tree;
  for (const char* name : {"a1", "a2", "a3"}) tree.File(name, "same a");
  for (const char* name : {"b1", "b2"}) tree.File(name, "same b");
  tree.File("single", "alone");
  for (const char* output : {"one", "all", "all-but-one"}) {
    const std::vector<std::string> flags{"--dup", "md5", "--dup-output", output};
    const std::vector<std::string> paths = ListedBy(tree, flags);
    const std::vector<json> rows = JsonRows(flags, tree.Root());
    ASSERT_EQ(rows.size(), paths.size()) << output;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i]["path"], tree.Path(paths[i])) << output;
      EXPECT_EQ(rows[i]["size"], 6) << output;
      // Members of one group share its number; groups count from 1 in the order listed.
      ASSERT_TRUE(rows[i].contains("group")) << output;
      EXPECT_EQ(rows[i]["group"], paths[i][0] == 'a' ? 1 : 2) << output << " " << paths[i];
    }
  }
}

}  // namespace
}  // namespace tarnwick::cli_test
