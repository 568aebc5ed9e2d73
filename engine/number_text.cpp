#include "engine/number_text.h"

#include <charconv>
#include <climits>
#include <limits>
#include <system_error>

namespace tarnwick {
namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view SkipBlanks(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  return text.substr(at);
}

// Removes a leading "+" or "-" from text; true for "-".
bool TakeSign(std::string_view& text) {
  if (text.empty() || (text[0] != '+' && text[0] != '-')) return false;
  const bool negative = text[0] == '-';
  text.remove_prefix(1);
  return negative;
}

std::size_t CountDigits(std::string_view text, std::size_t at) {
  std::size_t count = 0;
  while (at + count < text.size() && IsDigit(text[at + count])) ++count;
  return count;
}

}  // namespace

std::string FullWidthToAscii(std::string_view utf8) {
  std::string result;
  result.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const auto b0 = static_cast<unsigned char>(utf8[at]);
    if (b0 == 0xE3 || b0 == 0xEF) {
      if (at + 2 < utf8.size()) {
        const auto b1 = static_cast<unsigned char>(utf8[at + 1]);
        const auto b2 = static_cast<unsigned char>(utf8[at + 2]);
        const unsigned code = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
        const bool wellFormed = (b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80;
        if (wellFormed && code >= 0xFF01 && code <= 0xFF5E) {
          result.push_back(static_cast<char>(code - 0xFEE0));
          at += 3;
          continue;
        }
        if (wellFormed && code == 0x3000) {
          result.push_back(' ');
          at += 3;
          continue;
        }
      }
    }
    result.push_back(utf8[at]);
    ++at;
  }
  return result;
}

float ReadBound(std::string_view utf8) {
  const std::string ascii = FullWidthToAscii(utf8);
  std::string_view text = SkipBlanks(ascii);
  const bool negative = TakeSign(text);
  // The longest prefix of the form digits [. digits] [e [sign] digits].
  const std::size_t whole = CountDigits(text, 0);
  std::size_t length = whole;
  std::size_t fraction = 0;
  if (length < text.size() && text[length] == '.') {
    fraction = CountDigits(text, length + 1);
    length += 1 + fraction;
  }
  if (whole + fraction == 0) return 0.0f;
  if (length < text.size() && (text[length] == 'e' || text[length] == 'E')) {
    std::size_t exponent = length + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    const std::size_t digits = CountDigits(text, exponent);
    if (digits > 0) length = exponent + digits;
  }
  float value = 0.0f;
  const std::errc error = std::from_chars(text.data(), text.data() + length, value).ec;
  if (error == std::errc::result_out_of_range) {
    // Too large reads as infinite, too small as 0, as strtof gives them; only a
    // negative exponent makes a number too small.
    const std::string_view number = text.substr(0, length);
    const auto exponentAt = number.find_first_of("eE");
    const bool tooSmall = exponentAt != std::string_view::npos &&
                          exponentAt + 1 < number.size() && number[exponentAt + 1] == '-';
    value = tooSmall ? 0.0f : std::numeric_limits<float>::infinity();
  }
  return negative ? -value : value;
}

long long ReadLevel(std::string_view utf8) {
  const std::string ascii = FullWidthToAscii(utf8);
  std::string_view text = SkipBlanks(ascii);
  const bool negative = TakeSign(text);
  long long value = 0;
  for (std::size_t at = 0; at < text.size() && IsDigit(text[at]); ++at) {
    const int digit = text[at] - '0';
    if (value > (LLONG_MAX - digit) / 10) return negative ? LLONG_MIN : LLONG_MAX;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

}  // namespace tarnwick
