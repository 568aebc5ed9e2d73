#pragma once
// The charset declaration of an HTML head, looked for in a text that arrives in pieces:
// the answer FindMetaCharset gives for the whole text, found with memchr passes, holding
// no more of the text than the last few bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/text_loader.h"

namespace tarnwick {

class MetaCharsetScan {
 public:
  MetaCharsetScan() { Reset(); }
  void Reset();
  // The next piece of the text (read as text). Without `mayHoldTag` the caller knows the
  // piece holds no «<»: unless a chunk is open, nothing in it can change the answer.
  void Take(std::string_view piece, bool mayHoldTag = true);
  // The text ends.
  void End();
  // The answer no longer depends on text to come: the head section has closed, or the
  // text has ended.
  bool Settled() const { return closeAt_.has_value() || ended_; }
  // The declared charset; meaningful once settled.
  std::optional<TextEncoding> Declared() const;

  // A view of the text around one piece: `bytes` stand at `base` in the text, and only
  // places that start before `startsBefore` count (the bytes kept from the last piece are
  // looked at again only for what runs on into this one).
  struct Segment {
    std::string_view bytes;
    std::uint64_t base = 0;
    std::uint64_t startsBefore = 0;
    bool junction = false;  // the kept bytes and the start of the piece
  };

  // The search of one section of the text: each "<meta" chunk up to the next ">" in
  // turn, until one declares a charset or the search ends (no further "<meta", no ">"
  // after one, an empty chunk).
  class SectionScan {
   public:
    void Start(std::uint64_t at);
    void Scan(const Segment& segment);
    // The section ends: a chunk not closed by then closes nothing.
    void End();
    bool Started() const { return started_; }
    // Looking for the next "<meta", or done: a text without «<» changes nothing.
    bool WaitsForTag() const { return state_ != State::InChunk; }
    std::optional<TextEncoding> Result() const { return result_; }

   private:
    enum class State { SeekMeta, InChunk, Done };
    void ScanForms(const Segment& segment, std::uint64_t from, std::uint64_t end);

    bool started_ = false;
    State state_ = State::SeekMeta;
    std::uint64_t position_ = 0;  // SeekMeta: where the search goes on; InChunk: the chunk
    unsigned declared_ = 0;       // InChunk: the declarations seen in the chunk, as bits
    std::optional<TextEncoding> result_;
  };

 private:
  void Scan(const Segment& segment);
  void ScanHead(const Segment& segment);

  SectionScan whole_;  // the whole text, the section when the head is missing
  SectionScan head_;   // from just after "<head>" to the first "</head>" after it
  std::optional<std::uint64_t> openAt_;
  std::optional<std::uint64_t> closeAt_;
  bool ended_ = false;
  std::uint64_t length_ = 0;  // text taken so far
  std::string kept_;          // its last bytes, for places that run on into a piece
  std::string junction_;      // the kept bytes and the start of the next piece
};

}  // namespace tarnwick
