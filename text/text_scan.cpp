#include "text/text_scan.h"

#include <cstdint>
#include <cstring>

namespace tarnwick {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

bool IsHigh(unsigned char byte) { return byte >= 0x80; }

// The first 0x00 or 0x1A at or after `from`, or bytes.size().
std::size_t NextStopCandidate(std::string_view bytes, std::size_t from) {
  const std::size_t left = bytes.size() - from;
  const void* zero = std::memchr(bytes.data() + from, 0x00, left);
  const std::size_t zeroEnd =
      zero == nullptr
          ? left
          : static_cast<std::size_t>(static_cast<const char*>(zero) - (bytes.data() + from));
  const void* sub = std::memchr(bytes.data() + from, 0x1A, zeroEnd);
  if (sub != nullptr) return static_cast<std::size_t>(static_cast<const char*>(sub) - bytes.data());
  return from + zeroEnd;
}

// A character boundary at or before `target`, no earlier than `known` (itself one): just
// after two bytes below 0x80 in a row, the second of which then cannot be a second byte.
std::size_t BoundaryNear(std::string_view bytes, std::size_t known, std::size_t target) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t at = target; at >= known + 2; --at) {
    if (!IsHigh(data[at - 1]) && !IsHigh(data[at - 2])) return at;
  }
  return known;
}

// From the boundary `at`, walks whole characters up to `target`: the boundary reached,
// `target` itself or `target` + 1 when a character starts just before it. There is no
// 0x00 before `target`, so every byte at or above 0x80 takes the next one.
std::size_t WalkTo(std::string_view bytes, std::size_t at, std::size_t target) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  while (at < target) {
    if (at + 8 <= target) {
      std::uint64_t word;
      std::memcpy(&word, data + at, sizeof word);
      if ((word & kHighBits) == 0) {
        at += 8;
        continue;
      }
    }
    at += IsHigh(data[at]) ? 2 : 1;
  }
  return at;
}

}  // namespace

void RawTextCut::Reset() { *this = RawTextCut(); }

RawTextCut::Part RawTextCut::Take(std::string_view piece, bool mayEnd) {
  Part part;
  if (ended_ || piece.empty()) return part;
  const auto* data = reinterpret_cast<const unsigned char*>(piece.data());
  std::size_t boundary = 0;  // a character boundary of the piece, known so far
  if (heldLead_) {
    heldLead_ = false;
    if (data[0] == 0x00) {
      ended_ = true;
      return part;
    }
    part.confirmedLead = true;
    part.lead = lead_;
    boundary = 1;
  }
  // Each 0x00 or 0x1A ends the text where it starts a character; a 0x00 that is a
  // second byte ends it before its first byte. A 0x1A that is a second byte is text.
  std::size_t from = mayEnd ? boundary : piece.size();
  while (from < piece.size()) {
    const std::size_t stop = NextStopCandidate(piece, from);
    if (stop == piece.size()) break;
    boundary = WalkTo(piece, BoundaryNear(piece, boundary, stop), stop);
    const bool startsCharacter = boundary == stop;
    if (data[stop] == 0x00 || startsCharacter) {
      part.length = startsCharacter ? stop : stop - 1;
      ended_ = true;
      return part;
    }
    from = stop + 1;
    boundary = stop + 1;
  }
  // Whether the last byte is a first byte whose second is still to come.
  boundary = WalkTo(piece, BoundaryNear(piece, boundary, piece.size()), piece.size());
  part.length = piece.size();
  if (boundary == piece.size() + 1) {
    heldLead_ = true;
    lead_ = piece.back();
    part.length = piece.size() - 1;
  }
  return part;
}

std::size_t ReadAsTextLength(std::string_view bytes) {
  RawTextCut cut;
  const RawTextCut::Part part = cut.Take(bytes);
  return part.length;
}

}  // namespace tarnwick
