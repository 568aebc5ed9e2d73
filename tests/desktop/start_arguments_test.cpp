// The desktop program's command line: the settings file, the folder to start on, and
// --version and --help before any window.

#include "app/start_arguments.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

namespace tarnwick {
namespace {

using Words = std::vector<std::string>;

class StartArgumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tarnwick-start-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directories(root_ + "/archive/-dash");
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(root_);
  }
  std::string root_;
  std::filesystem::path old_;
};

TEST_F(StartArgumentsTest, FolderBecomesAbsoluteAndSettingsFileIsKept) {
  const struct {
    Words words;
    std::string settings;
    std::string folder;
  } cases[] = {
      {{}, "", ""},
      {{"--settings", "job.ini"}, "job.ini", ""},
      {{"--settings=job.ini", "archive"}, "job.ini", root_ + "/archive"},
      {{"./archive/../archive/"}, "", root_ + "/archive"},
      {{root_ + "/archive", "--settings", "a.ini"}, "a.ini", root_ + "/archive"},
      {{"--", "archive/-dash"}, "", root_ + "/archive/-dash"},
      {{"--settings", "a.ini", "--settings", "b.ini"}, "b.ini", ""},
      {{"/"}, "", "/"},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto parsed = ParseStartArguments(c.words, error);
    ASSERT_TRUE(parsed) << ::testing::PrintToString(c.words) << ": " << error;
    EXPECT_EQ(parsed->settingsFile, c.settings) << ::testing::PrintToString(c.words);
    EXPECT_EQ(parsed->folder, c.folder) << ::testing::PrintToString(c.words);
    EXPECT_EQ(parsed->warning, "");
  }
}

TEST_F(StartArgumentsTest, BadUsageIsRefusedAndAFileIsNoFolder) {
  for (const Words& words : {Words{"--settings"}, Words{"--settings="}, Words{"--setting", "x"},
                             Words{"-x"}, Words{"archive", "archive"}, Words{"--", "a", "b"}}) {
    std::string error;
    EXPECT_FALSE(ParseStartArguments(words, error)) << ::testing::PrintToString(words);
    EXPECT_NE(error, "") << ::testing::PrintToString(words);
  }
  std::string error;
  for (const std::string& notFolder : {std::string("missing"), root_ + "/archive/none"}) {
    const auto parsed = ParseStartArguments({notFolder}, error);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->folder, "");
    EXPECT_EQ(parsed->warning, "not a folder: " + notFolder);
  }
}

TEST(InformationRequested, VersionAndHelpAnywhereBeforeDoubleDash) {
  EXPECT_EQ(InformationRequested({"a", "--version"}), "tarnwick " TARNWICK_VERSION "\n");
  EXPECT_NE(InformationRequested({"-h"})->find("usage: tarnwick"), std::string::npos);
  EXPECT_NE(InformationRequested({"--settings", "x", "--help"}), std::nullopt);
  EXPECT_EQ(InformationRequested({"--", "--version"}), std::nullopt);
  EXPECT_EQ(InformationRequested({"folder"}), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
