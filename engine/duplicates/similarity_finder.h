#pragma once
// The groups of the duplicate filter's 相似 (near-duplicate texts). Every file's
// normalised text is read (text_read_lane.h) into a MinHash signature of its character
// grams (gram_signature.h). The job's thread takes the signatures back in walk order: a
// group is led by its first file, and a later file joins the first group, in the order of
// their leaders, whose leader it resembles at the threshold or more; a file that joins
// none leads a group of its own. Every member thus resembles its leader; a file that
// resembles only a member does not join through it, so no group grows into a chain of
// texts that drift ever further from the first.
//
// Only leaders keep their signatures, and a file is compared only with the leaders that
// share a band of its signature (band_index.h), so time and memory grow with the number
// of files. An estimate too near the threshold to settle is settled by reading the two
// files again into bottom-k samples of their grams (gram_sample.h), exact for texts of up
// to kSampleSize distinct grams: every member resembles its leader at the threshold,
// within what that sample measures.

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cache/known_digests.h"
#include "engine/duplicates/band_index.h"
#include "engine/duplicates/chunked_vector.h"
#include "engine/duplicates/found_files.h"
#include "engine/duplicates/gram_sample.h"
#include "engine/duplicates/gram_signature.h"
#include "engine/duplicates/opened_folder.h"
#include "engine/duplicates/text_read_error.h"
#include "engine/job/job_host.h"
#include "engine/job/stop_flag.h"
#include "engine/schedule/worker_pool.h"

namespace tarnwick {

// The threshold 编辑框相似度 asks for, as a fraction: its text read as a percentage (a
// decimal number; full-width digits read as ASCII ones), kept within 50 to 100 (below
// half, texts that share little but their vocabulary would group); 90 when the text
// holds no number.
double SimilarityThreshold(const std::string& percentText);

class SimilarityFinder {
 public:
  static constexpr std::uint32_t kNoGroup = 0xFFFFFFFF;

  // `threshold` is the resemblance a member must have with its leader, 0.5 to 1.
  // `files`, `pool` (null: read on the calling thread), `host` and `stop` must outlive
  // the finder. Tags and white space are taken out of each text as asked. Every call
  // comes from the job's thread.
  SimilarityFinder(const FoundFiles& files, WorkerPool* pool, JobHost& host, const StopFlag& stop,
                   bool stripTags, bool stripSpace, double threshold);
  ~SimilarityFinder();
  SimilarityFinder(const SimilarityFinder&) = delete;
  SimilarityFinder& operator=(const SimilarityFinder&) = delete;

  // Takes the newest file of `files`, as a stat of the walk saw it. A file that is not a
  // regular one is in no group and is never opened.
  void Add(std::uint32_t file, const FileStamp& stamp, bool regular);
  // Reads the rest; returns once every file is placed, or once the stop flag is set
  // (the reads in hand are then left out).
  void Finish();

  // The group of `file`, counting groups from 0 in the order of their leaders; kNoGroup
  // when it has no text (binary, empty, unreadable, changed while read, or not reached
  // before a stop). A group may have its leader alone.
  std::uint32_t GroupOf(std::uint32_t file) const { return groupOf_[file]; }
  std::size_t GroupCount() const { return leaders_.size(); }
  std::uint32_t LeaderOf(std::uint32_t group) const { return leaders_[group]; }
  // How much `file` resembles its group's leader, in tenths of a percent (1000 for the
  // leader itself, rounded down).
  std::uint16_t ResemblanceOf(std::uint32_t file) const { return resemblance_[file]; }
  // The print (StampPrint) of the stamp the walk saw, which its text was read under.
  std::uint64_t PrintOf(std::uint32_t file) const { return prints_[file]; }
  // The files that could not be opened or read for a reason the system gave, in walk
  // order.
  const std::vector<TextReadError>& Errors() const { return errors_; }
  // The files that were no longer what the walk saw when read, or changed while read,
  // in walk order: they are in no group.
  const std::vector<std::uint32_t>& Changed() const { return changed_; }

 private:
  struct Result;
  class Reader;
  class SampleReader;
  struct Lane;

  void TakeResult(Result& result);
  // The group `file` joins among `candidates_`; nullopt when none, or when a read that
  // settles a near case was stopped (`stopped`).
  std::optional<std::pair<std::uint32_t, double>> Join(const Result& result, bool& stopped);
  // The resemblance of the two files' texts by their samples; nullopt when either is no
  // longer the file read, or the reading was stopped (`stopped`).
  std::optional<double> SampledResemblanceOf(std::uint32_t file, std::uint32_t leader,
                                             bool& stopped);
  // The sample of `file`'s text, read again; null when it is not the file read before.
  const GramSample* SampleOf(std::uint32_t file, bool& stopped);

  const FoundFiles& files_;
  const double threshold_;

  ChunkedVector<std::uint32_t> groupOf_;
  ChunkedVector<std::uint16_t> resemblance_;
  ChunkedVector<std::uint64_t> prints_;
  ChunkedVector<std::uint32_t> leaders_;           // by group: its first file
  ChunkedVector<GramSignature, 10> signatures_;  // by group: its leader's
  BandIndex bands_;
  std::vector<std::uint32_t> candidates_;
  std::vector<TextReadError> errors_;
  std::vector<std::uint32_t> changed_;

  // The near cases' reads, on the job's thread: the samples read last, newest first.
  std::unique_ptr<SampleReader> sampleReader_;
  std::list<std::pair<std::uint32_t, GramSample>> samples_;

  std::unique_ptr<Lane> lane_;
};

}  // namespace tarnwick
