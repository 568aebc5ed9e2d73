#include "engine/filters/content_filter.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "engine/job/filter_options.h"
#include "temp_tree.h"
#include "text/program_text.h"
#include "text/text_loader.h"
#include "walk_test_support.h"

namespace tarnwick {
namespace {

struct Targets {
  bool name;
  bool content;
};

class ContentFilterTestCase : public ::testing::Test {
 protected:
  bool Passes(const std::string& path, const char* pattern, bool contains, Targets targets,
              MatchMode mode = MatchMode::Default) {
    const Check kind = contains ? Check::ContainsContent : Check::LacksContent;
    FilterOptions options =
        test::Ticked({Check::ContentFilter, kind}, {{Field::ContentPattern, pattern}});
    options.SetChecked(Check::InName, targets.name);
    options.SetChecked(Check::InContent, targets.content);
    options.SetMatchModeIndex(static_cast<int>(mode));
    ContentMatcher matcher;
    matcher.Build(pattern);
    return ContentFilterTest(platform::FileAtPath(path), matcher, options).pass;
  }

  test::TempTree tree;
};

// Every ticked target must agree; none ticked lets every file pass; the name test sees
// only the file's name; an empty default pattern is found everywhere.
TEST_F(ContentFilterTestCase, TickedTargetsAndTheEmptyPattern) {
  const std::string inContent = tree.Create("a.txt", "the NEEDLE is here");
  const std::string inName = tree.Create("needle.txt", "nothing");
  const std::string inBoth = tree.Create("needle2.txt", "needle");
  const std::string inNeither = tree.Create("b.txt", "nothing");
  const std::string inFolder = tree.Create("needle/plain.txt", "x");
  const Targets both{true, true};

  EXPECT_FALSE(Passes(inContent, "needle", true, both));
  EXPECT_FALSE(Passes(inName, "needle", true, both));
  EXPECT_TRUE(Passes(inBoth, "needle", true, both));
  EXPECT_FALSE(Passes(inContent, "needle", false, both));
  EXPECT_FALSE(Passes(inName, "needle", false, both));
  EXPECT_TRUE(Passes(inNeither, "needle", false, both));
  EXPECT_TRUE(Passes(inContent, "needle", true, {false, true}));
  EXPECT_TRUE(Passes(inName, "needle", true, {true, false}));

  EXPECT_TRUE(Passes(inNeither, "needle", true, {false, false}));
  EXPECT_TRUE(Passes(inBoth, "needle", false, {false, false}));
  EXPECT_FALSE(Passes(inFolder, "needle", true, {true, false}));
  EXPECT_TRUE(Passes(inFolder, "plain.TXT", true, {true, false}));
  EXPECT_TRUE(Passes(inFolder, "", true, both));
  EXPECT_FALSE(Passes(inFolder, "", false, both));
}

TEST_F(ContentFilterTestCase, ChineseNamesAndContentAreMatchedAsCharacters) {
  const std::string file = tree.Create("年度报告.txt", "\xEF\xBB\xBF第三季度");  // UTF-8 with mark
  EXPECT_TRUE(Passes(file, "报告", true, {true, false}));
  EXPECT_TRUE(Passes(file, "三季", true, {false, true}));
  EXPECT_FALSE(Passes(file, "总结", true, {true, true}));
  EXPECT_TRUE(Passes(file, "年*.txt", true, {true, false}, MatchMode::Wildcard));
  EXPECT_TRUE(Passes(file, "^第.季度$", true, {false, true}, MatchMode::Regex));
}

TEST_F(ContentFilterTestCase, UnreadableContentIsEmptyText) {
  const std::string file = tree.Create("secret.txt", "needle");
  tree.SetMode("secret.txt", 0);
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  EXPECT_FALSE(Passes(file, "needle", true, {false, true}));
  EXPECT_TRUE(Passes(file, "needle", false, {false, true}));
}

// What the walk reports: an errno only for a file the system refused, none for a file
// the program leaves alone by design (special files, files gone, dangling links).
TEST_F(ContentFilterTestCase, OnlyFilesTheSystemRefusesCarryAnError) {
  FilterOptions options = test::Ticked({Check::ContentFilter, Check::LacksContent},
                                       {{Field::ContentPattern, "needle"}});
  options.SetChecked(Check::InName, false);
  options.SetChecked(Check::InContent, true);
  ContentMatcher matcher;
  const auto test = [&](const std::string& path) {
    return ContentFilterTest(platform::FileAtPath(path), matcher, options);
  };
  std::filesystem::create_symlink(tree.Path("gone.txt"), tree.Path("dangling.txt"));
  for (const std::string& path : {tree.MakeFifo("fifo"), tree.Path("missing.txt"),
                                  tree.Path("dangling.txt"), tree.MakeFolder("folder")}) {
    const ContentTestResult result = test(path);
    EXPECT_TRUE(result.pass) << path;  // the empty text lacks the word
    EXPECT_EQ(result.error, 0) << path;
    EXPECT_EQ(result.encoding, 0) << path;
  }
  const ContentTestResult read = test(tree.Create("plain.txt", "hay"));
  EXPECT_EQ(read.error, 0);
  EXPECT_EQ(read.encoding, static_cast<int>(TextEncoding::Ansi));
  tree.Create("secret.txt", "needle");
  tree.SetMode("secret.txt", 0);
  // Root reads every file: the refusal is tried by a child that gives up root.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
    const ContentTestResult refused = test(tree.Path("secret.txt"));
    ::_exit(refused.pass && refused.error == EACCES ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

// A pattern given as bytes that are not UTF-8 (a command-line argument) once became "?"
// in place of each bad byte: a wildcard that matched any text as content, a quantifier
// the regex engine refused, and as a name nothing. It is read as the bytes of a name or
// of content are, so the name test and the content test agree at every length.
TEST_F(ContentFilterTestCase, PatternThatIsNotUtf8MeansTheSameForNamesAndContentOfAnyLength) {
  struct Case {
    const char* pattern;
    std::string found;     // a text holding it
    std::string notFound;  // a text not holding it
  };
  const Case cases[] = {
      {"b\xff", std::string("ab\xff") + "c", "abxc"},
      {"\xb7\xa2", "\xb7\xa2\xc6\xb1.txt", "abc.txt"},  // 发 in GBK, in 发票.txt
  };
  const MatchMode modes[] = {MatchMode::Default, MatchMode::Wildcard, MatchMode::Regex};
  int index = 0;
  for (const Case& c : cases) {
    for (const bool holds : {true, false}) {
      const std::string& text = holds ? c.found : c.notFound;
      const std::string name = tree.Create("names" + std::to_string(index++) + "/" + text, "");
      for (const MatchMode mode : modes) {
        const std::string label = ::testing::PrintToString(c.pattern) + " mode " +
                                  std::to_string(static_cast<int>(mode)) + " in " +
                                  ::testing::PrintToString(text);
        EXPECT_EQ(Passes(name, c.pattern, true, {true, false}, mode), holds) << label;
        for (const std::size_t padding : {0, 1, 1000, 200000}) {
          const std::string pad(padding, 'x');
          const std::string content =
              tree.Create("content" + std::to_string(index++), pad + text + pad);
          EXPECT_EQ(Passes(content, c.pattern, true, {false, true}, mode), holds)
              << label << " padded by " << padding;
        }
      }
    }
  }
}

// A pattern edited during a job into one that does not compile was once used as it was:
// found nowhere, so under 不含内容 every file of the later folders was listed. The job
// keeps to the last pattern that compiled and tells the host.
TEST(PatternEditedDuringAJob, OneThatDoesNotCompileIsSetAsideUntilTheJobEnds) {
  test::TempTree tree;
  for (const char* folder : {"a", "b", "c", "d"}) {
    tree.Create(std::string(folder) + "/has.txt", "the needle");
    tree.Create(std::string(folder) + "/lacks.txt", "hay");
  }
  for (const unsigned threads : {1u, 4u}) {
    FilterOptions options = test::Ticked(
        {Check::ContentFilter, Check::LacksContent, Check::InContent, Check::ScopeTree},
        {{Field::ContentPattern, "need(le)"}});
    options.SetChecked(Check::InName, false);
    options.SetMatchModeIndex(static_cast<int>(MatchMode::Regex));
    test::JobRun job;
    // Folders in walk order: the root, a, b, c, d; a pattern applies from the next folder
    // entered. In a the pattern loses its ")"; edited again in c, it compiles from d on.
    job.host.onPendingEvents = [&] {
      const std::size_t folders = job.host.statusTexts.size();
      if (folders == 2) options.SetText(Field::ContentPattern, "need(le");
      if (folders == 4) options.SetText(Field::ContentPattern, "hay");
    };
    JobSettings settings;
    settings.threads = threads;
    EXPECT_EQ(job.Run(tree.Root(), options, Lister::FindFile, settings),
              (std::vector<std::string>{"a/lacks.txt", "b/lacks.txt", "c/lacks.txt", "d/has.txt"}))
        << threads << " threads";
    EXPECT_EQ(job.host.rejectedPatterns,
              std::vector<std::string>{"missing closing parenthesis at character 8"});
  }
}

// UTF-8 content is searched for an ASCII pattern without converting it; the answer must be
// the one the converted text gives, for every kind of file the loader meets.
TEST_F(ContentFilterTestCase, Utf8ContentGivesTheConvertedTextsAnswer) {
  using std::string_literals::operator""s;
  const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文
  const std::string files[] = {
      "plain ascii Needle text",
      chinese + "needle" + chinese,
      "\xE4\xB8\xADneedle",                  // an odd number of bytes before the word
      chinese + "\xC2\xA0" + "Ne edle 1 0",  // U+00A0 is four GB18030 bytes with digits
      "\xEF\xBB\xBF" + chinese + "NEEDLE",
      "\xEF\xBB\xBF",
      "<html><head><meta charset=utf-8></head>" + chinese + "needle",
      "<meta charset=big5>\xA4\xA4needle",
      "\xD6\xD0\xCE\xC4needle",        // GBK
      "\xC8\x41needle",                // GBK with an "A" trail byte
      "\xFF\xFEn\0e\0e\0d\0l\0e\0"s,   // UTF-16LE
      chinese + "ab\0needle"s,         // the text ends at the zero
      chinese + "needle\xFF",          // invalid UTF-8 reads raw
      "\xE4\xB8needle",                // raw: the lead takes "n"
      chinese + "\xEE\x9E\x8Dneedle",  // a character iconv refuses
      "",
  };
  const char* patterns[] = {"needle", "NEEDLE", "eed|zzz",      "zzz|",
                            "|",      "",       "a||b",         "A",
                            "0",      "1",      "\xE4\xB8\xAD", "zzz|\xE6\x96\x87"};
  int index = 0;
  for (const std::string& content : files) {
    const std::string path = tree.Create("f" + std::to_string(index++) + ".txt", content);
    const std::string text = LoadTextFile(path).text;
    for (const char* pattern : patterns) {
      const bool expected = FindAnyAlternative(text, Utf8ToGb18030(pattern));
      EXPECT_EQ(Passes(path, pattern, true, {false, true}), expected)
          << ::testing::PrintToString(content) << " " << pattern;
      EXPECT_EQ(Passes(path, pattern, false, {false, true}), !expected)
          << ::testing::PrintToString(content) << " " << pattern;
    }
  }
}

}  // namespace
}  // namespace tarnwick
