// The byte-level rules of the settings file: what a write changes and what a read finds.

#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace tarnwick {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class SettingsStoreTest : public ::testing::Test {
 protected:
  // Opens the store on a file holding bytes, section "主界面".
  void OpenWith(const std::string& bytes) {
    WriteBytes(path_, bytes);
    ASSERT_TRUE(store_.Open(path_));
    store_.SetSection("主界面");
  }
  std::string Saved() {
    EXPECT_TRUE(store_.Commit()) << store_.LastError();
    return ReadBytes(path_);
  }

  TempFolder folder_;
  std::string path_ = folder_.Path("Tarnwick.ini");
  SettingsStore store_;
};

TEST_F(SettingsStoreTest, NewFileListsKeysInReverseWithoutFinalLineEnd) {
  OpenWith("");
  EXPECT_TRUE(store_.WriteText("a", "1"));
  EXPECT_EQ(Saved(), "[主界面]\r\na=1");
  EXPECT_TRUE(store_.WriteText("b", "2"));
  EXPECT_TRUE(store_.WriteText("c", "3"));
  EXPECT_EQ(Saved(), "[主界面]\r\nc=3\r\nb=2\r\na=1");
}

TEST_F(SettingsStoreTest, MissingFileIsCreatedEmpty) {
  ASSERT_TRUE(store_.Open(path_));
  EXPECT_EQ(ReadBytes(path_), "");
  EXPECT_EQ(store_.ReadText("a", "default"), "default");
}

TEST_F(SettingsStoreTest, ChangingAValueLeavesEveryOtherByte) {
  const std::string before =
      "; comment\r\n\r\n[其他]\r\nk=x\r\n[主界面]\r\nunknown=保持\r\nk=old\r\n"
      "\r\n[后面]\r\nk=later\r\ntail";
  struct Case {
    const char* value;
  } cases[] = {{"much longer value than before"}, {""}, {"o"}, {"old"}};
  for (const Case& c : cases) {
    OpenWith(before);
    EXPECT_TRUE(store_.WriteText("k", c.value));
    std::string expected = before;
    expected.replace(expected.find("k=old") + 2, 3, c.value);
    EXPECT_EQ(Saved(), expected) << c.value;
  }
}

TEST_F(SettingsStoreTest, ValueAtEndOfFileIsReplacedWhole) {
  OpenWith("[主界面]\r\nk=old value");
  EXPECT_EQ(store_.ReadText("k", "-"), "old value");
  store_.WriteText("k", "new");
  EXPECT_EQ(Saved(), "[主界面]\r\nk=new");
}

TEST_F(SettingsStoreTest, HeaderInsideALineIsNotAHeader) {
  OpenWith("[其他]\r\nnote=see [主界面]\r\nk=wrong");
  EXPECT_EQ(store_.ReadText("k", "default"), "default");
  store_.WriteText("k", "v");
  EXPECT_EQ(Saved(), "[其他]\r\nnote=see [主界面]\r\nk=wrong\r\n[主界面]\r\nk=v");
}

TEST_F(SettingsStoreTest, KeyOfALaterSectionIsAbsent) {
  OpenWith("[主界面]\r\na=1\r\n[其他]\r\nk=elsewhere");
  EXPECT_EQ(store_.ReadText("k", "default"), "default");
  store_.WriteText("k", "here");
  EXPECT_EQ(Saved(), "[主界面]\r\nk=here\r\na=1\r\n[其他]\r\nk=elsewhere");
  EXPECT_EQ(store_.ReadText("k", "default"), "here");
}

TEST_F(SettingsStoreTest, OnlyTheFirstLineStartingHeaderCounts) {
  OpenWith("[主界面]\r\na=first\r\n[主界面]\r\nb=second");
  EXPECT_EQ(store_.ReadText("a", "-"), "first");
  EXPECT_EQ(store_.ReadText("b", "-"), "-");
}

TEST_F(SettingsStoreTest, DuplicateKeysReadAndWriteTheFirst) {
  OpenWith("[主界面]\r\nk=1\r\nk=2");
  EXPECT_EQ(store_.ReadText("k", "-"), "1");
  store_.WriteText("k", "3");
  EXPECT_EQ(Saved(), "[主界面]\r\nk=3\r\nk=2");
}

TEST_F(SettingsStoreTest, NamesCompareByteForByte) {
  OpenWith("[主界面]\r\nKey=upper\r\n key=space\r\nkey =trailing");
  EXPECT_EQ(store_.ReadText("key", "-"), "-");
  EXPECT_EQ(store_.ReadText("Key", "-"), "upper");
  store_.SetSection("主界面 ");
  EXPECT_EQ(store_.ReadText("Key", "-"), "-");
}

TEST_F(SettingsStoreTest, LfOnlyFileKeepsItsBytesAndGainsCrLfLines) {
  const std::string before = "[主界面]\nk=lf\n[其他]\nx=1\n";
  OpenWith(before);
  EXPECT_EQ(store_.ReadText("k", "default"), "default");
  store_.WriteText("k", "v");
  store_.WriteText("j", "w");
  const std::string saved = Saved();
  EXPECT_EQ(saved, "[主界面]\r\nj=w\r\nk=v\r\n" + before.substr(std::string("[主界面]").size()));
  EXPECT_EQ(store_.ReadText("k", "-"), "v");
  EXPECT_EQ(store_.ReadText("j", "-"), "w");
  // Writing the same keys again finds them and changes nothing.
  store_.WriteText("k", "v");
  store_.WriteText("j", "w");
  EXPECT_EQ(Saved(), saved);
}

TEST_F(SettingsStoreTest, LfOnlyHeaderAfterFirstLineIsNotFound) {
  OpenWith("x=1\n[主界面]\nk=lf");
  store_.WriteText("k", "v");
  EXPECT_EQ(Saved(), "x=1\n[主界面]\nk=lf\r\n[主界面]\r\nk=v");
}

TEST_F(SettingsStoreTest, BadBytesSurviveASave) {
  std::string garbage = "\xEF\xBB\xBF[主界面]\r\nk=\xFF\xFE\x00\x80 bad\r\n";
  garbage += std::string(1 << 20, 'x');  // a 1 MB line
  garbage += std::string("\0\r\r\n\n", 5);
  OpenWith(garbage);
  // After a byte-order mark the header does not start the file.
  EXPECT_EQ(store_.ReadText("k", "default"), "default");
  store_.WriteText("k", "v");
  EXPECT_EQ(Saved(), garbage + "\r\n[主界面]\r\nk=v");
}

TEST_F(SettingsStoreTest, LineBreaksInTextRoundTrip) {
  OpenWith("");
  store_.WriteText("t", "x\r\ny\r\n");
  EXPECT_EQ(Saved(), "[主界面]\r\nt=x┊*┊y┊*┊");
  EXPECT_EQ(store_.ReadText("t", ""), "x\r\ny\r\n");

  OpenWith("[主界面]\r\nt=a┊*┊b");
  EXPECT_EQ(store_.ReadText("t", ""), "a\r\nb");
}

TEST_F(SettingsStoreTest, EmptyValueIsNotMissing) {
  OpenWith("[主界面]\r\nt=\r\nn=\r\nf=");
  EXPECT_EQ(store_.ReadText("t", "default"), "");
  EXPECT_EQ(store_.ReadNumber("n", 7), 0);
  EXPECT_FALSE(store_.ReadFlag("f", true));
}

TEST_F(SettingsStoreTest, FlagsAreTrueOnlyFor真) {
  OpenWith("[主界面]\r\na=真\r\nb=1\r\nc=true\r\nd=假\r\ne=真 ");
  EXPECT_TRUE(store_.ReadFlag("a", false));
  for (const char* key : {"b", "c", "d", "e"}) EXPECT_FALSE(store_.ReadFlag(key, true)) << key;
  EXPECT_TRUE(store_.ReadFlag("missing", true));
  store_.WriteFlag("x", true);
  store_.WriteFlag("y", false);
  EXPECT_TRUE(Saved().starts_with("[主界面]\r\ny=假\r\nx=真\r\na=真\r\n"));
}

TEST_F(SettingsStoreTest, NumbersReadAsWholeDecimalText) {
  OpenWith("[主界面]\r\na=2\r\nb=-5\r\nc=+3\r\nd=abc\r\ne=1.5\r\nf=99999999999999999999\r\ng= 1");
  const struct {
    const char* key;
    long long expected;
  } cases[] = {{"a", 2}, {"b", -5}, {"c", 3}, {"d", 0}, {"e", 0}, {"f", 0}, {"g", 0}};
  for (const auto& c : cases) EXPECT_EQ(store_.ReadNumber(c.key, 42), c.expected) << c.key;
  EXPECT_EQ(store_.ReadNumber("missing", 42), 42);
  store_.WriteNumber("n", -12);
  EXPECT_EQ(store_.ReadNumber("n", 0), -12);
}

TEST_F(SettingsStoreTest, SectionsStayApart) {
  OpenWith("");
  store_.WriteText("k", "main");
  store_.SetSection("其他");
  store_.WriteText("k", "other");
  EXPECT_EQ(store_.ReadText("k", ""), "other");
  store_.SetSection("主界面");
  EXPECT_EQ(store_.ReadText("k", ""), "main");
  EXPECT_EQ(Saved(), "[主界面]\r\nk=main\r\n[其他]\r\nk=other");
}

TEST_F(SettingsStoreTest, UncommittedWritesDoNotReachTheFile) {
  OpenWith("[主界面]\r\nk=1");
  store_.WriteText("k", "2");
  EXPECT_EQ(ReadBytes(path_), "[主界面]\r\nk=1");
  store_.Close();
  EXPECT_EQ(ReadBytes(path_), "[主界面]\r\nk=1");
}

}  // namespace
}  // namespace tarnwick
