// gram_length: how the gram length of the duplicate filter's 相似 behaves on a corpus,
// to choose it by measurement. For each length it prints, from the text files of a
// folder tree (read and normalised as the filter reads them):
// - the exact resemblance of unrelated files (every pair of a sample, exact copies
//   left out), by script: mean, 99th and 99.9th percentile, greatest;
// - the resemblance of a text to a copy of it with a share of its characters edited (in
//   runs of 1 to 8 characters, as words and phrases are edited);
// - the leaders a file would be compared with in a tree of 200,000 such files at a
//   threshold of 50, 60, 70, 80 and 90 % (the candidates of banding, band_index.h).
//
//   gram_length [--files N] [--from L] [--to L] DIR

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/duplicates/band_index.h"
#include "bench/exact_grams.h"
#include "engine/duplicates/character_grams.h"
#include "engine/duplicates/normalised_text.h"
#include "engine/duplicates/opened_folder.h"
#include "engine/duplicates/text_read.h"

namespace tarnwick {
namespace {

using bench::ExactGrams;
using bench::Jaccard;

// The normalised text itself, for the edits.
class KeptText {
 public:
  void Start() { text_.clear(); }
  void Take(std::string_view piece) { text_.append(piece); }
  void Finish() {}
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

std::vector<std::uint64_t> GramsOf(const std::string& text, unsigned length) {
  CharacterGrams<ExactGrams> grams(length);
  grams.Start();
  grams.Take(text);
  grams.Finish();
  return grams.Grams().Hashes();
}

// splitmix64, for the same sample and edits on every run.
std::uint64_t Next(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> characters;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t size = 1;
    if (byte >= 0x80) {
      size = i + 1 < text.size() && text[i + 1] >= 0x30 && text[i + 1] <= 0x39 ? 4 : 2;
    }
    size = std::min(size, text.size() - i);
    characters.push_back(text.substr(i, size));
    i += size;
  }
  return characters;
}

// `share` of the characters replaced, in runs of 1 to 8, by characters of the text.
std::string Edited(const std::string& text, double share, std::uint64_t& random) {
  std::vector<std::string> characters = Characters(text);
  if (characters.empty()) return text;
  const std::vector<std::string> pool = characters;
  auto left = static_cast<std::size_t>(share * static_cast<double>(characters.size()));
  while (left > 0) {
    const std::size_t run = std::min<std::size_t>(left, 1 + Next(random) % 8);
    const std::size_t at = Next(random) % characters.size();
    for (std::size_t i = at; i < std::min(characters.size(), at + run); ++i)
      characters[i] = pool[Next(random) % pool.size()];
    left -= run;
  }
  std::string edited;
  for (const std::string& character : characters) edited += character;
  return edited;
}

struct Sample {
  std::string text;
  bool ascii;
};

std::vector<Sample> ReadSample(const std::string& root, std::size_t count) {
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  std::uint64_t random = 20;
  for (std::size_t i = paths.size(); i > 1; --i) std::swap(paths[i - 1], paths[Next(random) % i]);
  NormalisedText<KeptText> text;
  OpenedFolder folders;
  std::vector<Sample> sample;
  for (const auto& path : paths) {
    if (sample.size() == count) break;
    const std::string folder = path.parent_path().string() + "/";
    const std::string name = path.filename().string();
    const TextReadOutcome read =
        ReadFileText(folders, folder, name.c_str(), std::nullopt, text, [] { return false; });
    const std::string& kept = text.Output().Text();
    if (read.end != TextReadEnd::Text || kept.empty()) continue;
    const bool ascii = std::all_of(kept.begin(), kept.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    sample.push_back({kept, ascii});
  }
  return sample;
}

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(share * values.size()))];
}

// The chance that banding for `threshold` makes two texts of resemblance `resemblance`
// candidates.
double CandidateChance(double resemblance, double threshold) {
  const BandShape shape = BandShapeFor(threshold);
  const double agree = resemblance + (1 - resemblance) / 256;
  return 1 - std::pow(1 - std::pow(agree, shape.rows), shape.bands);
}

}  // namespace
}  // namespace tarnwick

int main(int argc, char** argv) {
  using namespace tarnwick;
  std::size_t files = 1500;
  unsigned from = 3, to = 10;
  std::string root;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--files" && i + 1 < argc) {
      files = std::strtoul(argv[++i], nullptr, 10);
    } else if (word == "--from" && i + 1 < argc) {
      from = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (word == "--to" && i + 1 < argc) {
      to = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else {
      root = word;
    }
  }
  if (root.empty()) {
    std::cerr << "usage: gram_length [--files N] [--from L] [--to L] DIR\n";
    return 2;
  }
  const std::vector<Sample> sample = ReadSample(root, files);
  const auto asciiCount = std::count_if(sample.begin(), sample.end(), [](auto& s) { return s.ascii; });
  std::printf("%zu text files (%ld ASCII, %ld with other characters)\n", sample.size(),
              static_cast<long>(asciiCount), static_cast<long>(sample.size() - asciiCount));
  std::printf(
      "len | unrelated ASCII: mean p99 p99.9 max | others: mean p99 p99.9 max | ASCII edited "
      "1/5/10/20/30 %% | others edited | candidates a file at 50/60/70/80/90 %%\n");
  for (unsigned length = from; length <= to; ++length) {
    std::vector<std::vector<std::uint64_t>> grams;
    for (const Sample& s : sample) grams.push_back(GramsOf(s.text, length));
    std::vector<double> byKind[2];
    constexpr double kThresholds[] = {0.5, 0.6, 0.7, 0.8, 0.9};
    double chances[5] = {};
    std::size_t pairs = 0;
    for (std::size_t a = 0; a < grams.size(); ++a) {
      for (std::size_t b = a + 1; b < grams.size(); ++b) {
        if (grams[a] == grams[b]) continue;  // an exact copy is no unrelated file
        const double j = Jaccard(grams[a], grams[b]);
        if (sample[a].ascii == sample[b].ascii) byKind[sample[a].ascii ? 0 : 1].push_back(j);
        for (int t = 0; t < 5; ++t) chances[t] += CandidateChance(j, kThresholds[t]);
        ++pairs;
      }
    }
    // The edits, by script: up to 100 texts of each.
    double edited[2][5] = {};
    std::size_t editedTexts[2] = {};
    const double shares[5] = {0.01, 0.05, 0.10, 0.20, 0.30};
    std::uint64_t random = 7;
    for (std::size_t i = 0; i < sample.size(); ++i) {
      const int kind = sample[i].ascii ? 0 : 1;
      if (editedTexts[kind] == 100) continue;
      ++editedTexts[kind];
      for (int k = 0; k < 5; ++k)
        edited[kind][k] += Jaccard(grams[i], GramsOf(Edited(sample[i].text, shares[k], random), length));
    }
    const auto mean = [](const std::vector<double>& v) {
      double sum = 0;
      for (double x : v) sum += x;
      return v.empty() ? 0 : sum / static_cast<double>(v.size());
    };
    // In a tree of 200,000 such files a file meets about as many leaders.
    const double perFile = pairs == 0 ? 0 : 200000.0 / static_cast<double>(pairs);
    std::printf("%3u | %.3f %.3f %.3f %.3f | %.3f %.3f %.3f %.3f |", length, mean(byKind[0]),
                Percentile(byKind[0], 0.99), Percentile(byKind[0], 0.999),
                Percentile(byKind[0], 1.0), mean(byKind[1]), Percentile(byKind[1], 0.99),
                Percentile(byKind[1], 0.999), Percentile(byKind[1], 1.0));
    for (int kind = 0; kind < 2; ++kind) {
      for (int k = 0; k < 5; ++k)
        std::printf(" %.2f", editedTexts[kind] ? edited[kind][k] / editedTexts[kind] : 0);
      std::printf(" |");
    }
    for (int t = 0; t < 5; ++t) std::printf(" %.3g", chances[t] * perFile);
    std::printf("\n");
    std::fflush(stdout);
  }
  return 0;
}
