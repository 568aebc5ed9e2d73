// Throughput of the duplicate filter's content digest (SHA-256), of its quick hash
// (XXH3), of its byte comparison, and of the length filter's character count, for
// comparison with sha256sum.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/duplicates/bucket_comparer.h"
#include "engine/duplicates/content_digest.h"
#include "engine/duplicates/file_digests.h"
#include "engine/duplicates/stage_reader.h"
#include "engine/filters/count_characters.h"
#include "engine/job/stop_flag.h"
#include "platform/read_only_file.h"

namespace {

// A file of `size` pseudo-random bytes in the temporary folder, removed at exit.
class BenchFile {
 public:
  explicit BenchFile(std::int64_t size) {
    const char* base = std::getenv("TMPDIR");
    path_ = std::string(base && *base ? base : "/tmp") + "/tarnwick-digest-bench-XXXXXX";
    const int fd = ::mkstemp(path_.data());
    ::close(fd);
    std::ofstream out(path_, std::ios::binary);
    std::string block(1 << 20, '\0');
    std::uint32_t state = 12345;
    for (char& byte : block) {
      state = state * 1103515245u + 12345u;
      byte = static_cast<char>(state >> 24);
    }
    for (std::int64_t left = size; left > 0; left -= static_cast<std::int64_t>(block.size())) {
      const std::int64_t count = std::min(left, static_cast<std::int64_t>(block.size()));
      out.write(block.data(), static_cast<std::streamsize>(count));
    }
  }
  ~BenchFile() { ::unlink(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The key of a file opened once per round, as a digest worker opens each file.
std::string KeyOf(const std::string& path, const tarnwick::StopRequest& stop) {
  tarnwick::platform::ReadOnlyFile file;
  tarnwick::platform::Sha256Value key{};
  if (!file.Open(path) || tarnwick::ContentDigestOf(file, stop, key) != tarnwick::ReadEnd::Done)
    return {};
  return tarnwick::platform::HexText(key);
}

void BM_ContentDigest(benchmark::State& state) {
  const std::int64_t size = state.range(0) << 20;
  static const BenchFile file(size);
  const tarnwick::StopRequest stop = [] { return false; };
  for (auto _ : state) benchmark::DoNotOptimize(KeyOf(file.Path(), stop));
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ContentDigest)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_ContentDigestSmallFile(benchmark::State& state) {
  // A 4 KiB file: what most files of a tree cost (open, read, digest).
  static const BenchFile file(4096);
  const tarnwick::StopRequest stop = [] { return false; };
  for (auto _ : state) benchmark::DoNotOptimize(KeyOf(file.Path(), stop));
}
BENCHMARK(BM_ContentDigestSmallFile)->Unit(benchmark::kMicrosecond);

// Two equal files compared byte for byte: what proves a pair without a digest.
void BM_CompareBytes(benchmark::State& state) {
  const std::int64_t size = state.range(0) << 20;
  static const BenchFile first(size);
  static const BenchFile second(size);
  const auto print = [](const std::string& path) {
    tarnwick::platform::ReadOnlyFile file;
    return file.Open(path) ? tarnwick::PrintOf(file) : 0;
  };
  const std::vector<tarnwick::CompareItem> items = {
      {0, print(first.Path()), {}, first.Path().c_str()},
      {1, print(second.Path()), {}, second.Path().c_str()}};
  const tarnwick::StopRequest stop = [] { return false; };
  for (auto _ : state) benchmark::DoNotOptimize(tarnwick::CompareBytes(items, size, stop));
  state.SetBytesProcessed(state.iterations() * 2 * size);
}
BENCHMARK(BM_CompareBytes)->Arg(64)->Unit(benchmark::kMillisecond);

// The quick hash that spares most files their final proof: of a whole file, and of a
// small one.
void BM_QuickWholeHash(benchmark::State& state) {
  const std::int64_t size = state.range(0) << 10;
  const BenchFile file(size);
  const tarnwick::StopRequest stop = [] { return false; };
  for (auto _ : state) {
    tarnwick::platform::ReadOnlyFile open;
    std::uint64_t value = 0;
    if (open.Open(file.Path())) tarnwick::QuickWholeHash(open, stop, value);
    benchmark::DoNotOptimize(value);
  }
  state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_QuickWholeHash)->Arg(4)->Arg(64 << 10)->Unit(benchmark::kMicrosecond);

void BM_CountCharacters(benchmark::State& state) {
  std::string text;
  while (text.size() < (16u << 20)) text += "Plain words, \xD6\xD0\xCE\xC4 and a line break\r\n";
  for (auto _ : state) benchmark::DoNotOptimize(tarnwick::CountCharacters(text));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_CountCharacters)->Unit(benchmark::kMillisecond);

}  // namespace
