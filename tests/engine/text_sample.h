#pragma once
// Texts for the tests of the duplicate filter's text keys: the same text in the
// encodings of an archive, and pseudo-random Chinese texts with edits at known places.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/duplicates/character_grams.h"
#include "engine/duplicates/gram_sample.h"
#include "engine/duplicates/gram_signature.h"
#include "platform/iconv_converter.h"

namespace tarnwick::test {

// `utf8` in the encoding iconv calls `to`.
inline std::string Encoded(const std::string& utf8, const char* to) {
  const std::optional<std::string> converted = platform::ConvertStrict(utf8, "UTF-8", to);
  if (!converted) throw std::runtime_error(std::string("cannot encode in ") + to);
  return *converted;
}

// A text of `characters` Chinese characters (UTF-8), the same for the same seed, with a
// line break now and then.
inline std::vector<std::string> ChineseCharacters(std::size_t characters, std::uint32_t seed) {
  static const std::string kPool =
      "的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会自着去之过家学对可"
      "里后小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头面公同三已";
  std::vector<std::string> pool;
  for (std::size_t at = 0; at < kPool.size(); at += 3) pool.push_back(kPool.substr(at, 3));
  std::vector<std::string> text;
  std::uint32_t state = seed;
  for (std::size_t i = 0; i < characters; ++i) {
    state = state * 1103515245u + 12345u;
    text.push_back(i % 40 == 39 ? "\n" : pool[(state >> 16) % pool.size()]);
  }
  return text;
}

// The characters joined, with the character at each of `edits` replaced by "改".
inline std::string Joined(std::vector<std::string> text, const std::vector<std::size_t>& edits = {}) {
  for (const std::size_t at : edits) text[at] = "改";
  std::string joined;
  for (const std::string& character : text) joined += character;
  return joined;
}

// Positions `count` apart by `step`, from `first`.
inline std::vector<std::size_t> Spaced(std::size_t first, std::size_t count, std::size_t step) {
  std::vector<std::size_t> places;
  for (std::size_t i = 0; i < count; ++i) places.push_back(first + i * step);
  return places;
}

template <typename Set>
Set GramsOf(const std::string& utf8) {
  CharacterGrams<Set> grams;
  grams.Start();
  grams.Take(Encoded(utf8, "GB18030"));
  grams.Finish();
  return grams.Grams();
}

// The exact Jaccard similarity of two texts' grams (texts of up to kSampleSize grams).
inline double ExactResemblance(const std::string& a, const std::string& b) {
  return SampledResemblance(GramsOf<GramSample>(a), GramsOf<GramSample>(b));
}

inline double EstimatedResemblanceOf(const std::string& a, const std::string& b) {
  return EstimatedResemblance(GramsOf<SignatureBins>(a).Signature(),
                              GramsOf<SignatureBins>(b).Signature());
}

}  // namespace tarnwick::test
