// Throughput of the duplicate filter's text keys over text already decoded: the
// normalisation with the SHA-256 key of 文本, with the gram signature of 相似, the
// insertion of grams into the band samples of 相似, and the comparison of two signatures
// that each file makes with the leaders it may join.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/duplicates/band_index.h"
#include "engine/duplicates/band_insert.h"
#include "engine/duplicates/character_grams.h"
#include "engine/duplicates/gram_signature.h"
#include "engine/duplicates/normalised_text.h"
#include "engine/duplicates/text_key.h"

namespace {

// About `size` bytes of GB18030 text with CR LF line ends: ASCII words, or Chinese
// characters (two bytes each) with ASCII punctuation.
std::string Text(std::size_t size, bool chinese) {
  static const char* const kWords[] = {"report", "budget",  "the",     "archive", "contract",
                                       "of",     "meeting", "invoice", "and",     "summary"};
  std::string text;
  std::uint32_t state = 7;
  while (text.size() < size) {
    state = state * 1103515245u + 12345u;
    if (chinese) {
      text += static_cast<char>(0xB0 + (state >> 24) % 0x27);
      text += static_cast<char>(0xA1 + (state >> 16) % 0x5E);
      if ((state >> 8) % 40 == 0) text += "\r\n";
    } else {
      text += kWords[(state >> 16) % 10];
      text += (state >> 8) % 12 == 0 ? "\r\n" : " ";
    }
  }
  return text;
}

template <typename Out>
void Normalise(benchmark::State& state, const std::string& text, bool stripTags) {
  tarnwick::NormalisedText<Out> normalised;
  normalised.Configure(stripTags, false);
  for (auto _ : state) {
    normalised.Begin(tarnwick::TextForm::Gb18030);
    // Pieces of the streamed loader's size.
    for (std::size_t at = 0; at < text.size(); at += 128 * 1024)
      normalised.Take(std::string_view(text).substr(at, 128 * 1024));
    normalised.End();
    benchmark::DoNotOptimize(&normalised.Output());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_TextKey(benchmark::State& state) {
  Normalise<tarnwick::TextKeyDigest>(state, Text(1 << 20, state.range(0) != 0), false);
}
BENCHMARK(BM_TextKey)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GramSignature(benchmark::State& state) {
  Normalise<tarnwick::CharacterGrams<tarnwick::SignatureBins>>(
      state, Text(1 << 20, state.range(0) != 0), false);
}
BENCHMARK(BM_GramSignature)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The gram hashes of a text, as CharacterGrams gives them.
struct GramHashes {
  std::vector<std::uint64_t> hashes;
  void Clear() { hashes.clear(); }
  void Add(std::uint64_t hash) { hashes.push_back(hash); }
  void Finish() {}
};

// Grams put in the bands of 相似 at the default 90 %, over texts of the tree's usual
// length (2 KiB), where most grams go in somewhere: one by one (0), in 512-bit vectors (1).
void BM_BandInsert(benchmark::State& state) {
  const tarnwick::BandInsert insert =
      state.range(0) != 0 ? tarnwick::VectorBandInsert() : &tarnwick::InsertInBandOneByOne;
  if (!insert) {
    state.SkipWithError("this processor has no 512-bit vectors");
    return;
  }
  std::vector<std::vector<std::uint64_t>> texts;
  tarnwick::CharacterGrams<GramHashes> grams;
  std::size_t bytes = 0;
  for (int text = 0; text < 64; ++text) {
    const std::string body = Text(2048 + 31 * text, text % 4 == 0);
    grams.Start();
    grams.Take(body);
    grams.Finish();
    texts.push_back(grams.Grams().hashes);
    bytes += body.size();
  }
  const tarnwick::BandShape shape = tarnwick::BandShapeFor(0.9);
  std::array<std::array<std::uint64_t, tarnwick::kMostRows>, tarnwick::kMostBands> least;
  for (auto _ : state) {
    for (const std::vector<std::uint64_t>& hashes : texts) {
      for (auto& band : least) band.fill(tarnwick::kNoGram);
      for (const std::uint64_t hash : hashes) {
        const auto band = static_cast<unsigned>(((hash & 0xFFFFFFFF) * shape.bands) >> 32);
        if (hash < least[band][shape.rows - 1]) insert(least[band].data(), shape.rows, hash);
      }
      benchmark::DoNotOptimize(least.data());
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_BandInsert)->Arg(0)->Arg(1);

void BM_EstimatedResemblance(benchmark::State& state) {
  tarnwick::CharacterGrams<tarnwick::SignatureBins> grams;
  tarnwick::GramSignature signatures[2];
  for (int i = 0; i < 2; ++i) {
    grams.Start();
    grams.Take(Text(4096 + 64 * i, i != 0));
    grams.Finish();
    signatures[i] = grams.Grams().Signature();
  }
  for (auto _ : state)
    benchmark::DoNotOptimize(tarnwick::EstimatedResemblance(signatures[0], signatures[1]));
}
BENCHMARK(BM_EstimatedResemblance);

}  // namespace
