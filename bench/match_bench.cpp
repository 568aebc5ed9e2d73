// Throughput of the content filter's searches on 1 MB of text: the literal alternatives
// search of Default mode and a regular-expression count, on ASCII and on Chinese text
// in GB18030 (the program's text form), each with a pattern that is not in the text, so
// the whole text is searched.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "match/match_mode.h"
#include "match/regex_object.h"

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
