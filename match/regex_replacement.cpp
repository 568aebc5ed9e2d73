#include "match/regex_replacement.h"

#include <cstdint>

namespace tarnwick {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void AppendGroup(std::string& out, std::string_view subject, const std::size_t* offsets,
                 std::size_t group) {
  const std::size_t start = offsets[2 * group];
  const std::size_t end = offsets[2 * group + 1];
  if (start == SIZE_MAX || end < start) return;
  out.append(subject.substr(start, end - start));
}

}  // namespace

void AppendReplacement(std::string& out, std::string_view replacement, std::string_view subject,
                       const std::size_t* offsets, std::size_t pairCount) {
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char c = replacement[i];
    if (c != '$' || i + 1 == replacement.size()) {
      out += c;
      continue;
    }
    const char next = replacement[i + 1];
    if (next == '$') {
      out += '$';
      ++i;
    } else if (next == '&') {
      AppendGroup(out, subject, offsets, 0);
      ++i;
    } else if (next == '`') {
      out.append(subject.substr(0, offsets[0]));
      ++i;
    } else if (next == '\'') {
      out.append(subject.substr(offsets[1]));
      ++i;
    } else if (IsDigit(next)) {
      // Two digits when they name a group, else one; «$0» and unknown groups are literal.
      std::size_t group = static_cast<std::size_t>(next - '0');
      std::size_t digits = 1;
      if (i + 2 < replacement.size() && IsDigit(replacement[i + 2])) {
        const std::size_t twoDigits =
            group * 10 + static_cast<std::size_t>(replacement[i + 2] - '0');
        if (twoDigits >= 1 && twoDigits < pairCount) {
          group = twoDigits;
          digits = 2;
        }
      }
      if (group == 0 || group >= pairCount) {
        out += c;
        continue;
      }
      AppendGroup(out, subject, offsets, group);
      i += digits;
    } else {
      out += c;
    }
  }
}

}  // namespace tarnwick
