#include "engine/duplicates/similarity_finder.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/duplicates/character_grams.h"
#include "engine/duplicates/normalised_text.h"
#include "engine/duplicates/text_read.h"
#include "engine/duplicates/text_read_lane.h"
#include "engine/filters/number_text.h"
#include "platform/read_only_file.h"

namespace tarnwick {
namespace {

// What a read makes of a file's grams: its signature and its bands.
struct FileGrams {
  SignatureBins bins;
  BandSample bands;
  void Clear() {
    bins.Clear();
    bands.Clear();
  }
  void Add(std::uint64_t gramHash) {
    bins.Add(gramHash);
    bands.Add(gramHash);
  }
  void Finish() { bins.Finish(); }
};

using SignatureText = NormalisedText<CharacterGrams<FileGrams>>;
using SampleText = NormalisedText<CharacterGrams<GramSample>>;

// Samples of the near cases kept for the next comparisons: a leader is often compared
// with several files in a row.
constexpr std::size_t kKeptSamples = 8;

// A threshold compared with a measure in tenths of a percent.
constexpr double kTolerance = 1e-9;

}  // namespace

double SimilarityThreshold(const std::string& percentText) {
  const std::string ascii = FullWidthToAscii(percentText);
  std::string_view text = ascii;
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  double percent = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), percent);
  if (error != std::errc() || std::isnan(percent)) return 0.9;
  return std::clamp(percent, 50.0, 100.0) / 100;
}

struct SimilarityFinder::Result {
  std::uint32_t file;
  TextReadOutcome read;
  bool hasGrams = false;
  std::uint64_t characters = 0;
  GramSignature signature{};
  BandTags tags{};
};

// One thread's reader: its folder kept open, its normaliser and bins reused.
class SimilarityFinder::Reader {
 public:
  Reader(bool stripTags, bool stripSpace, BandShape shape) {
    text_.Configure(stripTags, stripSpace);
    text_.Output().Grams().bands.SetShape(shape);
  }

  Result Read(const TextReadItem& item, const StopRequest& stop) {
    Result result{item.file,
                  ReadFileText(folders_, item.folder, item.name, item.print, text_, stop)};
    if (result.read.end != TextReadEnd::Text) return result;
    const CharacterGrams<FileGrams>& grams = text_.Output();
    result.hasGrams = grams.Grams().bins.Any();
    result.characters = grams.Characters();
    if (!result.hasGrams) return result;
    result.signature = grams.Grams().bins.Signature();
    result.tags = grams.Grams().bands.Tags();
    return result;
  }

 private:
  OpenedFolder folders_;
  SignatureText text_;
};

class SimilarityFinder::SampleReader {
 public:
  SampleReader(bool stripTags, bool stripSpace) { text_.Configure(stripTags, stripSpace); }

  TextReadOutcome Read(std::string_view folder, const char* name, std::uint64_t print,
                       const StopRequest& stop) {
    return ReadFileText(folders_, folder, name, print, text_, stop);
  }
  const GramSample& Sample() { return text_.Output().Grams(); }

 private:
  OpenedFolder folders_;
  SampleText text_;
};

struct SimilarityFinder::Lane : TextReadLane<Reader> {
  using TextReadLane<Reader>::TextReadLane;
};

SimilarityFinder::SimilarityFinder(const FoundFiles& files, WorkerPool* pool, JobHost& host,
                                   const StopFlag& stop, bool stripTags, bool stripSpace,
                                   double threshold)
    : files_(files),
      threshold_(std::clamp(threshold, 0.5, 1.0)),
      bands_(BandShapeFor(threshold_)),
      sampleReader_(std::make_unique<SampleReader>(stripTags, stripSpace)),
      lane_(std::make_unique<Lane>(
          files, pool, host, stop,
          [=, shape = BandShapeFor(threshold_)] {
            return std::make_unique<Reader>(stripTags, stripSpace, shape);
          },
          [this](Result& result) { TakeResult(result); })) {}

SimilarityFinder::~SimilarityFinder() = default;

void SimilarityFinder::Add(std::uint32_t file, const FileStamp& stamp, bool regular) {
  groupOf_.push_back(kNoGroup);
  resemblance_.push_back(0);
  prints_.push_back(StampPrint(stamp));
  if (regular) lane_->Add(file, prints_[file]);
}

void SimilarityFinder::Finish() { lane_->Finish(); }

void SimilarityFinder::TakeResult(Result& result) {
  if (result.read.end == TextReadEnd::Unreadable && platform::IsReadFailure(result.read.error)) {
    errors_.push_back({result.file, result.read.error});
    return;
  }
  if (result.read.end == TextReadEnd::Changed) changed_.push_back(result.file);
  if (!result.hasGrams) return;
  bool stopped = false;
  const auto joined = Join(result, stopped);
  if (stopped) return;
  if (joined) {
    groupOf_[result.file] = joined->first;
    resemblance_[result.file] =
        static_cast<std::uint16_t>(std::floor(joined->second * 1000 + kTolerance));
    return;
  }
  const auto group = static_cast<std::uint32_t>(leaders_.size());
  leaders_.push_back(result.file);
  signatures_.push_back(result.signature);
  bands_.Insert(result.tags, group);
  groupOf_[result.file] = group;
  resemblance_[result.file] = 1000;
}

std::optional<std::pair<std::uint32_t, double>> SimilarityFinder::Join(const Result& result,
                                                                        bool& stopped) {
  candidates_.clear();
  bands_.Candidates(result.tags, candidates_);
  std::sort(candidates_.begin(), candidates_.end());
  candidates_.erase(std::unique(candidates_.begin(), candidates_.end()), candidates_.end());
  // How far an estimate strays: a bin agrees by chance half the time, so the spread of
  // the share of agreeing bins is that of a coin with odds (1 + J) / 2, doubled; a short
  // text, whose empty bins borrow from the others, has no more samples than grams.
  const double samples = static_cast<double>(
      std::clamp<std::uint64_t>(result.characters, 1, kSignatureBins));
  const double spread = std::sqrt((1 - threshold_ * threshold_) / samples);
  const double margin = 4 * spread + 2.0 / kSignatureBins;
  // Groups in the order of their leaders: the first one resembled wins.
  for (const std::uint32_t group : candidates_) {
    const double estimate = EstimatedResemblance(result.signature, signatures_[group]);
    if (estimate < threshold_ - margin) continue;
    if (estimate >= threshold_ + margin) return std::pair{group, estimate};
    const std::optional<double> sampled =
        SampledResemblanceOf(result.file, leaders_[group], stopped);
    if (stopped) return std::nullopt;
    if (sampled && *sampled >= threshold_ - kTolerance) return std::pair{group, *sampled};
  }
  return std::nullopt;
}

std::optional<double> SimilarityFinder::SampledResemblanceOf(std::uint32_t file,
                                                             std::uint32_t leader,
                                                             bool& stopped) {
  const GramSample* leaderSample = SampleOf(leader, stopped);
  if (!leaderSample) return std::nullopt;
  const GramSample* fileSample = SampleOf(file, stopped);
  if (!fileSample) return std::nullopt;
  return SampledResemblance(*leaderSample, *fileSample);
}

const GramSample* SimilarityFinder::SampleOf(std::uint32_t file, bool& stopped) {
  const auto kept = std::find_if(samples_.begin(), samples_.end(),
                                 [file](const auto& entry) { return entry.first == file; });
  if (kept != samples_.end()) {
    samples_.splice(samples_.begin(), samples_, kept);
    return &samples_.front().second;
  }
  // A file changed since its signature was made is not the text that was compared.
  const TextReadOutcome read = sampleReader_->Read(files_.Folder(file), files_.Name(file),
                                                   prints_[file], lane_->HereStop());
  if (read.end == TextReadEnd::Stopped) stopped = true;
  if (read.end != TextReadEnd::Text) return nullptr;
  if (samples_.size() >= kKeptSamples) samples_.pop_back();
  samples_.emplace_front(file, sampleReader_->Sample());
  return &samples_.front().second;
}

}  // namespace tarnwick
