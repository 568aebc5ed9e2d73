#pragma once
// Lookup tables between Unicode's Basic Multilingual Plane and GB18030, filled once per
// process from iconv itself, so that the table-driven converters give exactly iconv's
// results for every character they handle (and hand everything else back to iconv).

#include <cstdint>

namespace tarnwick {

// 65536 entries, indexed by code point: the character's GB18030 bytes packed
// big-endian (values up to 0xFFFF are two bytes, larger ones four), or 0 when iconv
// does not convert the character alone (surrogates, unmapped code points) or the code
// point is ASCII.
const std::uint32_t* Gb18030FromBmpTable();

// Indexed by TwoByteIndex(first, second) for a first byte 0x81..0xFE and a second byte
// 0x40..0xFE: the code point iconv decodes the two-byte character to, or 0 when it
// decodes it to nothing in the Basic Multilingual Plane or rejects it.
const std::uint16_t* BmpFromGb18030TwoByteTable();

constexpr unsigned TwoByteIndex(unsigned first, unsigned second) {
  return (first - 0x81) * 191 + (second - 0x40);
}

}  // namespace tarnwick
