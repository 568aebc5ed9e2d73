#pragma once
// How common each byte value is in the texts the program searches: English and Chinese
// documents, the Chinese in GB18030. A search anchors on the least common byte of what it
// looks for, so that a fast scan for that byte stops as seldom as possible.

#include <array>
#include <cstdint>

namespace tarnwick {

namespace byte_commonness_detail {

constexpr std::array<std::uint8_t, 256> BuildTable() {
  std::array<std::uint8_t, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = 10;      // control bytes, 0x7F, 0x80, 0xFF
  for (int b = 0x21; b < 0x7F; ++b) table[b] = 60;  // punctuation
  for (int b = 'A'; b <= 'Z'; ++b) table[b] = 90;
  for (int b = '0'; b <= '9'; ++b) table[b] = 110;
  for (int b = 0x81; b <= 0xFE; ++b) table[b] = 90;   // GBK extension leads and trails
  for (int b = 0xA1; b <= 0xFE; ++b) table[b] = 140;  // GB2312 trails
  for (int b = 0xB0; b <= 0xF7; ++b) table[b] = 150;  // GB2312 hanzi leads
  table[0xA1] = 200;                                  // 、。 and other punctuation
  table[0xA3] = 190;                                  // full-width forms: ，！？
  // Lower-case letters by their frequency in English.
  constexpr char kLetters[] = "etaoinshrdlcumwfgypbvkjxqz";
  for (int i = 0; i < 26; ++i)
    table[static_cast<unsigned char>(kLetters[i])] = static_cast<std::uint8_t>(230 - 6 * i);
  table['0'] = table['1'] = table['2'] = 130;
  table[','] = table['.'] = 170;
  table['-'] = table['/'] = table[':'] = table[';'] = table['"'] = table['\''] = 100;
  table['('] = table[')'] = 100;
  table['\t'] = 120;
  table['\r'] = table['\n'] = 200;
  table[' '] = 255;
  return table;
}

}  // namespace byte_commonness_detail

inline constexpr std::array<std::uint8_t, 256> kByteCommonness =
    byte_commonness_detail::BuildTable();

}  // namespace tarnwick
