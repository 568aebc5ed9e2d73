#include "settings/value_encoding.h"

#include <charconv>

namespace tarnwick {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  std::size_t done = 0;
  for (std::size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, done)) {
    result.append(text.substr(done, at - done)).append(to);
    done = at + from.size();
  }
  result.append(text.substr(done));
  return result;
}

std::string EncodeLineBreaks(std::string_view text) {
  return ReplaceAll(text, "\r\n", kStoredLineBreak);
}

std::string DecodeLineBreaks(std::string_view stored) {
  return ReplaceAll(stored, kStoredLineBreak, "\r\n");
}

long long ParseStoredNumber(std::string_view stored) {
  if (!stored.empty() && stored.front() == '+') {
    stored.remove_prefix(1);
    if (!stored.empty() && stored.front() == '-') return 0;
  }
  long long number = 0;
  const char* end = stored.data() + stored.size();
  const auto [stop, error] = std::from_chars(stored.data(), end, number);
  if (error != std::errc() || stop != end) return 0;
  return number;
}

}  // namespace tarnwick
