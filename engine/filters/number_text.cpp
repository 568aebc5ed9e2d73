#include "engine/filters/number_text.h"

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

// The UTF-8 text with the full-width forms that `converts` accepts turned into ASCII
// and the ideographic space U+3000 into a space; every other byte is kept as it is.
template <typename Converts>
std::string FullWidthFormsToAscii(std::string_view utf8, Converts converts) {
  std::string result;
  result.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const auto b0 = static_cast<unsigned char>(utf8[at]);
    if ((b0 == 0xE3 || b0 == 0xEF) && at + 2 < utf8.size()) {
      const auto b1 = static_cast<unsigned char>(utf8[at + 1]);
      const auto b2 = static_cast<unsigned char>(utf8[at + 2]);
      const unsigned code = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
      const bool wellFormed = (b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80;
      if (wellFormed && code >= 0xFF01 && code <= 0xFF5E && converts(code)) {
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
    result.push_back(utf8[at]);
    ++at;
  }
  return result;
}

// Full-width digits, signs and points: the forms a number typed with a Chinese input
// method may hold. Letters stay as they are, so "１ｅ５" is not an exponent.
bool IsFullWidthNumberPart(unsigned code) {
  return (code >= 0xFF10 && code <= 0xFF19) || code == 0xFF0B || code == 0xFF0D || code == 0xFF0E;
}

// Whether a number that does not fit a float (digits [. digits] [e [sign] digits], not
// all zero) is too large rather than too small: its first nonzero digit stands at or
// above the units place once the exponent is applied.
bool IsTooLarge(std::string_view number) {
  const std::size_t whole = CountDigits(number, 0);
  std::size_t end = whole;
  if (end < number.size() && number[end] == '.') end += 1 + CountDigits(number, end + 1);
  const std::size_t first = number.find_first_not_of("0.");
  if (first >= end) return false;
  // The decimal place of the first nonzero digit: 0 for units, -1 for tenths.
  long long place = first < whole ? static_cast<long long>(whole - first) - 1
                                  : -static_cast<long long>(first - whole);
  if (end < number.size()) {
    std::size_t at = end + 1;
    const bool negative = number[at] == '-';
    if (number[at] == '+' || number[at] == '-') ++at;
    // Ten digits of exponent are already far beyond a float's range.
    long long exponent = 0;
    for (; at < number.size() && exponent < 1'000'000'000; ++at) {
      exponent = exponent * 10 + (number[at] - '0');
    }
    place += negative ? -exponent : exponent;
  }
  return place >= 0;
}

}  // namespace

std::string FullWidthToAscii(std::string_view utf8) {
  return FullWidthFormsToAscii(utf8, [](unsigned) { return true; });
}

float ReadBound(std::string_view utf8) {
  const std::string ascii = FullWidthFormsToAscii(utf8, IsFullWidthNumberPart);
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
    // Too large reads as infinite, too small as 0, as strtof gives them.
    const bool tooLarge = IsTooLarge(text.substr(0, length));
    value = tooLarge ? std::numeric_limits<float>::infinity() : 0.0f;
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
