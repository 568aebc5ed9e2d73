// LoadTextFile on 1 MB files of each kind the loader meets, the streamed loader feeding
// the content filter's search and the length filter's count, its UTF-8 check alone, and
// the conversions of the program's text to UTF-8. The files are written to /tmp/tarnwick-text-bench
// at each run and left there, so that other tools can be timed on the very same bytes:
//   cat F F F ... > /dev/null;  iconv -f UTF-8 -t GB18030 F F F ... > /dev/null

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "engine/filters/character_measure.h"
#include "match/content_matcher.h"
#include "platform/iconv_converter.h"
#include "text/program_text.h"
#include "text/text_loader.h"
#include "text/text_stream.h"
#include "text/utf8_check.h"

namespace tarnwick {
namespace {

constexpr std::size_t kFileSize = 1 << 20;

// About 1 MB of Chinese prose-like UTF-8: common ideographs, a comma now and then, a
// line break every forty characters.
std::string ChineseUtf8() {
  std::mt19937 random(7);
  std::string text;
  int column = 0;
  while (text.size() < kFileSize) {
    const std::uint32_t codePoint = 0x4E00 + random() % 0x51A6;
    text += static_cast<char>(0xE0 | (codePoint >> 12));
    text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (codePoint & 0x3F));
    if (random() % 12 == 0) text += "\xEF\xBC\x8C";  // full-width comma
    if (++column == 40) {
      text += "\r\n";
      column = 0;
    }
  }
  return text;
}

std::string AsciiText() {
  const std::string line = "The quick brown fox jumps over the lazy dog, 0123456789.\r\n";
  std::string text;
  while (text.size() < kFileSize) text += line;
  return text;
}

std::string BinaryBytes() {
  std::mt19937 random(11);
  std::string bytes(kFileSize, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

class SampleFiles {
 public:
  SampleFiles() : folder_("/tmp/tarnwick-text-bench") {
    std::filesystem::create_directories(folder_);
    const std::string chinese = ChineseUtf8();
    Write("ascii.txt", AsciiText());
    Write("utf8-chinese.txt", chinese);
    Write("gbk-chinese.txt", *platform::ConvertStrict(chinese, "UTF-8", "GB18030"));
    Write("utf16le-chinese.txt",
          "\xFF\xFE" + *platform::ConvertStrict(chinese, "UTF-8", "UTF-16LE"));
    Write("binary.bin", BinaryBytes());
  }
  std::string Path(const char* name) const { return (folder_ / name).string(); }

 private:
  void Write(const char* name, const std::string& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::path folder_;
};

const SampleFiles& Samples() {
  static const SampleFiles samples;
  return samples;
}

void BM_LoadTextFile(benchmark::State& state, const char* name) {
  const std::string path = Samples().Path(name);
  const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
  for (auto _ : state) benchmark::DoNotOptimize(LoadTextFile(path));
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK_CAPTURE(BM_LoadTextFile, ascii, "ascii.txt");
BENCHMARK_CAPTURE(BM_LoadTextFile, utf8_chinese, "utf8-chinese.txt");
BENCHMARK_CAPTURE(BM_LoadTextFile, gbk_chinese, "gbk-chinese.txt");
BENCHMARK_CAPTURE(BM_LoadTextFile, utf16le_chinese, "utf16le-chinese.txt");
BENCHMARK_CAPTURE(BM_LoadTextFile, binary, "binary.bin");

// The content filter's read of a file: streamed from the file to the search for a word
// that is not there (so all of it is read), the encoding wanted only for a file listed.
void BM_StreamedSearch(benchmark::State& state, const char* name) {
  const std::string path = Samples().Path(name);
  const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
  ContentMatcher matcher;
  for (auto _ : state) {
    ContentSearch& search = matcher.Search(MatchMode::Default, "quillwort");
    StreamSettings settings;
    settings.encodingWanted = [&search] { return search.Found(); };
    benchmark::DoNotOptimize(StreamFileText(platform::FileAtPath(path), search, settings));
    benchmark::DoNotOptimize(search.Found());
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK_CAPTURE(BM_StreamedSearch, ascii, "ascii.txt");
BENCHMARK_CAPTURE(BM_StreamedSearch, utf8_chinese, "utf8-chinese.txt");
BENCHMARK_CAPTURE(BM_StreamedSearch, gbk_chinese, "gbk-chinese.txt");
BENCHMARK_CAPTURE(BM_StreamedSearch, utf16le_chinese, "utf16le-chinese.txt");
BENCHMARK_CAPTURE(BM_StreamedSearch, binary, "binary.bin");

// The length filter's read: every character counted, tags and blanks taken out.
void BM_StreamedCount(benchmark::State& state, const char* name) {
  const std::string path = Samples().Path(name);
  const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
  CharacterMeasure measure;
  measure.Configure(true, true);
  for (auto _ : state) {
    benchmark::DoNotOptimize(StreamFileText(platform::FileAtPath(path), measure));
    benchmark::DoNotOptimize(measure.Count());
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK_CAPTURE(BM_StreamedCount, ascii, "ascii.txt");
BENCHMARK_CAPTURE(BM_StreamedCount, utf8_chinese, "utf8-chinese.txt");
BENCHMARK_CAPTURE(BM_StreamedCount, gbk_chinese, "gbk-chinese.txt");

// The UTF-8 check of unmarked content, on bytes in memory, in the loader's pieces.
void BM_Utf8Check(benchmark::State& state, const char* name) {
  std::ifstream in(Samples().Path(name), std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  for (auto _ : state) {
    Utf8Check check;
    for (std::size_t at = 0; at < bytes.size(); at += kPieceSize)
      benchmark::DoNotOptimize(check.Take(std::string_view(bytes).substr(at, kPieceSize)));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK_CAPTURE(BM_Utf8Check, ascii, "ascii.txt");
BENCHMARK_CAPTURE(BM_Utf8Check, utf8_chinese, "utf8-chinese.txt");

// The program's text of a Chinese file to UTF-8, as regular-expression matching needs it.
void BM_Gb18030ToUtf8(benchmark::State& state) {
  const std::string text = LoadTextFile(Samples().Path("gbk-chinese.txt")).text;
  for (auto _ : state) benchmark::DoNotOptimize(Gb18030ToUtf8(text));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_Gb18030ToUtf8);

}  // namespace
}  // namespace tarnwick
