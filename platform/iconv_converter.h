#pragma once
// Conversions between named encodings through iconv (names as iconv knows them, such
// as "UTF-8", "UTF-16LE", "BIG5-HKSCS", "GB18030"). Descriptors are opened once per
// thread and encoding pair and reused, since opening one costs far more than
// converting a small file.

#include <iconv.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::platform {

// All or nothing: nullopt when any sequence of `input` is invalid or incomplete (a lone
// first byte of a multi-byte character at the end included), when a character has no
// form in `to`, or when iconv does not know one of the names. An empty input converts
// to an empty string.
std::optional<std::string> ConvertStrict(std::string_view input, const char* from, const char* to);

// Never fails on bad input: each invalid or unconvertible sequence becomes
// `replacement` (which must already be in the target encoding) and the conversion goes
// on after it; an incomplete sequence at the end becomes one `replacement`. Input is
// skipped one code unit at a time (two bytes for UTF-16, four for UTF-32, else one).
// Returns an empty string when iconv does not know one of the names.
std::string ConvertLenient(std::string_view input, const char* from, const char* to,
                           std::string_view replacement);

// ConvertLenient fed in pieces: the pieces joined convert exactly as ConvertLenient
// converts their concatenation. Bytes of a sequence cut off at the end of a piece are
// kept and joined to the next one. Owns its own descriptor; one object serves one
// conversion at a time and is reused from file to file.
class LenientStream {
 public:
  LenientStream(const char* from, const char* to, std::string_view replacement);
  ~LenientStream();
  LenientStream(const LenientStream&) = delete;
  LenientStream& operator=(const LenientStream&) = delete;

  // False when iconv does not know one of the names: nothing is ever converted then.
  bool Known() const;
  // Forgets kept bytes, for the start of another text.
  void Reset();
  // Appends the conversion of `input` to `out`. With `last` the text ends here, and a
  // sequence left incomplete becomes one replacement.
  void Convert(std::string_view input, bool last, std::string& out);
  // Converts what completes the bytes kept from the last piece, taken from the start of
  // `input`; returns the count of bytes of `input` used (0 when nothing was kept).
  std::size_t Resume(std::string_view input, bool last, std::string& out);
  // Converts at least the first character of `input` (or replaces its first bad code
  // unit), and at most a few; returns the count of bytes used, all of `input` when it
  // is only the start of a character (kept for the next piece, or replaced with `last`).
  // Lets a faster converter hand over one character it cannot take. Call Resume first
  // when bytes are kept from an earlier piece.
  std::size_t ConvertFew(std::string_view input, bool last, std::string& out);
  // Bytes kept from the end of the last piece (at most a character's length).
  bool HasKept() const { return !kept_.empty(); }

 private:
  std::size_t Run(std::string_view input, bool last, bool stopEarly, std::string& out);

  iconv_t descriptor_;
  std::string replacement_;
  std::size_t unit_;
  std::string kept_;
};

}  // namespace tarnwick::platform
