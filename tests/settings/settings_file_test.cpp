// The main window's options through the settings file: keys, order and round trips.

#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string_view>

#include "engine/job/filter_options.h"
#include "options_difference.h"
#include "temp_folder.h"

namespace tarnwick {
namespace {

using testing::OptionsDifference;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// Options that differ from the initial ones wherever the file can hold them (the name
// mask 编辑框过滤 is not part of the file).
FilterOptions ChangedOptions() {
  FilterOptions options;
  const Check ticks[] = {Check::ContentFilter, Check::LacksContent,    Check::InContent,
                         Check::LengthFilter,  Check::StripTags,       Check::StripSpace,
                         Check::UnitGB,        Check::TimeFilter,      Check::TimeAccessed,
                         Check::CompareDate,   Check::DuplicateFilter, Check::DupByMd5,
                         Check::DupOne,        Check::ScopeLevels};
  for (Check check : ticks) options.SetChecked(check, true);
  options.SetChecked(Check::InName, false);
  options.SetText(Field::ContentPattern, "第一行\n第二行|a=b┊[主界面]");
  options.SetText(Field::LengthFrom, "0.5");
  options.SetText(Field::LengthTo, "");
  options.SetText(Field::TimeFrom, "2020-01-01 00:00:00");
  options.SetText(Field::TimeTo, "2021-12-31 23:59:59");
  options.SetText(Field::Levels, "7");
  options.SetText(Field::FilterFolder, "/home/用户/文档");
  options.SetText(Field::MoveFolder, "/tmp/移动 目录");
  options.SetText(Field::CopyFolder, "/mnt/\xB0\xA1gbk");
  options.SetMatchModeIndex(2);
  return options;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void OpenWith(const std::string& bytes) {
    WriteBytes(path_, bytes);
    ASSERT_TRUE(store_.Open(path_));
  }
  FilterOptions Loaded(FilterOptions options = {}) {
    LoadSettings(store_, options, {});
    return options;
  }

  TempFolder folder_;
  std::string path_ = folder_.Path("Tarnwick.ini");
  SettingsStore store_;
};

TEST_F(SettingsFileTest, FirstSaveWritesEveryKeyInReverseOrder) {
  OpenWith("");
  ASSERT_TRUE(SaveSettings(store_, FilterOptions()));
  // Each key in the order the options are written; a new file lists them in reverse.
  std::istringstream keysInWriteOrder(
      "按内容筛选 包含内容 不含内容 筛选内容 文件名 文件内容 匹配模式 按长度筛选 清除网页标签 "
      "清除空行空格 文件大小 内容字数 长度起始 长度终止 B KB MB GB TB 按时间筛选 创建 访问 修改 "
      "年月日 时分秒 两者 时间起始 时间终止 按重复筛选 MD5 长度 名称 一 全部 全部减一 遍历子目录 "
      "仅该目录 遍历层次 层次 筛选目录 移动目录 复制目录 猜测编码 文本 相似 相似度");
  std::string expected;
  for (std::string key; keysInWriteOrder >> key;) expected = "\r\n" + key + "=" + expected;
  expected = "[主界面]" + expected;
  const std::string saved = ReadBytes(path_);
  // Compare the key names; the values are checked by the round trips.
  const std::string keysOnly = std::regex_replace(saved, std::regex("=[^\r]*"), "=");
  EXPECT_EQ(keysOnly, expected);
  EXPECT_TRUE(saved.ends_with("\r\n按内容筛选=假"));
  EXPECT_NE(saved.find("\r\n匹配模式=0\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\n层次=2\r\n"), std::string::npos);
}

// A file written before the guess option existed: it loads as it always did (the new
// option keeps its default), and a save keeps every earlier key in its place with its
// value, adding the new one where the store adds keys, after the section header.
TEST_F(SettingsFileTest, AFileFromBeforeTheGuessOptionLoadsAndSavesInPlace) {
  OpenWith("");
  FilterOptions options = ChangedOptions();
  ASSERT_TRUE(SaveSettings(store_, options));
  const std::string withGuess = ReadBytes(path_);
  // The keys added since, the guess option first: a save puts each new key right after
  // the header, so the newest comes first.
  const std::string newKey = "\r\n相似度=90\r\n相似=假\r\n文本=假\r\n猜测编码=假";
  ASSERT_EQ(withGuess.find("[主界面]" + newKey), 0u);
  const std::string earlier =
      "[主界面]" + withGuess.substr(std::string("[主界面]").size() + newKey.size());

  OpenWith(earlier);
  FilterOptions restored = Loaded();
  EXPECT_EQ(OptionsDifference(restored, options), "");
  EXPECT_FALSE(restored.IsChecked(Check::GuessEncodings));
  ASSERT_TRUE(SaveSettings(store_, restored));
  EXPECT_EQ(ReadBytes(path_), withGuess);

  restored.SetChecked(Check::GuessEncodings, true);
  ASSERT_TRUE(SaveSettings(store_, restored));
  ASSERT_TRUE(store_.Open(path_));
  EXPECT_TRUE(Loaded().IsChecked(Check::GuessEncodings));
}

TEST_F(SettingsFileTest, OptionsRoundTripAndSavingAgainChangesNothing) {
  OpenWith("; kept\r\n[其他]\r\nx=1\r\n");
  const FilterOptions options = ChangedOptions();
  ASSERT_TRUE(SaveSettings(store_, options));
  const std::string saved = ReadBytes(path_);
  EXPECT_TRUE(saved.starts_with("; kept\r\n[其他]\r\nx=1\r\n\r\n[主界面]\r\n"));
  EXPECT_NE(saved.find("筛选内容=第一行┊*┊第二行|a=b┊[主界面]\r\n"), std::string::npos);

  ASSERT_TRUE(store_.Open(path_));
  EXPECT_EQ(OptionsDifference(Loaded(), options), "");
  ASSERT_TRUE(SaveSettings(store_, options));
  EXPECT_EQ(ReadBytes(path_), saved);
}

// A header line holding several section names (hand-edited) was split by the first new
// key: "[丶][主界面]" became a header of its own that cut off the keys saved in place, and
// the next load restored the content filter switched off.
TEST_F(SettingsFileTest, HeaderLineWithSeveralSectionNamesKeepsWhatASaveWrote) {
  const std::string header = "[主界面][丶][主界面]";
  OpenWith(header + "\r\n按内容筛选=真\r\n筛选内容=发票┊*┊合同\r\n文件名=真");
  const FilterOptions loaded = Loaded();
  EXPECT_TRUE(loaded.IsChecked(Check::ContentFilter));
  EXPECT_EQ(loaded.Text(Field::ContentPattern), "发票\n合同");
  ASSERT_TRUE(SaveSettings(store_, loaded));
  EXPECT_TRUE(ReadBytes(path_).starts_with(header + "\r\n"));
  ASSERT_TRUE(store_.Open(path_));
  EXPECT_EQ(OptionsDifference(Loaded(), loaded), "");
}

// A file as the program wrote it before 文本, 相似 and 相似度 were added.
constexpr std::string_view kFileOfEarlierVersion =
    "[主界面]\r\n复制目录=\r\n移动目录=\r\n筛选目录=/data\r\n层次=2\r\n遍历层次=假\r\n仅该目录=假\r\n"
    "遍历子目录=真\r\n全部减一=假\r\n全部=真\r\n一=假\r\n名称=真\r\n长度=假\r\nMD5=假\r\n按重复筛选=真\r\n"
    "时间终止=2014-03-31 23:55:00\r\n时间起始=2012-12-21 12:12:12\r\n两者=真\r\n时分秒=假\r\n年月日=假"
    "\r\n修改=真\r\n访问=假\r\n创建=假\r\n按时间筛选=假\r\n万=假\r\n千=假\r\n百=假\r\n十=真\r\n个=假"
    "\r\n长度终止=2\r\n长度起始=1\r\n内容字数=真\r\n文件大小=假\r\n清除空行空格=假\r\n清除网页标签=真\r\n"
    "按长度筛选=真\r\n匹配模式=0\r\n文件内容=假\r\n文件名=真\r\n筛选内容=发票|合同\r\n不含内容=假\r\n"
    "包含内容=真\r\n按内容筛选=真";

TEST_F(SettingsFileTest, FileOfAnEarlierVersionLoadsAsBeforeAndKeepsItsKeysInPlace) {
  OpenWith(std::string(kFileOfEarlierVersion));
  FilterOptions expected;
  for (const Check check : {Check::ContentFilter, Check::LengthFilter, Check::StripTags,
                            Check::MeasureChars, Check::DuplicateFilter, Check::DupByName,
                            Check::DupAll, Check::ScopeTree})
    expected.SetChecked(check, true);
  expected.SetText(Field::ContentPattern, "发票|合同");
  expected.SetText(Field::LengthFrom, "1");
  expected.SetText(Field::LengthTo, "2");
  expected.SetText(Field::FilterFolder, "/data");
  // The keys it lacks leave their options as the window starts them.
  const FilterOptions loaded = Loaded();
  EXPECT_EQ(OptionsDifference(loaded, expected), "");
  EXPECT_FALSE(loaded.IsChecked(Check::DupByText));
  EXPECT_FALSE(loaded.IsChecked(Check::DupBySimilarity));
  EXPECT_EQ(loaded.Text(Field::Similarity), "90");

  // Saved again: every key of the file stays where it was, with its value; the new keys
  // come first in the section, as new keys do.
  ASSERT_TRUE(SaveSettings(store_, loaded));
  const std::string body(kFileOfEarlierVersion.substr(std::string_view("[主界面]").size()));
  EXPECT_EQ(ReadBytes(path_), "[主界面]\r\n相似度=90\r\n相似=假\r\n文本=假\r\n猜测编码=假" + body);
  ASSERT_TRUE(SaveSettings(store_, loaded));
  EXPECT_EQ(ReadBytes(path_), "[主界面]\r\n相似度=90\r\n相似=假\r\n文本=假\r\n猜测编码=假" + body);
}

TEST_F(SettingsFileTest, TextKeysAndTheirResemblanceRoundTrip) {
  for (const Check key : {Check::DupByText, Check::DupBySimilarity}) {
    OpenWith(std::string(kFileOfEarlierVersion));
    FilterOptions options = ChangedOptions();
    options.SetChecked(key, true);
    options.SetText(Field::Similarity, "75");
    ASSERT_TRUE(SaveSettings(store_, options));
    ASSERT_TRUE(store_.Open(path_));
    const FilterOptions restored = Loaded();
    EXPECT_EQ(OptionsDifference(restored, options), "") << ObjectName(key);
    EXPECT_TRUE(restored.IsChecked(key));
    EXPECT_FALSE(restored.IsChecked(Check::DupByMd5));
    // The earlier keys keep what the earlier version reads: no key button of its own.
    const std::string saved = ReadBytes(path_);
    for (const char* earlier : {"\r\nMD5=假\r\n", "\r\n长度=假\r\n", "\r\n名称=假\r\n"})
      EXPECT_NE(saved.find(earlier), std::string::npos) << earlier;
  }
}

TEST_F(SettingsFileTest, CrLfInsideAControlTextRoundTrips) {
  OpenWith("");
  FilterOptions options;
  options.SetText(Field::ContentPattern, "a\r\nb\rc\n");
  ASSERT_TRUE(SaveSettings(store_, options));
  EXPECT_EQ(Loaded().Text(Field::ContentPattern), "a\r\nb\rc\n");
}

// Units are saved under the captions of the current measure but read under the
// file-size captions, so a unit saved while counting characters does not come back.
TEST_F(SettingsFileTest, UnitRestoredIsTheOneLastSavedUnderFileSize) {
  OpenWith("");
  FilterOptions options;
  options.SetChecked(Check::UnitGB, true);
  ASSERT_TRUE(SaveSettings(store_, options));

  options.SetChecked(Check::MeasureChars, true);
  options.SetChecked(Check::UnitMB, true);
  ASSERT_TRUE(SaveSettings(store_, options));
  EXPECT_NE(ReadBytes(path_).find("\r\n百=真\r\n"), std::string::npos);

  FilterOptions startingWithChars;
  startingWithChars.SetChecked(Check::MeasureChars, true);  // captions read "个".."万"
  const FilterOptions restored = Loaded(startingWithChars);
  EXPECT_TRUE(restored.IsChecked(Check::MeasureChars));
  EXPECT_TRUE(restored.IsChecked(Check::UnitGB));
  FilterOptions expected = options;
  expected.SetChecked(Check::UnitGB, true);
  EXPECT_EQ(OptionsDifference(restored, expected), "");
}

TEST_F(SettingsFileTest, MissingKeysLeaveOptionsAsTheyAre) {
  OpenWith("[主界面]\r\n层次=5\r\n包含内容=假\r\n不含内容=真");
  const FilterOptions present = ChangedOptions();
  FilterOptions expected = present;
  expected.SetText(Field::Levels, "5");
  expected.SetChecked(Check::LacksContent, true);
  EXPECT_EQ(OptionsDifference(Loaded(present), expected), "");

  OpenWith("");
  EXPECT_EQ(OptionsDifference(Loaded(present), present), "");
}

TEST_F(SettingsFileTest, MatchModeOutsideTheListRestoresAsDefault) {
  const struct {
    const char* stored;
    int expected;
  } cases[] = {{"1", 1}, {"2", 2}, {"0", 0}, {"3", 0}, {"-1", 0}, {"正则", 0}};
  for (const auto& c : cases) {
    OpenWith(std::string("[主界面]\r\n匹配模式=") + c.stored);
    FilterOptions options;
    options.SetMatchModeIndex(1);
    EXPECT_EQ(Loaded(options).MatchModeIndex(), c.expected) << c.stored;
  }
}

TEST_F(SettingsFileTest, AfterLevelsRunsOnceBetweenLevelsAndFolders) {
  OpenWith("[主界面]\r\n筛选目录=/data\r\n层次=9");
  FilterOptions options;
  int calls = 0;
  LoadSettings(store_, options, [&] {
    ++calls;
    EXPECT_EQ(options.Text(Field::Levels), "9");
    EXPECT_EQ(options.Text(Field::FilterFolder), "");
  });
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(options.Text(Field::FilterFolder), "/data");
}

TEST_F(SettingsFileTest, SaveWhereNoFileCanBeIsReportedAndLosesNothing) {
  const std::string notAFolder = folder_.Path("plain file");
  WriteBytes(notAFolder, "content");
  EXPECT_FALSE(store_.Open(notAFolder + "/Tarnwick.ini"));
  EXPECT_FALSE(SaveSettings(store_, FilterOptions()));
  EXPECT_NE(store_.LastError().find(notAFolder), std::string::npos);
  EXPECT_EQ(ReadBytes(notAFolder), "content");
}

}  // namespace
}  // namespace tarnwick
