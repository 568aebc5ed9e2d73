#pragma once
// Where sections, keys and values lie in the bytes of an INI-style settings file.
// Lines end in CR LF only; a lone LF is an ordinary byte.

#include <cstddef>
#include <optional>
#include <string_view>

namespace tarnwick {

inline constexpr std::string_view kLineEnd = "\r\n";

// True when offset starts the bytes or follows a CR LF.
bool AtLineStart(std::string_view bytes, std::size_t offset);

// Offset of the first occurrence of header ("[" + name + "]") at or after from that
// starts a line; nullopt when there is none. Occurrences inside a line are skipped.
std::optional<std::size_t> FindSectionHeader(std::string_view bytes, std::string_view header,
                                             std::size_t from);

// True when a section header line starts after a CR LF at an offset in [from, to):
// a line that begins with "[" and whose first CR LF is preceded by "]".
bool HeaderLineBetween(std::string_view bytes, std::size_t from, std::size_t to);

// The bytes of one value: [begin, end).
struct ValueSpan {
  std::size_t begin;
  std::size_t end;
};

// The value of key in the section whose header closes (its "]") at headerClose: the
// first CR LF + key + "=" after the header, unless a section header line comes before
// it. The value runs to the next CR LF or the end of the bytes. nullopt when absent.
std::optional<ValueSpan> FindKeyValue(std::string_view bytes, std::size_t headerClose,
                                      std::string_view key);

}  // namespace tarnwick
