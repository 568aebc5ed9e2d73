// The byte-level rules of the settings file: what a read finds and what a write changes.

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
  ASSERT_TRUE(store_.Open(path_));  // a missing file is created empty
  EXPECT_EQ(ReadBytes(path_), "");
  store_.SetSection("主界面");
  EXPECT_TRUE(store_.WriteText("a", "1"));
  EXPECT_EQ(Saved(), "[主界面]\r\na=1");
  EXPECT_TRUE(store_.WriteText("b", "2"));
  EXPECT_TRUE(store_.WriteText("c", "3"));
  EXPECT_EQ(Saved(), "[主界面]\r\nc=3\r\nb=2\r\na=1");
}

TEST_F(SettingsStoreTest, ReadFindsOnlyKeysOfTheSectionOnCrLfLines) {
  const struct {
    const char* file;
    const char* key;
    const char* expected;  // "<default>" when the key counts as missing
  } cases[] = {
      {"[主界面]\r\nk=v", "k", "v"},
      {"[主界面]\r\nk=", "k", ""},
      {"[主界面]\r\nk=1\r\nk=2", "k", "1"},
      {"[其他]\r\nnote=see [主界面]\r\nk=v", "k", "<default>"},
      {"[主界面]\r\na=1\r\n[其他]\r\nk=v", "k", "<default>"},
      {"[主界面]\r\na=1\r\n[主界面]\r\nk=v", "k", "<default>"},
      {"[主界面]\r\nK=v\r\n k=v\r\nk =v", "k", "<default>"},
      {"[主界面 ]\r\nk=v", "k", "<default>"},
      {"[主界面]\nk=v", "k", "<default>"},
      {"[主界面]\r\nk=v\nj=w", "k", "v\nj=w"},
      {"\xEF\xBB\xBF[主界面]\r\nk=v", "k", "<default>"},
      {"[主界面]\r\na=[x]\r\nk=v", "k", "v"},
  };
  for (const auto& c : cases) {
    OpenWith(c.file);
    EXPECT_EQ(store_.ReadText(c.key, "<default>"), c.expected) << c.file;
  }
}

TEST_F(SettingsStoreTest, WriteChangesOnlyTheBytesItMust) {
  const std::string tail = "\r\n\r\n[后面]\r\nk=later\r\ntail";
  const struct {
    std::string before;
    const char* value;
    std::string after;
  } cases[] = {
      {"; c\r\n[主界面]\r\nu=保持\r\nk=old" + tail, "much longer value",
       "; c\r\n[主界面]\r\nu=保持\r\nk=much longer value" + tail},
      {"[主界面]\r\nk=old" + tail, "", "[主界面]\r\nk=" + tail},
      {"[主界面]\r\nk=old value", "new", "[主界面]\r\nk=new"},
      {"[主界面]\r\nk=1\r\nk=2", "3", "[主界面]\r\nk=3\r\nk=2"},
      {"[其他]\r\nnote=see [主界面]\r\nk=x", "v",
       "[其他]\r\nnote=see [主界面]\r\nk=x\r\n[主界面]\r\nk=v"},
      {"[主界面]\r\na=1\r\n[其他]\r\nk=x", "v", "[主界面]\r\nk=v\r\na=1\r\n[其他]\r\nk=x"},
      // LF-only lines: the header at the very start is found, the new line gets its
      // own CR LF and every old byte stays.
      {"[主界面]\nk=lf\n", "v", "[主界面]\r\nk=v\r\n\nk=lf\n"},
      {"x=1\n[主界面]\nk=lf", "v", "x=1\n[主界面]\nk=lf\r\n[主界面]\r\nk=v"},
      // Line breaks inside a value are stored as ┊*┊ and read back as CR LF.
      {"", "x\r\ny\r\n", "[主界面]\r\nk=x┊*┊y┊*┊"},
  };
  for (const auto& c : cases) {
    OpenWith(c.before);
    EXPECT_TRUE(store_.WriteText("k", c.value));
    EXPECT_EQ(Saved(), c.after) << c.before;
    EXPECT_EQ(store_.ReadText("k", "<default>"), c.value) << c.before;
  }
}

TEST_F(SettingsStoreTest, RewritingTheSameValuesChangesNothing) {
  OpenWith("[主界面]\nk=lf\n[其他]\nx=1\n");
  store_.WriteText("k", "v");
  store_.WriteText("j", "w");
  const std::string saved = Saved();
  store_.WriteText("k", "v");
  store_.WriteText("j", "w");
  EXPECT_EQ(Saved(), saved);
}

TEST_F(SettingsStoreTest, BadBytesSurviveASave) {
  std::string garbage = "\xEF\xBB\xBF[主界面]\r\nk=\xFF\xFE\x00\x80 bad\r\n";
  garbage += std::string(1 << 20, 'x');  // a 1 MB line
  garbage += std::string("\0\r\r\n\n", 5);
  OpenWith(garbage);
  store_.WriteText("k", "v");
  EXPECT_EQ(Saved(), garbage + "\r\n[主界面]\r\nk=v");
}

TEST_F(SettingsStoreTest, FlagsAreTrueOnlyFor真) {
  OpenWith("[主界面]\r\na=真\r\nb=1\r\nc=true\r\nd=假\r\ne=真 \r\nf=");
  EXPECT_TRUE(store_.ReadFlag("a", false));
  for (const char* key : {"b", "c", "d", "e", "f"}) EXPECT_FALSE(store_.ReadFlag(key, true)) << key;
  EXPECT_TRUE(store_.ReadFlag("missing", true));
}

TEST_F(SettingsStoreTest, NumbersReadAsWholeDecimalText) {
  OpenWith(
      "[主界面]\r\na=2\r\nb=-5\r\nc=+3\r\nd=abc\r\ne=1.5\r\nf=99999999999999999999\r\ng= 1\r\nh=");
  const struct {
    const char* key;
    long long expected;
  } cases[] = {{"a", 2}, {"b", -5}, {"c", 3}, {"d", 0}, {"e", 0}, {"f", 0}, {"g", 0}, {"h", 0}};
  for (const auto& c : cases) EXPECT_EQ(store_.ReadNumber(c.key, 42), c.expected) << c.key;
  EXPECT_EQ(store_.ReadNumber("missing", 42), 42);
}

}  // namespace
}  // namespace tarnwick
