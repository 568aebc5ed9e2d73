// The content search over a file's text streamed in pieces against the same search on
// the whole decoded text, in every match mode: random content of every encoding, the
// pieces split anywhere.

#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "match/content_matcher.h"
#include "tests/text/whole_text_decoder.h"
#include "text/byte_source.h"
#include "text/program_text.h"
#include "text/text_stream.h"

namespace tarnwick {
namespace {

using std::string_literals::operator""s;

const std::vector<std::string> kFragments = {
    "plain words ",
    "quillwort",
    "QUILL",
    "wort",
    "\r\n",
    "\n",
    "<",
    ">",
    "<b>",
    "\x1A",
    "\0"s,
    "<head>",
    "</head>",
    "<meta charset=big5>",
    "<meta charset='UTF-8'>",
    "a!",
    "ab",
    "\xE4\xB8\xAD\xE6\x96\x87",  // 中文, UTF-8
    "\xD6\xD0\xCE\xC4",          // 中文, GBK
    "\xA4\xA4\xA4\xE5",          // 中文, Big5
    "\x2D\x4E\x87\x65",          // 中文, UTF-16LE
    "q\0u\0i\0l\0l\0"s,          // UTF-16LE letters
    "\xC2\xA0",
    "\xF0\x9F\x98\x80",  // four GB18030 bytes; beyond the BMP
    "\xE4\xB8",
    "\x80",
    "\xFF",
    "\xD6",
    "\x81\x30\x81\x30",
    "\xC8\x41",
};

// Runs long enough for the scans that take sixteen or more bytes at a time.
const std::vector<std::string> kLongRuns = {
    std::string(150, 'a') + "quillwort",
    std::string(140, 'z') + "\xE4\xB8\xAD\xE6\x96\x87",
    std::string(130, '\0'),
};

const std::vector<std::string> kStarts = {"", "", "", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};

struct Search {
  MatchMode mode;
  const char* pattern;
};

const Search kSearches[] = {
    {MatchMode::Default, "quillwort"},   {MatchMode::Default, "Quill|zzz"},
    {MatchMode::Default, "中文"},        {MatchMode::Default, "a||b"},
    {MatchMode::Default, "words quill"}, {MatchMode::Default, "0"},
    {MatchMode::Default, "b>"},          {MatchMode::Wildcard, "q*t"},
    {MatchMode::Wildcard, "中?文"},      {MatchMode::Wildcard, "<*>"},
    {MatchMode::Regex, "quill.ort"},     {MatchMode::Regex, "^plain"},
    {MatchMode::Regex, "文$"},           {MatchMode::Regex, "\\bwort\\b"},
    {MatchMode::Regex, "(?<=words )q"},  {MatchMode::Regex, "<[\\s\\S]+?>"},
    {MatchMode::Regex, "a(?!b)"},        {MatchMode::Regex, "[^\\x00-\\x7f]{3}"},
};

std::string RandomBytes(std::mt19937& random) {
  std::string bytes = kStarts[random() % kStarts.size()];
  for (int count = static_cast<int>(random() % 20); count > 0; --count) {
    bytes += random() % 10 == 0 ? kLongRuns[random() % kLongRuns.size()]
                                : kFragments[random() % kFragments.size()];
  }
  return bytes;
}

struct Streamed {
  bool found;
  StreamOutcome outcome;
};

Streamed StreamSearch(ContentMatcher& matcher, const Search& search, const std::string& bytes,
                      std::size_t pieceSize) {
  ContentSearch& consumer = matcher.Search(search.mode, search.pattern);
  MemorySource source(bytes);
  StreamSettings settings;
  settings.pieceSize = pieceSize;
  const StreamOutcome outcome = StreamText(source, consumer, settings);
  return {consumer.Found(), outcome};
}

TEST(StreamedSearch, GivesTheWholeTextsAnswerAndEncodingForAnyPieceSize) {
  std::mt19937 random(31);
  const std::size_t pieceSizes[] = {1, 2, 3, 4, 5, 7, 13, 64, 1 << 20};
  for (const Search& search : kSearches) {
    ContentMatcher matcher;
    matcher.Build(search.pattern);
    for (int sample = 0; sample < 300; ++sample) {
      const std::string bytes = RandomBytes(random);
      const DecodedText whole = testing::DecodeWholeBytes(bytes);
      const bool expected = matcher.Found(search.mode, search.pattern, whole.text);
      for (const std::size_t pieceSize : pieceSizes) {
        const Streamed streamed = StreamSearch(matcher, search, bytes, pieceSize);
        ASSERT_EQ(streamed.found, expected)
            << "«" << search.pattern << "» in " << ::testing::PrintToString(bytes) << ", pieces of "
            << pieceSize;
        ASSERT_EQ(streamed.outcome.encoding, whole.encoding)
            << "«" << search.pattern << "» in " << ::testing::PrintToString(bytes) << ", pieces of "
            << pieceSize;
      }
    }
  }
}

// Each thing that can fall across two pieces, split there: the word searched for, a CR
// LF the regex's «$» must see whole, a tag, a four-byte GB18030 character and a UTF-16
// surrogate pair in whose bytes the word would appear if they were cut apart, a
// byte-order mark.
TEST(StreamedSearch, FindsWhatASplitBetweenPiecesWouldCut) {
  const std::string gbk = "\x81\x30\x81\x30";  // U+0080, digits as second and fourth byte
  const struct {
    const char* what;
    std::string bytes;
    Search search;
    bool found;
  } cases[] = {
      {"the word", "some quillwort here", {MatchMode::Default, "QUILLWORT"}, true},
      {"the word, Chinese", "\xE4\xB8\xAD\xE6\x96\x87 and", {MatchMode::Default, "中文"}, true},
      {"CR LF before $", "end\r\nnext", {MatchMode::Regex, "end$"}, true},
      {"CR alone is no line end for $", "end\rnext", {MatchMode::Regex, "end$"}, true},
      {"a tag", "x<b\r\n>y", {MatchMode::Regex, "<[\\s\\S]+?>"}, true},
      {"four-byte character", "\xD6\xD0" + gbk + "x", {MatchMode::Default, "0"}, false},
      {"UTF-16 pair", "\xFF\xFE\x3D\xD8\x00\xDEq\0"s, {MatchMode::Regex, "^.q"}, true},
      {"byte-order mark", "\xEF\xBB\xBF\xE4\xB8\xAD", {MatchMode::Regex, "^中"}, true},
  };
  for (const auto& c : cases) {
    ContentMatcher matcher;
    matcher.Build(c.search.pattern);
    for (std::size_t pieceSize = 1; pieceSize <= c.bytes.size(); ++pieceSize) {
      EXPECT_EQ(StreamSearch(matcher, c.search, c.bytes, pieceSize).found, c.found)
          << c.what << ", pieces of " << pieceSize;
    }
  }
}

// A word found in the first piece of a file whose later bytes are not UTF-8: the reading
// changes to the raw one, where the word may not stand on a character boundary.
TEST(StreamedSearch, AnswerFoundBeforeTheContentProvesNotUtf8IsReadAgain) {
  ContentMatcher matcher;
  matcher.Build("");
  const Search search{MatchMode::Default, "needle"};
  const std::string raw = "\xE4\xB8\xADneedle" + std::string(100, 'x') + "\xFF";
  const Streamed streamed = StreamSearch(matcher, search, raw, 8);
  EXPECT_FALSE(streamed.found);  // raw: E4 B8, AD 6E ("n" is a second byte)
  EXPECT_EQ(streamed.outcome.encoding, static_cast<int>(TextEncoding::Ansi));
  const Streamed valid = StreamSearch(matcher, search, raw.substr(0, raw.size() - 1), 8);
  EXPECT_TRUE(valid.found);
  EXPECT_EQ(valid.outcome.encoding, static_cast<int>(TextEncoding::Utf8));
}

// A match that runs over many pieces: the text from where it may start is held until it
// completes, and searched again only as the new text doubles it.
TEST(StreamedSearch, RegexMatchSpanningManyPiecesIsFound) {
  const std::string text = "x start " + std::string(3 << 20, 'y') + " end";
  for (const char* pattern : {"start[\\s\\S]*end", "start y+ end$", "(?<=x )start"}) {
    ContentMatcher matcher;
    matcher.Build(pattern);
    EXPECT_TRUE(StreamSearch(matcher, {MatchMode::Regex, pattern}, text, kPieceSize).found)
        << pattern;
  }
  // «$» at the end of a piece is no line end while more may follow.
  ContentMatcher matcher;
  matcher.Build("end$");
  EXPECT_FALSE(StreamSearch(matcher, {MatchMode::Regex, "end$"}, text + "!", kPieceSize).found);
}

// Past the 8 MiB a search may hold, the whole held window was once dropped: the partial
// matches that began within the bound went with it, and so did complete matches near
// the end. Only the oldest partial match is given up; when nothing is found after one
// was, the answer is not known rather than "not found".
TEST(StreamedSearch, PartialMatchesWithinTheMemoryBoundOutliveAnOlderOne) {
  constexpr std::size_t kSixteen = std::size_t{16} << 20;
  std::string secondMatch = "x" + std::string(kSixteen + 200, 'a');
  secondMatch[kSixteen - 10] = 'x';
  secondMatch[kSixteen + 10] = 'y';
  std::string lateLiteral = "x" + std::string(kSixteen + (2 << 20), 'a');
  lateLiteral.replace(kSixteen - 10, 3, "QRS");
  const std::string tooLong = "x" + std::string(kSixteen, 'a') + "y";
  const struct {
    const char* pattern;
    const std::string& text;
    bool found;
    bool undecided;
  } cases[] = {
      {"x[^y]*y", secondMatch, true, false},
      {"x[^y]*y|QRS", lateLiteral, true, false},
      {"x[^y]*y", tooLong, false, true},
      {"x[^y]*y", std::string(kSixteen, 'a') + "xay", true, false},
  };
  for (const auto& c : cases) {
    ContentMatcher matcher;
    matcher.Build(c.pattern);
    ContentSearch& search = matcher.Search(MatchMode::Regex, c.pattern);
    MemorySource source(c.text);
    StreamText(source, search, {});
    EXPECT_EQ(search.Found(), c.found) << c.pattern << " over " << c.text.size() << " bytes";
    EXPECT_EQ(search.Undecided(), c.undecided) << c.pattern << " over " << c.text.size();
  }
}

// A source whose third read fails, as a disk with a bad sector does.
class FailingSource final : public ByteSource {
 public:
  explicit FailingSource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::int64_t Read(char* into, std::size_t count) override {
    if (++reads_ == 3) {
      errno = EIO;
      return -1;
    }
    return inner_.Read(into, count);
  }
  bool Rewind() override { return inner_.Rewind(); }

 private:
  std::string bytes_;
  MemorySource inner_{bytes_};
  int reads_ = 0;
};

TEST(StreamedSearch, ReadThatFailsMidwayIsTheEmptyTextWithItsErrno) {
  ContentMatcher matcher;
  const Search search{MatchMode::Default, "needle"};
  FailingSource source("needle" + std::string(1000, 'x'));
  StreamSettings settings;
  settings.pieceSize = 100;
  ContentSearch& consumer = matcher.Search(search.mode, search.pattern);
  const StreamOutcome outcome = StreamText(source, consumer, settings);
  EXPECT_EQ(outcome.status, StreamOutcome::Status::Failed);
  EXPECT_EQ(outcome.error, EIO);
  EXPECT_EQ(outcome.encoding, 0);
  EXPECT_FALSE(consumer.Found());
}

TEST(StreamedSearch, StopBetweenPiecesGivesNoAnswer) {
  ContentMatcher matcher;
  const std::string bytes(1000, 'x');
  const Search search{MatchMode::Default, "needle"};
  int asked = 0;
  MemorySource source(bytes);
  StreamSettings settings;
  settings.pieceSize = 100;
  settings.stopRequested = [&asked] { return ++asked == 3; };
  const StreamOutcome outcome =
      StreamText(source, matcher.Search(search.mode, search.pattern), settings);
  EXPECT_EQ(outcome.status, StreamOutcome::Status::Stopped);
  EXPECT_EQ(asked, 3);
}

}  // namespace
}  // namespace tarnwick
