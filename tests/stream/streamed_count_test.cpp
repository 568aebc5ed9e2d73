// The length filter's character measure over a file's text streamed in pieces against
// the count of the whole text stripped as the regular expressions «<[\s\S]+?>» and «\s»
// strip it; and a file far beyond what the old whole-file loader would read.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/filters/character_measure.h"
#include "engine/filters/content_filter.h"
#include "engine/filters/count_characters.h"
#include "engine/job/filter_options.h"
#include "engine/filters/length_filter.h"
#include "match/regex_object.h"
#include "platform/iconv_converter.h"
#include "tests/engine/temp_tree.h"
#include "tests/text/whole_text_decoder.h"
#include "text/byte_source.h"
#include "text/text_stream.h"

namespace tarnwick {
namespace {

using std::string_literals::operator""s;

// The count of a whole text as the length filter defines it.
std::int64_t WholeTextCount(const std::string& text, bool stripTags, bool stripSpace) {
  std::string stripped = text;
  if (stripTags) {
    RegexObject tags(TextForm::Gb18030);
    tags.CreateEngine();
    tags.SetPattern("<[\\s\\S]+?>", true, true, true);
    stripped = tags.ReplaceAll(stripped, "");
  }
  if (stripSpace) {
    RegexObject space(TextForm::Gb18030);
    space.CreateEngine();
    space.SetPattern("\\s", true, true, true);
    stripped = space.ReplaceAll(stripped, "");
  }
  return CountCharacters(stripped);
}

std::int64_t StreamedCount(const std::string& bytes, std::size_t pieceSize, bool stripTags,
                           bool stripSpace, int* encoding = nullptr) {
  CharacterMeasure measure;
  measure.Configure(stripTags, stripSpace);
  MemorySource source(bytes);
  StreamSettings settings;
  settings.pieceSize = pieceSize;
  const StreamOutcome outcome = StreamText(source, measure, settings);
  if (encoding != nullptr) *encoding = outcome.encoding;
  return measure.Count();
}

// Valid text of every kind the count treats apart: tags, blanks, line breaks of each
// sort, double-byte and four-byte characters, content in UTF-8 and UTF-16 too.
TEST(StreamedCount, GivesTheWholeTextsCountForAnyPieceSize) {
  const std::vector<std::string> fragments = {
      "ab",
      " ",
      "\t",
      "\r\n",
      "\r",
      "\n",
      "\n\r",
      "<",
      ">",
      "<p>",
      "< >",
      "<>",
      "x>y",
      "\xD6\xD0\xCE\xC4",  // 中文, GBK
      "\x81\x30\x81\x30",  // a four-byte character
      "\x81\x40",          // a second byte in the ASCII range
  };
  std::mt19937 random(17);
  for (int sample = 0; sample < 1500; ++sample) {
    std::string text;
    for (int count = 1 + static_cast<int>(random() % 24); count > 0; --count)
      text += fragments[random() % fragments.size()];
    // The same text as the file's bytes in three encodings.
    const std::string files[] = {
        text,
        "\xEF\xBB\xBF" + platform::ConvertStrict(text, "GB18030", "UTF-8").value(),
        "\xFF\xFE" + platform::ConvertStrict(text, "GB18030", "UTF-16LE").value(),
    };
    for (const std::string& bytes : files) {
      ASSERT_EQ(testing::DecodeWholeBytes(bytes).text, text) << ::testing::PrintToString(bytes);
      for (const bool tags : {false, true}) {
        for (const bool space : {false, true}) {
          const std::int64_t expected = WholeTextCount(text, tags, space);
          for (const std::size_t pieceSize : {1, 2, 3, 5, 8, 1 << 20}) {
            ASSERT_EQ(StreamedCount(bytes, pieceSize, tags, space), expected)
                << ::testing::PrintToString(bytes) << " tags " << tags << " space " << space
                << ", pieces of " << pieceSize;
          }
        }
      }
    }
  }
}

// Each thing a split between pieces could break, at every place it could fall.
TEST(StreamedCount, CountsWhatASplitBetweenPiecesWouldCut) {
  const struct {
    const char* what;
    std::string bytes;
    bool stripTags;
    std::int64_t count;
  } cases[] = {
      {"CR LF", "a\r\nb", false, 3},
      {"a tag across lines", "x<p\r\nclass=y>z", true, 2},
      {"a «<» that never closes", "x<y\r\n", true, 4},
      {"four-byte character",
       "a\x81\x30\x81\x30"
       "b",
       false, 4},
      {"UTF-16 surrogate pair", "\xFF\xFE\x3D\xD8\x00\xDEq\0"s, false, 3},
      {"UTF-8 mark", "\xEF\xBB\xBF\xE4\xB8\xAD", false, 1},
  };
  for (const auto& c : cases) {
    for (std::size_t pieceSize = 1; pieceSize <= c.bytes.size(); ++pieceSize) {
      EXPECT_EQ(StreamedCount(c.bytes, pieceSize, c.stripTags, false), c.count)
          << c.what << ", pieces of " << pieceSize;
    }
  }
}

// Larger than the 256 MiB the whole-file loader read: a word, then a hole. Its text is
// the word (it ends at the first zero); as UTF-8 shorter than the file, it is reported as
// UTF-8.
constexpr std::int64_t kBigSize = (std::int64_t{1} << 28) + 4096;

std::string SparseFile(test::TempTree& tree) {
  const std::string path = tree.Create("big.txt", "quillwort ok\r\n");
  if (::truncate(path.c_str(), kBigSize) != 0) throw std::runtime_error("truncate failed");
  return path;
}

FilterOptions Options() {
  FilterOptions options;
  options.SetChecked(Check::InName, false);
  options.SetChecked(Check::InContent, true);
  options.SetText(Field::ContentPattern, "QUILLWORT");
  options.SetChecked(Check::MeasureChars, true);
  options.SetChecked(Check::UnitB, true);
  options.SetText(Field::LengthFrom, "13");
  options.SetText(Field::LengthTo, "13");
  return options;
}

TEST(StreamedCount, FileBeyondTheOldLimitIsFoundCountedAndItsEncodingReported) {
  test::TempTree tree;
  const std::string path = SparseFile(tree);
  const FilterOptions options = Options();
  ContentMatcher matcher;
  matcher.Build(options.Text(Field::ContentPattern));
  const ContentTestResult content = ContentFilterTest(platform::FileAtPath(path), matcher, options);
  EXPECT_TRUE(content.pass);
  EXPECT_EQ(content.encoding, static_cast<int>(TextEncoding::Utf8));
  LengthFilter length;
  const LengthFilter::Result counted = length.Test(platform::FileAtPath(path), options);
  EXPECT_TRUE(counted.pass);
  EXPECT_EQ(counted.characters, 13);
  EXPECT_EQ(counted.encoding, static_cast<int>(TextEncoding::Utf8));
}

// The same in a child process that may not grow by more than 64 MiB: the reading holds a
// few pieces, never the file.
TEST(StreamedCount, MemoryStaysBoundedWhateverTheFileSize) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves far more address space than the limit";
#else
  test::TempTree tree;
  const std::string path = SparseFile(tree);
  const FilterOptions options = Options();
  ContentMatcher matcher;
  matcher.Build(options.Text(Field::ContentPattern));
  // Warm the tables and buffers once, so the child's limit counts only what a file needs.
  ContentFilterTest(platform::FileAtPath(tree.Create("small.txt", "quillwort")), matcher, options);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (64 << 20);
    const rlimit bound{limit, limit};
    if (::setrlimit(RLIMIT_AS, &bound) != 0) ::_exit(3);
    const ContentTestResult content =
        ContentFilterTest(platform::FileAtPath(path), matcher, options);
    LengthFilter length;
    const LengthFilter::Result counted = length.Test(platform::FileAtPath(path), options);
    ::_exit(content.pass && counted.characters == 13 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
#endif
}

}  // namespace
}  // namespace tarnwick
