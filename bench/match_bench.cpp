// Throughput of the content filter's searches on 1 MB of text: the literal alternatives
// search of Default mode and a regular-expression count, on ASCII and on Chinese text
// in GB18030 (the program's text form), each with a pattern that is not in the text, so
// the whole text is searched; and the same searches fed the text in the streamed
// loader's 128 KiB pieces, as the content filter runs them.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "match/match_mode.h"
#include "match/regex_object.h"
#include "text/text_stream.h"

namespace tarnwick {
namespace {

constexpr std::size_t kTextSize = 1 << 20;

std::string AsciiText() {
  static const char* const kWords[] = {"the ",  "Quick ", "brown ", "fox ",  "jumps ",
                                       "over ", "a ",     "lazy ",  "dog, ", "and\r\n"};
  std::mt19937 random(7);
  std::string text;
  while (text.size() < kTextSize) text += kWords[random() % 10];
  text.resize(kTextSize);
  return text;
}

// GB2312 hanzi (lead 0xB0..0xF7, trail 0xA1..0xFE) with some ASCII punctuation. The
// patterns searched in it are kana (leads 0xA4, 0xA5), which it never holds.
std::string ChineseText() {
  std::mt19937 random(7);
  std::string text;
  while (text.size() + 2 <= kTextSize) {
    if (random() % 20 == 0) {
      text += random() % 2 ? ", " : "\r\n";
      continue;
    }
    text += static_cast<char>(0xB0 + random() % 0x48);
    text += static_cast<char>(0xA1 + random() % 0x5E);
  }
  return text;
}

// Pinyin: "z", "h" and "g" everywhere, the letters a fixed English frequency table calls
// rare. The search must find out which bytes are rare in the text it is in.
std::string PinyinText() {
  static const char* const kSyllables[] = {"zhong ", "guo ", "zai ", "zhe ", "zi ", "shang ",
                                           "hai ",   "zou ", "ze ",  "zhu ", "ge ", "zhi\r\n"};
  std::mt19937 random(7);
  std::string text;
  while (text.size() < kTextSize) text += kSyllables[random() % 12];
  text.resize(kTextSize);
  return text;
}

// The text handed to a content search in the pieces the streamed loader reads.
void StreamSearch(benchmark::State& state, const std::string& text, MatchMode mode,
                  const std::string& pattern) {
  ContentMatcher matcher;
  matcher.Build(pattern);
  for (auto _ : state) {
    ContentSearch& search = matcher.Search(mode, pattern);
    search.Begin(TextForm::Gb18030);
    for (std::size_t at = 0; at < text.size(); at += kPieceSize)
      search.Take(std::string_view(text).substr(at, kPieceSize));
    search.End();
    benchmark::DoNotOptimize(search.Found());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void SearchAlternatives(benchmark::State& state, const std::string& text,
                        const std::string& pattern) {
  for (auto _ : state) benchmark::DoNotOptimize(FindAnyAlternative(text, pattern));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void CountMatches(benchmark::State& state, const std::string& text, const std::string& pattern,
                  bool global) {
  RegexObject regex(TextForm::Gb18030);
  regex.CreateEngine();
  regex.SetPattern(pattern, true, true, global);
  for (auto _ : state) benchmark::DoNotOptimize(regex.MatchCount(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void RemoveWhiteSpace(benchmark::State& state, const std::string& text) {
  RegexObject regex(TextForm::Gb18030);
  regex.CreateEngine();
  regex.SetPattern("\\s");
  for (auto _ : state) benchmark::DoNotOptimize(regex.ReplaceAll(text, ""));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_FindAnyAlternative_Ascii(benchmark::State& state) {
  static const std::string text = AsciiText();
  SearchAlternatives(state, text, "needle|Haystack");
}
void BM_FindAnyAlternative_AsciiNoLetters(benchmark::State& state) {
  static const std::string text = AsciiText();
  SearchAlternatives(state, text, "2024-06|#1");
}
void BM_FindAnyAlternative_Chinese(benchmark::State& state) {
  static const std::string text = ChineseText();
  SearchAlternatives(state, text, "\xA4\xA4\xA4\xA4|\xA5\xA5");
}
void BM_FindAnyAlternative_ChineseAsciiPattern(benchmark::State& state) {
  static const std::string text = ChineseText();
  SearchAlternatives(state, text, "needle|Haystack");
}
void BM_RegexMatchCount_Ascii(benchmark::State& state) {
  static const std::string text = AsciiText();
  CountMatches(state, text, "needle|hay[s]tack", false);
}
void BM_RegexMatchCount_Chinese(benchmark::State& state) {
  static const std::string text = ChineseText();
  CountMatches(state, text, "\xA4\xA4\xA4\xA4|\xA5\xA5", false);
}
void BM_RegexMatchCount_AsciiEveryWord(benchmark::State& state) {
  static const std::string text = AsciiText();
  CountMatches(state, text, "\\w+", true);
}
void BM_RegexRemoveWhiteSpace_Chinese(benchmark::State& state) {
  static const std::string text = ChineseText();
  RemoveWhiteSpace(state, text);
}

void BM_StreamedWord_Ascii(benchmark::State& state) {
  static const std::string text = AsciiText();
  StreamSearch(state, text, MatchMode::Default, "quillwort");
}
void BM_StreamedWord_Pinyin(benchmark::State& state) {
  static const std::string text = PinyinText();
  StreamSearch(state, text, MatchMode::Default, "puzzle");
}
void BM_StreamedWord_Chinese(benchmark::State& state) {
  static const std::string text = ChineseText();
  StreamSearch(state, text, MatchMode::Default, "\xE3\x81\x82\xE3\x81\x82");  // あ, kana
}
void BM_StreamedRegex_Ascii(benchmark::State& state) {
  static const std::string text = AsciiText();
  StreamSearch(state, text, MatchMode::Regex, "needle|hay[s]tack");
}
void BM_StreamedRegex_AsciiLongPartial(benchmark::State& state) {
  static const std::string text = AsciiText();
  StreamSearch(state, text, MatchMode::Regex, "the[\\s\\S]*needle");
}
void BM_StreamedWildcard_Chinese(benchmark::State& state) {
  static const std::string text = ChineseText();
  StreamSearch(state, text, MatchMode::Wildcard, "\xE3\x81\x82*\xE3\x81\x84");
}

BENCHMARK(BM_StreamedWord_Ascii);
BENCHMARK(BM_StreamedWord_Pinyin);
BENCHMARK(BM_StreamedWord_Chinese);
BENCHMARK(BM_StreamedRegex_Ascii);
BENCHMARK(BM_StreamedRegex_AsciiLongPartial);
BENCHMARK(BM_StreamedWildcard_Chinese);
BENCHMARK(BM_FindAnyAlternative_Ascii);
BENCHMARK(BM_FindAnyAlternative_AsciiNoLetters);
BENCHMARK(BM_FindAnyAlternative_Chinese);
BENCHMARK(BM_FindAnyAlternative_ChineseAsciiPattern);
BENCHMARK(BM_RegexMatchCount_Ascii);
BENCHMARK(BM_RegexMatchCount_Chinese);
BENCHMARK(BM_RegexMatchCount_AsciiEveryWord);
BENCHMARK(BM_RegexRemoveWhiteSpace_Chinese);

}  // namespace
}  // namespace tarnwick
