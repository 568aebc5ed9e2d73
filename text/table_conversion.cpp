#include "text/table_conversion.h"

#include <cstdint>
#include <cstring>

#include "text/gb18030_tables.h"

namespace tarnwick {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
// Room kept free at the end of the output: one eight-byte ASCII block or one character.
constexpr std::size_t kSlack = 8;

// Writes a table's GB18030 code at `dest`: four bytes when it needs them, else two.
// Returns how many.
std::size_t WriteGbCode(std::uint32_t code, char* dest) {
  std::size_t count = 0;
  if (code > 0xFFFF) {
    dest[count++] = static_cast<char>(code >> 24);
    dest[count++] = static_cast<char>(code >> 16);
  }
  dest[count++] = static_cast<char>(code >> 8);
  dest[count++] = static_cast<char>(code);
  return count;
}

// Makes sure `out` has `kSlack` bytes free after `written`.
void EnsureRoom(std::string& out, std::size_t written) {
  if (out.size() - written < kSlack) out.resize(out.size() + out.size() / 2 + kSlack);
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Copies the ASCII byte at in[i] to dest, or eight of them when the next eight all are,
// and advances both positions.
void CopyAscii(const unsigned char* in, std::size_t size, char* dest, std::size_t& i,
               std::size_t& written) {
  if (i + 8 <= size) {
    std::uint64_t block;
    std::memcpy(&block, in + i, 8);
    if ((block & kHighBits) == 0) {
      std::memcpy(dest, in + i, 8);
      i += 8;
      written += 8;
      return;
    }
  }
  *dest = static_cast<char>(in[i]);
  ++i;
  ++written;
}

// Reads the multi-byte character whose lead byte (at or above 0x80) is in[i]: Converted
// with its GB18030 code (packed as the table packs it) and its UTF-8 length, or why the
// table conversion cannot take it.
TableConversion ReadCharacter(const std::uint32_t* table, const unsigned char* in, std::size_t size,
                              std::size_t i, std::uint32_t* code, std::size_t* length) {
  const unsigned char lead = in[i];
  std::uint32_t codePoint;
  if (lead < 0xC2) return TableConversion::Invalid;  // stray continuation, overlong lead
  if (lead < 0xE0) {
    if (i + 1 >= size || !IsContinuation(in[i + 1])) return TableConversion::Invalid;
    codePoint = ((lead & 0x1Fu) << 6) | (in[i + 1] & 0x3Fu);
    *length = 2;
  } else if (lead < 0xF0) {
    if (i + 2 >= size || !IsContinuation(in[i + 1]) || !IsContinuation(in[i + 2]))
      return TableConversion::Invalid;
    // Overlong forms and UTF-16 surrogate halves.
    if ((lead == 0xE0 && in[i + 1] < 0xA0) || (lead == 0xED && in[i + 1] >= 0xA0))
      return TableConversion::Invalid;
    codePoint = ((lead & 0x0Fu) << 12) | ((in[i + 1] & 0x3Fu) << 6) | (in[i + 2] & 0x3Fu);
    *length = 3;
  } else {
    return lead <= 0xF4 ? TableConversion::Declined : TableConversion::Invalid;
  }
  *code = table[codePoint];
  return *code == 0 ? TableConversion::Declined : TableConversion::Converted;
}

}  // namespace

TableRun Utf8ToGb18030Run(std::string_view input, std::string& out) {
  const std::uint32_t* table = Gb18030FromBmpTable();
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  const std::size_t size = input.size();
  std::size_t written = out.size();
  out.resize(written + size + kSlack);
  TableRun run;
  std::size_t i = 0;
  while (i < size) {
    EnsureRoom(out, written);
    char* dest = out.data() + written;
    if (in[i] < 0x80) {
      CopyAscii(in, size, dest, i, written);
      continue;
    }
    std::uint32_t code = 0;
    std::size_t length = 0;
    const TableConversion read = ReadCharacter(table, in, size, i, &code, &length);
    if (read != TableConversion::Converted) {
      run.stop = read;
      break;
    }
    i += length;
    written += WriteGbCode(code, dest);
  }
  out.resize(written);
  run.converted = i;
  return run;
}

template <bool bigEndian>
TableRun Utf16ToGb18030Run(std::string_view input, std::string& out) {
  const std::uint32_t* table = Gb18030FromBmpTable();
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  const std::size_t size = input.size();
  std::size_t written = out.size();
  // Two UTF-16 bytes become at most four GB18030 bytes.
  out.resize(written + 2 * size + kSlack);
  TableRun run;
  std::size_t i = 0;
  for (; i + 2 <= size; i += 2) {
    const std::uint32_t unit = bigEndian ? (in[i] << 8) | in[i + 1] : (in[i + 1] << 8) | in[i];
    char* dest = out.data() + written;
    if (unit < 0x80) {
      *dest = static_cast<char>(unit);
      ++written;
      continue;
    }
    const std::uint32_t code = unit >= 0xD800 && unit < 0xE000 ? 0 : table[unit];
    if (code == 0) {
      run.stop = TableConversion::Declined;
      break;
    }
    written += WriteGbCode(code, dest);
  }
  if (run.stop == TableConversion::Converted && i < size) run.stop = TableConversion::Invalid;
  out.resize(written);
  run.converted = i;
  return run;
}

TableRun Utf16LeToGb18030Run(std::string_view input, std::string& out) {
  return Utf16ToGb18030Run<false>(input, out);
}

TableRun Utf16BeToGb18030Run(std::string_view input, std::string& out) {
  return Utf16ToGb18030Run<true>(input, out);
}

TableRun Gb18030ToUtf8Run(std::string_view input, std::string& out) {
  const std::uint16_t* table = BmpFromGb18030TwoByteTable();
  const auto* in = reinterpret_cast<const unsigned char*>(input.data());
  const std::size_t size = input.size();
  std::size_t written = out.size();
  // Two GB18030 bytes become at most three UTF-8 bytes.
  out.resize(written + size + size / 2 + kSlack);
  TableRun run;
  std::size_t i = 0;
  while (i < size) {
    char* dest = out.data() + written;
    const unsigned char first = in[i];
    if (first < 0x80) {
      CopyAscii(in, size, dest, i, written);
      continue;
    }
    const unsigned char second = i + 1 < size ? in[i + 1] : 0;
    if (first == 0x80 || first == 0xFF || second < 0x40 || second == 0x7F || second == 0xFF) {
      run.stop = TableConversion::Invalid;  // or a four-byte character: left to iconv
      break;
    }
    const std::uint16_t codePoint = table[TwoByteIndex(first, second)];
    if (codePoint == 0) {
      run.stop = TableConversion::Declined;
      break;
    }
    if (codePoint < 0x800) {
      dest[0] = static_cast<char>(0xC0 | (codePoint >> 6));
      dest[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
      written += 2;
    } else {
      dest[0] = static_cast<char>(0xE0 | (codePoint >> 12));
      dest[1] = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
      dest[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
      written += 3;
    }
    i += 2;
  }
  out.resize(written);
  run.converted = i;
  return run;
}

TableConversion Utf8ToGb18030ByTable(std::string_view input, std::string& out) {
  out.clear();
  return Utf8ToGb18030Run(input, out).stop;
}

bool Gb18030ToUtf8ByTable(std::string_view input, std::string& out) {
  out.clear();
  return Gb18030ToUtf8Run(input, out).stop == TableConversion::Converted;
}

}  // namespace tarnwick
